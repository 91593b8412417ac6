// The export commands end to end with scripted dialogs: the layer choice and its lock,
// each format's options copied into the document, the file choice, and the written file
// compared with the writer's own output for the same options. Also the progress window
// during an export: the main window disabled, Cancel asking before it stops.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "KGuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/KExportCommand.h"
#include "app/KQtUi.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KProgressWindow.h"
#include "document/CPexaDoc.h"
#include "export/KExport.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void addMuscle(CPexaDoc& doc, int layer, const char* name, double u0, double v0, double u1,
               double v1) {
    auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
    m->setFromRect(u0, v0, u1, v1);
    m->name = name;
    m->resolutionU = 3;
    m->resolutionV = 3;
    QVERIFY(doc.addMuscleToLayer(doc.layers[size_t(layer)].get(), m) != nullptr);
}

// A small planar object with one muscle on each of its three layers.
void fill(CPexaDoc& doc) {
    doc.uResolution = 6;
    doc.vResolution = 5;
    doc.baseShape = CPexaDoc::Planar;
    doc.rebuildGrid();
    addMuscle(doc, 0, "Ridge One", 0.2, 0.1, 0.6, 0.5);
    addMuscle(doc, 1, "Bump Two", 0.3, 0.4, 0.9, 0.8);
    addMuscle(doc, 2, "Left Out", 0.1, 0.6, 0.4, 0.9);
}

// The answers a test gives: which layers and type, the options dialog's hook, the file.
struct Script {
    std::vector<int> layers;
    int meshType = CPexaDoc::Skinned;
    bool okLayers = true;
    bool okOptions = true;
    std::function<void(QDialog&)> options;
    QString file;
    QString udoFile; // the answer to the UDO file's save dialog
    QString udoInitialName;
    // What the command asked.
    QStringList titles;
    QString filter;
    QString extension;
    std::vector<bool> lockedInDialogs;
    std::vector<bool> lockedInFileChoosers;
    // Runs while the UDO file's save dialog is up.
    std::function<void()> whileChoosingUdo;

    // The command's dialogs and file choosers are answered while the script lives.
    std::optional<KDialogScript> dialogs;
    std::optional<KFileScript> files;

    void attach(CPexaDoc& doc) {
        dialogs.emplace([this, &doc](QDialog& dialog) -> int {
            titles << dialog.windowTitle();
            lockedInDialogs.push_back(doc.exportSelectionLocked());
            if (auto* select = qobject_cast<CExportSelectLayersDlg*>(&dialog)) {
                select->list->clearSelection();
                for (int i : layers) {
                    select->list->item(i)->setSelected(true);
                }
                (meshType == CPexaDoc::Layered ? select->layered : select->skinned)
                    ->setChecked(true);
                return okLayers ? QDialog::Accepted : QDialog::Rejected;
            }
            if (options) {
                options(dialog);
            }
            return okOptions ? QDialog::Accepted : QDialog::Rejected;
        });
        files.emplace([this, &doc](const KFileRequest& request) {
            lockedInFileChoosers.push_back(doc.exportSelectionLocked());
            if (request.defaultSuffix == QStringLiteral("udo")) {
                udoInitialName = request.initialName;
                if (whileChoosingUdo) {
                    whileChoosingUdo();
                }
                return udoFile;
            }
            filter = request.filter;
            extension = request.defaultSuffix;
            return file;
        });
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    // The same document and options written by the writer alone.
    QByteArray reference(CPexaDoc& doc, KExportFormat format, const KExportOptions& extra = {}) {
        const QString out = path(QStringLiteral("reference.out"));
        QFile::remove(out);
        kExport(doc, format, out.toStdString(), extra);
        return slurp(out);
    }

private slots:
    void initTestCase() {
        kUseTestSettings();
        QVERIFY(dir_.isValid());
    }

    // Every format: its dialogs in order, the filter and extension asked for, the file
    // identical to the writer's for the options the dialog stored, the lock released.
    void eachCommandWritesWhatTheWriterWrites_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("optionsTitle");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("meshType");
        QTest::newRow("mesh2") << int(KExportCommand::MegaPov) << int(KExportFormat::PovMesh2)
                               << "Export Options: POV-Ray 3.1 and MegaPOV"
                               << "MegaPOV include files (*.inc)" << int(CPexaDoc::Layered);
        QTest::newRow("pov include") << int(KExportCommand::PovInclude)
                                     << int(KExportFormat::PovMesh) << "POV-Ray Export Options"
                                     << "POV include (*.inc)" << int(CPexaDoc::Skinned);
        QTest::newRow("raw") << int(KExportCommand::Raw) << int(KExportFormat::Raw)
                             << "RAW Export Options"
                             << "RAW Files (*.raw)" << int(CPexaDoc::Layered);
        QTest::newRow("rib") << int(KExportCommand::Rib) << int(KExportFormat::Rib)
                             << "RIB Export Options"
                             << "RIB include (*.rib)" << int(CPexaDoc::Layered);
        QTest::newRow("obj") << int(KExportCommand::Obj) << int(KExportFormat::Obj)
                             << "Wavefront Export Options (obj)"
                             << "OBJ include (*.obj)" << int(CPexaDoc::Skinned);
        QTest::newRow("df3") << int(KExportCommand::Df3) << int(KExportFormat::Df3)
                             << "POV-Ray Media (df3) Export Options"
                             << "POV-Ray Media Files (*.df3)" << int(CPexaDoc::Layered);
    }
    void eachCommandWritesWhatTheWriterWrites() {
        QFETCH(int, kind);
        QFETCH(int, format);
        QFETCH(QString, optionsTitle);
        QFETCH(QString, filter);
        QFETCH(int, meshType);
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        Script script;
        script.layers = {0, 1};
        script.meshType = meshType;
        script.file = path(QStringLiteral("out.") + kExportExtension(KExportFormat(format)));
        // Every check box on: each format's own options reach the file.
        script.options = [](QDialog& d) {
            for (QCheckBox* box : d.findChildren<QCheckBox*>()) {
                if (box->isEnabled() && box->text() != QStringLiteral("Include Moray UDO")) {
                    box->setChecked(true);
                }
            }
            if (auto* mega = qobject_cast<CMegaPovOptionsDlg*>(&d)) {
                mega->includeUdo->setChecked(false);
            }
        };
        QFile::remove(script.file);
        KExportCommand command(doc, nullptr);
        script.attach(doc);
        QVERIFY(command.run(KExportCommand::Kind(kind)));
        QCOMPARE(script.titles, QStringList({QStringLiteral("Select Layers"), optionsTitle}));
        QCOMPARE(script.filter, filter);
        QCOMPARE(script.extension, QString::fromLatin1(kExportExtension(KExportFormat(format))));
        QCOMPARE(script.lockedInDialogs, std::vector<bool>({true, true}));
        QCOMPARE(script.lockedInFileChoosers, std::vector<bool>({true}));
        QVERIFY(!doc.exportSelectionLocked());
        QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({0, 1}));
        const QByteArray written = slurp(script.file);
        QCOMPARE(written, reference(doc, KExportFormat(format)));
        QVERIFY(ui.messages().empty());
    }

    // "Mesh" with the UDO switch on: the include file, then the UDO file beside it that
    // names the include file. The layer choice stays locked up to the end of the command,
    // the UDO file's dialog included: a view activated meanwhile cannot replace it.
    void megaPovMeshWithUdo() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        Script script;
        script.layers = {1};
        script.file = path(QStringLiteral("scene.inc"));
        script.udoFile = path(QStringLiteral("scene.udo"));
        script.whileChoosingUdo = [&doc] { doc.setExportLayerSelection({}); };
        script.options = [](QDialog& d) {
            auto& mega = static_cast<CMegaPovOptionsDlg&>(d);
            mega.type->setCurrentIndex(0);
            mega.uGridScale->setValue(2);
        };
        KExportCommand command(doc, nullptr);
        script.attach(doc);
        QVERIFY(command.run(KExportCommand::MegaPov));
        QCOMPARE(doc.feoMegaPov.type, int32_t(KFeoMegaPov::Mesh));
        QCOMPARE(slurp(script.file), reference(doc, KExportFormat::PovMesh));
        QCOMPARE(script.udoInitialName, QStringLiteral("scene.udo"));
        const QByteArray udo = slurp(path(QStringLiteral("scene.udo")));
        KExportOptions extra;
        extra.udoIncludeFile = "scene.inc";
        QCOMPARE(udo, reference(doc, KExportFormat::Udo, extra));
        QCOMPARE(script.lockedInFileChoosers, std::vector<bool>({true, true}));
        QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({1}));
    }

    // The uv flag: 2 only with uv on in Layered mode and the dialog's item-uv condition.
    void uvFlagRules() {
        CPexaDoc doc;
        doc.meshType = CPexaDoc::Layered;
        {
            CObjOptionsDlg d(doc);
            d.uv->setChecked(true);
            d.perItem->setChecked(false);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 1);
            d.perItem->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 2);
            d.uv->setChecked(false);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 0);
        }
        {
            CRawOptionsDlg d(doc);
            d.uv->setChecked(true);
            d.useItemUv->setChecked(false);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 1);
            d.useItemUv->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 2);
        }
        {
            CRibOptionsDlg d(doc);
            d.uv->setChecked(true);
            d.perItem->setChecked(false);
            d.subdivision->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 2);
        }
        {
            CMegaPovOptionsDlg d(doc);
            d.uv->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 2);
        }
        {
            CDf3OptionsDlg d(doc);
            d.useItemUvw->setChecked(false);
            d.density[2]->setChecked(true);
            d.sizeZ->setValue(7);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 1);
            QCOMPARE(doc.feoPMedia.densitySource, 2);
            QCOMPARE(doc.feoPMedia.sizeZ, 7);
            d.useItemUvw->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 2);
        }
        doc.meshType = CPexaDoc::Skinned;
        {
            CObjOptionsDlg d(doc);
            d.uv->setChecked(true);
            d.perItem->setChecked(true);
            d.apply(doc);
            QCOMPARE(doc.exportFlags.uv, 1);
        }
    }

    // The working array: stored entries preselect, the rest select nothing; the dialog
    // starts at Skinned without a stored choice; "Select All" and "Reverse".
    void selectLayersDialog() {
        CExportSelectLayersDlg d({"A", "B", "C"}, {2, 4, 4}, CPexaDoc::Layered);
        QCOMPARE(d.selection(), std::vector<int>({2}));
        QCOMPARE(d.meshType(), int(CPexaDoc::Layered));
        d.reverse();
        QCOMPARE(d.selection(), std::vector<int>({0, 1}));
        d.selectAll();
        QCOMPARE(d.selection(), std::vector<int>({0, 1, 2}));

        KTestUi ui;
        CPexaDoc doc;
        doc.meshType = CPexaDoc::Layered; // but nothing stored: the dialog starts Skinned
        KExportCommand command(doc, nullptr);
        int startType = -1;
        std::vector<int> preselected;
        KDialogScript dialogs([&](QDialog& dialog) {
            auto& select = static_cast<CExportSelectLayersDlg&>(dialog);
            startType = select.meshType();
            preselected = select.selection();
            select.list->item(1)->setSelected(true);
            return int(QDialog::Accepted);
        });
        doc.ensureCalculated();
        doc.setModified(false);
        QVERIFY(command.selectLayers());
        QCOMPARE(startType, int(CPexaDoc::Skinned));
        QVERIFY(preselected.empty());
        QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({1}));
        // The type changed from Layered to Skinned: the document changed.
        QCOMPARE(doc.meshType, int32_t(CPexaDoc::Skinned));
        QVERIFY(doc.isModified());

        // Unchanged type: no change to the document.
        doc.setModified(false);
        QVERIFY(command.selectLayers());
        QCOMPARE(preselected, std::vector<int>({1}));
        QVERIFY(!doc.isModified());
    }

    void noLayersEndsTheCommand() {
        KTestUi ui;
        CPexaDoc doc;
        doc.restoreLayers({});
        KExportCommand command(doc, nullptr);
        bool asked = false;
        KDialogScript dialogs([&](QDialog&) {
            asked = true;
            return int(QDialog::Accepted);
        });
        QVERIFY(!command.run(KExportCommand::Obj));
        QVERIFY(!asked);
        QCOMPARE(ui.messages().size(), size_t(1));
        QCOMPARE(ui.messages()[0], std::string("There are no User Layer's to select!"));
    }

    // What goes wrong is shown once, in a message box, by the writer: the command adds
    // nothing. A Layered export without muscles keeps the file that was there and asks
    // for no UDO file.
    void failuresAreShownOnce() {
        const QString folder = path(QStringLiteral("a-folder.obj"));
        QVERIFY(QDir().mkpath(folder));
        {
            KTestUi ui;
            CPexaDoc doc;
            fill(doc);
            Script script;
            script.file = folder;
            KExportCommand command(doc, nullptr);
            script.attach(doc);
            QVERIFY(!command.run(KExportCommand::Obj));
            QCOMPARE(ui.messages(),
                     std::vector<std::string>{"Couldn't create export file!\n\"" +
                                              folder.toStdString() + "\": Is a directory"});
        }
        {
            KTestUi ui;
            CPexaDoc doc;
            fill(doc);
            doc.meshGrid = std::make_unique<KMeshGrid>(); // as after a failed allocation
            doc.meshStale = 0;
            Script script;
            script.file = path(QStringLiteral("no-mesh.obj"));
            KExportCommand command(doc, nullptr);
            script.attach(doc);
            QVERIFY(!command.run(KExportCommand::Obj));
            QCOMPARE(ui.messages(), std::vector<std::string>{"There is no mesh to export"});
            QVERIFY(!QFile::exists(script.file));
        }
        {
            KTestUi ui;
            CPexaDoc doc; // layers without muscles
            Script script;
            script.meshType = CPexaDoc::Layered;
            script.file = path(QStringLiteral("kept.inc"));
            script.udoFile = path(QStringLiteral("kept.udo"));
            QFile old(script.file);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
            old.close();
            KExportCommand command(doc, nullptr);
            script.attach(doc);
            QVERIFY(!command.run(KExportCommand::MegaPov));
            QCOMPARE(ui.messages(),
                     std::vector<std::string>{"There is no layer or muscle info to export!"});
            QCOMPARE(slurp(script.file), QByteArray("old"));
            QVERIFY(script.udoInitialName.isEmpty());
            QVERIFY(!QFile::exists(script.udoFile));
        }
    }

    // Cancel at each step: nothing written, the lock released; a cancelled file choice
    // keeps the layer choice.
    void cancelAtEachStep() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        doc.setExportLayerSelection({2});
        const QString out = path(QStringLiteral("cancelled.obj"));
        for (int step = 0; step < 3; ++step) {
            Script script;
            script.layers = {0, 1};
            script.okLayers = step != 0;
            script.okOptions = step != 1;
            script.file = step == 2 ? QString() : out;
            KExportCommand command(doc, nullptr);
            script.attach(doc);
            QVERIFY(!command.run(KExportCommand::Obj));
            QVERIFY(!doc.exportSelectionLocked());
            QVERIFY(!QFile::exists(out));
            const std::vector<int32_t> expected =
                step == 0 ? std::vector<int32_t>{2} : std::vector<int32_t>{0, 1};
            QCOMPARE(doc.exportLayerSelection, expected);
        }
    }

    // The default file choice: a save dialog at "untitled" with the format's filter and
    // extension, asking before it replaces a file. Cancel there writes nothing.
    void defaultFileDialog() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        KExportCommand command(doc, nullptr);
        KDialogScript dialogs([](QDialog&) { return int(QDialog::Accepted); });
        bool seen = false;
        QTimer::singleShot(0, [&seen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dialog->nameFilters(), QStringList({"RIB include (*.rib)"}));
            QCOMPARE(dialog->defaultSuffix(), QStringLiteral("rib"));
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QVERIFY(dialog->selectedFiles().value(0).endsWith(QStringLiteral("/untitled.rib")));
            dialog->reject();
        });
        QVERIFY(!command.run(KExportCommand::Rib));
        QVERIFY(seen);
        QVERIFY(!doc.exportSelectionLocked());
    }

    // Through the main window: the File > Export entries, the progress window over a
    // disabled main window, Cancel asking first. "No" goes on to a complete file, "Yes"
    // stops the Layered export with a closed file.
    void cancelDuringALayeredExport() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        frame.show();
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        fill(*doc);
        KQtUi ui(&frame);
        KUiScope scope(ui);

        const QString out = path(QStringLiteral("layers.obj"));
        for (bool yes : {false, true}) {
            QFile::remove(out);
            Script script;
            script.layers = {0, 1, 2};
            script.meshType = CPexaDoc::Layered;
            script.file = out;
            script.attach(*doc);
            // Presses Cancel once the progress window is up, then answers the question.
            bool frameDisabled = false;
            bool pressed = false;
            QString question;
            int questions = 0;
            QTimer driver;
            driver.setInterval(0);
            connect(&driver, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    question = box->text();
                    ++questions;
                    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
                    return;
                }
                KProgressWindow* w = ui.progressWindow();
                if (w && !pressed) {
                    frameDisabled = !frame.isEnabled();
                    QPushButton* cancel = w->findChild<QPushButton*>();
                    QVERIFY(cancel && cancel->isEnabled());
                    cancel->click();
                    pressed = true;
                }
            });
            driver.start();
            frame.action(QStringLiteral("fileExportObj"))->trigger();
            driver.stop();
            QVERIFY(pressed);
            QVERIFY(frameDisabled);
            QCOMPARE(question, QStringLiteral("Are you sure you want to Cancel?"));
            QCOMPARE(questions, 1); // one press, one question, also after "No"
            QVERIFY(!doc->exportSelectionLocked());
            const QByteArray written = slurp(out);
            QVERIFY(written.endsWith("\n# end of mesh objects\n"));
            QCOMPARE(written.contains("user canceled export operation"), yes);
            if (!yes) {
                KScriptedUi quiet;
                KUiScope q(quiet);
                QCOMPARE(written, reference(*doc, KExportFormat::Obj));
            }
        }
    }

    // F12 in the UV view: "File Export: Testing Routines", "ASCII NURBS 0" runs the
    // ASCII export without an options dialog, "Obj 2" the OBJ command.
    void testingRoutines() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        fill(*doc);
        KTestUi ui;
        for (bool ascii : {true, false}) {
            Script script;
            script.file = path(ascii ? QStringLiteral("test.txt") : QStringLiteral("test.obj"));
            script.attach(*doc);
            const auto inner = kRunDialogHook;
            KDialogScript testing([&script, inner, ascii](QDialog& d) {
                if (auto* t = qobject_cast<CExportTestingDlg*>(&d)) {
                    script.titles << t->windowTitle();
                    (ascii ? t->ascii0 : t->obj2)->setChecked(true);
                    return int(QDialog::Accepted);
                }
                return inner(d);
            });
            CPexaView* view = frame.activeView();
            QAction* f12 = view->findChild<QAction*>(QStringLiteral("exportTesting"));
            f12->trigger();
            QStringList expected = {"File Export: Testing Routines", "Select Layers"};
            if (!ascii) {
                expected << "Wavefront Export Options (obj)";
            }
            QCOMPARE(script.titles, expected);
            QCOMPARE(slurp(script.file),
                     reference(*doc, ascii ? KExportFormat::Ascii : KExportFormat::Obj));
        }
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
