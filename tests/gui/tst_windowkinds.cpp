// The window kinds of the Window menu: each opens a working window on the active document
// through a template made once per kind; without a document the command fails and nothing
// changes; a new or opened document shows its 3D preview beside the UV map window; the
// windows close with their document and their titles follow it; the view commands follow
// the kind of the active window.

#include "KGuiMapTestSupport.h"
#include "KGuiTestKit.h"
#include "app/KChildFrames.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KCurveEditDlg.h"
#include "document/KDocumentFile.h"
#include "preview/KView3D.h"
#include "views/KFrameMdl.h"
#include "views/KViewCurve.h"
#include "views/KViewImage.h"

namespace {

// Every dialog a command may open is answered here, so no test waits in a modal loop:
// the titles of the dialogs that were run are recorded and each is cancelled.
struct DialogSeams {
    DialogSeams()
        : dialogs_([this](QDialog& d) {
              titles << recordOf(d);
              return int(QDialog::Rejected);
          }),
          discard_(QMessageBox::Discard) {}
    // The dialogs of this UV map view are recorded as its own.
    void cover(CPexaView* view) { maps_ << view; }
    QStringList titles;

private:
    // "curve:" and the control points for the curve properties, "preview:", "map:" (a
    // covered view's) or "sheet:" and the title for the others.
    QString recordOf(QDialog& d) const {
        if (auto* curve = qobject_cast<KCurveEditDlg*>(&d)) {
            return QStringLiteral("curve:") + QString::fromStdString(curve->values().controlString);
        }
        for (QWidget* w = d.parentWidget(); w; w = w->parentWidget()) {
            if (qobject_cast<KView3D*>(w)) {
                return QStringLiteral("preview:") + d.windowTitle();
            }
            if (auto* map = qobject_cast<CPexaView*>(w); map && maps_.contains(map)) {
                return QStringLiteral("map:") + d.windowTitle();
            }
        }
        return QStringLiteral("sheet:") + d.windowTitle();
    }
    QList<CPexaView*> maps_;
    KDialogScript dialogs_;
    KQuestionScript discard_;
};

template <class T>
std::vector<T*> windowsOfKind(const CMainFrame& frame) {
    std::vector<T*> out;
    for (QMdiSubWindow* w : frame.mdiArea()->subWindowList()) {
        if (auto* t = qobject_cast<T*>(w)) {
            out.push_back(t);
        }
    }
    return out;
}

// Runs the Window menu's command and returns the active window if it is of kind T.
template <class T>
T* openWindow(CMainFrame& frame, const char* command) {
    frame.action(command)->trigger();
    return qobject_cast<T*>(frame.mdiArea()->currentSubWindow());
}

// The windows of frame that show doc, of any kind.
int windowsOf(CMainFrame& frame, CPexaDoc* doc) {
    return int(frame.documents().framesOf(doc).size() +
               frame.documents().otherWindowsOf(doc).size());
}

QStringList menuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("|") : a->text());
    }
    return out;
}

} // namespace

class TestWindowKinds : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

private slots:
    void initTestCase() {
        kUseTestSettings();
        QVERIFY(files_.isValid());
    }

    void eachKindOpensAWorkingWindowOnTheActiveDocument() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QMdiArea* area = frame.mdiArea();

        auto* preview = openWindow<KFrame3D>(frame, "window3DPreview");
        QVERIFY(preview && qobject_cast<KView3D*>(preview->view()));
        QCOMPARE(&qobject_cast<KView3D*>(preview->view())->document(), doc);
        auto* curve = openWindow<KFrameCurve>(frame, "windowCurve");
        QVERIFY(curve && qobject_cast<KViewCurve*>(curve->view())->curve());
        QCOMPARE(qobject_cast<KViewCurve*>(curve->view())->curve()->count(), 5);

        // The displacement image asks for its layers as it opens.
        frame.action("windowImage")->trigger();
        QCOMPARE(seams.titles.filter(QStringLiteral("sheet:Select Layers")).size(), 1);
        KViewImage* image =
            area->currentSubWindow() ? area->currentSubWindow()->findChild<KViewImage*>() : nullptr;
        QVERIFY(image);
        QCOMPARE(&image->document(), doc);
        auto* item = openWindow<KFrameMdl>(frame, "windowMdlItem");
        QVERIFY(item);
        QCOMPARE(&item->document(), doc);

        // The group window: a placeholder above a working UV map view of the document.
        auto* group = openWindow<KFrameQuorlG1>(frame, "windowGroup");
        QVERIFY(group);
        QCOMPARE(&group->mapView()->document(), doc);
        QCOMPARE(frame.activeView(), group->mapView());
        const float zoom = group->mapView()->settings().zoom;
        frame.action("zoomIn")->trigger();
        QVERIFY(group->mapView()->settings().zoom > zoom);
        // Its caption shows the document's modified mark.
        doc->setModified(true);
        QVERIFY(group->isWindowModified());

        // Anatomy is the document's anatomy sheet, not a window.
        const int windows = int(area->subWindowList().size());
        doc->currentItem = CPexaDoc::ItemFirstLayer;
        frame.action("windowAnatomy")->trigger();
        QCOMPARE(seams.titles.filter(QStringLiteral("sheet:Anatomy")).size(), 1);
        QCOMPARE(doc->currentItem, int(CPexaDoc::ItemAnatomy));
        QCOMPARE(int(area->subWindowList().size()), windows);

        // Each kind has its one template.
        QCOMPARE(frame.windowTemplateCount(), size_t(5));
    }

    void withoutADocumentTheCommandsFailAndChangeNothing() {
        KTestUi ui;
        DialogSeams seams;
        CMainFrame frame;
        for (const char* name :
             {"window3DPreview", "windowCurve", "windowMdlItem", "windowGroup", "windowAnatomy"}) {
            frame.action(QString::fromLatin1(name))->trigger();
        }
        QCOMPARE(ui.messages(), std::vector<std::string>(5, "Command failed."));
        QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(frame.windowTemplateCount(), size_t(0));
    }

    // However the document comes, the main window tiles its map and its preview side by
    // side over the whole client area once both are on the screen, and only once.
    void aDocumentShowsItsMapAndPreviewSideBySide_data() {
        QTest::addColumn<bool>("openFile");   // a file named on the command line, or new
        QTest::addColumn<bool>("shownFirst"); // the main window is on the screen first
        QTest::newRow("new, window shown first") << false << true;
        QTest::newRow("new, as the program starts") << false << false;
        QTest::newRow("opened file") << true << true;
    }

    void aDocumentShowsItsMapAndPreviewSideBySide() {
        QFETCH(bool, openFile);
        QFETCH(bool, shownFirst);
        DialogSeams seams;
        const QString path = files_.filePath(QStringLiteral("opened.qrz"));
        CPexaDoc stored;
        std::string error;
        QVERIFY2(kSaveDocument(stored, path.toStdString(), &error), error.c_str());
        CMainFrame frame;
        frame.resize(1000, 700);
        if (shownFirst) {
            QVERIFY(kShowActive(&frame));
        }
        QVERIFY(frame.processCommandLine(openFile ? QStringList{QStringLiteral("quorl"), path}
                                                  : QStringList{QStringLiteral("quorl")}));
        if (!shownFirst) {
            QVERIFY(kShowActive(&frame));
        }
        CChildFrame* map = windowsOfKind<CChildFrame>(frame).front();
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        QCOMPARE(frame.documents().activeFrame(), map);
        const QRect client = frame.mdiArea()->viewport()->rect();
        QTRY_COMPARE(preview->geometry().right(), client.right());
        QCOMPARE(map->geometry().topLeft(), QPoint(0, 0));
        QCOMPARE(map->geometry().height(), client.height());
        QCOMPARE(preview->geometry().height(), client.height());
        QCOMPARE(preview->geometry().left(), map->geometry().right() + 1);
        // Opening the open file again only brings it to the front: no further preview.
        if (openFile) {
            QCOMPARE(frame.documents().openDocument(path), frame.activeDocument());
            QCOMPARE(windowsOfKind<KFrame3D>(frame).size(), size_t(1));
        }
        // Later resizes leave the user's arrangement alone.
        map->setGeometry(10, 10, 200, 150);
        frame.resize(1100, 760);
        QCoreApplication::processEvents();
        QCOMPARE(map->geometry(), QRect(10, 10, 200, 150));
    }

    void windowsCloseWithTheirDocument() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        for (const char* name :
             {"window3DPreview", "windowCurve", "windowMdlItem", "windowGroup"}) {
            frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(doc).front());
            frame.action(QString::fromLatin1(name))->trigger();
        }
        QCOMPARE(windowsOf(frame, doc), 6);
        std::vector<QPointer<QMdiSubWindow>> watch;
        for (QMdiSubWindow* w : frame.mdiArea()->subWindowList()) {
            watch.emplace_back(w);
        }
        CPexaDoc* other = frame.documents().newDocument();
        QCOMPARE(windowsOf(frame, other), 2);
        doc->setModified(true);
        QVERIFY(frame.documents().closeDocument(doc));
        for (const auto& w : watch) {
            QVERIFY(w.isNull());
        }
        QCOMPARE(frame.activeDocument(), other);

        // Closing the map window of the other document closes its preview too.
        QPointer<KFrame3D> preview = windowsOfKind<KFrame3D>(frame).front();
        frame.documents().framesOf(other).front()->close();
        QTRY_VERIFY(preview.isNull());
        QTRY_VERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QVERIFY(frame.documents().documents().empty());
    }

    void viewPropertiesFollowTheActiveWindowKind() {
        KTestUi ui;
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        CChildFrame* map = frame.documents().framesOf(doc).front();
        seams.cover(map->view());
        QMdiArea* area = frame.mdiArea();

        // The titles of the dialogs "Properties" runs, which then count as seen.
        const auto properties = [&] {
            frame.action("viewProperties")->trigger();
            return std::exchange(seams.titles, {});
        };
        // The UV map view: its own properties.
        QCOMPARE(properties(), QStringList{QStringLiteral("map:Grid View Properties")});

        // The 3D preview: "3D Preview Properties".
        area->setActiveSubWindow(windowsOfKind<KFrame3D>(frame).front());
        QCOMPARE(properties(), QStringList{QStringLiteral("preview:3D Preview Properties")});

        // The curve window: the manual edit of its curve.
        auto* curve =
            qobject_cast<KViewCurve*>(openWindow<KFrameCurve>(frame, "windowCurve")->view());
        const QString curveText = QString::fromStdString(curve->curve()->getString());
        QCOMPARE(properties(), QStringList{QStringLiteral("curve:") + curveText});

        // The item editor: the manual edit of the active pane's curve.
        KBdlMuscle* muscle = kAddMuscle(*doc, 0, KBdlMuscle::Linear, "Biceps");
        area->setActiveSubWindow(map);
        KFrameMdl* item = frame.documents().openItemEditor(doc, muscle);
        item->activatePane(KFrameMdl::UpperPane);
        const QString upper = QString::fromStdString(item->activeCurveView()->curve()->getString());
        QCOMPARE(properties(), QStringList{QStringLiteral("curve:") + upper});

        // None of these reached the UV map view, and nothing else asked anything.
        area->setActiveSubWindow(map);
        QCOMPARE(properties(), QStringList{QStringLiteral("map:Grid View Properties")});
    }

    void extraWindowTitlesFollowTheDocument() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        frame.action("windowCurve")->trigger();
        frame.action("windowMdlItem")->trigger();
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        KFrameCurve* curve = windowsOfKind<KFrameCurve>(frame).front();
        KFrameMdl* item = windowsOfKind<KFrameMdl>(frame).front();
        doc->documentChanged();
        QVERIFY(preview->isWindowModified() && curve->isWindowModified() &&
                item->isWindowModified());
        bool saved = false;
        kWithFile(files_.filePath(QStringLiteral("renamed.qrz")),
                  [&] { saved = frame.documents().saveDocumentAs(doc); });
        QVERIFY(saved && !preview->isWindowModified());
        QCOMPARE(item->windowTitle(), QStringLiteral("renamed.qrz - MDL Item[*]"));
        // The window list follows the commands, one line per open window, and shows the
        // mark as the captions do; showing the menu again does not repeat entries.
        doc->setModified(true);
        QMenu* menu = kMenuBarMenu(frame, QStringLiteral("&Window"));
        emit menu->aboutToShow();
        const QStringList texts = menuTexts(menu);
        QCOMPARE(texts.filter(QRegularExpression(QStringLiteral("^&\\d "))).size(), 4);
        QVERIFY(texts.contains(QStringLiteral("&2 renamed.qrz - 3D Preview*")));
        emit menu->aboutToShow();
        QCOMPARE(menuTexts(menu), texts);
    }

    void aPreviewWithoutOpenGLStaysOutOfItsWindow() {
        DialogSeams seams;
        CMainFrame frame;
        frame.resize(900, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        frame.action("window3DPreview")->trigger();
        QCoreApplication::processEvents();
        for (KFrame3D* preview : windowsOfKind<KFrame3D>(frame)) {
            auto* view = qobject_cast<KView3D*>(preview->view());
            QVERIFY(view);
            if (KView3D::openGLAvailable()) {
                QVERIFY(preview->isAncestorOf(view));
                QVERIFY(view->isVisible());
            } else {
                // Drawing the window must not touch OpenGL: the view is not part of it.
                QVERIFY(!preview->isAncestorOf(view));
                QVERIFY(!view->isVisible());
                QCOMPARE(preview->paneText(0), QStringLiteral("(no OpenGL on this display)"));
            }
        }
        // Closing the document deletes the views, in the window or not.
        QPointer<KView3D> view = qobject_cast<KView3D*>(windowsOfKind<KFrame3D>(frame)[0]->view());
        QVERIFY(frame.documents().closeDocument(frame.activeDocument()));
        QVERIFY(view.isNull());
    }

    // Pictures of the main window with several kinds open, arranged and grouped: each
    // kind paints (the group window's placeholders too) on a shown main window.
    void screenshotWithSeveralKinds() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(kShowWithNewDocument(frame, {1280, 860}));
        QCoreApplication::processEvents();
        QVERIFY(kSaveScreenshot(frame, QStringLiteral("windowkinds_new_document.png")));
        frame.action("windowCurve")->trigger();
        frame.action("windowMdlItem")->trigger();
        frame.action("windowTileHorz")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(kSaveScreenshot(frame, QStringLiteral("windowkinds_several.png")));
        frame.action("windowGroup")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(kSaveScreenshot(frame, QStringLiteral("windowkinds_group.png")));
    }
};

QTEST_MAIN(TestWindowKinds)
#include "tst_windowkinds.moc"
