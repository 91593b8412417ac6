// The layer dialogs and the commands around them: list lines, the layer list's edits with
// their confirmation, a layer's muscle list (delete, copy and paste through the
// document's slot, create through the muscle sheet), its image buttons, "More Layers...",
// the TGA import and the main window's layer slots.

#include "KGuiTestKit.h"
#include "dialogs/KLayerDialogs.h"
#include "dialogs/KMuscleDialogs.h"
#include "gui/KLayerNames.h"

namespace {

// Adds muscles of the given names (linear) to the layer.
void addMuscles(KBdlLayer& layer, const QStringList& names) {
    for (const QString& name : names) {
        layer.muscles.push_back(std::make_unique<KBdlMuscle>(KBdlMuscle::Linear));
        layer.muscles.back()->name = name.toStdString();
    }
}

QStringList names(const KBdlLayer& layer) {
    QStringList out;
    for (const auto& m : layer.muscles) {
        out << QString::fromStdString(m->name);
    }
    return out;
}

void sendKey(QWidget* w, int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestLayerDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    // Every layer choice lists the layers by name in layer order, row i being layer i,
    // names outside ASCII and empty names included.
    void layerChoicesListTheLayerNamesInOrder() {
        CPexaDoc doc;
        doc.layers[0]->name = "Schädel";
        doc.layers[2]->name.clear();
        const QStringList expected = {QStringLiteral("Schädel"),
                                      QString::fromStdString(doc.layers[1]->name), QString()};
        QCOMPARE(kLayerNames(doc), expected);
        KSelectUserLayerDlg pick(doc, 2);
        QCOMPARE(
            std::tuple(pick.list->item(0)->text(), pick.list->count(), pick.list->currentRow()),
            std::tuple(expected[0], 3, 2));
    }

    void layerListEditsInPlace() {
        KTestUi ui;
        CPexaDoc doc;
        KSurfaceHeight::LayerList layers = doc.takeLayers();
        layers[1]->physical = 2; // "Internal"
        KLayerListDlg dlg(layers);
        QCOMPARE(dlg.list->item(0)->text(), QStringLiteral("Bone Surfaces\tGeometry\tY"));
        QCOMPARE(dlg.list->item(1)->text(), QStringLiteral("Exterior Muscles\tInternal\tY"));
        QCOMPARE(dlg.name->text(), QStringLiteral("Bone Surfaces"));

        // Leaving a text field writes all five fields.
        dlg.name->setText(QStringLiteral("Bones"));
        dlg.scale->setText(QStringLiteral("2.5"));
        dlg.active->setChecked(false);
        kLoseFocus(dlg.name);
        QCOMPARE(std::tuple(layers[0]->name, layers[0]->scale, layers[0]->active),
                 std::tuple(std::string("Bones"), 2.5, 0));
        QCOMPARE(dlg.list->item(0)->text(), QStringLiteral("Bones\tGeometry"));

        // A click on a check box writes too, and leaves an unclicked "Internal" alone.
        dlg.select(1);
        dlg.description->setText(QStringLiteral("under the skin"));
        dlg.active->click();
        QCOMPARE(std::tuple(layers[1]->description, layers[1]->active, layers[1]->physical),
                 std::tuple(std::string("under the skin"), 0, 2));
        dlg.physical->click();
        QCOMPARE(std::tuple(layers[1]->physical, dlg.list->item(1)->text()),
                 std::tuple(0, QStringLiteral("Exterior Muscles\tImageMap")));

        dlg.select(-1);
        QVERIFY(!dlg.remove());
        dlg.insert(); // nothing selected: appended
        QCOMPARE(std::tuple(layers.size(), dlg.selected(), layers[3]->name),
                 std::tuple(size_t(4), 3, std::string("(new)")));
        dlg.name->setText(QStringLiteral("Fourth"));
        kLoseFocus(dlg.name);
        dlg.select(1);
        dlg.insert();
        QCOMPARE(std::tuple(dlg.selected(), layers[2]->name),
                 std::tuple(1, std::string("Exterior Muscles")));
        dlg.append();
        QCOMPARE(std::tuple(dlg.selected(), layers.size()), std::tuple(5, size_t(6)));

        ui.answer(false);
        QVERIFY(!dlg.remove());
        QCOMPARE(layers.size(), size_t(6));
        ui.answer(true);
        QVERIFY(dlg.remove());
        QCOMPARE(ui.questions().back(),
                 std::string("Delete can not be Undone! Are you sure you wish to Continue?"));
        // The last line after the last one went.
        QCOMPARE(std::tuple(layers.size(), dlg.selected(), layers[4]->name),
                 std::tuple(size_t(5), 4, std::string("Fourth")));
        doc.restoreLayers(std::move(layers));
    }

    // The mouse selects a line as the arrow keys do: the fields follow it, and an edit
    // left with Tab goes to the line shown.
    void layerListMouseSelectsAsTheKeysDo() {
        CPexaDoc doc;
        KSurfaceHeight::LayerList layers = doc.takeLayers();
        KLayerListDlg dlg(layers);
        QVERIFY(kShowActive(&dlg));
        dlg.list->setFocus();
        QTest::keyClick(dlg.list, Qt::Key_Down);
        QTest::keyClick(dlg.list, Qt::Key_Up);
        QCOMPARE(dlg.name->text(), QStringLiteral("Bone Surfaces"));
        QTest::mouseClick(dlg.description, Qt::LeftButton);
        QTest::keyClicks(dlg.description, QStringLiteral("deep bones"));
        kClickRow(dlg.list, 1);
        QCOMPARE(std::tuple(dlg.selected(), dlg.name->text()),
                 std::tuple(1, QStringLiteral("Exterior Muscles")));
        kClickRow(dlg.list, 0);
        QCOMPARE(dlg.selected(), 0);
        QTest::mouseClick(dlg.name, Qt::LeftButton);
        dlg.name->selectAll();
        QTest::keyClicks(dlg.name, QStringLiteral("Bones"));
        QTest::keyClick(dlg.name, Qt::Key_Tab);
        QVERIFY(!dlg.name->hasFocus());
        QCOMPARE(std::tuple(layers[0]->name, layers[0]->description),
                 std::tuple(std::string("Bones"), std::string("deep bones")));
        doc.restoreLayers(std::move(layers));
    }

    void defineLayersMovesTheListOutAndBack() {
        CPexaDoc doc;
        doc.setModified(false);
        const KBdlLayer* first = doc.layers[0].get();
        KDialogScript script([&doc](QDialog& d) {
            auto& dlg = dynamic_cast<KLayerListDlg&>(d);
            if (!doc.layers.empty()) {
                return int(QDialog::Rejected);
            }
            dlg.select(0);
            dlg.insert();
            dlg.name->setText(QStringLiteral("Top")); // still focused when "Done" closes
            return int(QDialog::Accepted);
        });
        kDefineLayers(nullptr, doc);
        QCOMPARE(std::tuple(doc.layers.size(), doc.layers[0]->name, doc.layers[1].get()),
                 std::tuple(size_t(4), std::string("Top"), first));
        QVERIFY(doc.isModified());
    }

    void layerPropertiesMuscleList() {
        KTestUi ui;
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        addMuscles(layer, {"a", "b", "c"});
        layer.muscles[1]->muscleType = KBdlMuscle::Orbital;
        KLayerPropertiesDlg dlg(layer, doc);
        QCOMPARE(dlg.muscles->item(1)->text(), QStringLiteral("b\torbital\tY"));
        dlg.select(1);
        dlg.muscleScale->setText(QStringLiteral("0.5"));
        kLoseFocus(dlg.muscleScale);
        dlg.muscleActive->click();
        QCOMPARE(std::tuple(layer.muscles[1]->height, layer.muscles[1]->active),
                 std::tuple(0.5f, 0));
        QCOMPARE(dlg.muscles->item(1)->text(), QStringLiteral("b\torbital"));

        // Delete asks; the last line's deletion selects the new last, the first's the next.
        dlg.select(2);
        ui.answer(false);
        QVERIFY(!dlg.deleteMuscle());
        ui.answer(true);
        QVERIFY(dlg.deleteMuscle());
        QCOMPARE(std::tuple(names(layer), dlg.selected()), std::tuple(QStringList{"a", "b"}, 1));
        dlg.select(0);
        ui.answer(true);
        QVERIFY(dlg.deleteMuscle());
        QCOMPARE(std::tuple(names(layer), dlg.selected()), std::tuple(QStringList{"b"}, 0));
        dlg.select(-1);
        QVERIFY(!dlg.deleteMuscle());
        QCOMPARE(ui.messages().back(),
                 std::string("Failed to locate muscle Definition! Cancelling Delete..."));
        // The Delete key on the list acts as "Delete".
        dlg.select(0);
        ui.answer(true);
        sendKey(dlg.muscles, Qt::Key_Delete);
        QVERIFY(layer.muscles.empty());
    }

    // What the mouse selected is what the fields show and "Active" and "Copy" act on.
    void muscleClickedWithTheMouseCanBeEdited() {
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        addMuscles(layer, {"a", "b"});
        layer.muscles[1]->height = 0.75f;
        layer.muscles[1]->active = 0;
        KLayerPropertiesDlg dlg(layer, doc);
        QVERIFY(kShowActive(&dlg));
        kClickRow(dlg.muscles, 1);
        QCOMPARE(std::tuple(dlg.selected(), dlg.muscleScale->text()),
                 std::tuple(1, QStringLiteral("0.75")));
        QTest::mouseClick(dlg.muscleActive, Qt::LeftButton);
        QCOMPARE(std::tuple(layer.muscles[0]->active, layer.muscles[1]->active), std::tuple(1, 1));
        QTest::mouseClick(dlg.copyButton, Qt::LeftButton);
        QVERIFY(doc.copiedMuscle);
        QCOMPARE(doc.copiedMuscle->name, std::string("b"));
    }

    // The copy is the document's own, taken when copied: pasted after the selected line
    // (after the first without one), each paste a new muscle.
    void copiedMuscleIsSharedBetweenLayers() {
        CPexaDoc doc;
        addMuscles(*doc.layers[0], {"Flexor"});
        addMuscles(*doc.layers[1], {"x", "y", "z"});
        {
            KLayerPropertiesDlg dlg(*doc.layers[0], doc);
            dlg.select(0);
            dlg.copyMuscle();
        }
        doc.layers[0]->muscles[0]->name = "renamed later";
        KLayerPropertiesDlg dlg(*doc.layers[1], doc);
        dlg.select(1);
        dlg.pasteMuscle();
        QCOMPARE(dlg.selected(), 2);
        dlg.select(-1);
        dlg.pasteMuscle();
        QCOMPARE(names(*doc.layers[1]),
                 (QStringList{"x", "Flexor (copy)", "y", "Flexor (copy)", "z"}));
        QVERIFY(doc.layers[1]->muscles[1].get() != doc.copiedMuscle.get());
    }

    // Append, Edit with nothing selected, and Insert (before the selected line) create
    // through the muscle sheet; Cancel discards; Edit changes the selected muscle.
    void createAndEditThroughTheMuscleSheet() {
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[2];
        addMuscles(layer, {"first"});
        KLayerPropertiesDlg dlg(layer, doc);
        int sheets = 0;
        KDialogScript script([&](QDialog& d) {
            auto& sheet = dynamic_cast<KMuscleSheet&>(d);
            sheet.general->name->setText(QStringLiteral("made %1").arg(++sheets));
            return int(sheets > 1 ? QDialog::Accepted : QDialog::Rejected);
        });
        dlg.appendMuscle();
        QCOMPARE(layer.muscles.size(), size_t(1));
        dlg.editMuscle();
        QCOMPARE(std::tuple(names(layer), dlg.selected()),
                 std::tuple(QStringList{"first", "made 2"}, 1));
        sendKey(dlg.muscles, Qt::Key_Insert);
        QCOMPARE(names(layer), (QStringList{"first", "made 3", "made 2"}));
        dlg.select(0);
        dlg.editMuscle();
        QCOMPARE(names(layer), (QStringList{"made 4", "made 3", "made 2"}));
    }

    void imageButtonsAndLayerValues() {
        KTestUi ui;
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        auto tga = std::make_unique<KImageMapTga>();
        tga->setFormat(24, KImageMap::OptionGray24);
        tga->resize(2, 2);
        tga->name = "/tmp/skin.tga";
        std::unique_ptr<KImageMap> map = std::move(tga);
        QCOMPARE(layer.setImageMap(map), 0);
        KHintLog log;
        doc.addObserver(&log);
        KDialogScript script([&](QDialog& d) {
            auto& dlg = dynamic_cast<KLayerPropertiesDlg&>(d);
            [&] {
                QCOMPARE(dlg.image->item(0)->text(), QStringLiteral("/tmp/skin.tga"));
                ui.answerPixelDepth(KImageMap::OptionRgb);
                dlg.optionsButton->click();
                QCOMPARE(layer.getImageMap()->pixelDepthOption, int32_t(KImageMap::OptionRgb));
                ui.answer(false);
                ui.answer(true);
                QVERIFY(!dlg.releaseImage() && layer.getImageMap());
                QVERIFY(dlg.releaseImage() && !layer.getImageMap());
            }();
            dlg.imageScale->setText(QStringLiteral("0.75"));
            dlg.layerTexture->setValue(300);
            dlg.backgroundOnly->setChecked(true);
            return int(QDialog::Rejected); // closing the window is "Done" as well
        });
        kEditLayerProperties(nullptr, doc, layer);
        QCOMPARE(std::tuple(layer.imageScale, layer.textureIndex, layer.backgroundOnly),
                 std::tuple(0.75f, 255, 1));
        QCOMPARE(log.hints.front(), int(CPexaDoc::HintLayer));
        doc.removeObserver(&log);
    }

    // No layer current: reported. Past fifteen layers "More Layers..." lists them all,
    // preselecting the current one, and opens the chosen one's properties.
    void moreLayersAndTheCurrentLayer() {
        KTestUi ui;
        CPexaDoc doc;
        doc.currentItem = 40;
        kOpenCurrentLayer(nullptr, doc);
        QCOMPARE(ui.messages().back(), std::string("Can't find layer!"));
        while (doc.layers.size() < 17) {
            doc.layers.push_back(std::make_unique<KBdlLayer>());
            doc.layers.back()->name = "L" + std::to_string(doc.layers.size() - 1);
        }
        doc.currentItem = 4;
        QStringList seen;
        KDialogScript script([&](QDialog& d) {
            if (auto* pick = dynamic_cast<KSelectUserLayerDlg*>(&d)) {
                seen << QString::number(pick->choice());
                pick->list->setCurrentRow(16);
            } else if (dynamic_cast<KLayerPropertiesDlg*>(&d)) {
                seen << QString::fromStdString(doc.layerName(doc.currentItem - 3));
            }
            return int(QDialog::Accepted);
        });
        kMoreLayers(nullptr, doc);
        QCOMPARE(std::tuple(seen, doc.currentItem), std::tuple(QStringList{"15", "L16"}, 3 + 16));
        kMoreLayers(nullptr, doc);
        QCOMPARE(seen.value(2), QStringLiteral("16"));
    }

    void importTgaAsksAndAttaches() {
        KTestUi ui;
        QTemporaryDir dir;
        const QString path = kWriteFlatTga(dir.filePath(QStringLiteral("relief.tga")), 4, 3, 0, 8);
        QVERIFY(!path.isEmpty());
        CPexaDoc doc;
        doc.layers[1]->active = 0;
        doc.currentItem = CPexaDoc::ItemShape;
        KFileScript files(path);
        bool activeOnly = false;
        KDialogScript script([&](QDialog& d) {
            auto& dlg = dynamic_cast<KImportImageDlg&>(d);
            if (dlg.layers->count() != 3 || dlg.layerIndex() != -1) {
                return int(QDialog::Rejected);
            }
            if (activeOnly) {
                dlg.activeOnly->click();
            }
            for (int i = 0; i < dlg.layers->count(); ++i) {
                if (dlg.layers->item(i)->data(Qt::UserRole).toInt() == 2) {
                    dlg.layers->setCurrentRow(i);
                }
            }
            dlg.backgroundOnly->setChecked(true);
            return int(QDialog::Accepted);
        });
        // The Shape item is current: the "different layer" question comes first.
        ui.answer(false);
        QVERIFY(!kImportTga(nullptr, doc));
        QCOMPARE(ui.questions().size(), size_t(1));
        QVERIFY(files.requests.empty());
        QCOMPARE(doc.currentItem, 3 + 2);
        QVERIFY(doc.isModified());

        // Only the active layers listed: the third line is still layer 2.
        activeOnly = true;
        doc.currentItem = CPexaDoc::ItemShape;
        ui.answer(true);
        QVERIFY(kImportTga(nullptr, doc));
        QCOMPARE(files.requests.size(), size_t(1));
        QVERIFY(doc.layers[2]->getImageMap());
        QCOMPARE(std::tuple(doc.layers[2]->backgroundOnly, doc.imageResolutionU), std::tuple(1, 4));

        // A second image declined keeps the first one and its background switch.
        doc.layers[2]->backgroundOnly = 0;
        doc.currentItem = CPexaDoc::ItemShape;
        ui.answer(true);  // different layer
        ui.answer(false); // replace? No
        QVERIFY(!kImportTga(nullptr, doc));
        QCOMPARE(std::tuple(doc.layers[2]->backgroundOnly, ui.unansweredQuestions),
                 std::tuple(0, 0));
    }

    // Fifteen layers have their own slots; "More Layers..." only past them. A slot makes
    // its layer current, checks itself and opens the layer's properties.
    void mainWindowLayerSlots() {
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();
        while (doc->layers.size() < 15) {
            doc->layers.push_back(std::make_unique<KBdlLayer>());
        }
        frame.updateCommands();
        QVERIFY(frame.action("itemLayer14")->isEnabled());
        QVERIFY(!frame.action("itemMoreLayers")->isEnabled());
        doc->layers.push_back(std::make_unique<KBdlLayer>());
        frame.updateCommands();
        QVERIFY(frame.action("itemMoreLayers")->isEnabled());
        KBdlLayer* opened = nullptr;
        KDialogScript script([&](QDialog& d) {
            if (dynamic_cast<KLayerPropertiesDlg*>(&d)) {
                opened = doc->layers[size_t(doc->currentItem - 3)].get();
            }
            return int(QDialog::Accepted);
        });
        frame.action("itemLayer2")->trigger();
        QCOMPARE(std::tuple(doc->currentItem, opened), std::tuple(5, doc->layers[2].get()));
        QVERIFY(frame.action("itemLayer2")->isChecked());
    }
};

QTEST_MAIN(TestLayerDialogs)
#include "tst_layerdialogs.moc"
