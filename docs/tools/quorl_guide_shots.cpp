// Takes the screenshots of the user guide (docs/guide.md) by driving the application's
// own windows the way a user would: a new document, muscles drawn with the mouse in the
// UV map, the property dialogs, the curve window, the item editor, the layer and anatomy
// dialogs, the 3D preview, the export dialogs, an example document and the undo history.
//
//   quorl_guide_shots OUT_DIR [--examples DIR] [--only NAME]
//
// Writes OUT_DIR/guide-NAME.png for every row of the shot table below. The 3D preview
// needs OpenGL: run it on a display (scripts/guide-screenshots uses xvfb-run). Dialogs
// are shown without a modal loop, grabbed and cancelled. Exit status 0 when every shot
// was written; 1 when a shot failed, a message box came up, a dialog ran its own modal
// loop, or the preview had no OpenGL context; 2 for bad usage.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "edit/KCurveEditModel.h"
#include "gui/KDialogKit.h"
#include "platform/KScriptedUi.h"
#include "preview/KView3D.h"
#include "views/CPexaView.h"
#include "views/KFrameMdl.h"
#include "views/KUvMapLayout.h"
#include "views/KViewImage.h"
#include "views/KViewMdl.h"

namespace {

// The main window's size in every picture of it.
constexpr QSize kWindowSize(1100, 750);

// The state the shots share, in the order the table runs them: one main window, the
// document being built, and the capture of the next dialog that comes up.
class Guide {
public:
    Guide(CMainFrame& frame, QString examples) : frame(frame), examples(std::move(examples)) {}

    CMainFrame& frame;
    QString examples;
    CPexaDoc* doc = nullptr;
    CPexaView* view = nullptr;
    QString failure;

    // Lets pending paints, layouts and timers run.
    static void settle(int ms = 60) {
        QCoreApplication::processEvents();
        QTest::qWait(ms);
        QCoreApplication::processEvents();
    }

    // The main window as it is on the screen. OpenGL views are drawn into the picture
    // from their own frame buffers, so the picture does not depend on how the platform
    // composes them.
    QImage window() {
        settle();
        QImage shot = frame.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QPainter p(&shot);
        for (KView3D* v : frame.findChildren<KView3D*>()) {
            if (v->isVisible() && v->hasContext()) {
                p.drawImage(v->mapTo(&frame, QPoint(0, 0)), v->renderedFrame());
            }
        }
        return shot;
    }

    // Runs trigger and grabs the dialog it opens; the dialogs before it (skip of them) are
    // accepted as they are, the grabbed one is cancelled. prepare may switch a tab first.
    QImage dialog(const std::function<void()>& trigger, int skip = 0,
                  const std::function<void(QDialog&)>& prepare = {}) {
        skip_ = skip;
        prepare_ = prepare;
        armed_ = true;
        captured_ = QImage();
        trigger();
        armed_ = false;
        settle();
        if (captured_.isNull()) {
            failure = QStringLiteral("the dialog did not open");
        }
        return captured_;
    }

    // Every dialog of the application comes here instead of a modal loop.
    int onDialog(QDialog& d) {
        if (!armed_) {
            failure = QStringLiteral("an unexpected dialog came up: ") + d.windowTitle();
            return QDialog::Rejected;
        }
        if (skip_ > 0) {
            --skip_;
            return QDialog::Accepted;
        }
        if (!captured_.isNull()) {
            return QDialog::Rejected; // a dialog that follows the grabbed one
        }
        capturing_ = true;
        d.adjustSize();
        d.show();
        if (!QTest::qWaitForWindowExposed(&d)) {
            failure = QStringLiteral("the dialog did not show: ") + d.windowTitle();
        }
        if (prepare_) {
            prepare_(d);
        }
        settle();
        captured_ = d.grab().toImage();
        d.hide();
        capturing_ = false;
        return QDialog::Rejected;
    }

    // The position in the UV map's viewport of a UV point.
    QPoint at(double u, double v) const {
        const QPointF p = KUvMapLayout::uvToWindow(view->mapRect(), u, v);
        return p.toPoint() -
               QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    }

    // A drag in the UV map with the left button, as the mouse would make it.
    void drag(QPointF from, QPointF to, bool release = true) {
        QWidget* w = view->viewport();
        const QPoint a = at(from.x(), from.y());
        const QPoint b = at(to.x(), to.y());
        QTest::mousePress(w, Qt::LeftButton, {}, a);
        for (int i = 1; i <= 8; ++i) {
            QTest::mouseMove(w, a + (b - a) * i / 8);
        }
        if (release) {
            QTest::mouseRelease(w, Qt::LeftButton, {}, b);
        }
        settle();
    }

    void click(double u, double v) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(u, v));
        settle();
    }

    void trigger(const char* action) {
        QAction* a = frame.action(QString::fromLatin1(action));
        if (!a || !a->isEnabled()) {
            failure = QStringLiteral("command not available: ") + QLatin1String(action);
            return;
        }
        a->trigger();
        settle();
    }

    // The windows of the MDI area shown normal and side by side.
    void tile() {
        frame.tileVertically();
        settle();
    }

    KView3D* preview() const { return frame.activePreview(); }

    // A dialog that runs its own modal loop instead of the seams would wait for a click
    // for ever: it is cancelled and the shot fails.
    void cancelBlockingDialog() {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal && !capturing_) {
            failure = QStringLiteral("a dialog ran modally: ") + modal->windowTitle();
            modal->reject();
        }
    }

    // A drag across the active 3D preview from its middle, in six steps.
    void dragPreview(QPoint by, Qt::KeyboardModifiers modifiers = {}) {
        KView3D* v = preview();
        const QPoint c = v->rect().center();
        QTest::mousePress(v, Qt::LeftButton, modifiers, c);
        for (int i = 1; i <= 6; ++i) {
            // QTest moves carry no keyboard modifiers; the preview reads them per move.
            const QPoint p = c + by * i / 6;
            QMouseEvent move(QEvent::MouseMove, p, v->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                             modifiers);
            QApplication::sendEvent(v, &move);
        }
        QTest::mouseRelease(v, Qt::LeftButton, modifiers, c + by);
        settle();
    }

private:
    bool armed_ = false;
    bool capturing_ = false;
    int skip_ = 0;
    std::function<void(QDialog&)> prepare_;
    QImage captured_;
};

void showTab(QDialog& d, int index) {
    if (auto* tabs = d.findChild<QTabWidget*>()) {
        tabs->setCurrentIndex(index);
    }
}

struct Shot {
    const char* name; // the file is NAME.png
    std::function<QImage(Guide&)> take;
};

// The shots, in the order the guide tells the story. Each row may rely on what the rows
// above it did (the same document grows from shot to shot).
const std::vector<Shot>& shots() {
    static const std::vector<Shot> table = {
        {"guide-new-document",
         [](Guide& g) {
             // Start-up as "make run" does it: a new document in its UV map window.
             g.frame.processCommandLine({QStringLiteral("quorl")});
             g.doc = g.frame.activeDocument();
             g.view = g.frame.activeView();
             if (!g.view) {
                 return QImage();
             }
             g.trigger("zoomIn");
             g.trigger("zoomIn");
             return g.window();
         }},
        {"guide-draw-muscle",
         [](Guide& g) {
             // The Vertical tool, half-way through a drag: the rubber band.
             g.trigger("toolVertical");
             g.drag({0.18, 0.15}, {0.34, 0.85}, false);
             QImage shot = g.window();
             QTest::mouseRelease(g.view->viewport(), Qt::LeftButton, {}, g.at(0.34, 0.85));
             return shot;
         }},
        {"guide-muscles",
         [](Guide& g) {
             // An orbital muscle across the map and a point muscle; the pointer then
             // selects the vertical one, which carries the tracker.
             g.trigger("toolOrbital");
             g.drag({0.45, 0.58}, {0.92, 0.78});
             g.trigger("toolPoint");
             g.drag({0.55, 0.12}, {0.85, 0.40});
             g.click(0.26, 0.5);
             QTest::mouseMove(g.view->viewport(), g.at(0.3, 0.62));
             return g.window();
         }},
        {"guide-muscle-general",
         [](Guide& g) {
             return g.dialog([&g] { g.view->modifyItem(); }, 0, [](QDialog& d) { showTab(d, 0); });
         }},
        {"guide-muscle-position",
         [](Guide& g) {
             return g.dialog([&g] { g.view->modifyItem(); }, 0, [](QDialog& d) { showTab(d, 1); });
         }},
        {"guide-muscle-displacement",
         [](Guide& g) {
             return g.dialog([&g] { g.view->modifyItem(); }, 0, [](QDialog& d) { showTab(d, 2); });
         }},
        {"guide-item-editor",
         [](Guide& g) {
             // A double click on the selected muscle opens it in the item editor.
             QTest::mouseDClick(g.view->viewport(), Qt::LeftButton, {}, g.at(0.26, 0.5));
             Guide::settle();
             KFrameMdl* editor = g.frame.documents().itemEditorOf(g.doc);
             if (!editor || editor->muscle() != g.view->selectedMuscle()) {
                 g.failure = QStringLiteral("the item editor did not open on the muscle");
                 return QImage();
             }
             // The height profile's middle point clicked and dragged down: a flatter top.
             KViewCurve* height = editor->upperView();
             const auto& points = height->model().snapshot();
             if (points.size() != 3) {
                 return QImage();
             }
             const QPoint top(int(points[1].x), int(points[1].y));
             QTest::mouseClick(height, Qt::LeftButton, {}, top);
             QTest::mousePress(height, Qt::LeftButton, {}, top);
             QTest::mouseRelease(height, Qt::LeftButton, {}, top + QPoint(0, 70));
             Guide::settle();
             return g.window();
         }},
        {"guide-curve-window",
         [](Guide& g) {
             // Its own curve; a click on the second control point selects it.
             g.trigger("windowCurve");
             auto* curve = qobject_cast<KFrameCurve*>(g.frame.mdiArea()->activeSubWindow());
             if (!curve) {
                 return QImage();
             }
             QWidget* v = curve->view();
             const QRect r = v->rect().adjusted(10, 10, -10, -10);
             const QPoint second(r.left() + r.width() / 4, r.bottom() - r.height() * 3 / 4);
             QTest::mouseClick(v, Qt::LeftButton, {}, second);
             QTest::mouseMove(v, second);
             return g.window();
         }},
        {"guide-layer-list",
         [](Guide& g) { return g.dialog([&g] { g.trigger("objectDefineLayers"); }); }},
        {"guide-layer-properties",
         [](Guide& g) {
             // Object > Modify Items > the first user layer.
             return g.dialog([&g] { g.trigger("itemLayer0"); });
         }},
        {"guide-anatomy",
         [](Guide& g) {
             return g.dialog([&g] { g.trigger("itemAnatomy"); }, 0,
                             [](QDialog& d) { showTab(d, 0); });
         }},
        {"guide-anatomy-joints",
         [](Guide& g) {
             return g.dialog([&g] { g.trigger("itemAnatomy"); }, 0,
                             [](QDialog& d) { showTab(d, 1); });
         }},
        {"guide-preview",
         [](Guide& g) {
             // Window > 3D Preview beside the UV map, smooth shading, turned a little with
             // the mouse.
             for (QMdiSubWindow* w : g.frame.mdiArea()->subWindowList()) {
                 if (!qobject_cast<CChildFrame*>(w)) {
                     w->close();
                 }
             }
             Guide::settle();
             g.trigger("zoomReset");
             g.frame.documents().open3DPreview(g.doc);
             g.tile();
             KView3D* v = g.preview();
             if (!v || !v->hasContext()) {
                 g.failure = QStringLiteral("the 3D preview has no OpenGL context");
                 return QImage();
             }
             g.trigger("shadeSmooth");
             g.dragPreview(QPoint(-30, -24));
             return g.window();
         }},
        {"guide-preview-viewport",
         [](Guide& g) {
             KView3D* v = g.preview();
             return v ? g.dialog([v] { v->properties(); }) : QImage();
         }},
        {"guide-preview-light",
         [](Guide& g) {
             // Lighting > Lights...: the light's number, then that light.
             KView3D* v = g.preview();
             return v ? g.dialog([v] { v->editLight(); }, 1) : QImage();
         }},
        {"guide-export-layers",
         [](Guide& g) { return g.dialog([&g] { g.trigger("fileExportMegaPov"); }); }},
        {"guide-export-pov",
         [](Guide& g) {
             // The layer choice accepted as it is, then the format's options.
             return g.dialog([&g] { g.trigger("fileExportMegaPov"); }, 1);
         }},
        {"guide-example",
         [](Guide& g) {
             // File > Close on the drawing (its changes discarded), and an example
             // document opened.
             g.frame.documents().closeDocument(g.doc);
             g.doc = g.frame.documents().openDocument(g.examples + "/limb.qrz");
             g.view = g.frame.activeView();
             if (!g.doc || !g.view) {
                 g.failure = QStringLiteral("examples/limb.qrz did not open");
                 return QImage();
             }
             // The document opens with its 3D preview beside the map: that one is used.
             for (QMdiSubWindow* w : g.frame.mdiArea()->subWindowList()) {
                 if (qobject_cast<KFrame3D*>(w)) {
                     g.frame.mdiArea()->setActiveSubWindow(w);
                 }
             }
             g.tile();
             g.trigger("shadeSmooth");
             return g.window();
         }},
        {"guide-displacement-image",
         [](Guide& g) {
             // Window > Displacement Image on the example: its Select Layers dialog is
             // left with no choice, so the picture shows the heights of all active layers.
             g.dialog([&g] { g.trigger("windowImage"); });
             g.tile();
             // Image > Properties...: 300 x 600 samples, so the picture fills its window.
             if (auto* image = g.frame.findChild<KViewImage*>()) {
                 image->imageWidth = 300;
                 image->imageHeight = 600;
                 image->rebuild();
             }
             return g.window();
         }},
        {"guide-undo-history",
         [](Guide& g) {
             // A new document alone in the area (the other windows are closed): three
             // muscles drawn, the vertical one moved and resized, the resize undone;
             // Window > Undo History beside it.
             g.trigger("fileNew");
             g.doc = g.frame.activeDocument();
             g.view = g.frame.activeView();
             if (!g.view) {
                 return QImage();
             }
             QMdiSubWindow* map = g.frame.mdiArea()->currentSubWindow();
             for (QMdiSubWindow* w : g.frame.mdiArea()->subWindowList()) {
                 if (w != map) {
                     w->close();
                 }
             }
             g.settle();
             map->showMaximized();
             g.trigger("zoomIn");
             g.trigger("zoomIn");
             g.trigger("toolVertical");
             g.drag({0.18, 0.15}, {0.34, 0.85});
             g.trigger("toolOrbital");
             g.drag({0.45, 0.58}, {0.92, 0.78});
             g.trigger("toolPoint");
             g.drag({0.55, 0.12}, {0.85, 0.40});
             g.click(0.26, 0.5);
             g.drag({0.26, 0.5}, {0.30, 0.45});
             const QPoint handle = g.view->tracker().handleRect(5).center();
             QTest::mousePress(g.view->viewport(), Qt::LeftButton, {}, handle);
             QTest::mouseMove(g.view->viewport(), handle + QPoint(25, 0));
             QTest::mouseRelease(g.view->viewport(), Qt::LeftButton, {}, handle + QPoint(25, 0));
             g.settle();
             g.trigger("windowUndoHistory");
             if (auto* dock = g.frame.findChild<QDockWidget*>(QStringLiteral("undoHistory"))) {
                 g.frame.resizeDocks({dock}, {240}, Qt::Horizontal);
             }
             g.trigger("editUndo");
             return g.window();
         }},
    };
    return table;
}

int usage() {
    std::fprintf(stderr, "usage: quorl_guide_shots OUT_DIR [--examples DIR] [--only NAME]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Settings in a scratch folder: the user's window placement and recent files are
    // neither read nor changed.
    QTemporaryDir settings;
    QCoreApplication::setOrganizationName(QStringLiteral("QuorlGuide"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorl"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    KRegisterCoreClasses();

    const QStringList args = QCoreApplication::arguments();
    QString outDir;
    QString examples = QStringLiteral(QUORL_SOURCE_DIR "/examples");
    QString only;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--examples") && i + 1 < args.size()) {
            examples = args[++i];
        } else if (args[i] == QLatin1String("--only") && i + 1 < args.size()) {
            only = args[++i];
        } else if (!args[i].startsWith(QLatin1Char('-')) && outDir.isEmpty()) {
            outDir = args[i];
        } else {
            return usage();
        }
    }
    if (outDir.isEmpty() || !QDir().mkpath(outDir)) {
        return usage();
    }
    const QDir out(outDir);

    // Message boxes would wait for a click: they are recorded, and any one fails the run.
    KScriptedUi ui;
    KUiScope scope(ui);
    CMainFrame frame;
    frame.resize(kWindowSize);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame)) {
        std::fprintf(stderr, "quorl_guide_shots: the main window did not show\n");
        return 1;
    }
    Guide guide(frame, examples);
    kRunDialogHook = [&guide](QDialog& d) { return guide.onDialog(d); };
    // No file is written: every file chooser is cancelled.
    kChooseFileHook = [](const KFileRequest&) { return QString(); };
    kAskHook = [](const KQuestion&) { return QMessageBox::Discard; };
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&guide] { guide.cancelBlockingDialog(); });
    watchdog.start(3000);

    int failed = 0;
    int written = 0;
    for (const Shot& shot : shots()) {
        const QString name = QString::fromLatin1(shot.name);
        guide.failure.clear();
        const size_t messagesBefore = ui.messages().size();
        const QImage image = shot.take(guide);
        if (ui.messages().size() > messagesBefore) {
            guide.failure =
                QStringLiteral("message box: ") + QString::fromStdString(ui.messages().back());
        }
        if (!only.isEmpty() && name != only) {
            continue; // taken for the state it leaves, not written
        }
        if (image.isNull() || !guide.failure.isEmpty()) {
            std::fprintf(
                stderr, "quorl_guide_shots: %s failed: %s\n", qPrintable(name),
                qPrintable(guide.failure.isEmpty() ? QStringLiteral("no picture") : guide.failure));
            ++failed;
            continue;
        }
        const QString path = out.filePath(name + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "quorl_guide_shots: cannot write %s\n", qPrintable(path));
            ++failed;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
        ++written;
    }
    kRunDialogHook = nullptr;
    if (written == 0 && failed == 0) {
        std::fprintf(stderr, "quorl_guide_shots: no shot is named %s\n", qPrintable(only));
        return 2;
    }
    return failed == 0 ? 0 : 1;
}
