#include "preview/KView3D.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QRadioButton>
#include <QStyle>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>

#include "dialogs/KPreviewDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "gui/KViewHost.h"
#include "image/KImageMapTga.h"
#include "platform/KUi.h"

namespace {

// Holds the flag for the lifetime of the object.
class KFlagGuard {
public:
    explicit KFlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~KFlagGuard() { flag_ = false; }
    KFlagGuard(const KFlagGuard&) = delete;
    KFlagGuard& operator=(const KFlagGuard&) = delete;

private:
    bool& flag_;
};

// Where no OpenGL can be had (a display without it, the offscreen platform), Qt warns
// for every OpenGL widget made and every time one is shown. The preview says so once;
// these repeats are dropped and every other message goes on as before.
QtMessageHandler previousHandler = nullptr;

void dropOpenGLWidgetWarnings(QtMsgType type, const QMessageLogContext& context,
                              const QString& text) {
    if (type == QtWarningMsg && (text.startsWith(QLatin1String("QOpenGLWidget")) ||
                                 text.contains(QLatin1String("createPlatformOpenGLContext")))) {
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, text);
    } else {
        fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

} // namespace

bool KView3D::openGLAvailable() {
    static const bool available = [] {
        previousHandler = qInstallMessageHandler(dropOpenGLWidgetWarnings);
        QOpenGLContext probe;
        const bool ok = probe.create();
        if (ok) {
            qInstallMessageHandler(previousHandler);
        } else {
            qWarning("The 3D preview needs OpenGL, which this display does not offer: "
                     "preview windows stay empty.");
        }
        return ok;
    }();
    return available;
}

// OpenGL is probed before the widget is made, so a display without it is reported once.
KView3D::KView3D(CPexaDoc& doc, QWidget* parent)
    : QOpenGLWidget((void(openGLAvailable()), parent)), doc_(doc), renderer_(doc) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(1, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(24);
    setFormat(format);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(8, 8);
    camera.eyeDistance = camera.nearPlane + 1.5f;
    lights = KPreviewLights(camera.leftHanded != 0);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &KView3D::spinTick);
    doc_.addObserver(this);
    if (!openGLAvailable()) {
        // Without OpenGL an OpenGL widget in a window takes the window down with it: it
        // is never shown, and its frame keeps it out of the window.
        setAttribute(Qt::WA_DontShowOnScreen);
        hide();
    }
}

KView3D::~KView3D() {
    doc_.removeObserver(this);
    doc_.setExportLayerSelection({});
    timer_.stop();
    if (context()) {
        // The context dies after this part of the view: it must not call back into it.
        disconnect(context(), nullptr, this, nullptr);
    }
    if (glOk_ && context()) {
        makeCurrent();
        renderer_.releaseResources();
        doneCurrent();
    }
}

// ---------------------------------------------------------------- document

void KView3D::initialUpdate() {
    if (!home_) {
        home_ = doc_.preview;
    }
    camera.readSettings(doc_);
    // The lights are mirrored once, as they are made, to the stored handedness.
    lights = KPreviewLights(camera.leftHanded != 0);
    rebuildLists();
    emit commandStateChanged();
}

void KView3D::onUpdate(int hint, KPersistent*) {
    if (hint == CPexaDoc::HintAll) {
        rebuildLists();
    } else if (hint == CPexaDoc::HintStoring) {
        camera.writeSettings(doc_);
    }
}

void KView3D::writeSettings() {
    camera.writeSettings(doc_);
}

void KView3D::activated() {
    doc_.setExportLayerSelection(camera.selectedLayers);
    if (camera.animating) {
        startTimer();
    }
    if (doc_.meshStale) {
        rebuildLists();
    }
    emit commandStateChanged();
}

void KView3D::deactivated() {
    stopTimer();
}

// ---------------------------------------------------------------- status

void KView3D::setStatus(int pane, const QString& text) {
    if (frame_) {
        frame_->setPaneText(pane, text);
    }
}

void KView3D::updateFrameStatus() {
    setStatus(1, QString::fromStdString(capture.frameStatus()));
}

// ---------------------------------------------------------------- spin

void KView3D::startTimer() {
    timer_.start(int(std::min<uint32_t>(camera.delay, 1u << 30)));
}

void KView3D::stopTimer() {
    timer_.stop();
}

void KView3D::spinTick() {
    // A frame still waiting to be drawn swallows the tick: ticks never pile up behind a
    // slow frame.
    if (framePending_) {
        return;
    }
    camera.advanceFrame();
    framePending_ = true;
    renderLater();
}

void KView3D::renderLater() {
    aaNextPass_ = 0;
    update();
}

void KView3D::rebuildLists() {
    renderer_.invalidateLists();
    renderLater();
}

// ---------------------------------------------------------------- commands

void KView3D::setShadingType(int type) {
    camera.shadingType = std::clamp(type, 0, 3);
    writeSettings();
    rebuildLists();
    emit commandStateChanged();
}

void KView3D::toggleSpin() {
    camera.animating = !camera.animating;
    if (camera.animating) {
        startTimer();
    } else {
        stopTimer();
    }
    emit commandStateChanged();
}

void KView3D::stepFrame() {
    camera.advanceFrame();
    if (!camera.animating) {
        renderLater();
    }
    emit commandStateChanged();
}

void KView3D::reverse() {
    camera.reverse();
    emit commandStateChanged();
}

void KView3D::clearAnimation() {
    stopTimer();
    camera.clear();
    renderLater();
    emit commandStateChanged();
}

void KView3D::recenter() {
    camera.recenter();
    renderLater();
}

void KView3D::resetView() {
    camera.resetTo(home_ ? *home_ : KPreviewState{});
    renderLater();
    emit commandStateChanged();
}

void KView3D::wheelEvent(QWheelEvent* event) {
    // One notch of a common wheel is 120; touch pads send smaller steps.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) {
        event->ignore();
        return;
    }
    camera.dolly(notches);
    renderLater();
    event->accept();
}

bool KView3D::runDialog(QDialog& dialog) {
    return kRunDialog(dialog) == QDialog::Accepted;
}

QString KView3D::askCaptureFile() {
    QString path = kChooseFile(this, {.save = true,
                                      .title = tr("Capture"),
                                      .filter = tr("TGA Files (*.tga)"),
                                      .defaultSuffix = QStringLiteral("tga"),
                                      .initialName = QStringLiteral("untitled.tga"),
                                      .inWorkingFolder = true});
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".tga");
    }
    return path;
}

void KView3D::selectLayers() {
    if (doc_.layers.empty()) {
        kUi().message("There are no User layer's to select!.", KUi::Icon::Information);
        return;
    }
    CPreviewSelectLayersDlg dlg(kLayerNames(doc_), camera.layerMode, camera.selectedLayers, this);
    if (!runDialog(dlg)) {
        return;
    }
    camera.layerMode = dlg.layerMode();
    camera.selectedLayers = dlg.selection();
    writeSettings();
    doc_.setExportLayerSelection(camera.selectedLayers);
    rebuildLists();
}

void KView3D::properties() {
    stopTimer();
    CPreviewPropertiesDlg dlg(camera, perspectiveBackground, orthographicBackground, this);
    if (runDialog(dlg)) {
        dlg.apply(camera, perspectiveBackground, orthographicBackground);
        camera.frame = 0;
        perspectiveBackground.setAlpha(0);
        orthographicBackground.setAlpha(0);
        writeSettings();
        renderLater();
    }
    if (camera.animating) {
        startTimer();
    }
    emit commandStateChanged();
}

void KView3D::backgroundProperties() {
    QColor& current = camera.projection == KPreviewCamera::Orthographic ? orthographicBackground
                                                                        : perspectiveBackground;
    CPreviewBackgroundDlg dlg(background, current, this);
    if (!runDialog(dlg)) {
        return;
    }
    // Nothing is drawn while the image is read.
    KFlagGuard hold(drawing_);
    QColor chosen;
    dlg.apply(background, chosen);
    chosen.setAlpha(0);
    current = chosen;
    if (background.file != "(none)" && !background.file.empty()) {
        if (background.load() && background.sizeFromImage && frame_) {
            const QSize extra = frame_->hostWindow().size() - size();
            frame_->hostWindow().resize(QSize(background.width, background.height) + extra);
        }
    } else {
        background.drop();
    }
    renderer_.invalidateBackground();
    renderLater();
}

void KView3D::globalLighting() {
    CSceneLightingDlg dlg(lights, this);
    if (runDialog(dlg)) {
        dlg.apply(lights);
        renderLater();
    }
}

void KView3D::editLight() {
    CIntegerPromptDlg prompt(tr("Enter the ID of the light to modify") +
                                 tr("\n(valid ID's are 0 to 7)"),
                             lights.lastLightId, this);
    if (!runDialog(prompt)) {
        return;
    }
    const int id = KPreviewLights::clampId(prompt.value());
    lights.lastLightId = id;
    CLightSourceDlg dlg(lights.lights[size_t(id)], this);
    if (runDialog(dlg)) {
        lights.lights[size_t(id)].copyFrom(dlg.result());
        renderLater();
    }
}

void KView3D::renderOptionsDialog() {
    CRenderOptionsDlg dlg(renderOptions, this);
    if (!runDialog(dlg)) {
        return;
    }
    const KRenderOptions before = renderOptions;
    dlg.apply(renderOptions);
    if (before.antiAliasing != renderOptions.antiAliasing ||
        before.passes != renderOptions.passes || before.jitterScale != renderOptions.jitterScale) {
        renderLater();
    }
}

void KView3D::captureOptions() {
    CCaptureOptionsDlg dlg(capture, this);
    if (runDialog(dlg) && dlg.valid()) {
        dlg.apply(capture);
    }
    updateFrameStatus();
}

void KView3D::setViewSize() {
    const QSize frameSize = frame_ ? frame_->hostWindow().size() : size();
    CSetViewSizeDlg dlg(size(), frameSize, capture.includeFrame != 0, capture.destination, this);
    if (!runDialog(dlg)) {
        return;
    }
    capture.includeFrame = dlg.includeFrame->isChecked() ? 1 : 0;
    capture.destination = dlg.toClipboard->isChecked() ? 1 : 0;
    const QSize wanted = dlg.size();
    if (!frame_) {
        resize(wanted);
    } else if (capture.includeFrame) {
        frame_->hostWindow().resize(wanted);
    } else {
        frame_->hostWindow().resize(wanted + (frame_->hostWindow().size() - size()));
    }
}

void KView3D::viewFlatDialog() {
    CViewFlatDlg dlg(viewFlat != 0, this);
    if (runDialog(dlg)) {
        viewFlat = dlg.flat->isChecked() ? 1 : 0;
        rebuildLists();
    }
}

// ---------------------------------------------------------------- capture

QImage KView3D::grabForCapture() {
    QImage image;
    if (capture.includeFrame && frame_) {
        fullFrame_ = true;
        image = frame_->hostWindow().grab().toImage();
        fullFrame_ = false;
    } else {
        image = renderedFrame();
    }
    if (image.isNull()) {
        kUi().message("Failed to create image map!", KUi::Icon::Error);
    }
    return image.convertToFormat(QImage::Format_RGBA8888);
}

bool KView3D::saveCaptured(const QImage& frame, const QString& path) {
    std::unique_ptr<KImageMapTga> image = kCaptureImage(
        frame.constBits(), frame.width(), frame.height(), size_t(frame.bytesPerLine()));
    if (!image) {
        kUi().message("Failed to image bitmap!", KUi::Icon::Error);
        return false;
    }
    std::string reason;
    if (image->save(path.toStdString(), &reason) != KImageMapTga::SaveOk) {
        kUi().message("The captured frame could not be saved.\n" + reason, KUi::Icon::Error);
        return false;
    }
    return true;
}

void KView3D::captureOnce() {
    if (capture.destination == 1) {
        kUi().message("Function 'Capture2Clipboard()' NYA", KUi::Icon::Information);
        return;
    }
    const QImage frame = grabForCapture();
    if (frame.isNull()) {
        return;
    }
    const QString path = askCaptureFile();
    if (!path.isEmpty()) {
        saveCaptured(frame, path);
    }
}

bool KView3D::captureToDisk() {
    KWaitCursor wait;
    const QImage frame = grabForCapture();
    if (frame.isNull()) {
        return false;
    }
    const QString name = QString::fromStdString(capture.nextFileName());
    setStatus(0, QStringLiteral("Saving... [%1]").arg(name));
    if (!saveCaptured(frame, name)) {
        // The frame number stays, so the next try writes the same frame.
        setStatus(0, QStringLiteral("Ready"));
        return false;
    }
    if (capture.advance()) {
        CEndOfRangeDlg dlg(capture.endChoice, this);
        runDialog(dlg);
        capture.applyEndChoice(dlg.choice());
        if (dlg.choice() == KCaptureSeries::EditCounters) {
            captureOptions();
        }
    }
    setStatus(0, QStringLiteral("Done"));
    updateFrameStatus();
    return true;
}

QImage KView3D::renderedFrame() {
    if (!openGLAvailable()) {
        return QImage();
    }
    fullFrame_ = true;
    QImage image = grabFramebuffer();
    fullFrame_ = false;
    return image;
}

// ---------------------------------------------------------------- mouse and keys

void KView3D::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
        mouseDown_ = true;
        dragging_ = true;
        camera.startDrag(int(event->position().x()), int(event->position().y()));
        grabMouse();
    }
}

void KView3D::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) {
        dragging_ = false;
        releaseMouse();
        mouseDown_ = false;
        if (renderOptions.antiAliasing) {
            renderLater();
        }
    }
}

void KView3D::mouseMoveEvent(QMouseEvent* event) {
    KPreviewCamera::MouseInput in;
    in.x = int(event->position().x());
    in.y = int(event->position().y());
    in.dragging = dragging_;
    in.shift = event->modifiers() & Qt::ShiftModifier;
    in.control = event->modifiers() & Qt::ControlModifier;
    in.middle = event->buttons() & Qt::MiddleButton;
    const std::string status = camera.mouseMove(in);
    setStatus(0, QString::fromStdString(status));
    updateFrameStatus();
    if (dragging_) {
        renderLater();
    }
}

void KView3D::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F9) {
        captureToDisk();
    } else if (event->key() == Qt::Key_F12) {
        viewFlatDialog();
    } else {
        QOpenGLWidget::keyReleaseEvent(event);
    }
}

void KView3D::contextMenuEvent(QContextMenuEvent* event) {
    const bool wasAnimating = camera.animating;
    stopTimer();
    previewMenu()->exec(event->globalPos());
    if (wasAnimating && camera.animating) {
        startTimer();
    }
}

QMenu* KView3D::previewMenu() {
    if (menu_) {
        refreshMenuChecks();
        return menu_;
    }
    menu_ = new QMenu(tr("Preview"), this);
    auto add = [this](QMenu* m, const QString& name, const QString& text, auto fn) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, fn);
        return a;
    };
    QMenu* shading = menu_->addMenu(tr("Shading"));
    const QString shadeNames[4] = {"previewPoint", "previewWire", "previewFlat", "previewSmooth"};
    const QString shadeTexts[4] = {tr("&Point"), tr("&Wire"), tr("&Flat"), tr("&Smooth")};
    for (int i = 0; i < 4; ++i) {
        add(shading, shadeNames[i], shadeTexts[i], [this, i] {
            setShadingType(i);
        })->setCheckable(true);
    }
    QMenu* anim = menu_->addMenu(tr("Animation"));
    add(anim, "previewSpin", tr("&Spin"), [this] { toggleSpin(); })->setCheckable(true);
    add(anim, "previewFrame", tr("&Frame"), [this] { stepFrame(); });
    add(anim, "previewReverse", tr("&Reverse"), [this] { reverse(); })->setCheckable(true);
    add(anim, "previewClear", tr("&Clear"), [this] { clearAnimation(); })->setCheckable(true);
    add(menu_, "previewRecenter", tr("&Re-center"), [this] { recenter(); });
    add(menu_, "previewSelectLayers", tr("Select &Layers..."), [this] { selectLayers(); });
    menu_->addSeparator();
    add(menu_, "previewViewport", tr("&Viewport..."), [this] { properties(); });
    add(menu_, "previewBackground", tr("&Background..."), [this] { backgroundProperties(); });
    QMenu* lighting = menu_->addMenu(tr("&Lighting"));
    add(lighting, "previewGlobalLighting", tr("&Global Lighting..."), [this] { globalLighting(); });
    add(lighting, "previewLights", tr("&Lights..."), [this] { editLight(); });
    add(menu_, "previewRenderOptions", tr("Render &Options..."), [this] { renderOptionsDialog(); });
    menu_->addSeparator();
    add(menu_, "previewSetViewSize", tr("Set View &Size..."), [this] { setViewSize(); });
    add(menu_, "previewCapture", tr("&Capture..."), [this] { captureOnce(); });
    add(menu_, "previewCaptureOptions", tr("&Capture Options..."), [this] { captureOptions(); });
    add(menu_, "previewCaptureToDisk", tr("Capture to Disk"), [this] { captureToDisk(); });
    refreshMenuChecks();
    return menu_;
}

void KView3D::refreshMenuChecks() {
    if (!menu_) {
        return;
    }
    const QString shadeNames[4] = {"previewPoint", "previewWire", "previewFlat", "previewSmooth"};
    for (QAction* a : menu_->findChildren<QAction*>()) {
        const QString n = a->objectName();
        for (int i = 0; i < 4; ++i) {
            if (n == shadeNames[i]) {
                a->setChecked(camera.shadingType == i);
            }
        }
        if (n == QLatin1String("previewSpin")) {
            a->setChecked(camera.animating);
        } else if (n == QLatin1String("previewReverse")) {
            a->setChecked(camera.frameStep < 0);
        } else if (n == QLatin1String("previewClear")) {
            a->setChecked(camera.frame == 0);
        } else if (n == QLatin1String("previewSelectLayers")) {
            a->setEnabled(!doc_.layers.empty());
        }
    }
}

// ---------------------------------------------------------------- OpenGL

void KView3D::initializeGL() {
    QOpenGLContext* ctx = context();
    std::string error;
    glOk_ = ctx && renderer_.initialize(
                       [ctx](const char* name) {
                           return reinterpret_cast<void*>(ctx->getProcAddress(name));
                       },
                       &error);
    if (!glOk_) {
        kUi().message("The 3D preview could not create an OpenGL context.", KUi::Icon::Error);
        return;
    }
    rendererName_ = QString::fromStdString(renderer_.rendererName());
    connect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        // The context goes (with the window, or when the view moves to another window).
        // Its lists are deleted while it can still be made current, since the contexts
        // of a window share their names and the lists would outlive it otherwise.
        makeCurrent();
        renderer_.releaseResources();
        doneCurrent();
        glOk_ = false;
    });
}

void KView3D::resizeGL(int w, int h) {
    // The widget's own width and height are device-independent; the viewport is set by
    // the framework before every paint.
    (void)w;
    (void)h;
    if (camera.resize(width(), height()) && !camera.animating) {
        renderLater();
    }
}

void KView3D::paintGL() {
    framePending_ = false;
    if (!glOk_ || drawing_) {
        return;
    }
    KFlagGuard guard(drawing_);
    const KPreviewScene frameScene = scene();
    const bool progressive = renderOptions.drawEach && !fullFrame_;
    if (!renderOptions.antiAliasing || mouseDown_ || renderOptions.passCount() < 1) {
        renderer_.renderFrame(frameScene, renderOptions, true, width() * devicePixelRatio(),
                              height() * devicePixelRatio());
    } else {
        renderer_.beginFrame(frameScene);
        antiAliasedPass(progressive);
        renderer_.finish();
    }
}

KPreviewScene KView3D::scene() const {
    return KPreviewScene{camera,  lights, background, perspectiveBackground, orthographicBackground,
                         viewFlat};
}

void KView3D::antiAliasedPass(bool progressive) {
    const int n = renderOptions.passCount();
    const int w = width() * devicePixelRatio();
    const int h = height() * devicePixelRatio();
    const KAccumBuffer& accum = renderer_.accumulation();
    const bool continuing =
        progressive && aaContinue_ && aaNextPass_ > 0 && accum.width() == w && accum.height() == h;
    aaContinue_ = false;
    int first = 1;
    int lastPass = n;
    if (!continuing) {
        renderer_.clearAccumulation(w, h);
        aaNextPass_ = 1;
    }
    if (progressive) {
        first = lastPass = aaNextPass_;
    }
    if (!progressive) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    const KPreviewScene frameScene = scene();
    for (int k = first; k <= lastPass; ++k) {
        setStatus(0, QStringLiteral("Drawing aa frame [%1 of %2]").arg(k).arg(n));
        renderer_.accumulatePass(frameScene, renderOptions, k, w, h);
    }
    if (progressive && lastPass < n) {
        // Shows this pass (or the running sum with Fade In); the next paint adds the next.
        if (renderOptions.fadeIn) {
            renderer_.showAccumulation(1.0);
        }
        aaNextPass_ = lastPass + 1;
        aaContinue_ = true;
        QMetaObject::invokeMethod(
            this, [this] { update(); }, Qt::QueuedConnection);
        return;
    }
    aaNextPass_ = 0;
    renderer_.showAccumulation(1.0);
    setStatus(0, QStringLiteral("(Ready)"));
    if (!progressive) {
        QApplication::restoreOverrideCursor();
    }
}
