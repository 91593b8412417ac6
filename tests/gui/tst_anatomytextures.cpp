// The anatomy sheet (pages, title window, enabling, OK and Cancel) and the texture list
// editor (showing and applying an entry, colour buttons, the list's keys, the last entry
// kept), with the main window's texture list commands.

#include "KGuiTestKit.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KTextureListDlg.h"

namespace {

void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &e);
}

QStringList textureNames(const KTextureList& list) {
    QStringList out;
    for (const KTexture& t : list.entries) {
        out << QString::fromStdString(t.name);
    }
    return out;
}

} // namespace

class TestAnatomyTextures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void anatomyPagesTitleAndEnabling() {
        CPexaDoc doc;
        KAnatPropSheet sheet(doc.bodyPart, 9);
        QCOMPARE(sheet.currentPage(), 3); // clamped to the last page
        sheet.tabs->setCurrentIndex(2);

        // "Active" switches the page's string field.
        QVERIFY(!sheet.curvature->boneCurvature->isEnabled() && !sheet.titleWindow->isEnabled());
        sheet.curvature->active->click();
        QVERIFY(sheet.curvature->boneCurvature->isEnabled() && sheet.titleWindow->isEnabled());
        sheet.joints->active->click();
        QVERIFY(sheet.joints->jointBends->isEnabled());

        QCOMPARE(KAnatPropSheet(doc.bodyPart, -3).currentPage(), 0);
    }

    void anatomyCancelKeepsOnlyParsedCurves() {
        CPexaDoc doc;
        doc.setModified(false);
        doc.anatomySheetSetting = 2;
        int opened = -1;
        KDialogScript script([&](QDialog& d) {
            auto& sheet = dynamic_cast<KAnatPropSheet&>(d);
            opened = sheet.currentPage();
            sheet.segments->lengths->setText(QStringLiteral("< 0.25, 1, 0.25 >, < 0.2, 2, 0.2 >"));
            kLoseFocus(sheet.segments->lengths);
            sheet.twist->amount->setText(QStringLiteral("0.5"));
            sheet.joints->active->click();
            sheet.joints->bendPercent->setValue(0.25);
            sheet.joints->bendType->button(1)->setChecked(true);
            sheet.tabs->setCurrentIndex(1);
            return int(QDialog::Rejected);
        });
        QVERIFY(!kEditAnatomy(nullptr, doc));
        QCOMPARE(std::tuple(opened, doc.anatomySheetSetting, doc.currentItem),
                 std::tuple(2, 1, int32_t(CPexaDoc::ItemAnatomy)));
        const KBdlBodyPart& b = doc.bodyPart;
        QCOMPARE(std::tuple(b.lengths.count(), b.bendsOn, b.bendScale, b.bendType),
                 std::tuple(2, 0, 1.0f, 0));
        QCOMPARE(b.jointBends.count(), 1); // not padded without OK
        QVERIFY(doc.isModified());         // the curve change is the document's
    }

    void anatomyOkCopiesBackAndPadsTheJoints() {
        CPexaDoc doc;
        doc.bodyPart.bendScale = 0.123456f;
        doc.setModified(false);
        KDialogScript script([&](QDialog& d) {
            auto& sheet = dynamic_cast<KAnatPropSheet&>(d);
            sheet.segments->lengths->setText(
                QStringLiteral("< 0.25, 1, 0.25 >, < 0.2, 2, 0.2 >, < 0.2, 1, 0.2 >"));
            sheet.curvature->active->click();
            sheet.twist->amount->setText(QStringLiteral("-0.125"));
            sheet.joints->bendType->button(1)->setChecked(true);
            return int(QDialog::Accepted);
        });
        QVERIFY(kEditAnatomy(nullptr, doc));
        const KBdlBodyPart& b = doc.bodyPart;
        QCOMPARE(std::tuple(b.lengths.count(), b.jointBends.count(), b.curvatureOn, b.shear),
                 std::tuple(3, 3, 1, -0.125f));
        // An untouched field is not rounded.
        QCOMPARE(std::tuple(b.bendType, b.bendScale, doc.isModified()),
                 std::tuple(1, 0.123456f, true));
    }

    void curvatureCurvePropertiesStaysIndexedByY() {
        CPexaDoc doc;
        KAnatPropSheet sheet(doc.bodyPart, 2);
        KDialogScript script([](QDialog& d) {
            auto& dlg = dynamic_cast<KCurvePropertiesDlg&>(d);
            dlg.indexType->button(KBdlCurve::AxisX)->setChecked(true);
            dlg.resolution->setValue(12);
            return int(QDialog::Accepted);
        });
        sheet.curvature->curvePropertiesButton->click();
        QCOMPARE(std::tuple(doc.bodyPart.boneCurvature.indexType,
                            doc.bodyPart.boneCurvature.resolution, sheet.curvesChanged()),
                 std::tuple(int32_t(KBdlCurve::AxisY), 12, true));
    }

    void textureEntryShownAndApplied() {
        KTextureList list = KTextureList::defaults();
        KTexture& white = list.entries[7];
        white.ambientFactor = 0.5f;
        white.ambient = {1, 1, 1, 1};
        white.diffuse = {0.3, 0.3, 0.3, 1}; // not a whole number of 255ths
        KTextureListDlg dlg(list);
        dlg.list->setCurrentRow(7);
        const int ambient = KTextureListDlg::Ambient, specular = KTextureListDlg::Specular;
        QCOMPARE(std::tuple(dlg.name->text(), dlg.factor[ambient]->text(),
                            dlg.rgb[ambient][0]->text(), dlg.rgb[ambient][2]->text()),
                 std::tuple(QStringLiteral("texWhite"), QStringLiteral("0.5"),
                            QStringLiteral("127"), QStringLiteral("127")));
        QVERIFY(dlg.use[ambient]->isChecked());

        // Looking at other entries applies the fields without changing any colour.
        dlg.list->setCurrentRow(8);
        dlg.list->setCurrentRow(7);
        dlg.list->setCurrentRow(6);
        QCOMPARE(std::tuple(white.ambient.x, white.diffuse.y), std::tuple(1.0, 0.3));

        // Name and the ambient alpha apply when their fields are left; the specular alpha
        // waits for the next apply.
        dlg.list->setCurrentRow(7);
        dlg.name->setText(QStringLiteral("texSnow"));
        kLoseFocus(dlg.name);
        QCOMPARE(std::tuple(white.name, dlg.list->item(7)->text()),
                 std::tuple(std::string("texSnow"), QStringLiteral("texSnow")));
        dlg.alpha[specular]->setValue(0.5);
        kLoseFocus(dlg.alpha[specular]);
        QCOMPARE(white.specular.w, 1.0);
        dlg.alpha[ambient]->setValue(-0.25);
        dlg.use[KTextureListDlg::Emission]->setChecked(true);
        kLoseFocus(dlg.alpha[ambient]);
        QCOMPARE(std::tuple(white.ambient.w, white.specular.w, white.useEmission),
                 std::tuple(-0.25, 0.5, true));

        // A colour button: the choice is stored as chosen, the alpha kept.
        // Red for the ambient colour shown (127 grey), Cancel for every other.
        KColorScript colors([](const QColor& initial) -> std::optional<QColor> {
            return initial == QColor(127, 127, 127) ? std::optional(QColor(255, 0, 0))
                                                    : std::nullopt;
        });
        dlg.color[ambient]->click();
        dlg.color[KTextureListDlg::Diffuse]->click();
        QCOMPARE(std::tuple(white.ambient.x, white.ambient.y, white.ambient.w, white.diffuse.y),
                 std::tuple(1.0, 0.0, -0.25, 0.3));

        // OK applies the shown entry; Cancel keeps what was applied before.
        dlg.shininess->setValue(64);
        dlg.accept();
        QCOMPARE(white.shininess, 64.0f);
        dlg.name->setText(QStringLiteral("lost"));
        dlg.reject();
        QCOMPARE(white.name, std::string("texSnow"));
    }

    void textureListKeys() {
        KTestUi ui;
        KTextureList list = KTextureList::defaults();
        list.entries.resize(3);
        KTextureListDlg dlg(list);
        dlg.list->setCurrentRow(1);
        press(dlg.list, Qt::Key_Insert, Qt::ShiftModifier); // empty slot: a new entry
        QCOMPARE(textureNames(list),
                 (QStringList{"texDefault", "(unknown)", "texRed", "texGreen"}));
        QCOMPARE(dlg.selected(), 1);
        dlg.list->setCurrentRow(3);
        press(dlg.list, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(dlg.clip());
        dlg.list->setCurrentRow(0);
        press(dlg.list, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(textureNames(list).first(), QStringLiteral("texGreen"));
        dlg.list->setCurrentRow(2);
        press(dlg.list, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(textureNames(list), (QStringList{"texGreen", "texDefault", "texRed", "texGreen"}));
        QCOMPARE(dlg.clip()->name, std::string("(unknown)"));
        dlg.list->setCurrentRow(3);
        press(dlg.list, Qt::Key_Delete);
        QCOMPARE(list.entries.size(), size_t(3));
        QCOMPARE(dlg.selected(), 2); // past the end: the new last entry
        press(dlg.list, Qt::Key_Delete, Qt::ShiftModifier);
        press(dlg.list, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(dlg.clip()->name, std::string("texDefault"));
        press(dlg.list, Qt::Key_Delete);
        QCOMPARE(textureNames(list), (QStringList{"texGreen"}));
        QVERIFY(ui.messages().empty());

        // The last entry stays.
        press(dlg.list, Qt::Key_X, Qt::ControlModifier);
        press(dlg.list, Qt::Key_Delete);
        QCOMPARE(list.entries.size(), size_t(1));
        QCOMPARE(ui.messages(), (std::vector<std::string>{"You must keep at least one texture.",
                                                          "You must keep at least one texture."}));
        press(dlg.list, Qt::Key_Insert, Qt::ShiftModifier);
        dlg.select(-1);
        press(dlg.list, Qt::Key_Delete);
        QCOMPARE(ui.messages().back(), std::string("No texture selected to delete..."));
        QCOMPARE(list.entries.size(), size_t(2));
    }

    // Saving asks for a file to save, loading for one to open; no file chosen, nothing is
    // done (what the commands do with a file, the main window's tests check).
    void mainWindowTextureCommands() {
        KTestUi ui;
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();

        std::vector<bool> saving;
        KFileScript files([&saving](const KFileRequest& r) {
            saving.push_back(r.save);
            return QString();
        });
        QVERIFY(!frame.saveTextureList(*doc) && !frame.loadTextureList(*doc));
        QCOMPARE(saving, (std::vector<bool>{true, false}));
        QCOMPARE(doc->textures.entries.size(), size_t(11));
    }
};

QTEST_MAIN(TestAnatomyTextures)
#include "tst_anatomytextures.moc"
