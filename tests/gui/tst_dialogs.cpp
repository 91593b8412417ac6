// The object and view dialogs: they open with the current values, limit their fields to
// the allowed ranges, and copy back exactly what they own with the right follow-up
// (grid rebuilt, document changed, or only the modified flag). Also the Qt front end's
// progress window and its real message boxes, file dialog and colour chooser.

#include "KGuiTestKit.h"
#include "app/KQtUi.h"
#include "dialogs/KItemDefaultsDlg.h"
#include "dialogs/KObjectDialogs.h"
#include "dialogs/KPixelDepthDlg.h"
#include "dialogs/KProgressWindow.h"
#include "dialogs/KViewDialogs.h"

namespace {

// A calculated, unmodified document, so each test sees what the dialog changes.
void settle(CPexaDoc& doc) {
    doc.ensureCalculated();
    doc.setModified(false);
}

// Accepts or cancels a modal dialog (accept() is protected in some of Qt's own).
void finish(QDialog& dialog, bool accept) {
    accept ? dialog.accept() : dialog.reject();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void objectDescriptionOnlyMarksTheDocument() {
        CPexaDoc doc;
        settle(doc);
        KHintLog log;
        doc.addObserver(&log);
        CObjectDescriptionDlg dlg(doc);
        dlg.name->setText(QStringLiteral("Hand"));
        dlg.description->setPlainText(QStringLiteral("two lines\nof text"));
        dlg.apply();
        QCOMPARE(std::tuple(doc.objectName, doc.description, doc.isModified(), doc.meshStale),
                 std::tuple(std::string("Hand"), std::string("two lines\nof text"), true, 0));
        QVERIFY(log.hints.empty());
        doc.removeObserver(&log);
    }

    void meshPropertiesRangesAndRebuild() {
        CPexaDoc doc;
        settle(doc);
        CMeshPropertiesDlg dlg(doc);
        dlg.uResolution->setValue(900);
        QCOMPARE(dlg.uResolution->value(), 512);
        dlg.uResolution->setValue(20);
        dlg.vResolution->setValue(30);
        dlg.clipUTo->setValue(0.5);
        dlg.shape->button(CPexaDoc::Spheric)->setChecked(true);
        dlg.scalingHeight->setValue(2.5);
        dlg.type->button(1)->setChecked(true);
        dlg.option->setCurrentIndex(1);
        dlg.apply();
        QCOMPARE(std::tuple(doc.uResolution, doc.vResolution, doc.clip.uTo, doc.baseShape),
                 std::tuple(20, 30, 0.5, int(CPexaDoc::Spheric)));
        QCOMPARE(std::tuple(doc.scalingHeight, doc.meshType, doc.meshOption),
                 std::tuple(2.5, int(CPexaDoc::Layered), 1));
        // The grid was rebuilt for the new size and clip range.
        QVERIFY(doc.meshGrid);
        QCOMPARE(std::tuple(doc.meshGrid->uCount(), doc.meshGrid->vCount()),
                 std::tuple(CPexaDoc::sampleCount(20, 0.0, 0.5), 31));
        QCOMPARE(std::tuple(doc.isModified(), doc.meshStale), std::tuple(true, 1));

        // A superquadric base shape has no radio and stays.
        doc.baseShape = CPexaDoc::SuperQuad + 1;
        CMeshPropertiesDlg quad(doc);
        QCOMPARE(quad.shape->checkedId(), -1);
        quad.apply();
        QCOMPARE(doc.baseShape, CPexaDoc::SuperQuad + 1);
    }

    void imagePropertiesCopyBackWithoutRecomputing() {
        CPexaDoc doc;
        settle(doc);
        CImagePropertiesDlg dlg(doc);
        dlg.u->setValue(256);
        dlg.v->setValue(128);
        dlg.interpolate->setChecked(true);
        dlg.apply();
        QCOMPARE(std::tuple(doc.imageResolutionU, doc.imageResolutionV, doc.interpolateHeights,
                            doc.meshStale),
                 std::tuple(256, 128, 1, 0));
    }

    void basicShapeCopiesTheFiveValues() {
        CPexaDoc doc;
        settle(doc);
        const std::string uText = doc.bodyPart.uProfile.getString();
        CBasicShapeDlg dlg(doc);
        QCOMPARE(doc.currentItem, int(CPexaDoc::ItemShape));
        QCOMPARE(dlg.uProfile->text().toStdString(), uText);
        dlg.uFactor->setValue(0.75);
        dlg.uOffset->setValue(0.1);
        dlg.uRepeat->setValue(3);
        dlg.shear->setValue(-0.2);
        dlg.vFactor->setValue(2.0);
        dlg.apply();
        const KBdlBodyPart& b = doc.bodyPart;
        QCOMPARE(std::tuple(b.uFactor, b.uOffset, b.uRepeat, b.shear, b.vFactor),
                 std::tuple(0.75f, 0.1f, 3, -0.2f, 2.0f));
        QCOMPARE(b.uProfile.getString(), uText);
        QCOMPARE(std::tuple(doc.isModified(), doc.meshStale), std::tuple(true, 1));
    }

    // The superquadric becomes the base shape; its switch clears the basic shape's
    // factors, and with the switch off they stay.
    void superQuadBecomesTheBaseShape() {
        for (bool clear : {true, false}) {
            CPexaDoc doc;
            settle(doc);
            CSuperQuadDlg dlg(doc);
            dlg.clearScaling->setChecked(clear);
            dlg.kind->button(2)->setChecked(true);
            dlg.exponent1->setValue(0.5);
            dlg.rad2->setValue(0.25);
            dlg.apply();
            const KShapeSuperQ& q = doc.bodyPart.superQuad;
            QCOMPARE(std::tuple(q.type, q.exponent1, q.rad2), std::tuple(2, 0.5f, 0.25f));
            QCOMPARE(std::tuple(doc.bodyPart.uFactor, doc.bodyPart.vFactor),
                     clear ? std::tuple(0.0f, 0.0f) : std::tuple(0.5f, 1.0f));
            QCOMPARE(std::tuple(doc.baseShape, doc.meshStale),
                     std::tuple(CPexaDoc::SuperQuad + 2, 1));
        }
    }

    // A ratio not above zero becomes 1, and the aspect follows the ratios.
    void gridViewPropertiesRatios() {
        KUvMapSettings s;
        s.showBackground = true;
        CGridViewPropertiesDlg dlg(s);
        dlg.uRatio->setValue(-1.0);
        dlg.vRatio->setValue(2.0);
        dlg.width->setValue(10);
        dlg.fullCurves->setChecked(true);
        dlg.legend->setChecked(false);
        const KUvMapSettings r = dlg.result(s);
        QCOMPARE(std::tuple(r.uRatio, r.vRatio, r.aspect, r.cellSize),
                 std::tuple(1.0f, 2.0f, 0.5f, 10));
        QCOMPARE(std::tuple(r.drawFullCurves, r.showLegend, r.showBackground),
                 std::tuple(true, false, true));
    }

    void smallValueDialogs() {
        CScalingPercentDlg tiny(0); // zoom below 1 % still opens inside the range
        QCOMPARE(tiny.percent(), 1);
        // Entries past the list are ignored.
        CSelectLayersDlg layers({"A", "B", "C"}, {2, 0, 7});
        QCOMPARE(layers.selection(), (std::vector<int>{0, 2}));
        layers.list->item(1)->setSelected(true);
        layers.list->item(0)->setSelected(false);
        QCOMPARE(layers.selection(), (std::vector<int>{1, 2}));

        std::array<bool, 9> enabled{};
        enabled[3] = true;
        KPixelDepthDlg depth(3, enabled);
        QCOMPARE(depth.choice(), 3);
        QVERIFY(!depth.group()->button(0)->isEnabled() && depth.group()->button(3)->isEnabled());

        KItemDefaultsDlg values(QStringLiteral("Create"), QStringLiteral("Note"), 0.2, 0.5);
        values.centerEdit()->setValue(3.0);
        QCOMPARE(std::tuple(values.centerPosition(), values.totalWidth()), std::tuple(1.0, 0.2));
    }

    // Without test hooks messages and questions are real message boxes showing their
    // exact texts; the answer is the button pressed.
    void messagesAndQuestionsShowTheirExactTexts() {
        KQtUi ui;
        KUiScope scope(ui);
        QStringList seen;
        auto answerWith = [&seen](QMessageBox::StandardButton button) {
            return kWhenModal<QMessageBox>([&seen, button](QMessageBox& box) {
                seen << box.text();
                box.button(button)->click();
            });
        };
        answerWith(QMessageBox::Ok);
        kUi().message("There is no existing mesh to calculate!", KUi::Icon::Warning);
        answerWith(QMessageBox::No);
        QVERIFY(!kUi().askYesNo("Replace it?", true));
        answerWith(QMessageBox::Cancel);
        QVERIFY(!kUi().askOkCancel("Go on?", true));
        QCOMPARE(seen,
                 QStringList({"There is no existing mesh to calculate!", "Replace it?", "Go on?"}));
    }

    void progressWindowThroughTheFrontEnd() {
        KQtUi ui;
        KUiScope scope(ui);
        {
            KProgress progress("Export Mesh");
            KProgressWindow* w = ui.progressWindow();
            QVERIFY(w && w->isVisible());
            QCOMPARE(w->percentText(), QStringLiteral(" 0 %"));
            progress.position(42);
            progress.status("Writing vertices");
            QCOMPARE(std::tuple(w->percentText(), w->statusText()),
                     std::tuple(QStringLiteral("42 %"), QStringLiteral("Writing vertices")));
            progress.position(150);
            QCOMPARE(w->position(), 100);
            QVERIFY(!progress.cancelled());
            // Cancel is seen by the work loop through the pumped events.
            QTest::mouseClick(w->findChild<QPushButton*>(), Qt::LeftButton);
            QVERIFY(progress.cancelled());
            QVERIFY(w->isVisible()); // the owner closes it, not the button
        }
        QVERIFY(!ui.progressWindow());
    }

    // The file dialog every file seam runs by default: saving takes any name, opening an
    // existing file; a request in the working folder opens there with its name selected,
    // any other in the folder last visited.
    void fileDialogFollowsTheRequest() {
        struct Case {
            bool save, inWorkingFolder;
            QString initialName;
            bool accept;
        };
        for (const Case& t :
             {Case{true, true, "untitled.tga", true}, Case{false, true, "temp.tga", true},
              Case{true, false, "untitled", false}, Case{false, false, "", false}}) {
            pickInFolders(t.save, t.inWorkingFolder, t.initialName, t.accept);
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(t.initialName));
        }
    }

    // Without a test hook a question is a real message box: it shows what was asked, and
    // the answer is the button pressed, the escape button for Escape.
    void questionBoxFollowsTheQuestion() {
        const KQuestion question{.title = QStringLiteral("Quorl"),
                                 .text = QStringLiteral("Save changes to Quorl1?"),
                                 .icon = QMessageBox::Warning,
                                 .buttons =
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                 .defaultButton = QMessageBox::Save};
        for (const auto& [press, answer] : {std::pair{QMessageBox::Discard, QMessageBox::Discard},
                                            {QMessageBox::Save, QMessageBox::Save},
                                            {QMessageBox::NoButton, QMessageBox::Cancel}}) {
            const auto seen = kWhenModal<QMessageBox>([&question, press](QMessageBox& box) {
                QCOMPARE(std::tuple(box.windowTitle(), box.text(), box.icon()),
                         std::tuple(question.title, question.text, question.icon));
                QCOMPARE(box.standardButtons(), question.buttons);
                QCOMPARE(box.defaultButton(), box.button(question.defaultButton));
                if (press == QMessageBox::NoButton) {
                    QTest::keyClick(&box, Qt::Key_Escape);
                } else {
                    box.button(press)->click();
                }
            });
            QCOMPARE(kAsk(nullptr, question), answer);
            QVERIFY(*seen);
        }
    }

    // Without a test hook the colour chooser is the real one, starting at the colour given:
    // OK gives the colour shown, Cancel nothing.
    void colorChooserGivesTheChoice() {
        for (bool accept : {true, false}) {
            const auto seen = kWhenModal<QColorDialog>([accept](QColorDialog& dialog) {
                QCOMPARE(dialog.currentColor(), QColor(10, 20, 30));
                dialog.setCurrentColor(QColor(200, 100, 50));
                finish(dialog, accept);
            });
            const std::optional<QColor> chosen = kChooseColor(nullptr, QColor(10, 20, 30));
            QVERIFY(*seen);
            QCOMPARE(chosen, accept ? std::optional(QColor(200, 100, 50)) : std::nullopt);
        }
    }

private:
    // Picks a file in a fresh working folder after a pick in another folder, which makes
    // that one the folder last visited.
    static void pickInFolders(bool save, bool inWorkingFolder, const QString& initialName,
                              bool accept) {
        QTemporaryDir visited, folder;
        QVERIFY(kWriteBytes(folder.filePath(QStringLiteral("temp.tga")), {}));
        const QString previous = QDir::currentPath();
        QString directory;
        // A name accepted in `visited` makes it the folder last visited.
        QVERIFY(QDir::setCurrent(visited.path()));
        const QString visitedPath = QDir::currentPath();
        QCOMPARE(pickFile(true, true, QStringLiteral("first.tga"), true, directory),
                 visitedPath + QStringLiteral("/first.tga"));
        QVERIFY(QDir::setCurrent(folder.path()));
        const QString working = QDir::currentPath();
        const QString chosen = pickFile(save, inWorkingFolder, initialName, accept, directory);
        QDir::setCurrent(previous);
        QCOMPARE(directory, inWorkingFolder ? working : visitedPath);
        QCOMPARE(chosen, accept ? working + QLatin1Char('/') + initialName : QString());
    }

    // Runs kExecFileDialog on a TGA request, checks the dialog against it, then accepts or
    // cancels it. directory is where the dialog opened.
    static QString pickFile(bool save, bool inWorkingFolder, const QString& initialName,
                            bool accept, QString& directory) {
        const KFileRequest request{.save = save,
                                   .title = QStringLiteral("Pick"),
                                   .filter = "TGA Files (*.tga)",
                                   .defaultSuffix = QStringLiteral("tga"),
                                   .initialName = initialName,
                                   .inWorkingFolder = inWorkingFolder};
        const auto seen = kWhenModal<QFileDialog>([&](QFileDialog& dialog) {
            directory = dialog.directory().absolutePath();
            QCOMPARE(dialog.nameFilters(), QStringList({request.filter}));
            QCOMPARE(dialog.defaultSuffix(), request.defaultSuffix);
            QCOMPARE(std::tuple(dialog.acceptMode(), dialog.fileMode()),
                     save ? std::tuple(QFileDialog::AcceptSave, QFileDialog::AnyFile)
                          : std::tuple(QFileDialog::AcceptOpen, QFileDialog::ExistingFile));
            QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
            if (!initialName.isEmpty()) {
                QCOMPARE(QFileInfo(dialog.selectedFiles().value(0)).completeBaseName(),
                         QFileInfo(initialName).completeBaseName());
            }
            finish(dialog, accept);
        });
        const QString chosen = kExecFileDialog(nullptr, request);
        return *seen ? chosen : QStringLiteral("(no file dialog was shown)");
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
