// The main frame: start-up with and without a file, the window placement and recent files
// in the settings, the document commands, the question before a modified document closes
// and the one about its texture list, tiling. Also the status panes of the child frames.

#include "KGuiMapTestSupport.h"
#include "KGuiTestKit.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/KChildFrames.h"
#include "app/KWindowPlacement.h"
#include "dialogs/KTextureListDlg.h"
#include "document/KDocumentFile.h"
#include "views/CPexaView.h"

namespace {

// The texts of the questions asked so far.
QStringList asked(const KQuestionScript& script) {
    QStringList out;
    for (const KQuestion& q : script.questions) {
        out << q.text;
    }
    return out;
}

// A main window with a new document, on the screen, that deletes itself when closed
// (as the program's own does); null when it could not be shown.
CMainFrame* showClosableFrame() {
    auto frame = std::make_unique<CMainFrame>();
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (!kStartNew(*frame)) {
        return nullptr;
    }
    frame->show();
    return QTest::qWaitForWindowExposed(frame.get()) ? frame.release() : nullptr;
}

// A change to the texture list, then closing the main window with the answers given.
struct TextureCase {
    QString change; // what happens to the texture list first
    bool documentChanged;
    QMessageBox::StandardButton answer;
    bool chooseFile; // the file chooser gives a name, or cancels
    QStringList questions;
    bool closes, written;
};

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

    QString writeDocument(const QString& name) {
        CPexaDoc doc;
        doc.uResolution = 24;
        doc.rebuildGrid();
        const QString path = files_.filePath(name);
        return kSaveDocument(doc, path.toStdString(), nullptr) ? path : QString();
    }

    // Save As to path through the command, with the file chooser answered.
    static void saveAs(CMainFrame& frame, const QString& path) {
        KFileScript savedAs(path);
        frame.action("fileSaveAs")->trigger();
    }

    static void closeAfterTextureChange(const TextureCase& t) {
        KTestUi ui;
        QTemporaryDir dir;
        const QString kept = dir.filePath(QStringLiteral("kept.qtl"));
        const QString onClosing = dir.filePath(QStringLiteral("closing.qtl"));
        KTextureList other = KTextureList::defaults();
        other.entries[0].name = "moss";
        QVERIFY(other.saveFile(kept.toStdString()));

        QPointer<CMainFrame> frame(showClosableFrame());
        QVERIFY(frame);
        CPexaDoc* doc = frame->activeDocument();
        QString chosen = kept;
        KFileScript files([&chosen](const KFileRequest&) { return chosen; });
        if (t.change.startsWith(QStringLiteral("modify")) || t.change == QStringLiteral("look")) {
            KDialogScript modify([rename = t.change != QStringLiteral("look")](QDialog& d) {
                if (rename) {
                    dynamic_cast<KTextureListDlg&>(d).name->setText(QStringLiteral("bark"));
                }
                return int(QDialog::Accepted);
            });
            QVERIFY(frame->modifyTextureList(*doc));
        }
        if (t.change == QStringLiteral("modify and save")) {
            QVERIFY(frame->saveTextureList(*doc));
        } else if (t.change == QStringLiteral("load")) {
            QVERIFY(frame->loadTextureList(*doc));
            QCOMPARE(doc->textures.textureName(0), std::string("moss"));
        }
        if (t.documentChanged) {
            doc->documentChanged();
        }
        chosen = t.chooseFile ? onClosing : QString();
        {
            KQuestionScript answered(t.answer);
            QCOMPARE(frame->close(), t.closes);
            QCOMPARE(asked(answered), t.questions);
        }
        QCOMPARE(QFile::exists(onClosing), t.written);
        if (t.written) {
            KTextureList back;
            QVERIFY(back.loadFile(onClosing.toStdString()));
            QCOMPARE(back.textureName(0), std::string("bark"));
        }
        QVERIFY(ui.messages().empty());
        if (!t.closes) {
            QCOMPARE(frame->documents().documents().size(), size_t(1));
            KQuestionScript discard(QMessageBox::Discard);
            QVERIFY(frame->close());
        }
        QTRY_VERIFY(frame.isNull());
    }

    // Tiles a new document's four windows, one of them minimized and one maximized.
    static void tileWindows(const char* command, bool sideBySide) {
        CMainFrame frame;
        QVERIFY(kShowWithNewDocument(frame));
        frame.action("windowNew")->trigger();
        frame.action("windowNew")->trigger();
        QMdiArea* area = frame.mdiArea();
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

private slots:
    void initTestCase() { kUseTestSettings(); }
    void init() { QSettings().clear(); }

    // New documents are numbered on; the window titles name the active document and show
    // its modified mark; Save As renames it; closing leaves the other one, then none.
    void titlesNameTheActiveDocument() {
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CChildFrame* child = frame.documents().activeFrame();
        QCOMPARE(child->windowTitle(), QStringLiteral("Quorl1 - All Active Layers[*]"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        frame.activeDocument()->documentChanged();
        QVERIFY(child->isWindowModified());
        frame.action("fileNew")->trigger();
        QCOMPARE(frame.documents().activeFrame()->windowTitle(),
                 QStringLiteral("Quorl2 - All Active Layers[*]"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl2"));
        // Activating a window of the first document, of either kind, names it.
        CPexaDoc* first = frame.documents().documents().front();
        frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(first).front());
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        frame.mdiArea()->setActiveSubWindow(frame.openWindowKind(QStringLiteral("Curve")));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl1"));
        saveAs(frame, files_.filePath(QStringLiteral("limb.qrz")));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - limb.qrz"));
        KQuestionScript discard(QMessageBox::Discard);
        frame.action("fileClose")->trigger();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl - Quorl2"));
        frame.action("fileClose")->trigger();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Quorl"));
    }

    void startsWithTheFileNamedOnTheCommandLine() {
        const QString path = writeDocument(QStringLiteral("Kopf-Ü.qrz"));
        QVERIFY(!path.isEmpty());
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl"), path}));
        QCOMPARE(frame.documents().title(frame.activeDocument()), QStringLiteral("Kopf-Ü.qrz"));
        QCOMPARE(frame.activeView()->layout().grid.uCount, 24);
        QCOMPARE(frame.recentFiles().value(0), QFileInfo(path).absoluteFilePath());
        // Opening it again by another spelling of its path brings the window forward.
        const QString other = files_.path() + QStringLiteral("/./Kopf-Ü.qrz");
        QCOMPARE(frame.documents().openDocument(other), frame.activeDocument());
        QCOMPARE(frame.documents().documents().size(), size_t(1));
    }

    // Every file named opens, the last one active; a file that cannot be read (missing, or
    // not a document) is reported last and the others still open.
    void opensEveryFileNamedOnTheCommandLine() {
        const QString a = writeDocument(QStringLiteral("a.qrz"));
        const QString b = writeDocument(QStringLiteral("b.qrz"));
        const QString missing = files_.filePath(QStringLiteral("missing.qrz"));
        const QString junk = files_.filePath(QStringLiteral("junk.qrz"));
        QVERIFY(kWriteBytes(junk, "not a document at all"));
        struct Case {
            QStringList files;
            bool started;
            QStringList titles;
        };
        for (const Case& t : {Case{{a, b}, true, {"a.qrz", "b.qrz"}},
                              Case{{a, missing, b}, true, {"a.qrz", "b.qrz"}},
                              Case{{missing}, false, {}}, Case{{junk}, false, {}}}) {
            KTestUi ui;
            CMainFrame frame;
            QCOMPARE(frame.processCommandLine(QStringList{QStringLiteral("quorl")} + t.files),
                     t.started);
            QCOMPARE(kDocumentTitles(frame), t.titles);
            if (t.started) {
                QCOMPARE(frame.documents().title(frame.activeDocument()), QStringLiteral("b.qrz"));
            }
            // The reader may say more on the way (an old format); the failure report comes
            // last.
            const bool failed = t.files.size() != t.titles.size();
            QCOMPARE(!ui.messages().empty() &&
                         QString::fromStdString(ui.messages().back()).startsWith("Cannot open the"),
                     failed);
        }
    }

    void windowPlacementRecords() {
        QVERIFY(!KWindowPlacement::parse("0,1,-1,-1,-1,-1,10,20,610,420,5"));
        QVERIFY(!KWindowPlacement::parse("0,1,-1,-1,-1,-1,10,x,610,420"));
        const auto p = KWindowPlacement::parse("2,3,-1,-1,-8,-8,10,20,610,420");
        QVERIFY(p && p->maximized());
        QCOMPARE(p->normalRect(), QRect(10, 20, 600, 400));
        QCOMPARE(p->format(), QStringLiteral("2,3,-1,-1,-8,-8,10,20,610,420"));
    }

    void windowPlacementIsKeptInTheSettings() {
        const auto stored = [] {
            return KWindowPlacement::parse(QSettings().value("Settings/WindowPos").toString());
        };
        const char* placed = "0,1,-1,-1,-1,-1,40,50,740,650";
        for (bool maximize : {false, true}) {
            QSettings().setValue("Settings/WindowPos", placed);
            CMainFrame frame;
            QCOMPARE(frame.geometry(), QRect(40, 50, 700, 600));
            maximize ? frame.showMaximized() : frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QTRY_COMPARE(frame.isMaximized(), maximize);
            frame.close();
            QVERIFY(stored());
            QCOMPARE(stored()->normalRect().size(), QSize(700, 600));
            // Closing while maximised stores flags 2.
            QCOMPARE(stored()->flags, maximize ? 2u : 0u);
        }
        QVERIFY(CMainFrame().windowState() & Qt::WindowMaximized); // as it was closed
        // Nine numbers are ignored: the default placement stays.
        QSettings().setValue("Settings/WindowPos", "0,1,-1,-1,-1,-1,40,50,740");
        QCOMPARE(CMainFrame().size(), QSize(1024, 768));
    }

    void recentFilesKeepFourNewestFirst() {
        auto names = [](const QStringList& paths) {
            QStringList out;
            for (const QString& p : paths) {
                out << QFileInfo(p).fileName();
            }
            return out;
        };
        const QStringList expected = {"f3.qrz", "f5.qrz", "f4.qrz", "f2.qrz"};
        {
            CMainFrame frame;
            for (int i : {1, 2, 3, 4, 5, 3}) {
                frame.addRecentFile(files_.filePath(QStringLiteral("f%1.qrz").arg(i)));
            }
            QCOMPARE(names(frame.recentFiles()), expected);
        }
        QCOMPARE(names(CMainFrame().recentFiles()), expected);
    }

    void closingAModifiedDocumentAsksToSave() {
        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        CPexaDoc* doc = frame.activeDocument();
        // A real change: a report that changes nothing leaves no mark once recorded.
        doc->description = "changed";
        doc->documentChanged();
        {
            KQuestionScript cancel(QMessageBox::Cancel);
            frame.action("fileClose")->trigger();
            QCOMPARE(asked(cancel), QStringList{QStringLiteral("Save changes to Quorl1?")});
            QCOMPARE(frame.documents().documents().size(), size_t(1));
            // Closing its only window asks too, and Cancel keeps the window.
            QVERIFY(!frame.documents().activeFrame()->close());
            QCOMPARE(cancel.questions.size(), size_t(2));
        }
        // A second window closes without a question; the last one asks.
        CChildFrame* second = frame.documents().newWindow(doc);
        {
            KQuestionScript discard(QMessageBox::Discard);
            QVERIFY(second->close());
            QVERIFY(discard.questions.empty());
            QTRY_COMPARE(frame.documents().framesOf(doc).size(), size_t(1));
            frame.action("fileClose")->trigger();
            QCOMPARE(discard.questions.size(), size_t(1));
            QVERIFY(frame.documents().documents().empty());
        }
        // Save: with no name yet the Save As question supplies one.
        QVERIFY(kStartNew(frame));
        frame.activeDocument()->documentChanged();
        const QString target = files_.filePath(QStringLiteral("saved"));
        {
            KFileScript savedAs(target);
            KQuestionScript save(QMessageBox::Save);
            QVERIFY(frame.documents().closeAll());
            QCOMPARE(save.questions.size(), size_t(1));
        }
        QVERIFY(QFileInfo::exists(target + QStringLiteral(".qrz")));
        QVERIFY(frame.documents().documents().empty());
    }

    void exitWithAModifiedDocumentCanBeCancelled() {
        QPointer<CMainFrame> frame(showClosableFrame());
        QVERIFY(frame);
        frame->activeDocument()->documentChanged();
        {
            KQuestionScript cancel(QMessageBox::Cancel);
            QVERIFY(!frame->close());
            QCOMPARE(cancel.questions.size(), size_t(1));
        }
        KQuestionScript discard(QMessageBox::Discard);
        QVERIFY(frame->close());
        QTRY_VERIFY(frame.isNull());
    }

    // Closing asks to keep a texture list changed since it was loaded or saved, after the
    // document's own question; Cancel there, or no file chosen, keeps the window open.
    void closingAsksToKeepAChangedTextureList() {
        const QString document = QStringLiteral("Save changes to Quorl1?");
        const QString textures =
            QStringLiteral("The texture list of Quorl1 has changes that are not saved. "
                           "Save it as a texture list file?");
        const auto save = QMessageBox::Save, discard = QMessageBox::Discard;
        using Case = TextureCase;
        for (const Case& t :
             {Case{"none", false, save, true, {}, true, false},
              Case{"look", false, save, true, {}, true, false},
              Case{"modify", false, save, true, {textures}, true, true},
              Case{"modify", false, save, false, {textures}, false, false},
              Case{"modify", false, discard, true, {textures}, true, false},
              Case{"modify", false, QMessageBox::Cancel, true, {textures}, false, false},
              Case{"modify", true, discard, true, {document, textures}, true, false},
              Case{"modify and save", false, save, true, {}, true, false},
              Case{"load", false, save, true, {}, true, false}}) {
            closeAfterTextureChange(t);
            QVERIFY2(!QTest::currentTestFailed(), qPrintable(t.change));
        }
    }

    void tileSharesTheAreaAmongWindowsNotMinimized() {
        for (bool sideBySide : {true, false}) {
            tileWindows(sideBySide ? "windowTileVert" : "windowTileHorz", sideBySide);
        }
    }

    // In a bar too narrow for them the curve frame's panes keep the widths of their sample
    // texts and run past its end rather than collapsing to negative widths.
    void childFramePanesKeepTheirSampleWidths() {
        QMdiArea area;
        auto* curve = new KFrameCurve(new QWidget);
        area.addSubWindow(curve);
        KStatusPaneBar* bar = curve->paneBar();
        QCOMPARE(bar->paneCount(), 3);
        bar->resize(5, bar->height());
        bar->layoutPanes();
        const auto& e = bar->paneEdges();
        const QFontMetrics fm(bar->font());
        QCOMPARE(e[2] - e[1], fm.horizontalAdvance(QStringLiteral("rpts: 999   ")));
        QCOMPARE(e[1] - e[0], fm.horizontalAdvance(QStringLiteral("pts: 9999   ")));
        QVERIFY(e[0] >= 10);
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
