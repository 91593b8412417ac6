#pragma once
// The 3D preview of a document's object: an OpenGL view (vertex buffers, or display
// lists, in a compatibility context) that draws the mesh in one of four shading types,
// turns and moves it with the mouse, spins it on a timer, draws an optional background
// image, lights it with eight lights, can build each frame from jittered passes, and
// captures what it shows to TGA files.

#include <QColor>
#include <QOpenGLWidget>
#include <QTimer>
#include <memory>
#include <optional>

#include "document/CPexaDoc.h"
#include "platform/KDocumentBase.h"
#include "preview/KPreviewRenderer.h"
#include "scene/KCaptureSeries.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

class CPexaDoc;
class KViewHost;
class QDialog;
class QMenu;

class KView3D : public QOpenGLWidget, public KViewObserver {
    Q_OBJECT
public:
    explicit KView3D(CPexaDoc& doc, QWidget* parent = nullptr);
    ~KView3D() override;

    // Whether OpenGL can be had on this display (probed once). Without it preview views
    // stay hidden, draw nothing and capture nothing.
    static bool openGLAvailable();

    CPexaDoc& document() const { return doc_; }
    void setFrame(KViewHost* frame) { frame_ = frame; }
    KViewHost* frame() const { return frame_; }

    // Reads the document's stored settings; called once when the window opens.
    void initialUpdate();
    void onUpdate(int hint, KPersistent* object) override;
    // The frame became active / inactive.
    void activated();
    void deactivated();

    // ---- commands
    void setShadingType(int type);
    void toggleSpin();
    void stepFrame();
    void reverse();
    void clearAnimation();
    void recenter();
    // The camera the document opened with (set before initialUpdate; without it the
    // document's stored camera at initialUpdate counts), and the command that returns
    // to it.
    void setHomeCamera(const KPreviewState& state) { home_ = state; }
    void resetView();
    void setTool(int tool) {
        camera.tool = tool;
        emit commandStateChanged();
    }
    void selectLayers();
    void properties();
    void backgroundProperties();
    void globalLighting();
    void editLight();
    void renderOptionsDialog();
    void captureOptions();
    void setViewSize();
    void captureOnce();
    // The next frame of the series; true when a file was written.
    bool captureToDisk();
    void viewFlatDialog();

    // The "Preview" menu (also the context menu); its entries act on this view.
    QMenu* previewMenu();

    // A frame as it is shown now, rendered in full (all passes); rows top first.
    QImage renderedFrame();
    // Whether a usable OpenGL context was made.
    bool hasContext() const { return glOk_; }
    // The OpenGL renderer's name, for messages.
    QString rendererName() const { return rendererName_; }

    KPreviewCamera camera;
    KPreviewLights lights;
    KRenderOptions renderOptions;
    KCaptureSeries capture;
    KPreviewBackground background;
    QColor perspectiveBackground{kDefaultPerspectiveBackground};
    QColor orthographicBackground{kDefaultOrthographicBackground};
    int viewFlat = 0;

    // Redraws (and restarts a progressive anti-aliased frame).
    void renderLater();
    // The object's vertex buffers (or display lists) are brought up to date before the
    // next frame.
    void rebuildLists();
    bool spinTimerActive() const { return timer_.isActive(); }

signals:
    // A check mark or enabled state of the view's commands may have changed.
    void commandStateChanged();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // The wheel moves the eye towards the object and away from it.
    void wheelEvent(QWheelEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setStatus(int pane, const QString& text);
    void updateFrameStatus();
    void startTimer();
    void stopTimer();
    void spinTick();
    void writeSettings();
    // The settings a frame is drawn from.
    KPreviewScene scene() const;
    void antiAliasedPass(bool progressive);
    // Runs a dialog modally; true for OK.
    bool runDialog(QDialog& dialog);
    // The file a single capture is saved to; empty for Cancel.
    QString askCaptureFile();
    QImage grabForCapture();
    bool saveCaptured(const QImage& frame, const QString& path);
    void refreshMenuChecks();

    CPexaDoc& doc_;
    KViewHost* frame_ = nullptr;
    KPreviewRenderer renderer_;
    bool glOk_ = false;
    QString rendererName_;
    QTimer timer_;
    bool framePending_ = false;
    bool mouseDown_ = false;
    bool dragging_ = false;
    bool drawing_ = false;
    bool fullFrame_ = false;
    // Progressive anti-aliasing ("Draw Each"): the next pass, 0 when a frame starts anew.
    int aaNextPass_ = 0;
    bool aaContinue_ = false;
    QMenu* menu_ = nullptr;
    std::optional<KPreviewState> home_;
};
