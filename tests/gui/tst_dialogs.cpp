// The object and view dialogs: they open with the current values, limit their fields to
// the allowed ranges, and copy back exactly what they own with the right follow-up
// (grid rebuilt, document changed, or only the modified flag). Also the Qt front end's
// progress window and value dialogs.
#include <QtTest>

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "KGuiTestSupport.h"
#include "app/KQtUi.h"
#include "dialogs/KItemDefaultsDlg.h"
#include "dialogs/KObjectDialogs.h"
#include "dialogs/KPixelDepthDlg.h"
#include "dialogs/KProgressWindow.h"
#include "dialogs/KViewDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"

namespace {

// Records the hints the document sends.
struct HintLog : KViewObserver {
    std::vector<int> hints;
    void onUpdate(int hint, KPersistent*) override { hints.push_back(hint); }
};

// A calculated, unmodified document, so each test sees what the dialog changes.
void settle(CPexaDoc& doc) {
    doc.ensureCalculated();
    doc.setModified(false);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void objectDescriptionOnlyMarksTheDocument() {
        CPexaDoc doc;
        settle(doc);
        HintLog log;
        doc.addObserver(&log);
        CObjectDescriptionDlg dlg(doc);
        dlg.name->setText(QStringLiteral("Hand"));
        dlg.description->setPlainText(QStringLiteral("two lines\nof text"));
        dlg.apply();
        QCOMPARE(doc.objectName, std::string("Hand"));
        QCOMPARE(doc.description, std::string("two lines\nof text"));
        QVERIFY(doc.isModified());
        QCOMPARE(doc.meshStale, 0);
        QVERIFY(log.hints.empty());
        doc.removeObserver(&log);
    }

    void meshPropertiesRangesAndRebuild() {
        CPexaDoc doc;
        settle(doc);
        CMeshPropertiesDlg dlg(doc);
        dlg.uResolution->setValue(900);
        QCOMPARE(dlg.uResolution->value(), 512);
        // The radios are in the order Planar, Conic, Spheric, Disc.
        const auto radios = dlg.findChildren<QRadioButton*>();
        QCOMPARE(dlg.shape->id(radios[0]), int(CPexaDoc::Planar));
        QCOMPARE(dlg.shape->id(radios[3]), int(CPexaDoc::Disc));

        dlg.uResolution->setValue(20);
        dlg.vResolution->setValue(30);
        dlg.clipUTo->setValue(0.5);
        dlg.shape->button(CPexaDoc::Spheric)->setChecked(true);
        dlg.scalingHeight->setValue(2.5);
        dlg.type->button(1)->setChecked(true);
        dlg.option->setCurrentIndex(1);
        dlg.apply();
        QCOMPARE(doc.uResolution, 20);
        QCOMPARE(doc.vResolution, 30);
        QCOMPARE(doc.clip.uTo, 0.5);
        QCOMPARE(doc.baseShape, int(CPexaDoc::Spheric));
        QCOMPARE(doc.scalingHeight, 2.5);
        QCOMPARE(doc.meshType, int(CPexaDoc::Layered));
        QCOMPARE(doc.meshOption, 1);
        // The grid was rebuilt for the new size and clip range.
        QVERIFY(doc.meshGrid);
        QCOMPARE(doc.meshGrid->uCount(), CPexaDoc::sampleCount(20, 0.0, 0.5));
        QCOMPARE(doc.meshGrid->vCount(), 31);
        QVERIFY(doc.isModified());
        QCOMPARE(doc.meshStale, 1);
    }

    void meshPropertiesKeepASuperquadric() {
        CPexaDoc doc;
        doc.baseShape = CPexaDoc::SuperQuad + 1;
        CMeshPropertiesDlg dlg(doc);
        QCOMPARE(dlg.shape->checkedId(), -1);
        dlg.apply();
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
        QCOMPARE(doc.imageResolutionU, 256);
        QCOMPARE(doc.imageResolutionV, 128);
        QCOMPARE(doc.interpolateHeights, 1);
        QCOMPARE(doc.meshStale, 0);
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
        QCOMPARE(doc.bodyPart.uFactor, 0.75f);
        QCOMPARE(doc.bodyPart.uOffset, 0.1f);
        QCOMPARE(doc.bodyPart.uRepeat, 3);
        QCOMPARE(doc.bodyPart.shear, -0.2f);
        QCOMPARE(doc.bodyPart.vFactor, 2.0f);
        QCOMPARE(doc.bodyPart.uProfile.getString(), uText);
        QCOMPARE(doc.meshStale, 1);
        QVERIFY(doc.isModified());
    }

    void superQuadBecomesTheBaseShape() {
        CPexaDoc doc;
        settle(doc);
        CSuperQuadDlg dlg(doc);
        dlg.kind->button(1)->setChecked(true);
        dlg.exponent1->setValue(0.5);
        dlg.rad2->setValue(0.25);
        dlg.apply();
        const KShapeSuperQ& q = doc.bodyPart.superQuad;
        QCOMPARE(q.type, 1);
        QCOMPARE(q.exponent1, 0.5f);
        QCOMPARE(q.rad2, 0.25f);
        QCOMPARE(doc.bodyPart.uFactor, 0.0f);
        QCOMPARE(doc.bodyPart.vFactor, 0.0f);
        QCOMPARE(doc.baseShape, CPexaDoc::SuperQuad + 1);
        QCOMPARE(doc.meshStale, 1);

        // With the switch off the basic shape's factors stay.
        CPexaDoc other;
        CSuperQuadDlg keep(other);
        keep.clearScaling->setChecked(false);
        keep.kind->button(2)->setChecked(true);
        keep.apply();
        QCOMPARE(other.bodyPart.uFactor, 0.5f);
        QCOMPARE(other.baseShape, CPexaDoc::SuperQuad + 2);
    }

    void gridViewPropertiesRangesAndRatios() {
        KUvMapSettings s;
        s.showBackground = true;
        s.tickStep = 4;
        CGridViewPropertiesDlg dlg(s);
        QCOMPARE(dlg.ticks->value(), 4);
        dlg.uRatio->setValue(-1.0);
        dlg.vRatio->setValue(2.0);
        dlg.width->setValue(10);
        dlg.fullCurves->setChecked(true);
        dlg.legend->setChecked(false);
        const KUvMapSettings r = dlg.result(s);
        QCOMPARE(r.uRatio, 1.0f);
        QCOMPARE(r.vRatio, 2.0f);
        QCOMPARE(r.aspect, 0.5f);
        QCOMPARE(r.cellSize, 10);
        QVERIFY(r.drawFullCurves);
        QVERIFY(!r.showLegend);
        QVERIFY(r.showBackground);
    }

    void scalingPercentAndLayerSelection() {
        CScalingPercentDlg scale(250);
        QCOMPARE(scale.percent(), 250);
        CScalingPercentDlg tiny(0); // zoom below 1 % still opens inside the range
        QCOMPARE(tiny.percent(), 1);

        CSelectLayersDlg layers({"A", "B", "C"}, {2, 0, 7});
        QCOMPARE(layers.selection(), (std::vector<int>{0, 2}));
        layers.list->item(1)->setSelected(true);
        layers.list->item(0)->setSelected(false);
        QCOMPARE(layers.selection(), (std::vector<int>{1, 2}));
    }

    void pixelDepthAndItemDefaults() {
        std::array<bool, 9> enabled{};
        enabled[3] = true;
        KPixelDepthDlg depth(3, enabled);
        QCOMPARE(depth.choice(), 3);
        QVERIFY(!depth.group()->button(0)->isEnabled());
        QVERIFY(depth.group()->button(3)->isEnabled());

        KItemDefaultsDlg values(QStringLiteral("Create"), QStringLiteral("Note"), 0.2, 0.5);
        values.centerEdit()->setValue(3.0);
        QCOMPARE(values.centerPosition(), 1.0);
        QCOMPARE(values.totalWidth(), 0.2);
    }

    void messagesAndQuestionsShowTheirExactTexts() {
        KQtUi ui;
        KUiScope scope(ui);
        QStringList seen;
        // Answers the next modal box with the given button once it is up.
        auto answerWith = [&seen](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&seen, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen << box->text();
                box->button(button)->click();
            });
        };
        answerWith(QMessageBox::Ok);
        kUi().message("There is no existing mesh to calculate!", KUi::Icon::Warning);
        answerWith(QMessageBox::No);
        QVERIFY(!kUi().askYesNo("Replace it?", true));
        answerWith(QMessageBox::Yes);
        QVERIFY(kUi().askYesNo("Replace it?", false));
        answerWith(QMessageBox::Cancel);
        QVERIFY(!kUi().askOkCancel("Go on?", true));
        QCOMPARE(seen, QStringList({"There is no existing mesh to calculate!", "Replace it?",
                                    "Replace it?", "Go on?"}));
    }

    void progressWindowThroughTheFrontEnd() {
        KQtUi ui;
        KUiScope scope(ui);
        {
            KProgress progress("Export Mesh");
            KProgressWindow* w = ui.progressWindow();
            QVERIFY(w);
            QVERIFY(w->isVisible());
            QCOMPARE(w->percentText(), QStringLiteral(" 0 %"));
            progress.position(42);
            progress.status("Writing vertices");
            QCOMPARE(w->percentText(), QStringLiteral("42 %"));
            QCOMPARE(w->statusText(), QStringLiteral("Writing vertices"));
            progress.position(150);
            QCOMPARE(w->position(), 100);
            QVERIFY(!progress.cancelled());
            // Cancel is seen by the work loop through the pumped events.
            QPushButton* cancel = w->findChild<QPushButton*>();
            QVERIFY(cancel);
            QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(progress.cancelled());
            QVERIFY(w->isVisible()); // the owner closes it, not the button
        }
        QVERIFY(!ui.progressWindow());
    }

    // The file dialog every file seam runs by default: saving takes any name, opening an
    // existing file; a request in the working folder opens there with its name selected,
    // any other in the folder last visited.
    void fileDialogFollowsTheRequest_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("inWorkingFolder");
        QTest::addColumn<QString>("initialName");
        QTest::addColumn<bool>("accept");
        QTest::newRow("save in the working folder") << true << true << "untitled.tga" << true;
        QTest::newRow("open in the working folder") << false << true << "temp.tga" << true;
        QTest::newRow("save in the last folder") << true << false << "untitled" << false;
        QTest::newRow("open in the last folder") << false << false << "" << false;
    }

    void fileDialogFollowsTheRequest() {
        QFETCH(bool, save);
        QFETCH(bool, inWorkingFolder);
        QFETCH(QString, initialName);
        QFETCH(bool, accept);
        QTemporaryDir visited, folder;
        QVERIFY(visited.isValid() && folder.isValid());
        QFile existing(folder.filePath(QStringLiteral("temp.tga")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        const QString previous = QDir::currentPath();
        QString directory;

        // A name accepted in `visited` makes it the folder last visited.
        QVERIFY(QDir::setCurrent(visited.path()));
        const QString visitedPath = QDir::currentPath();
        const QString first = pickFile({.save = true,
                                        .title = QStringLiteral("Pick"),
                                        .filter = "TGA Files (*.tga)",
                                        .defaultSuffix = QStringLiteral("tga"),
                                        .initialName = QStringLiteral("first.tga"),
                                        .inWorkingFolder = true},
                                       true, directory);
        QCOMPARE(first, visitedPath + QStringLiteral("/first.tga"));

        QVERIFY(QDir::setCurrent(folder.path()));
        const QString working = QDir::currentPath();
        const QString chosen = pickFile({.save = save,
                                         .title = QStringLiteral("Pick"),
                                         .filter = "TGA Files (*.tga)",
                                         .defaultSuffix = QStringLiteral("tga"),
                                         .initialName = initialName,
                                         .inWorkingFolder = inWorkingFolder},
                                        accept, directory);
        QDir::setCurrent(previous);
        QCOMPARE(directory, inWorkingFolder ? working : visitedPath);
        QCOMPARE(chosen, accept ? working + QLatin1Char('/') + initialName : QString());
    }

    // Without a test hook a question is a real message box: it shows what was asked, and
    // the answer is the button pressed, the escape button for Escape.
    void questionBoxFollowsTheQuestion_data() {
        QTest::addColumn<int>("press"); // a button, or NoButton for Escape
        QTest::addColumn<int>("answer");
        QTest::newRow("Discard") << int(QMessageBox::Discard) << int(QMessageBox::Discard);
        QTest::newRow("Save") << int(QMessageBox::Save) << int(QMessageBox::Save);
        QTest::newRow("Escape") << int(QMessageBox::NoButton) << int(QMessageBox::Cancel);
    }

    void questionBoxFollowsTheQuestion() {
        QFETCH(int, press);
        QFETCH(int, answer);
        const KQuestion question{.title = QStringLiteral("Quorl"),
                                 .text = QStringLiteral("Save changes to Quorl1?"),
                                 .icon = QMessageBox::Warning,
                                 .buttons =
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                 .defaultButton = QMessageBox::Save};
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = true;
            QCOMPARE(box->windowTitle(), question.title);
            QCOMPARE(box->text(), question.text);
            QCOMPARE(box->icon(), question.icon);
            QCOMPARE(box->standardButtons(), question.buttons);
            QCOMPARE(box->defaultButton(), box->button(question.defaultButton));
            if (press == QMessageBox::NoButton) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else {
                box->button(QMessageBox::StandardButton(press))->click();
            }
        });
        QCOMPARE(int(kAsk(nullptr, question)), answer);
        QVERIFY(seen);
    }

    // Without a test hook the colour chooser is the real one, starting at the colour given:
    // OK gives the colour shown, Cancel nothing.
    void colorChooserGivesTheChoice() {
        for (bool accept : {true, false}) {
            bool seen = false;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                seen = true;
                QCOMPARE(dialog->currentColor(), QColor(10, 20, 30));
                dialog->setCurrentColor(QColor(200, 100, 50));
                QDialog* asDialog = dialog;
                accept ? asDialog->accept() : asDialog->reject();
            });
            const std::optional<QColor> chosen = kChooseColor(nullptr, QColor(10, 20, 30));
            QVERIFY(seen);
            QCOMPARE(chosen.has_value(), accept);
            if (accept) {
                QCOMPARE(*chosen, QColor(200, 100, 50));
            }
        }
    }

private:
    // Runs kExecFileDialog, checks the dialog against the request, then accepts or
    // cancels it. directory is where the dialog opened.
    static QString pickFile(const KFileRequest& request, bool accept, QString& directory) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            directory = dialog->directory().absolutePath();
            QCOMPARE(dialog->windowTitle(), request.title);
            QCOMPARE(dialog->nameFilters(), QStringList({request.filter}));
            QCOMPARE(dialog->defaultSuffix(), request.defaultSuffix);
            QCOMPARE(dialog->acceptMode(),
                     request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QCOMPARE(dialog->fileMode(),
                     request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            if (!request.initialName.isEmpty()) {
                const QFileInfo selected(dialog->selectedFiles().value(0));
                QCOMPARE(selected.completeBaseName(),
                         QFileInfo(request.initialName).completeBaseName());
            }
            QDialog* asDialog = dialog; // accept() is protected in QFileDialog
            accept ? asDialog->accept() : asDialog->reject();
        });
        const QString chosen = kExecFileDialog(nullptr, request);
        if (!seen) {
            qWarning("no file dialog was shown");
            return QStringLiteral("(no dialog)");
        }
        return chosen;
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
