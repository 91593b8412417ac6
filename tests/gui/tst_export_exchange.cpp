// The glTF, STL and PLY commands with scripted dialogs: the options each dialog stores,
// the binary/text choice that is remembered for the session, the file compared with the
// writer's own output, and the File > Export entries of the main window.
#include <QtTest>

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QTemporaryDir>

#include "KGuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/KExportCommand.h"
#include "dialogs/KExchangeDialogs.h"
#include "dialogs/KExportDialogs.h"
#include "document/CPexaDoc.h"
#include "export/KExport.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void fill(CPexaDoc& doc) {
    doc.uResolution = 5;
    doc.vResolution = 4;
    doc.baseShape = CPexaDoc::Planar;
    doc.rebuildGrid();
    for (int layer = 0; layer < 2; ++layer) {
        auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
        m->setFromRect(0.2, 0.1 + 0.3 * layer, 0.6, 0.5 + 0.3 * layer);
        m->name = layer == 0 ? "Ridge" : "Bump";
        m->resolutionU = 3;
        m->resolutionV = 2;
        QVERIFY(doc.addMuscleToLayer(doc.layers[size_t(layer)].get(), m) != nullptr);
    }
}

// Answers the command's dialogs: the layer choice, then options(dialog); the file.
struct Script {
    int meshType = CPexaDoc::Skinned;
    std::function<void(QDialog&)> options;
    QString file;
    QStringList titles;

    // The command's dialogs and file choosers are answered while the script lives.
    std::optional<KDialogScript> dialogs;
    std::optional<KFileScript> files;

    void attach() {
        dialogs.emplace([this](QDialog& dialog) {
            titles << dialog.windowTitle();
            if (auto* select = qobject_cast<CExportSelectLayersDlg*>(&dialog)) {
                select->selectAll();
                (meshType == CPexaDoc::Layered ? select->layered : select->skinned)
                    ->setChecked(true);
                return int(QDialog::Accepted);
            }
            if (options) {
                options(dialog);
            }
            return int(QDialog::Accepted);
        });
        files.emplace([this](const KFileRequest&) { return file; });
    }
};

} // namespace

class TestExportExchange : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    QByteArray reference(CPexaDoc& doc, KExportFormat format, bool ascii) {
        const QString out = path(QStringLiteral("reference.out"));
        QFile::remove(out);
        KExportOptions extra;
        extra.ascii = ascii;
        kExport(doc, format, out.toStdString(), extra);
        return slurp(out);
    }

    // Runs one command; returns the file it wrote.
    QByteArray run(CPexaDoc& doc, KExportCommand::Kind kind, Script& script) {
        QFile::remove(script.file);
        KExportCommand command(doc, nullptr);
        script.attach();
        if (!command.run(kind)) {
            return {};
        }
        return slurp(script.file);
    }

private slots:
    void initTestCase() {
        kUseTestSettings();
        QVERIFY(dir_.isValid());
    }

    void gltfStoresItsUvChoice() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        Script script;
        script.meshType = CPexaDoc::Layered;
        script.file = path(QStringLiteral("out.glb"));
        script.options = [](QDialog& d) {
            auto* g = qobject_cast<CGltfOptionsDlg*>(&d);
            QVERIFY(g);
            g->uv->setChecked(true);
            g->perItem->setChecked(true);
            g->normals->setChecked(true);
        };
        const QByteArray written = run(doc, KExportCommand::Gltf, script);
        QCOMPARE(doc.exportFlags.uv, 2); // Layered with "per Item"
        QCOMPARE(doc.exportFlags.normals, 1);
        QCOMPARE(written, reference(doc, KExportFormat::Gltf, false));

        script.meshType = CPexaDoc::Skinned;
        script.options = [](QDialog& d) {
            auto& g = static_cast<CGltfOptionsDlg&>(d);
            QVERIFY(g.uv->isChecked());
            QVERIFY(g.normals->isChecked());
            g.perItem->setChecked(false);
            g.normals->setChecked(false);
        };
        const QByteArray bare = run(doc, KExportCommand::Gltf, script);
        QCOMPARE(doc.exportFlags.uv, 1);
        QCOMPARE(doc.exportFlags.useItemUv, 0);
        QCOMPARE(doc.exportFlags.normals, 0);
        QVERIFY(!bare.contains("\"NORMAL\""));
    }

    void stlAndPlyRememberTheTextChoice() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        KExportCommand::stlAscii = false;
        KExportCommand::plyAscii = false;

        Script stl;
        stl.file = path(QStringLiteral("out.stl"));
        stl.options = [](QDialog& d) {
            auto* s = qobject_cast<CStlOptionsDlg*>(&d);
            QVERIFY(s);
            s->asciiFile->setChecked(true);
            s->mirrorZ->setChecked(false);
            s->reverseWinding->setChecked(true);
        };
        QByteArray written = run(doc, KExportCommand::Stl, stl);
        QCOMPARE(doc.exportFlags.mirrorZ, 0);
        QCOMPARE(doc.exportFlags.reverseWinding, 1);
        QCOMPARE(written, reference(doc, KExportFormat::Stl, true));
        // The next STL export starts from the text form.
        stl.options = [](QDialog& d) {
            auto& s = static_cast<CStlOptionsDlg&>(d);
            QVERIFY(s.asciiFile->isChecked());
            QVERIFY(!s.mirrorZ->isChecked());
            QVERIFY(s.reverseWinding->isChecked());
            s.binaryFile->setChecked(true);
            s.reverseWinding->setChecked(false);
        };
        written = run(doc, KExportCommand::Stl, stl);
        QCOMPARE(written, reference(doc, KExportFormat::Stl, false));
        QVERIFY(!KExportCommand::stlAscii);
        QCOMPARE(doc.exportFlags.reverseWinding, 0);

        Script ply;
        ply.meshType = CPexaDoc::Layered;
        ply.file = path(QStringLiteral("out.ply"));
        ply.options = [](QDialog& d) {
            auto* p = qobject_cast<CPlyOptionsDlg*>(&d);
            QVERIFY(p);
            QVERIFY(p->binaryFile->isChecked()); // the STL choice is its own
            p->asciiFile->setChecked(true);
            p->normals->setChecked(true);
            p->uv->setChecked(true);
            p->perItem->setChecked(false);
            p->mirrorZ->setChecked(true);
            p->invertNormals->setChecked(true);
            p->reverseWinding->setChecked(true);
        };
        written = run(doc, KExportCommand::Ply, ply);
        QCOMPARE(doc.exportFlags.normals, 1);
        QCOMPARE(doc.exportFlags.uv, 1); // Layered, but not "per Item"
        QCOMPARE(doc.exportFlags.mirrorZ, 1);
        QCOMPARE(doc.exportFlags.invertNormals, 1);
        QCOMPARE(doc.exportFlags.reverseWinding, 1);
        QCOMPARE(written, reference(doc, KExportFormat::Ply, true));
        QVERIFY(KExportCommand::plyAscii);
        KExportCommand::plyAscii = false;
    }

    void cancelledOptionsWriteNothing() {
        KTestUi ui;
        CPexaDoc doc;
        fill(doc);
        for (auto kind : {KExportCommand::Gltf, KExportCommand::Stl, KExportCommand::Ply}) {
            KExportCommand command(doc, nullptr);
            bool asked = false;
            KDialogScript dialogs([&](QDialog& dialog) {
                if (qobject_cast<CExportSelectLayersDlg*>(&dialog)) {
                    return int(QDialog::Accepted);
                }
                if (auto* s = qobject_cast<CStlOptionsDlg*>(&dialog)) {
                    s->asciiFile->setChecked(true);
                }
                return int(QDialog::Rejected);
            });
            KFileScript files([&](const KFileRequest&) {
                asked = true;
                return path(QStringLiteral("never"));
            });
            QVERIFY(!command.run(kind));
            QVERIFY(!asked);
            QVERIFY(!doc.exportSelectionLocked());
        }
        QVERIFY(!KExportCommand::stlAscii); // a cancelled dialog changes nothing
    }

    void mainWindowOffersTheFormats() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        fill(*doc);
        KTestUi ui;
        const QString names[] = {"fileExportGltf", "fileExportStl", "fileExportPly"};
        const KExportFormat formats[] = {KExportFormat::Gltf, KExportFormat::Stl,
                                         KExportFormat::Ply};
        for (int k = 0; k < 3; ++k) {
            QAction* a = frame.action(names[k]);
            Script script;
            script.file = path(QStringLiteral("frame.") + kExportExtension(formats[k]));
            script.attach();
            QFile::remove(script.file);
            a->trigger();
            QCOMPARE(slurp(script.file), reference(*doc, formats[k], false));
        }
    }
};

QTEST_MAIN(TestExportExchange)
#include "tst_export_exchange.moc"
