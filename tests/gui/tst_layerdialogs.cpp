// The layer dialogs and the commands around them: list lines, the layer list's edits with
// their confirmation, a layer's muscle list (delete, copy and paste through the
// document's slot, create through the muscle sheet), its image buttons, "More Layers...",
// the TGA import and the main window's layer slots.
#include <QtTest>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "KGuiTestSupport.h"
#include "app/CMainFrame.h"
#include "dialogs/KLayerDialogs.h"
#include "dialogs/KMuscleDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "image/KImageMapTga.h"

namespace {

std::unique_ptr<KBdlMuscle> muscle(const char* name, int32_t type = KBdlMuscle::Linear) {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->name = name;
    return m;
}

QStringList names(const KBdlLayer& layer) {
    QStringList out;
    for (const auto& m : layer.muscles) {
        out << QString::fromStdString(m->name);
    }
    return out;
}

QString writeTga(const QTemporaryDir& dir, int depth) {
    KImageMapTga img;
    img.setFormat(depth, depth == 8 ? KImageMap::OptionGray8 : KImageMap::OptionGray24);
    img.resize(4, 3);
    const QString path = dir.filePath(QStringLiteral("relief.tga"));
    return img.save(path.toStdString()) == 0 ? path : QString();
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
        QStringList shown;
        for (int i = 0; i < pick.list->count(); ++i) {
            shown << pick.list->item(i)->text();
        }
        QCOMPARE(shown, expected);
        QCOMPARE(pick.list->currentRow(), 2);
    }

    void listLines() {
        KBdlLayer skin;
        skin.name = "Skin";
        skin.physical = 0;
        skin.active = 0;
        QCOMPARE(kLayerLine(skin), QStringLiteral("Skin\tImageMap"));
        skin.physical = 1;
        skin.active = 1;
        QCOMPARE(kLayerLine(skin), QStringLiteral("Skin\tGeometry\tY"));
        skin.physical = 7;
        QCOMPARE(kLayerLine(skin), QStringLiteral("Skin\tInternal\tY"));
        KBdlMuscle m(KBdlMuscle::Point);
        m.name = "Knob";
        QCOMPARE(kMuscleLine(m), QStringLiteral("Knob\tpoint\tY"));
        m.active = 0;
        m.muscleType = KBdlMuscle::Orbital;
        QCOMPARE(kMuscleLine(m), QStringLiteral("Knob\torbital"));
    }

    void layerListEditsInPlace() {
        KTestUi ui;
        CPexaDoc doc;
        KSurfaceHeight::LayerList layers = doc.takeLayers();
        layers[1]->physical = 2; // "Internal"
        KLayerListDlg dlg(layers);
        QCOMPARE(dlg.list->item(0)->text(), QStringLiteral("Bone Surfaces\tGeometry\tY"));
        QCOMPARE(dlg.name->text(), QStringLiteral("Bone Surfaces"));

        // Leaving a text field writes all five fields.
        dlg.name->setText(QStringLiteral("Bones"));
        dlg.scale->setText(QStringLiteral("2.5"));
        dlg.active->setChecked(false);
        kLoseFocus(dlg.name);
        QCOMPARE(layers[0]->name, std::string("Bones"));
        QCOMPARE(layers[0]->scale, 2.5);
        QCOMPARE(layers[0]->active, 0);
        QCOMPARE(dlg.list->item(0)->text(), QStringLiteral("Bones\tGeometry"));

        // A click on a check box writes too, and leaves an unclicked "Internal" alone.
        dlg.select(1);
        dlg.description->setText(QStringLiteral("under the skin"));
        dlg.active->click();
        QCOMPARE(layers[1]->description, std::string("under the skin"));
        QCOMPARE(layers[1]->active, 0);
        QCOMPARE(layers[1]->physical, 2);
        dlg.physical->click();
        QCOMPARE(layers[1]->physical, 0);

        dlg.select(-1);
        QVERIFY(!dlg.remove());

        dlg.insert(); // nothing selected: appended
        QCOMPARE(layers.size(), size_t(4));
        QCOMPARE(dlg.selected(), 3);
        QCOMPARE(layers[3]->name, std::string("(new)"));
        dlg.name->setText(QStringLiteral("Fourth"));
        kLoseFocus(dlg.name);
        dlg.select(1);
        dlg.insert();
        QCOMPARE(dlg.selected(), 1);
        QCOMPARE(layers[2]->name, std::string("Exterior Muscles"));
        dlg.append();
        QCOMPARE(dlg.selected(), 5);
        QCOMPARE(layers.size(), size_t(6));

        ui.answer(false);
        QVERIFY(!dlg.remove());
        QCOMPARE(layers.size(), size_t(6));
        ui.answer(true);
        QVERIFY(dlg.remove());
        QCOMPARE(ui.questions().back(),
                 std::string("Delete can not be Undone! Are you sure you wish to Continue?"));
        QCOMPARE(layers.size(), size_t(5));
        QCOMPARE(dlg.selected(), 4); // the last line after the last one went
        QCOMPARE(layers[4]->name, std::string("Fourth"));
        doc.restoreLayers(std::move(layers));
    }

    void layerListMouseSelectsAsTheKeysDo() {
        CPexaDoc doc;
        KSurfaceHeight::LayerList layers = doc.takeLayers();
        KLayerListDlg dlg(layers);
        QVERIFY(kShowActive(&dlg));

        // "Bone Surfaces" chosen with the arrow keys gets a description.
        dlg.list->setFocus();
        QTest::keyClick(dlg.list, Qt::Key_Down);
        QTest::keyClick(dlg.list, Qt::Key_Up);
        QCOMPARE(dlg.name->text(), QStringLiteral("Bone Surfaces"));
        QTest::mouseClick(dlg.description, Qt::LeftButton);
        QTest::keyClicks(dlg.description, QStringLiteral("deep bones"));

        // Another line clicked, and back: the fields follow the mouse.
        kClickRow(dlg.list, 1);
        QCOMPARE(dlg.selected(), 1);
        QCOMPARE(dlg.name->text(), QStringLiteral("Exterior Muscles"));
        kClickRow(dlg.list, 0);
        QCOMPARE(dlg.selected(), 0);

        // The name edited and left with Tab keeps the description.
        QTest::mouseClick(dlg.name, Qt::LeftButton);
        dlg.name->selectAll();
        QTest::keyClicks(dlg.name, QStringLiteral("Bones"));
        QTest::keyClick(dlg.name, Qt::Key_Tab);
        QVERIFY(!dlg.name->hasFocus());
        QCOMPARE(layers[0]->name, std::string("Bones"));
        QCOMPARE(layers[0]->description, std::string("deep bones"));
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
        QCOMPARE(doc.layers.size(), size_t(4));
        QCOMPARE(doc.layers[0]->name, std::string("Top"));
        QCOMPARE(doc.layers[1].get(), first);
        QVERIFY(doc.isModified());
    }

    void layerPropertiesMuscleList() {
        KTestUi ui;
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        layer.muscles.push_back(muscle("a"));
        layer.muscles.push_back(muscle("b", KBdlMuscle::Orbital));
        layer.muscles.push_back(muscle("c", KBdlMuscle::Point));
        KLayerPropertiesDlg dlg(layer, doc);
        QCOMPARE(dlg.muscles->item(1)->text(), QStringLiteral("b\torbital\tY"));

        dlg.select(1);
        dlg.muscleScale->setText(QStringLiteral("0.5"));
        kLoseFocus(dlg.muscleScale);
        QCOMPARE(layer.muscles[1]->height, 0.5f);
        dlg.muscleActive->click();
        QCOMPARE(layer.muscles[1]->active, 0);
        QCOMPARE(dlg.muscles->item(1)->text(), QStringLiteral("b\torbital"));

        // Delete: asks, and the last line's deletion selects the new last.
        dlg.select(2);
        ui.answer(false);
        QVERIFY(!dlg.deleteMuscle());
        QCOMPARE(layer.muscles.size(), size_t(3));
        ui.answer(true);
        QVERIFY(dlg.deleteMuscle());
        QCOMPARE(names(layer), (QStringList{"a", "b"}));
        QCOMPARE(dlg.selected(), 1);
        dlg.select(0);
        ui.answer(true);
        QVERIFY(dlg.deleteMuscle());
        QCOMPARE(dlg.selected(), 0); // the next muscle moves up into the line
        QCOMPARE(names(layer), (QStringList{"b"}));
        dlg.select(-1);
        QVERIFY(!dlg.deleteMuscle());
        QCOMPARE(ui.messages().back(),
                 std::string("Failed to locate muscle Definition! Cancelling Delete..."));

        // The Delete key on the list acts as "Delete".
        dlg.select(0);
        ui.answer(true);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(dlg.muscles, &del);
        QVERIFY(layer.muscles.empty());
    }

    void muscleClickedWithTheMouseCanBeEdited() {
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        layer.muscles.push_back(muscle("a"));
        layer.muscles.push_back(muscle("b"));
        layer.muscles[1]->height = 0.75f;
        layer.muscles[1]->active = 0;
        KLayerPropertiesDlg dlg(layer, doc);
        QVERIFY(kShowActive(&dlg));

        kClickRow(dlg.muscles, 1);
        QCOMPARE(dlg.selected(), 1);
        QCOMPARE(dlg.muscleScale->text(), QStringLiteral("0.75"));

        // What the mouse selected is what "Active" and "Copy" act on.
        QTest::mouseClick(dlg.muscleActive, Qt::LeftButton);
        QCOMPARE(layer.muscles[1]->active, 1);
        QCOMPARE(layer.muscles[0]->active, 1);
        QTest::mouseClick(dlg.copyButton, Qt::LeftButton);
        QVERIFY(doc.copiedMuscle);
        QCOMPARE(doc.copiedMuscle->name, std::string("b"));
    }

    void copiedMuscleIsSharedBetweenLayers() {
        CPexaDoc doc;
        doc.layers[0]->muscles.push_back(muscle("Flexor"));
        doc.layers[1]->muscles.push_back(muscle("x"));
        doc.layers[1]->muscles.push_back(muscle("y"));
        doc.layers[1]->muscles.push_back(muscle("z"));
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
        dlg.select(1);
        dlg.pasteMuscle();
        QCOMPARE(names(*doc.layers[1]),
                 (QStringList{"x", "y", "Flexor (copy)", "Flexor (copy)", "z"}));
        dlg.select(-1);
        dlg.pasteMuscle(); // after the first when nothing is selected
        QCOMPARE(doc.layers[1]->muscles[1]->name, std::string("Flexor (copy)"));
        QVERIFY(doc.layers[1]->muscles[1].get() != doc.copiedMuscle.get());
    }

    void createAndEditThroughTheMuscleSheet() {
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[2];
        layer.muscles.push_back(muscle("first"));
        KLayerPropertiesDlg dlg(layer, doc);
        int sheets = 0;
        bool accept = false;
        KDialogScript script([&](QDialog& d) {
            auto& sheet = dynamic_cast<KMuscleSheet&>(d);
            ++sheets;
            sheet.general->name->setText(QStringLiteral("made %1").arg(sheets));
            return int(accept ? QDialog::Accepted : QDialog::Rejected);
        });
        dlg.appendMuscle(); // cancelled: discarded
        QCOMPARE(layer.muscles.size(), size_t(1));
        accept = true;
        dlg.editMuscle(); // nothing selected: acts as Append
        QCOMPARE(names(layer), (QStringList{"first", "made 2"}));
        QCOMPARE(dlg.selected(), 1);
        QKeyEvent ins(QEvent::KeyPress, Qt::Key_Insert, Qt::NoModifier);
        QApplication::sendEvent(dlg.muscles, &ins); // before the selected one
        QCOMPARE(names(layer), (QStringList{"first", "made 3", "made 2"}));
        dlg.select(0);
        dlg.editMuscle();
        QCOMPARE(names(layer), (QStringList{"made 4", "made 3", "made 2"}));
    }

    void imageButtonsAndLayerValues() {
        KTestUi ui;
        CPexaDoc doc;
        KBdlLayer& layer = *doc.layers[0];
        auto img = std::make_unique<KImageMapTga>();
        img->setFormat(24, KImageMap::OptionGray24);
        img->resize(2, 2);
        img->name = "/tmp/skin.tga";
        std::unique_ptr<KImageMap> map = std::move(img);
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
                QVERIFY(!dlg.releaseImage());
                QVERIFY(layer.getImageMap());
                ui.answer(true);
                QVERIFY(dlg.releaseImage());
                QCOMPARE(ui.questions().back(),
                         std::string("This will release the current image map and discard\nall "
                                     "image manipulation operations!\n\nAre you sure you want to "
                                     "continue?"));
                QCOMPARE(layer.getImageMap(), nullptr);
                dlg.imageScale->setText(QStringLiteral("0.75"));
                dlg.layerTexture->setValue(300);
                dlg.backgroundOnly->setChecked(true);
            }();
            return int(QDialog::Rejected); // closing the window is "Done" as well
        });
        kEditLayerProperties(nullptr, doc, layer);
        QCOMPARE(layer.imageScale, 0.75f);
        QCOMPARE(layer.textureIndex, 255);
        QCOMPARE(layer.backgroundOnly, 1);
        QCOMPARE(log.hints.front(), int(CPexaDoc::HintLayer));
        doc.removeObserver(&log);
    }

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
        std::vector<QString> seen;
        KDialogScript script([&](QDialog& d) {
            if (auto* pick = dynamic_cast<KSelectUserLayerDlg*>(&d)) {
                seen.push_back(QString::number(pick->choice()));
                pick->list->setCurrentRow(16);
                return int(QDialog::Accepted);
            }
            if (dynamic_cast<KLayerPropertiesDlg*>(&d)) {
                seen.push_back(QString::fromStdString(doc.layerName(doc.currentItem - 3)));
            }
            return int(QDialog::Accepted);
        });
        kMoreLayers(nullptr, doc);
        QCOMPARE(seen, (std::vector<QString>{"15", "L16"}));
        QCOMPARE(doc.currentItem, 3 + 16);
        seen.clear();
        kMoreLayers(nullptr, doc); // a layer past the fifteenth is current: it is preselected
        QCOMPARE(seen.front(), QStringLiteral("16"));
    }

    void importTgaAsksAndAttaches() {
        KTestUi ui;
        QTemporaryDir dir;
        const QString path = writeTga(dir, 8);
        QVERIFY(!path.isEmpty());
        CPexaDoc doc;
        doc.layers[1]->active = 0;
        doc.currentItem = CPexaDoc::ItemShape;
        KFileScript files(path);
        bool activeOnly = false;
        int choose = 2;
        KDialogScript script([&](QDialog& d) {
            auto& dlg = dynamic_cast<KImportImageDlg&>(d);
            if (dlg.layers->count() != 3 || dlg.layerIndex() != -1) {
                return int(QDialog::Rejected);
            }
            if (activeOnly) {
                dlg.activeOnly->click();
            }
            for (int i = 0; i < dlg.layers->count(); ++i) {
                if (dlg.layers->item(i)->data(Qt::UserRole).toInt() == choose) {
                    dlg.layers->setCurrentRow(i);
                }
            }
            dlg.backgroundOnly->setChecked(true);
            return int(QDialog::Accepted);
        });
        // The Shape item is current: the "different layer" question comes first.
        ui.answer(false);
        QVERIFY(!kImportTga(nullptr, doc));
        QCOMPARE(ui.questions().back(),
                 std::string("The requested import layer is different from the current "
                             "'active' layer!\n\nImport the image to the requested layer "
                             "anyways?"));
        QVERIFY(files.requests.empty());
        QCOMPARE(doc.currentItem, 3 + 2);
        QVERIFY(doc.isModified());

        // Only the active layers listed: the third line is still layer 2.
        activeOnly = true;
        doc.currentItem = CPexaDoc::ItemShape;
        doc.setModified(false);
        ui.answer(true);
        QVERIFY(kImportTga(nullptr, doc));
        QCOMPARE(files.requests.size(), size_t(1));
        QVERIFY(doc.layers[2]->getImageMap());
        QCOMPARE(doc.layers[2]->backgroundOnly, 1);
        QCOMPARE(doc.imageResolutionU, 4);

        // A second image declined keeps the first one and its background switch.
        doc.layers[2]->backgroundOnly = 0;
        doc.currentItem = CPexaDoc::ItemShape;
        ui.answer(true);  // different layer
        ui.answer(false); // replace? No
        QVERIFY(!kImportTga(nullptr, doc));
        QCOMPARE(doc.layers[2]->backgroundOnly, 0);
        QCOMPARE(ui.unansweredQuestions, 0);
    }

    void mainWindowLayerSlots() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        while (doc->layers.size() < 15) {
            doc->layers.push_back(std::make_unique<KBdlLayer>());
        }
        frame.updateCommands();
        QVERIFY(frame.action("itemLayer14")->isEnabled());
        QVERIFY(!frame.action("itemMoreLayers")->isEnabled());
        doc->layers.push_back(std::make_unique<KBdlLayer>());
        frame.updateCommands();
        QVERIFY(frame.action("itemMoreLayers")->isEnabled());

        doc->layers[2]->name = "Epi";
        KBdlLayer* opened = nullptr;
        KDialogScript script([&](QDialog& d) {
            opened = nullptr;
            if (dynamic_cast<KLayerPropertiesDlg*>(&d)) {
                opened = doc->layers[size_t(doc->currentItem - 3)].get();
            }
            return int(QDialog::Accepted);
        });
        frame.action("itemLayer2")->trigger();
        QCOMPARE(doc->currentItem, 5);
        QCOMPARE(opened, doc->layers[2].get());
        QVERIFY(frame.action("itemLayer2")->isChecked());
    }
};

QTEST_MAIN(TestLayerDialogs)
#include "tst_layerdialogs.moc"
