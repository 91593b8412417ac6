// The main frame: start-up with and without a file, toolbars and their toggles, check
// marks, the window placement and recent files in the settings, the document commands,
// the question before a modified document closes and the one about its texture list.
#include <QtTest>

#include <QLineEdit>
#include <QMdiArea>
#include <QStatusBar>
#include <QToolBar>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KWindowPlacement.h"
#include "dialogs/KAboutDlg.h"
#include "dialogs/KTextureListDlg.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "gui/KDialogKit.h"
#include "views/CPexaView.h"

namespace {

// Answers the save question with a fixed button and counts the questions.
struct SaveAnswer {
    explicit SaveAnswer(QMessageBox::StandardButton button)
        : script_([this, button](const KQuestion& question) {
              questions << question.text;
              return button;
          }) {}
    QStringList questions;
    KQuestionScript script_;
};

// A main window with a new document, on the screen, that deletes itself when closed
// (as the program's own does); null when it could not be shown.
CMainFrame* showClosableFrame() {
    auto* frame = new CMainFrame;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (!frame->processCommandLine({QStringLiteral("quorl")})) {
        delete frame;
        return nullptr;
    }
    frame->show();
    if (!QTest::qWaitForWindowExposed(frame)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

    QString writeDocument(const QString& name) {
        CPexaDoc doc;
        doc.objectName = "Kopf";
        doc.uResolution = 24;
        doc.rebuildGrid();
        const QString path = files_.filePath(name);
        std::string error;
        if (!kSaveDocument(doc, path.toStdString(), &error)) {
            qWarning("%s", error.c_str());
            return QString();
        }
        return path;
    }

private slots:
    void initTestCase() { kUseTestSettings(); }
    void init() { QSettings().clear(); }

    void startsWithANewDefaultDocument() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        CChildFrame* child = frame.documents().activeFrame();
        QCOMPARE(child->windowTitle(), QStringLiteral("Quorl1 - All Active Layers[*]"));
        // A change shows in the title's modified mark.
        doc->documentChanged();
        QVERIFY(child->isWindowModified());
        // A second new document is numbered on.
        frame.action("fileNew")->trigger();
        QCOMPARE(frame.documents().activeFrame()->windowTitle(),
                 QStringLiteral("Quorl2 - All Active Layers[*]"));
    }

    void startsWithTheFileNamedOnTheCommandLine() {
        const QString path = writeDocument(QStringLiteral("Kopf-Ü.qrz"));
        QVERIFY(!path.isEmpty());
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl"), path}));
        QCOMPARE(frame.documents().title(frame.activeDocument()), QStringLiteral("Kopf-Ü.qrz"));
        QCOMPARE(frame.activeView()->layout().grid.uCount, 24);
        QCOMPARE(frame.recentFiles().value(0), QFileInfo(path).absoluteFilePath());
        // Save As renames the window.
        const QString renamed = files_.filePath(QStringLiteral("Hand.qrz"));
        std::optional<KFileScript> savedAs(std::in_place, renamed);
        frame.activeDocument()->documentChanged();
        frame.action("fileSaveAs")->trigger();
        savedAs.reset();
        QCOMPARE(frame.documents().activeFrame()->windowTitle(),
                 QStringLiteral("Hand.qrz - All Active Layers[*]"));
        QCOMPARE(QFileInfo(frame.recentFiles().value(0)).fileName(), QStringLiteral("Hand.qrz"));
        QCOMPARE(frame.documents().findByPath(renamed), frame.activeDocument());
        // Opening it again by another spelling of its path brings the window forward.
        const QString other = files_.path() + QStringLiteral("/./Hand.qrz");
        QCOMPARE(frame.documents().openDocument(other), frame.activeDocument());
        QCOMPARE(frame.documents().documents().size(), size_t(1));
    }

    void opensEveryFileNamedOnTheCommandLine() {
        KTestUi ui;
        const QString a = writeDocument(QStringLiteral("a.qrz"));
        const QString b = writeDocument(QStringLiteral("b.qrz"));
        const QString c = writeDocument(QStringLiteral("c.qrz"));
        const QString missing = files_.filePath(QStringLiteral("missing.qrz"));
        struct Case {
            QStringList files;
            bool started;
            QStringList titles;
        };
        const Case cases[] = {
            {{a, b, c}, true, {"a.qrz", "b.qrz", "c.qrz"}},
            // A file that cannot be read is reported; the others still open.
            {{a, missing, c}, true, {"a.qrz", "c.qrz"}},
            {{missing}, false, {}},
        };
        for (const Case& t : cases) {
            CMainFrame frame;
            QCOMPARE(frame.processCommandLine(QStringList{QStringLiteral("quorl")} + t.files),
                     t.started);
            QStringList titles;
            for (CPexaDoc* doc : frame.documents().documents()) {
                titles << frame.documents().title(doc);
            }
            QCOMPARE(titles, t.titles);
        }
        // The last file opened is the active one.
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl"), a, b}));
        QCOMPARE(frame.documents().title(frame.activeDocument()), QStringLiteral("b.qrz"));
    }

    void titleNamesTheActiveDocument() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        frame.action("fileNew")->trigger();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl2"));
        // Activating a window of the first document, of either kind, names it.
        CPexaDoc* first = frame.documents().documents().front();
        frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(first).front());
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        frame.mdiArea()->setActiveSubWindow(frame.openWindowKind(QStringLiteral("Curve")));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        // Save As renames it.
        const QString renamed = files_.filePath(QStringLiteral("limb.qrz"));
        std::optional<KFileScript> savedAs(std::in_place, renamed);
        frame.action("fileSaveAs")->trigger();
        savedAs.reset();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - limb.qrz"));
        // Closing it leaves the other document active; closing that leaves none.
        frame.action("fileClose")->trigger();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl2"));
        frame.action("fileClose")->trigger();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl"));
    }

    void aFileThatCannotBeReadOpensNothing() {
        KTestUi ui;
        CMainFrame frame;
        QVERIFY(!frame.processCommandLine(
            {QStringLiteral("quorl"), files_.filePath(QStringLiteral("missing.qrz"))}));
        QCOMPARE(ui.messages().size(), size_t(1));
        QVERIFY(QString::fromStdString(ui.messages()[0]).startsWith("Cannot open the document"));

        QFile junk(files_.filePath(QStringLiteral("junk.qrz")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a document at all");
        junk.close();
        QVERIFY(!frame.documents().openDocument(junk.fileName()));
        // The reader may say more on the way (an old format); the failure report comes last.
        QVERIFY(ui.messages().size() >= 2);
        QVERIFY(
            QString::fromStdString(ui.messages().back()).startsWith("Cannot open the document"));
    }

    void toolbarTogglesAreCheckedWhileVisible() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const std::pair<const char*, const char*> toggles[] = {
            {"viewToolBar", "Main Toolbar"},
            {"viewNewItemBar", "New Item"},
            {"viewShapeBar", "Object Shape"},
            {"viewShadingBar", "3D Shading"},
            {"viewMapToolsBar", "Muscle Map Tools"}};
        for (const auto& [name, text] : toggles) {
            QAction* toggle = frame.action(name);
            QVERIFY(toggle->isChecked());
            toggle->trigger();
            QVERIFY(!toggle->isChecked());
            (void)text;
        }
        QVERIFY(!frame.toolBar("Object Shape")->isVisible());
        frame.toolBar("Object Shape")->show();
        QVERIFY(frame.action("viewShapeBar")->isChecked());
        frame.action("viewStatusBar")->trigger();
        QVERIFY(!frame.statusBar()->isVisible());
    }

    void recalcAndShapeCheckMarksFollowTheDocument() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        frame.action("recalcManual")->trigger();
        QCOMPARE(doc->recalcMode, int(CPexaDoc::RecalcManual));
        QVERIFY(frame.action("recalcManual")->isChecked());
        // Now computes under Auto and leaves the mode alone.
        frame.action("recalcNow")->trigger();
        QCOMPARE(doc->recalcMode, int(CPexaDoc::RecalcManual));

        frame.action("shapeDisc")->trigger();
        QCOMPARE(doc->baseShape, int(CPexaDoc::Disc));
        QVERIFY(frame.action("shapeDisc")->isChecked());
        doc->baseShape = CPexaDoc::SuperQuad + 2;
        frame.updateCommands();
        QVERIFY(frame.action("shapeSuperQuad")->isChecked());

        // Layer slots carry the layer names and check the current item.
        // The slot opens the layer's properties; the test closes them at once.
        int opened = 0;
        {
            KDialogScript dialogs([&opened](QDialog&) {
                ++opened;
                return int(QDialog::Accepted);
            });
            frame.action("itemLayer2")->trigger();
        }
        QCOMPARE(opened, 1);
        QCOMPARE(doc->currentItem, CPexaDoc::ItemFirstLayer + 2);
        QVERIFY(frame.action("itemLayer2")->isChecked());
    }

    void windowPlacementRecords() {
        QVERIFY(!KWindowPlacement::parse("0,1,-1,-1,-1,-1,10,20,610,420,5"));
        QVERIFY(!KWindowPlacement::parse("0,1,-1,-1,-1,-1,10,x,610,420"));
        const auto p = KWindowPlacement::parse("2,3,-1,-1,-8,-8,10,20,610,420");
        QVERIFY(p);
        QCOMPARE(p->normalRect(), QRect(10, 20, 600, 400));
        QVERIFY(p->maximized());
        QCOMPARE(p->format(), QStringLiteral("2,3,-1,-1,-8,-8,10,20,610,420"));
    }

    void windowPlacementIsKeptInTheSettings() {
        QSettings().setValue("Settings/WindowPos", "0,1,-1,-1,-1,-1,40,50,740,650");
        {
            CMainFrame frame;
            QCOMPARE(frame.geometry(), QRect(40, 50, 700, 600));
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            frame.close();
        }
        const auto stored =
            KWindowPlacement::parse(QSettings().value("Settings/WindowPos").toString());
        QVERIFY(stored);
        QCOMPARE(stored->normalRect().size(), QSize(700, 600));

        // Nine numbers are ignored: the default placement stays.
        QSettings().setValue("Settings/WindowPos", "0,1,-1,-1,-1,-1,40,50,740");
        {
            CMainFrame frame;
            QCOMPARE(frame.size(), QSize(1024, 768));
        }
        // Closing while maximised stores flags 2, and the next start is maximised.
        QSettings().setValue("Settings/WindowPos", "0,1,-1,-1,-1,-1,40,50,740,650");
        {
            CMainFrame frame;
            frame.showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QTRY_VERIFY(frame.isMaximized());
            frame.close();
        }
        const auto maximized =
            KWindowPlacement::parse(QSettings().value("Settings/WindowPos").toString());
        QVERIFY(maximized);
        QCOMPARE(maximized->flags, 2u);
        CMainFrame again;
        QVERIFY(again.windowState() & Qt::WindowMaximized);
    }

    void recentFilesKeepFourNewestFirst() {
        {
            CMainFrame frame;
            for (int i = 1; i <= 5; ++i) {
                frame.addRecentFile(files_.filePath(QStringLiteral("f%1.qrz").arg(i)));
            }
            frame.addRecentFile(files_.filePath(QStringLiteral("f3.qrz")));
            QCOMPARE(frame.recentFiles().size(), 4);
            QCOMPARE(QFileInfo(frame.recentFiles()[0]).fileName(), QStringLiteral("f3.qrz"));
            QCOMPARE(QFileInfo(frame.recentFiles()[1]).fileName(), QStringLiteral("f5.qrz"));
            QCOMPARE(QFileInfo(frame.recentFiles()[3]).fileName(), QStringLiteral("f2.qrz"));
        }
        CMainFrame reloaded;
        QCOMPARE(reloaded.recentFiles().size(), 4);
        QCOMPARE(QFileInfo(reloaded.recentFiles()[0]).fileName(), QStringLiteral("f3.qrz"));
    }

    void closingAModifiedDocumentAsksToSave() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        doc->documentChanged();
        {
            SaveAnswer cancel(QMessageBox::Cancel);
            frame.action("fileClose")->trigger();
            QCOMPARE(cancel.questions, QStringList{QStringLiteral("Save changes to Quorl1?")});
            QCOMPARE(frame.documents().documents().size(), size_t(1));
            // Closing its only window asks too, and Cancel keeps the window.
            QVERIFY(!frame.documents().activeFrame()->close());
            QCOMPARE(cancel.questions.size(), 2);
        }
        // A second window closes without a question; the last one asks.
        CChildFrame* second = frame.documents().newWindow(doc);
        {
            SaveAnswer discard(QMessageBox::Discard);
            QVERIFY(second->close());
            QVERIFY(discard.questions.isEmpty());
            QTRY_COMPARE(frame.documents().framesOf(doc).size(), size_t(1));
            frame.action("fileClose")->trigger();
            QCOMPARE(discard.questions.size(), 1);
            QVERIFY(frame.documents().documents().empty());
        }
        // Save: with no name yet the Save As question supplies one.
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        frame.activeDocument()->documentChanged();
        const QString target = files_.filePath(QStringLiteral("saved"));
        std::optional<KFileScript> savedAs(std::in_place, target);
        {
            SaveAnswer save(QMessageBox::Save);
            QVERIFY(frame.documents().closeAll());
            QCOMPARE(save.questions.size(), 1);
        }
        savedAs.reset();
        QVERIFY(QFileInfo::exists(target + QStringLiteral(".qrz")));
        QVERIFY(frame.documents().documents().empty());
    }

    void exitWithAModifiedDocumentCanBeCancelled() {
        CMainFrame* frame = showClosableFrame();
        QVERIFY(frame);
        QPointer<CMainFrame> guard(frame);
        frame->activeDocument()->documentChanged();
        {
            SaveAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!frame->close());
            QCOMPARE(cancel.questions.size(), 1);
        }
        SaveAnswer discard(QMessageBox::Discard);
        QVERIFY(frame->close());
        QTRY_VERIFY(guard.isNull());
    }

    void closingAsksToKeepAChangedTextureList_data() {
        QTest::addColumn<QString>("change"); // what happens to the texture list first
        QTest::addColumn<bool>("documentChanged");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("chooseFile"); // the file chooser gives a name, or cancels
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        const QString document = QStringLiteral("Save changes to Quorl1?");
        const QString textures =
            QStringLiteral("The texture list of Quorl1 has changes that are not saved. "
                           "Save it as a texture list file?");
        const int save = QMessageBox::Save;
        const int discard = QMessageBox::Discard;
        const int cancel = QMessageBox::Cancel;
        QTest::newRow("unchanged")
            << "none" << false << save << true << QStringList{} << true << false;
        QTest::newRow("looked at, OK")
            << "look" << false << save << true << QStringList{} << true << false;
        QTest::newRow("modified, Save")
            << "modify" << false << save << true << QStringList{textures} << true << true;
        QTest::newRow("modified, Save, no file chosen")
            << "modify" << false << save << false << QStringList{textures} << false << false;
        QTest::newRow("modified, Discard")
            << "modify" << false << discard << true << QStringList{textures} << true << false;
        QTest::newRow("modified, Cancel")
            << "modify" << false << cancel << true << QStringList{textures} << false << false;
        QTest::newRow("modified with the document, Discard")
            << "modify" << true << discard << true << QStringList{document, textures} << true
            << false;
        QTest::newRow("modified, then saved")
            << "modify and save" << false << save << true << QStringList{} << true << false;
        QTest::newRow("loaded") << "load" << false << save << true << QStringList{} << true
                                << false;
    }

    void closingAsksToKeepAChangedTextureList() {
        QFETCH(QString, change);
        QFETCH(bool, documentChanged);
        QFETCH(int, answer);
        QFETCH(bool, chooseFile);
        QFETCH(QStringList, questions);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        KTestUi ui;
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("kept.qtl"));
        const QString onClosing = dir.filePath(QStringLiteral("closing.qtl"));
        KTextureList other = KTextureList::defaults();
        other.entries[0].name = "moss";
        QVERIFY(other.saveFile(kept.toStdString()));

        CMainFrame* frame = showClosableFrame();
        QVERIFY(frame);
        QPointer<CMainFrame> guard(frame);
        CPexaDoc* doc = frame->activeDocument();
        QString chosen = kept;
        KFileScript files([&chosen](const KFileRequest&) { return chosen; });
        if (change.startsWith(QStringLiteral("modify")) || change == QStringLiteral("look")) {
            const bool rename = change != QStringLiteral("look");
            KDialogScript modify([rename](QDialog& d) {
                if (rename) {
                    dynamic_cast<KTextureListDlg&>(d).name->setText(QStringLiteral("bark"));
                }
                return int(QDialog::Accepted);
            });
            QVERIFY(frame->modifyTextureList(*doc));
        }
        if (change == QStringLiteral("modify and save")) {
            QVERIFY(frame->saveTextureList(*doc));
        } else if (change == QStringLiteral("load")) {
            QVERIFY(frame->loadTextureList(*doc));
            QCOMPARE(doc->textures.textureName(0), std::string("moss"));
        }
        if (documentChanged) {
            doc->documentChanged();
        }

        chosen = chooseFile ? onClosing : QString();
        {
            SaveAnswer asked{QMessageBox::StandardButton(answer)};
            QCOMPARE(frame->close(), closes);
            QCOMPARE(asked.questions, questions);
        }
        QCOMPARE(QFile::exists(onClosing), written);
        if (written) {
            KTextureList back;
            QVERIFY(back.loadFile(onClosing.toStdString()));
            QCOMPARE(back.textureName(0), std::string("bark"));
        }
        QVERIFY(ui.messages().empty());
        if (!closes) {
            QCOMPARE(frame->documents().documents().size(), size_t(1));
            SaveAnswer discard(QMessageBox::Discard);
            QVERIFY(frame->close());
        }
        QTRY_VERIFY(guard.isNull());
    }

    void tileSharesTheAreaAmongWindowsNotMinimized_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("sideBySide");
        QTest::newRow("vertically") << QStringLiteral("windowTileVert") << true;
        QTest::newRow("horizontally") << QStringLiteral("windowTileHorz") << false;
    }

    void tileSharesTheAreaAmongWindowsNotMinimized() {
        QFETCH(QString, command);
        QFETCH(bool, sideBySide);
        CMainFrame frame;
        frame.resize(900, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        for (int i = 0; i < 2; ++i) {
            frame.action("windowNew")->trigger();
        }
        auto* area = frame.findChild<QMdiArea*>();
        QVERIFY(area);
        QList<QMdiSubWindow*> tiled = area->subWindowList();
        QVERIFY(tiled.size() >= 4);
        QMdiSubWindow* minimized = tiled.takeAt(1);
        minimized->showMinimized();
        tiled[1]->showMaximized();
        frame.action(command)->trigger();

        // The windows left share the area in list order, the maximized one made normal;
        // the minimized one stays as it is.
        const QSize size = area->contentsRect().size();
        const int length = sideBySide ? size.width() : size.height();
        const int n = int(tiled.size());
        for (int i = 0; i < n; ++i) {
            const int from = length * i / n, to = length * (i + 1) / n;
            const QRect expected = sideBySide ? QRect(from, 0, to - from, size.height())
                                              : QRect(0, from, size.width(), to - from);
            QCOMPARE(tiled[i]->geometry(), expected);
            QVERIFY(!tiled[i]->isMaximized());
        }
        QVERIFY(minimized->isMinimized());
    }

    void aboutBoxShowsTheVersion() {
        QCOMPARE(KAboutDlg::versionLine(), QStringLiteral("Quorl Version " QUORL_VERSION_TEXT));
        const QImage icon = kProgramPixmap(64).toImage();
        QCOMPARE(icon.size(), QSize(64, 64));
        QVERIFY(icon.pixelColor(32, 32).alpha() > 0); // the SVG really drew something
        QCOMPARE(icon.pixelColor(0, 0).alpha(), 0);   // rounded corner stays clear
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
