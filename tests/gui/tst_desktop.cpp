// The main window as a desktop program: standard shortcuts beside the program's own,
// document files dropped on the window, the arrangement when a document opens and the
// cascade's window sizes.

#include "KGuiTestKit.h"
#include "app/CDocManager.h"
#include "document/KDocumentFile.h"

namespace {

// Drops the files on the window as a file manager does; whether the drag was accepted.
bool dropFiles(QWidget& target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files) {
        urls << QUrl::fromLocalFile(f);
    }
    data.setUrls(urls);
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    return true;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

    QString writeDocument(const QString& name) {
        CPexaDoc doc;
        const QString path = files_.filePath(name);
        return kSaveDocument(doc, path.toStdString(), nullptr) ? path : QString();
    }

private slots:
    void initTestCase() { kUseTestSettings(); }
    void init() { QSettings().clear(); }

    void standardShortcutsJoinTheProgramsOwn() {
        CMainFrame frame;
        // The desktop's key for each command; where it has none for Save As and
        // Preferences, the usual ones.
        for (const auto& [action, key] : {std::pair{"fileSaveAs", QKeySequence::SaveAs},
                                          {"editPreferences", QKeySequence::Preferences},
                                          {"editUndo", QKeySequence::Undo},
                                          {"fileExit", QKeySequence::Quit}}) {
            QCOMPARE(frame.action(action)->shortcut(), kStandardKey(key));
        }
        QVERIFY(!kStandardKey(QKeySequence::SaveAs).isEmpty() &&
                !kStandardKey(QKeySequence::Preferences).isEmpty());
        // No key is given to two commands: the second would never run.
        QHash<QKeySequence, QString> owner;
        for (QAction* a : frame.findChildren<QAction*>()) {
            for (const QKeySequence& key : a->shortcuts()) {
                QVERIFY2(!owner.contains(key) || owner[key] == a->objectName(),
                         qPrintable(key.toString() + QStringLiteral(": ") + owner[key] +
                                    QStringLiteral(" and ") + a->objectName()));
                owner.insert(key, a->objectName());
            }
        }
        // Preferences sits in the Edit menu.
        QMenu* edit = kMenuBarMenu(frame, QStringLiteral("&Edit"));
        QVERIFY(edit && edit->actions().contains(frame.action("editPreferences")));
    }

    void droppedDocumentFilesOpen() {
        KTestUi ui;
        const QString a = writeDocument(QStringLiteral("dropped a.qrz"));
        const QString b = writeDocument(QStringLiteral("DROPPED-B.QRZ"));
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        const QString text = files_.filePath(QStringLiteral("notes.txt"));
        QVERIFY(kWriteBytes(text, "not a model"));

        CMainFrame frame;
        QVERIFY(kStartNew(frame));
        // Something that is no document is not taken at all.
        QVERIFY(!dropFiles(frame, {text}));
        QCOMPARE(kDocumentTitles(frame), QStringList({"Quorl1"}));
        // Documents open, other files dropped with them are left alone, and a document
        // already open is not opened twice.
        QVERIFY(dropFiles(frame, {a, text, b}));
        QVERIFY(dropFiles(frame, {a}));
        QCOMPARE(kDocumentTitles(frame), QStringList({"Quorl1", "dropped a.qrz", "DROPPED-B.QRZ"}));
        QVERIFY(ui.messages().empty());
    }

    void arrangingWhenADocumentOpensIsAPreference() {
        for (bool arrange : {true, false}) {
            CMainFrame frame;
            frame.resize(1000, 760);
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            frame.setArrangeWindows(arrange);
            QVERIFY(kStartNew(frame));
            QMdiArea* area = frame.mdiArea();
            // The user's own layout of the first document's windows.
            QList<QRect> placed;
            int i = 0;
            for (QMdiSubWindow* w : area->subWindowList()) {
                w->showNormal();
                w->setGeometry(20 + 30 * i, 10 + 25 * i, 300, 220);
                placed << w->geometry();
                ++i;
            }
            frame.documents().newDocument();
            QList<QRect> after;
            for (int k = 0; k < placed.size(); ++k) {
                after << area->subWindowList()[k]->geometry();
            }
            if (arrange) {
                // Tiled side by side: the first window now starts at the left edge.
                QCOMPARE(after[0].topLeft(), QPoint(0, 0));
                QVERIFY(after != placed);
            } else {
                QCOMPARE(after, placed);
                // The new document's windows open at a usable size, not maximized.
                for (QMdiSubWindow* w : area->subWindowList().mid(placed.size())) {
                    QVERIFY(!w->isMaximized());
                    QVERIFY(w->width() >= 300 && w->height() >= 200);
                }
            }
        }
    }

    void cascadeKeepsUsableWindowSizes() {
        for (QSize frameSize : {QSize(1000, 760), QSize(520, 420)}) {
            CMainFrame frame;
            frame.resize(frameSize);
            frame.show();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QVERIFY(kStartNew(frame));
            for (int i = 0; i < 7; ++i) {
                frame.action("windowNew")->trigger();
            }
            QMdiArea* area = frame.mdiArea();
            area->subWindowList()[1]->showMinimized();
            frame.action("windowCascade")->trigger();
            const QSize room = area->contentsRect().size();
            const QSize minimum = CMainFrame::kMinCascadeSize.boundedTo(room);
            QSet<int> lefts;
            for (QMdiSubWindow* w : area->subWindowList()) {
                if (w->isMinimized()) {
                    continue;
                }
                const QRect g = w->geometry();
                QVERIFY2(g.width() >= minimum.width() && g.height() >= minimum.height(),
                         qPrintable(QStringLiteral("%1x%2").arg(g.width()).arg(g.height())));
                // Inside the area, so every title bar can be reached.
                QVERIFY(g.left() >= 0 && g.top() >= 0 && g.right() < room.width() &&
                        g.bottom() < room.height());
                lefts.insert(g.left());
            }
            // Overlapping, each offset from the one before so its title shows.
            QVERIFY(lefts.size() > 1);
            QVERIFY(area->subWindowList()[1]->isMinimized());
        }
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
