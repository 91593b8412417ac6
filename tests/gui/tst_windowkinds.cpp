// The window kinds of the Window menu: each opens a working window on the active document
// through a template made once per kind; without a document the command fails and nothing
// changes; a new or opened document shows its 3D preview beside the UV map window; the
// windows close with their document and their titles follow it; the view commands follow
// the kind of the active window.
#include <QtTest>

#include <QDialog>
#include <QMdiArea>
#include <QMenuBar>
#include <QSplitter>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "app/KWindowTemplate.h"
#include "dialogs/KAnatomyDialogs.h"
#include "dialogs/KCurveEditDlg.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "gui/KDialogKit.h"
#include "model/KBdlMuscle.h"
#include "platform/KScriptedUi.h"
#include "preview/KView3D.h"
#include "views/CPexaView.h"
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

QMenu* windowMenu(CMainFrame& frame) {
    for (QAction* a : frame.menuBar()->actions()) {
        if (a->menu() && a->text() == QStringLiteral("&Window")) {
            return a->menu();
        }
    }
    return nullptr;
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

    void windowMenuListsEveryKindThenTheArrangements() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        QMenu* menu = windowMenu(frame);
        QVERIFY(menu);
        emit menu->aboutToShow();
        const QStringList texts = menuTexts(menu);
        const QStringList kinds = {
            QStringLiteral("&UV Map"),   QStringLiteral("&3D Preview"),
            QStringLiteral("&Curve"),    QStringLiteral("Displacement &Image"),
            QStringLiteral("&MDL Item"), QStringLiteral("&Quorl Group1"),
            QStringLiteral("&Anatomy"),  QStringLiteral("|")};
        QCOMPARE(texts.mid(0, kinds.size()), kinds);
        QVERIFY(texts.contains(QStringLiteral("Tile &Vertically")));
        // The window list follows: one line per open window (the map and its preview).
        QCOMPARE(texts.filter(QRegularExpression(QStringLiteral("^&\\d "))).size(), 2);
        // A command that is not built is no menu entry and no null action.
        QCOMPARE(frame.action(QStringLiteral("noSuchCommand")), nullptr);
        QVERIFY(!menu->actions().contains(nullptr));
        // Showing the menu again does not repeat entries.
        emit menu->aboutToShow();
        QCOMPARE(menuTexts(menu), texts);
    }

    void eachKindOpensAWorkingWindowOnTheActiveDocument() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        QMdiArea* area = frame.mdiArea();

        frame.action("window3DPreview")->trigger();
        auto* preview = qobject_cast<KFrame3D*>(area->currentSubWindow());
        QVERIFY(preview);
        auto* view3d = qobject_cast<KView3D*>(preview->view());
        QVERIFY(view3d);
        QCOMPARE(&view3d->document(), doc);
        QCOMPARE(frame.activeDocument(), doc);

        frame.action("windowCurve")->trigger();
        auto* curve = qobject_cast<KFrameCurve*>(area->currentSubWindow());
        QVERIFY(curve);
        auto* curveView = qobject_cast<KViewCurve*>(curve->view());
        QVERIFY(curveView && curveView->curve());
        QCOMPARE(curveView->curve()->count(), 5);
        QCOMPARE(frame.activeDocument(), doc);

        // The displacement image asks for its layers as it opens.
        frame.action("windowImage")->trigger();
        QCOMPARE(seams.titles.filter(QStringLiteral("sheet:Select Layers")).size(), 1);
        KViewImage* image =
            area->currentSubWindow() ? area->currentSubWindow()->findChild<KViewImage*>() : nullptr;
        QVERIFY(image);
        QCOMPARE(&image->document(), doc);

        frame.action("windowMdlItem")->trigger();
        auto* item = qobject_cast<KFrameMdl*>(area->currentSubWindow());
        QVERIFY(item);
        QCOMPARE(&item->document(), doc);

        // The group window: a placeholder above a working UV map view of the document.
        frame.action("windowGroup")->trigger();
        auto* group = qobject_cast<KFrameQuorlG1*>(area->currentSubWindow());
        QVERIFY(group);
        QVERIFY(group->mapView());
        QCOMPARE(&group->mapView()->document(), doc);
        QCOMPARE(static_cast<KViewDummy*>(group->splitter()->widget(0))->title(),
                 QStringLiteral("Tree and List View(s)"));
        QCOMPARE(frame.activeView(), group->mapView());
        QCOMPARE(frame.activeDocument(), doc);
        const float zoom = group->mapView()->settings().zoom;
        frame.action("zoomIn")->trigger();
        QVERIFY(group->mapView()->settings().zoom > zoom);
        QCOMPARE(group->paneText(2), KUvMapLayout::zoomText(group->mapView()->settings().zoom));
        // Its caption is the map view's, with the document's modified mark.
        QVERIFY(group->windowTitle().startsWith(QStringLiteral("Quorl1 - Quorl Group1 - ")));
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
        for (const char* kind :
             {"3D Preview", "Curve", "Displacement Image", "MDL Item", "Quorl Group1"}) {
            QVERIFY2(frame.existingTemplate(QString::fromLatin1(kind)), kind);
        }
        QCOMPARE(frame.windowTemplateCount(), size_t(5));
    }

    void previewTwiceOnOneDocumentComesFromOneTemplate() {
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* first = frame.activeDocument();
        const KWindowTemplate* preview = frame.existingTemplate(QStringLiteral("3D Preview"));
        QVERIFY(preview); // the new document's own preview came through it
        QCOMPARE(preview->openWindows().size(), size_t(1));

        frame.action("window3DPreview")->trigger();
        frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(first).front());
        frame.action("window3DPreview")->trigger();
        QCOMPARE(frame.existingTemplate(QStringLiteral("3D Preview")), preview);
        QCOMPARE(preview->openWindows().size(), size_t(3));
        QCOMPARE(frame.documents().otherWindowsOf(first).size(), size_t(3));
        QCOMPARE(windowsOfKind<KFrame3D>(frame).size(), size_t(3));
        QCOMPARE(frame.windowTemplateCount(), size_t(1));

        // A second document: its preview and the curve windows of both documents each
        // come from their kind's one template.
        CPexaDoc* second = frame.documents().newDocument();
        QVERIFY(second && second != first);
        QCOMPARE(frame.existingTemplate(QStringLiteral("3D Preview")), preview);
        QCOMPARE(preview->openWindows().size(), size_t(4));
        frame.action("windowCurve")->trigger();
        const KWindowTemplate* curves = frame.existingTemplate(QStringLiteral("Curve"));
        QVERIFY(curves);
        frame.mdiArea()->setActiveSubWindow(frame.documents().framesOf(first).front());
        frame.action("windowCurve")->trigger();
        QCOMPARE(frame.existingTemplate(QStringLiteral("Curve")), curves);
        const auto made = curves->openWindows();
        QCOMPARE(made.size(), size_t(2));
        const auto firstOthers = frame.documents().otherWindowsOf(first);
        const auto secondOthers = frame.documents().otherWindowsOf(second);
        QVERIFY(std::find(secondOthers.begin(), secondOthers.end(), made[0]) != secondOthers.end());
        QVERIFY(std::find(firstOthers.begin(), firstOthers.end(), made[1]) != firstOthers.end());
        QCOMPARE(frame.windowTemplateCount(), size_t(2));

        // A closed window leaves its template's list; the template stays.
        delete made[0];
        QCOMPARE(curves->openWindows().size(), size_t(1));
        QCOMPARE(frame.existingTemplate(QStringLiteral("Curve")), curves);
    }

    void withoutADocumentTheCommandsFailAndChangeNothing() {
        KScriptedUi ui;
        KUiScope scope(ui);
        DialogSeams seams;
        CMainFrame frame;
        for (const char* name :
             {"window3DPreview", "windowCurve", "windowMdlItem", "windowGroup", "windowAnatomy"}) {
            QVERIFY2(frame.action(QString::fromLatin1(name))->isEnabled(), name);
            frame.action(QString::fromLatin1(name))->trigger();
        }
        QCOMPARE(ui.messages(), std::vector<std::string>(5, "Command failed."));
        QVERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(frame.windowTemplateCount(), size_t(0));
        QVERIFY(seams.titles.isEmpty());
        QVERIFY(frame.documents().documents().empty());
    }

    void newDocumentShowsItsMapAndPreviewSideBySide() {
        DialogSeams seams;
        CMainFrame frame;
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        QCOMPARE(windowsOfKind<CChildFrame>(frame).size(), size_t(1));
        QCOMPARE(windowsOfKind<KFrame3D>(frame).size(), size_t(1));
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        // The map window is the active one, the preview beside it.
        CChildFrame* map = windowsOfKind<CChildFrame>(frame).front();
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        QCOMPARE(frame.documents().activeFrame(), map);
        QCOMPARE(frame.mdiArea()->currentSubWindow(), map);
        QCOMPARE(&qobject_cast<KView3D*>(preview->view())->document(), doc);
        const QRect client = frame.mdiArea()->viewport()->rect();
        QVERIFY(!map->isMaximized());
        QCOMPARE(map->geometry().height(), client.height());
        QCOMPARE(preview->geometry().height(), client.height());
        QCOMPARE(map->geometry().top(), 0);
        QCOMPARE(preview->geometry().top(), 0);
        QCOMPARE(map->geometry().left(), 0);
        QCOMPARE(preview->geometry().left(), map->geometry().right() + 1);
        QCOMPARE(preview->geometry().right(), client.right());
        QVERIFY(qAbs(map->width() - preview->width()) <= 1);
        QCoreApplication::processEvents();
    }

    void atStartUpTheWindowsAreTiledOnceTheMainWindowIsShown() {
        // As the program starts: the document opens before the main window is shown.
        DialogSeams seams;
        CMainFrame frame;
        frame.resize(1000, 700);
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CChildFrame* map = windowsOfKind<CChildFrame>(frame).front();
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        const QRect client = frame.mdiArea()->viewport()->rect();
        QVERIFY(client.width() > 600);
        QTRY_COMPARE(preview->geometry().right(), client.right());
        QCOMPARE(map->geometry().height(), client.height());
        QCOMPARE(preview->geometry().left(), map->geometry().right() + 1);
        // Later resizes leave the user's arrangement alone.
        map->setGeometry(10, 10, 200, 150);
        frame.resize(1100, 760);
        QCoreApplication::processEvents();
        QCOMPARE(map->geometry(), QRect(10, 10, 200, 150));
    }

    void openedDocumentShowsItsMapAndPreviewSideBySide() {
        DialogSeams seams;
        const QString path = files_.filePath(QStringLiteral("opened.qrz"));
        {
            CPexaDoc doc;
            doc.objectName = "Opened";
            std::string error;
            QVERIFY2(kSaveDocument(doc, path.toStdString(), &error), error.c_str());
        }
        CMainFrame frame;
        frame.resize(900, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl"), path}));
        CPexaDoc* doc = frame.activeDocument();
        QVERIFY(doc);
        QCOMPARE(doc->objectName, std::string("Opened"));
        QCOMPARE(windowsOfKind<CChildFrame>(frame).size(), size_t(1));
        QCOMPARE(windowsOfKind<KFrame3D>(frame).size(), size_t(1));
        CChildFrame* map = windowsOfKind<CChildFrame>(frame).front();
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        QCOMPARE(preview->windowTitle(), QStringLiteral("opened.qrz - 3D Preview[*]"));
        QCOMPARE(preview->geometry().left(), map->geometry().right() + 1);
        QCOMPARE(preview->geometry().height(), frame.mdiArea()->viewport()->height());
        // Opening the open file again only brings it to the front: no further preview.
        QCOMPARE(frame.documents().openDocument(path), doc);
        QCOMPARE(windowsOfKind<KFrame3D>(frame).size(), size_t(1));
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
        QCOMPARE(frame.mdiArea()->subWindowList().size(), 2);
        QCOMPARE(frame.activeDocument(), other);

        // Closing the map window of the other document closes its preview too.
        QPointer<KFrame3D> preview = windowsOfKind<KFrame3D>(frame).front();
        frame.documents().framesOf(other).front()->close();
        QTRY_VERIFY(preview.isNull());
        QTRY_VERIFY(frame.mdiArea()->subWindowList().isEmpty());
        QVERIFY(frame.documents().documents().empty());
    }

    void viewPropertiesFollowTheActiveWindowKind() {
        KScriptedUi ui;
        KUiScope scope(ui);
        DialogSeams seams;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        CChildFrame* map = frame.documents().framesOf(doc).front();
        seams.cover(map->view());
        QMdiArea* area = frame.mdiArea();

        // The UV map view: its own properties.
        frame.action("viewProperties")->trigger();
        QCOMPARE(seams.titles, QStringList{QStringLiteral("map:Grid View Properties")});
        seams.titles.clear();

        // The 3D preview: "3D Preview Properties", and capture follows the preview's
        // destination setting.
        KFrame3D* preview = windowsOfKind<KFrame3D>(frame).front();
        area->setActiveSubWindow(preview);
        frame.action("viewProperties")->trigger();
        QCOMPARE(seams.titles, QStringList{QStringLiteral("preview:3D Preview Properties")});
        seams.titles.clear();
        qobject_cast<KView3D*>(preview->view())->capture.destination = 1;
        frame.action("viewCapture")->trigger();
        QCOMPARE(ui.messages(), std::vector<std::string>{"Function 'Capture2Clipboard()' NYA"});

        // The curve window: the manual edit of its curve.
        frame.action("windowCurve")->trigger();
        frame.action("viewProperties")->trigger();
        QCOMPARE(seams.titles,
                 QStringList{QStringLiteral("curve:") +
                             QString::fromStdString(
                                 qobject_cast<KViewCurve*>(
                                     qobject_cast<KFrameCurve*>(area->currentSubWindow())->view())
                                     ->curve()
                                     ->getString())});
        seams.titles.clear();

        // The item editor: the manual edit of the active pane's curve.
        auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
        m->name = "Biceps";
        KBdlMuscle* muscle = m.get();
        doc->addMuscleToLayer(doc->layerAt(0), m);
        area->setActiveSubWindow(map);
        KFrameMdl* item = frame.documents().openItemEditor(doc, muscle);
        QVERIFY(item && item->muscle() == muscle);
        item->activatePane(KFrameMdl::UpperPane);
        QVERIFY(item->activeCurveView() && item->activeCurveView()->curve());
        const QString upper = QString::fromStdString(item->activeCurveView()->curve()->getString());
        frame.action("viewProperties")->trigger();
        QCOMPARE(seams.titles, QStringList{QStringLiteral("curve:") + upper});
        seams.titles.clear();

        // None of these reached the UV map view, and nothing else asked anything.
        QCOMPARE(ui.unansweredQuestions, 0);
        area->setActiveSubWindow(map);
        frame.action("viewProperties")->trigger();
        QCOMPARE(seams.titles, QStringList{QStringLiteral("map:Grid View Properties")});
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
        QCOMPARE(preview->windowTitle(), QStringLiteral("Quorl1 - 3D Preview[*]"));
        QCOMPARE(curve->windowTitle(), QStringLiteral("Quorl1 - Curve[*]"));
        QCOMPARE(item->windowTitle(), QStringLiteral("Quorl1 - MDL Item[*]"));
        for (QMdiSubWindow* w :
             {static_cast<QMdiSubWindow*>(preview), static_cast<QMdiSubWindow*>(curve),
              static_cast<QMdiSubWindow*>(item)}) {
            QVERIFY(!w->isWindowModified());
        }
        doc->documentChanged();
        QVERIFY(doc->isModified());
        QVERIFY(preview->isWindowModified());
        QVERIFY(curve->isWindowModified());
        QVERIFY(item->isWindowModified());

        const QString path = files_.filePath(QStringLiteral("renamed.qrz"));
        std::optional<KFileScript> saved(std::in_place, path);
        const bool ok = frame.documents().saveDocumentAs(doc);
        saved.reset();
        QVERIFY(ok);
        QVERIFY(!doc->isModified());
        QCOMPARE(preview->windowTitle(), QStringLiteral("renamed.qrz - 3D Preview[*]"));
        QCOMPARE(curve->windowTitle(), QStringLiteral("renamed.qrz - Curve[*]"));
        QCOMPARE(item->windowTitle(), QStringLiteral("renamed.qrz - MDL Item[*]"));
        QVERIFY(!preview->isWindowModified());
        QVERIFY(!item->isWindowModified());
        // The window list shows the mark as the captions do.
        doc->setModified(true);
        QMenu* menu = windowMenu(frame);
        emit menu->aboutToShow();
        QVERIFY(menuTexts(menu).contains(QStringLiteral("&2 renamed.qrz - 3D Preview*")));
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
            QCOMPARE(view->frame(), preview);
            if (KView3D::openGLAvailable()) {
                QVERIFY(preview->isAncestorOf(view));
                QVERIFY(view->isVisible());
            } else {
                // Drawing the window must not touch OpenGL: the view is not part of it.
                QVERIFY(!preview->isAncestorOf(view));
                QVERIFY(!view->isVisible());
                QCOMPARE(preview->paneText(0), QStringLiteral("(no OpenGL on this display)"));
                QVERIFY(view->renderedFrame().isNull());
            }
        }
        QVERIFY(!frame.grab().isNull());
        // Closing the document deletes the views, in the window or not.
        QPointer<KView3D> view = qobject_cast<KView3D*>(windowsOfKind<KFrame3D>(frame)[0]->view());
        QVERIFY(frame.documents().closeDocument(frame.activeDocument()));
        QVERIFY(view.isNull());
    }

    void screenshotWithSeveralKinds() {
        DialogSeams seams;
        CMainFrame frame;
        frame.resize(1280, 860);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
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
