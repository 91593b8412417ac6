// The export commands end to end with scripted dialogs: the layer choice and its lock,
// each format's options copied into the document, the file choice, and the written file
// compared with the writer's own output for the same options; the STL and PLY text choice
// remembered for the session. Also the progress window during an export: the main window
// disabled, Cancel asking before it stops.

#include "KGuiTestKit.h"
#include "app/KExportCommand.h"
#include "app/KQtUi.h"
#include "dialogs/KExchangeDialogs.h"
#include "dialogs/KExportDialogs.h"
#include "dialogs/KProgressWindow.h"
#include "export/KExport.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"

namespace {

// A small planar object with one muscle on each of its three layers.
void fill(CPexaDoc& doc) {
    doc.uResolution = 6;
    doc.vResolution = 5;
    doc.baseShape = CPexaDoc::Planar;
    doc.rebuildGrid();
    const char* names[] = {"Ridge One", "Bump Two", "Left Out"};
    const double rects[3][4] = {{0.2, 0.1, 0.6, 0.5}, {0.3, 0.4, 0.9, 0.8}, {0.1, 0.6, 0.4, 0.9}};
    for (size_t layer = 0; layer < 3; ++layer) {
        auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
        m->setFromRect(rects[layer][0], rects[layer][1], rects[layer][2], rects[layer][3]);
        m->name = names[layer];
        m->resolutionU = m->resolutionV = 3;
        QVERIFY(doc.addMuscleToLayer(doc.layers[layer].get(), m) != nullptr);
    }
}

// The writer's options for the text form of STL and PLY.
KExportOptions textForm() {
    KExportOptions options;
    options.ascii = true;
    return options;
}

// Every enabled check box on, so each format's own options reach the file; no UDO file.
void everyOption(QDialog& d) {
    for (QCheckBox* box : d.findChildren<QCheckBox*>()) {
        if (box->text() == QStringLiteral("Include Moray UDO")) {
            box->setChecked(false);
        } else if (box->isEnabled()) {
            box->setChecked(true);
        }
    }
}

// The answers a test gives: which layers and type, the options dialog's hook, the file.
struct Script {
    std::vector<int> layers = {0, 1};
    int meshType = CPexaDoc::Skinned;
    bool okLayers = true;
    bool okOptions = true;
    std::function<void(QDialog&)> options;
    QString file;
    QString udoFile; // the answer to the UDO file's save dialog
    std::function<void()> whileChoosingUdo;
    // What the command asked.
    QStringList titles;
    QString filter, extension, udoInitialName;
    std::vector<bool> lockedInDialogs, lockedInFileChoosers;

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

    // Runs the command on doc with this script's answers.
    bool run(CPexaDoc& doc, KExportCommand::Kind kind) {
        KExportCommand command(doc, nullptr);
        attach(doc);
        return command.run(kind);
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    // The same document and options written by the writer alone.
    QByteArray reference(CPexaDoc& doc, KExportFormat format, KExportOptions extra = {}) {
        const QString out = path(QStringLiteral("reference.out"));
        QFile::remove(out);
        kExport(doc, format, out.toStdString(), extra);
        return kSlurp(out);
    }

    // Runs the OBJ (or, for "no muscles", the MegaPOV) command into the given failure.
    void failWith(const QString& failure, const QString& message) {
        KTestUi ui;
        CPexaDoc doc;
        Script script;
        script.file = path(QStringLiteral("failed.inc"));
        script.udoFile = path(QStringLiteral("failed.udo"));
        QVERIFY(kWriteBytes(script.file, "old"));
        if (failure == QStringLiteral("folder")) {
            script.file = path(QStringLiteral("a-folder.obj"));
            QVERIFY(QDir().mkpath(script.file));
        } else if (failure == QStringLiteral("no mesh")) {
            fill(doc);
            doc.meshGrid = std::make_unique<KMeshGrid>(); // as after a failed allocation
            doc.meshStale = 0;
        } else if (failure == QStringLiteral("no layers")) {
            doc.restoreLayers({});
        } else {
            script.meshType = CPexaDoc::Layered;
        }
        QVERIFY(!script.run(doc, failure == QStringLiteral("no muscles") ? KExportCommand::MegaPov
                                                                         : KExportCommand::Obj));
        QCOMPARE(ui.messages(), std::vector<std::string>{message.toStdString()});
        if (failure == QStringLiteral("no layers")) {
            QVERIFY(script.titles.isEmpty());
        }
        QVERIFY(script.udoInitialName.isEmpty());
        QCOMPARE(kSlurp(path(QStringLiteral("failed.inc"))), QByteArray("old"));
        QVERIFY(!QFile::exists(script.udoFile));
    }

    // Runs the command and cancels it at the step given.
    void cancelAt(KExportCommand::Kind kind, int step) {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        doc.setExportLayerSelection({2});
        KExportCommand::stlAscii = false;
        Script script;
        script.okLayers = step != 0;
        script.okOptions = step != 1;
        script.file = step == 2 ? QString() : path(QStringLiteral("cancelled"));
        script.options = [](QDialog& d) {
            if (auto* s = qobject_cast<CStlOptionsDlg*>(&d)) {
                s->asciiFile->setChecked(true);
            }
        };
        QVERIFY(!script.run(doc, kind));
        QCOMPARE(script.titles.size(), step == 0 ? 1 : 2);
        QCOMPARE(script.lockedInFileChoosers.size(), size_t(step == 2));
        QVERIFY(!doc.exportSelectionLocked());
        QVERIFY(!QFile::exists(path(QStringLiteral("cancelled"))));
        QCOMPARE(doc.exportLayerSelection,
                 (step == 0 ? std::vector<int32_t>{2} : std::vector<int32_t>{0, 1}));
        QCOMPARE(KExportCommand::stlAscii, kind == KExportCommand::Stl && step == 2);
        KExportCommand::stlAscii = false;
    }

private slots:
    void initTestCase() {
        kUseTestSettings();
        QVERIFY(dir_.isValid());
    }

    // Every File > Export entry: its dialogs in order, the filter and extension asked for,
    // the file identical to the writer's for the options the dialog stored, the layer
    // choice locked through the command and released after it.
    void eachCommandWritesWhatTheWriterWrites() {
        const int layered = CPexaDoc::Layered, skinned = CPexaDoc::Skinned;
        struct Case {
            const char* action;
            KExportFormat format;
            QString optionsTitle, filter;
            int meshType;
        };
        for (const Case& t :
             {Case{"fileExportMegaPov", KExportFormat::PovMesh2,
                   "Export Options: POV-Ray 3.1 and MegaPOV", "MegaPOV include files (*.inc)",
                   layered},
              Case{"fileExportPovInclude", KExportFormat::PovMesh, "POV-Ray Export Options",
                   "POV include (*.inc)", skinned},
              Case{"fileExportRaw", KExportFormat::Raw, "RAW Export Options", "RAW Files (*.raw)",
                   layered},
              Case{"fileExportRib", KExportFormat::Rib, "RIB Export Options", "RIB include (*.rib)",
                   layered},
              Case{"fileExportObj", KExportFormat::Obj, "Wavefront Export Options (obj)",
                   "OBJ include (*.obj)", skinned},
              Case{"fileExportDf3", KExportFormat::Df3, "POV-Ray Media (df3) Export Options",
                   "POV-Ray Media Files (*.df3)", layered},
              Case{"fileExportGltf", KExportFormat::Gltf, "glTF 2.0 Export Options",
                   "glTF 2.0 binary (*.glb)", layered},
              Case{"fileExportStl", KExportFormat::Stl, "STL Export Options", "STL files (*.stl)",
                   skinned},
              Case{"fileExportPly", KExportFormat::Ply, "PLY Export Options", "PLY files (*.ply)",
                   layered}}) {
            KTestUi ui;
            CMainFrame frame;
            QVERIFY(kStartNew(frame));
            CPexaDoc& doc = *frame.activeDocument();
            fill(doc);
            KExportCommand::stlAscii = KExportCommand::plyAscii = false;
            Script script;
            script.meshType = t.meshType;
            const QString extension = QString::fromLatin1(kExportExtension(t.format));
            script.file = path(QStringLiteral("out.") + extension);
            script.options = everyOption;
            script.attach(doc);
            frame.action(t.action)->trigger();
            QCOMPARE(script.titles, QStringList({QStringLiteral("Select Layers"), t.optionsTitle}));
            QCOMPARE(std::tuple(script.filter, script.extension), std::tuple(t.filter, extension));
            QCOMPARE(script.lockedInDialogs, std::vector<bool>({true, true}));
            QCOMPARE(script.lockedInFileChoosers, std::vector<bool>({true}));
            QVERIFY(!doc.exportSelectionLocked());
            QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({0, 1}));
            QCOMPARE(kSlurp(script.file), reference(doc, t.format));
            QVERIFY2(ui.messages().empty(), t.action);
        }
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
        QVERIFY(script.run(doc, KExportCommand::MegaPov));
        QCOMPARE(doc.feoMegaPov.type, int32_t(KFeoMegaPov::Mesh));
        QCOMPARE(kSlurp(script.file), reference(doc, KExportFormat::PovMesh));
        QCOMPARE(script.udoInitialName, QStringLiteral("scene.udo"));
        QCOMPARE(kSlurp(script.udoFile),
                 reference(doc, KExportFormat::Udo, {.udoIncludeFile = "scene.inc"}));
        QCOMPARE(script.lockedInFileChoosers, std::vector<bool>({true, true}));
        QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({1}));
    }

    // The uv flag: 2 only with uv on in Layered mode and the dialog's item-uv condition.
    void uvFlagRules() {
        CPexaDoc doc;
        // Each applies a new dialog of its kind with uv (where it has one) and the item
        // condition as given, and gives the stored flag.
        auto uvFlag = [&doc]<class Dialog, class U, class I>(U Dialog::*uv, I Dialog::*item,
                                                             bool on, bool perItem) {
            Dialog d(doc);
            (d.*uv)->setChecked(on);
            (d.*item)->setChecked(perItem);
            d.apply(doc);
            return doc.exportFlags.uv;
        };
        doc.meshType = CPexaDoc::Layered;
        const std::vector<int> layered = {
            uvFlag(&CObjOptionsDlg::uv, &CObjOptionsDlg::perItem, true, false),
            uvFlag(&CObjOptionsDlg::uv, &CObjOptionsDlg::perItem, true, true),
            uvFlag(&CObjOptionsDlg::uv, &CObjOptionsDlg::perItem, false, true),
            uvFlag(&CRawOptionsDlg::uv, &CRawOptionsDlg::useItemUv, true, false),
            uvFlag(&CRawOptionsDlg::uv, &CRawOptionsDlg::useItemUv, true, true),
            uvFlag(&CMegaPovOptionsDlg::uv, &CMegaPovOptionsDlg::uv, true, true),
            uvFlag(&CDf3OptionsDlg::useItemUvw, &CDf3OptionsDlg::useItemUvw, true, false),
            uvFlag(&CDf3OptionsDlg::useItemUvw, &CDf3OptionsDlg::useItemUvw, true, true),
            uvFlag(&CGltfOptionsDlg::uv, &CGltfOptionsDlg::perItem, true, false),
            uvFlag(&CGltfOptionsDlg::uv, &CGltfOptionsDlg::perItem, true, true)};
        QCOMPARE(layered, (std::vector<int>{1, 2, 0, 1, 2, 2, 1, 2, 1, 2}));
        CRibOptionsDlg rib(doc); // subdivision is an item condition as well
        rib.uv->setChecked(true);
        rib.perItem->setChecked(false);
        rib.subdivision->setChecked(true);
        rib.apply(doc);
        QCOMPARE(doc.exportFlags.uv, 2);
        doc.meshType = CPexaDoc::Skinned;
        QCOMPARE(uvFlag(&CObjOptionsDlg::uv, &CObjOptionsDlg::perItem, true, true), 1);
        QCOMPARE(uvFlag(&CGltfOptionsDlg::uv, &CGltfOptionsDlg::perItem, true, true), 1);
        // The media dialog also stores its density source and size.
        CDf3OptionsDlg d(doc);
        d.density[2]->setChecked(true);
        d.sizeZ->setValue(7);
        d.apply(doc);
        QCOMPARE(std::tuple(doc.feoPMedia.densitySource, doc.feoPMedia.sizeZ), std::tuple(2, 7));
    }

    // STL and PLY: the text form chosen in the dialog is written, and is where the format's
    // next dialog starts; each format keeps its own choice.
    void stlAndPlyRememberTheTextChoice() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        KExportCommand::stlAscii = KExportCommand::plyAscii = false;
        Script stl;
        stl.file = path(QStringLiteral("out.stl"));
        stl.options = [](QDialog& d) {
            auto& s = dynamic_cast<CStlOptionsDlg&>(d);
            s.asciiFile->setChecked(true);
            s.mirrorZ->setChecked(false);
            s.reverseWinding->setChecked(true);
        };
        QVERIFY(stl.run(doc, KExportCommand::Stl));
        QCOMPARE(std::tuple(doc.exportFlags.mirrorZ, doc.exportFlags.reverseWinding),
                 std::tuple(0, 1));
        QCOMPARE(kSlurp(stl.file), reference(doc, KExportFormat::Stl, textForm()));
        stl.options = [](QDialog& d) {
            auto& s = static_cast<CStlOptionsDlg&>(d);
            QVERIFY(s.asciiFile->isChecked() && !s.mirrorZ->isChecked());
            QVERIFY(s.reverseWinding->isChecked());
            s.binaryFile->setChecked(true);
        };
        QVERIFY(stl.run(doc, KExportCommand::Stl));
        QCOMPARE(kSlurp(stl.file), reference(doc, KExportFormat::Stl));
        QVERIFY(!KExportCommand::stlAscii);

        Script ply;
        ply.meshType = CPexaDoc::Layered;
        ply.file = path(QStringLiteral("out.ply"));
        ply.options = [](QDialog& d) {
            auto& p = dynamic_cast<CPlyOptionsDlg&>(d);
            QVERIFY(p.binaryFile->isChecked()); // the STL choice is its own
            everyOption(d);
            p.asciiFile->setChecked(true);
            p.perItem->setChecked(false);
        };
        QVERIFY(ply.run(doc, KExportCommand::Ply));
        QCOMPARE(doc.exportFlags.uv, 1); // Layered, but not "per Item"
        QCOMPARE(kSlurp(ply.file), reference(doc, KExportFormat::Ply, textForm()));
        QVERIFY(KExportCommand::plyAscii);
        KExportCommand::plyAscii = false;
    }

    // The working array: stored entries preselect, the rest select nothing; the dialog
    // starts at Skinned without a stored choice; "Select All" and "Reverse".
    void selectLayersDialog() {
        CExportSelectLayersDlg d({"A", "B", "C"}, {2, 4, 4}, CPexaDoc::Layered);
        QCOMPARE(d.selection(), std::vector<int>({2}));
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
        // The type changed from Layered to Skinned: the document changed.
        QCOMPARE(std::tuple(startType, preselected.empty(), doc.isModified()),
                 std::tuple(int(CPexaDoc::Skinned), true, true));
        QCOMPARE(doc.exportLayerSelection, std::vector<int32_t>({1}));
        // Unchanged type: no change to the document.
        doc.setModified(false);
        QVERIFY(command.selectLayers());
        QCOMPARE(preselected, std::vector<int>({1}));
        QVERIFY(!doc.isModified());
    }

    // What goes wrong is shown once, in a message box, by the writer: the command adds
    // nothing. Without layers nothing is asked; a Layered export without muscles keeps
    // the file that was there and asks for no UDO file.
    void failuresAreShownOnce() {
        const QString folder = path("a-folder.obj");
        for (const auto& [failure, message] :
             {std::pair{QStringLiteral("folder"),
                        "Couldn't create export file!\n\"" + folder + "\": Is a directory"},
              {"no mesh", "There is no mesh to export"},
              {"no layers", "There are no User Layer's to select!"},
              {"no muscles", "There is no layer or muscle info to export!"}}) {
            failWith(failure, message);
        }
    }
    // Cancel at each step: nothing asked after it, nothing written, the lock released; a
    // cancelled file choice keeps the layer choice, and a cancelled STL dialog the text
    // choice.
    void cancelAtEachStep() {
        for (auto kind : {KExportCommand::Obj, KExportCommand::Gltf, KExportCommand::Stl,
                          KExportCommand::Ply}) {
            for (int step = 0; step < 3; ++step) { // layers, options, file
                cancelAt(kind, step);
                QVERIFY2(!QTest::currentTestFailed(), qPrintable(QString::number(kind)));
            }
        }
    }
    // Through the main window: the progress window over a disabled main window, Cancel
    // asking first. "No" goes on to a complete file, "Yes" stops the Layered export with
    // a closed file.
    void cancelDuringALayeredExport() {
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        frame.show();
        CPexaDoc* doc = frame.activeDocument();
        fill(*doc);
        KQtUi ui(&frame);
        KUiScope scope(ui);
        for (bool yes : {false, true}) {
            Script script;
            script.layers = {0, 1, 2};
            script.meshType = CPexaDoc::Layered;
            script.file = path(QStringLiteral("layers.obj"));
            QFile::remove(script.file);
            script.attach(*doc);
            // Presses Cancel once the progress window is up, then answers the question.
            bool frameDisabled = false, pressed = false;
            QStringList questions;
            QTimer driver;
            driver.setInterval(0);
            connect(&driver, &QTimer::timeout, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    questions << box->text();
                    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
                } else if (KProgressWindow* w = ui.progressWindow(); w && !pressed) {
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
            QVERIFY(pressed && frameDisabled);
            // One press, one question, also after "No".
            QCOMPARE(questions, QStringList{"Are you sure you want to Cancel?"});
            QVERIFY(!doc->exportSelectionLocked());
            const QByteArray written = kSlurp(script.file);
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
    // ASCII export without an options dialog.
    void testingRoutines() {
        KTestUi ui;
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();
        fill(*doc);
        Script script;
        script.file = path(QStringLiteral("test.txt"));
        script.attach(*doc);
        const auto inner = kRunDialogHook;
        KDialogScript testing([&script, inner](QDialog& d) {
            if (auto* t = qobject_cast<CExportTestingDlg*>(&d)) {
                script.titles << t->windowTitle();
                t->ascii0->setChecked(true);
                return int(QDialog::Accepted);
            }
            return inner(d);
        });
        frame.activeView()->findChild<QAction*>(QStringLiteral("exportTesting"))->trigger();
        QCOMPARE(script.titles, QStringList({"File Export: Testing Routines", "Select Layers"}));
        QCOMPARE(kSlurp(script.file), reference(*doc, KExportFormat::Ascii));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
