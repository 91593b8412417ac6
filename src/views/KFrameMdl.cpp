#include "views/KFrameMdl.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMetaObject>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/KCurveEditDlg.h"
#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KViewToolDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"
#include "image/KImageMapTga.h"
#include "model/KBdlMuscle.h"
#include "platform/KUi.h"
#include "views/KMdlToolIcons.h"
#include "views/KViewCapture.h"
#include "views/KViewMdl.h"

namespace {

const char* const kItemInvalid = "MDL GUI: internal item reference invalid!";

} // namespace

KFrameMdl::KFrameMdl(CPexaDoc& doc, QWidget* parent) : QMdiSubWindow(parent), doc_(doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(tr("MDL Item"), body);
    toolBar_->setIconSize(QSize(16, 16));
    layout->addWidget(toolBar_);

    rows_ = new QSplitter(Qt::Vertical, body);
    top_ = new QSplitter(Qt::Horizontal, rows_);
    bottom_ = new QSplitter(Qt::Horizontal, rows_);
    pos_ = new KViewMdlPos(*this, top_);
    upper_ = new KViewMdlCurve(*this, UpperPane, top_);
    lower_ = new KViewMdlCurve(*this, LowerPane, bottom_);
    view3d_ = new KViewMdl3D(*this, bottom_);
    for (QSplitter* s : {rows_, top_, bottom_}) {
        s->setChildrenCollapsible(false);
    }
    // The columns of the two rows stay aligned, as in one 2 x 2 grid.
    connect(top_, &QSplitter::splitterMoved, this, [this] {
        bottom_->setSizes(top_->sizes());
        sized_ = true;
    });
    connect(bottom_, &QSplitter::splitterMoved, this, [this] {
        top_->setSizes(bottom_->sizes());
        sized_ = true;
    });
    connect(rows_, &QSplitter::splitterMoved, this, [this] { sized_ = true; });
    layout->addWidget(rows_, 1);
    setWidget(body);

    for (KViewMdlCurve* v : {static_cast<KViewMdlCurve*>(pos_), upper_, lower_}) {
        connect(v, &KViewCurve::curveEdited, this, &KFrameMdl::notifyChanged);
        // The views' messages go to the main window's status bar.
        connect(v, &KViewCurve::messageShown, this, [this](const QString& text) {
            if (auto* main = qobject_cast<QMainWindow*>(window())) {
                main->statusBar()->showMessage(text);
                statusOwner_ = main;
                statusShown_ = text;
            }
        });
    }
    createToolBar();
    doc_.addObserver(this);
    updateCommands();
}

KFrameMdl::~KFrameMdl() {
    doc_.removeObserver(this);
    // The editor's last message leaves the main window's status bar with the editor.
    if (statusOwner_ && statusOwner_->statusBar()->currentMessage() == statusShown_) {
        statusOwner_->statusBar()->clearMessage();
    }
    if (changed_) {
        muscle_ = nullptr; // unloaded first: nothing below may reach it any more
    }
}

void KFrameMdl::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (!sized_) {
        // The position view takes two thirds of the width and half of the height.
        const int w = rows_->width();
        const int h = rows_->height();
        top_->setSizes({2 * w / 3, w - 2 * w / 3});
        bottom_->setSizes({2 * w / 3, w - 2 * w / 3});
        rows_->setSizes({h / 2, h - h / 2});
    }
}

// ---------------------------------------------------------------- loading

bool KFrameMdl::editMuscle(KBdlMuscle* muscle) {
    for (size_t l = 0; muscle && l < doc_.layers.size(); ++l) {
        const auto& list = doc_.layers[l]->muscles;
        for (size_t m = 0; m < list.size(); ++m) {
            if (list[m].get() == muscle) {
                layerIndex_ = int(l);
                muscleIndex_ = int(m);
                loadMuscle(muscle);
                return true;
            }
        }
    }
    kUi().message("Couldn't reference item for editing", KUi::Icon::Warning);
    return false;
}

void KFrameMdl::loadMuscle(KBdlMuscle* muscle) {
    ++updateDepth_;
    muscle_ = muscle;
    showItem();
    --updateDepth_;
}

void KFrameMdl::showItem() {
    if (!muscle_) {
        return;
    }
    switch (muscle_->muscleType) {
    case KBdlMuscle::Linear:
    case KBdlMuscle::Point:
        upper_->setCurve(&muscle_->heightCurve);
        lower_->setCurve(&muscle_->crossSection);
        break;
    case KBdlMuscle::Orbital:
        upper_->setCurve(&muscle_->crossSection);
        lower_->setCurve(&muscle_->heightCurve);
        break;
    default:
        break; // a compound muscle leaves the profile views as they are
    }
    pos_->setItem(muscle_);
    repaintPanes();
    updateCommands();
}

void KFrameMdl::reloadPositionView() {
    ++updateDepth_;
    pos_->setItem(muscle_);
    --updateDepth_;
}

void KFrameMdl::forget() {
    muscle_ = nullptr;
    layerIndex_ = -1;
    muscleIndex_ = -1;
    pos_->setItem(nullptr);
    upper_->setCurve(nullptr);
    lower_->setCurve(nullptr);
    repaintPanes();
    updateCommands();
}

bool KFrameMdl::checkItem(bool deferMessage) {
    if (!muscle_ || doc_.muscleAt(layerIndex_, muscleIndex_) == muscle_) {
        return true;
    }
    forget();
    if (deferMessage) {
        QMetaObject::invokeMethod(
            this, [] { kUi().message(kItemInvalid, KUi::Icon::Warning); }, Qt::QueuedConnection);
    } else {
        kUi().message(kItemInvalid, KUi::Icon::Warning);
    }
    return false;
}

void KFrameMdl::notifyChanged() {
    if (!muscle_ || updateDepth_ > 0) {
        return;
    }
    changed_ = true;
    notifying_ = true;
    doc_.nameNextEdit("Curve Edit");
    doc_.itemChanged(CPexaDoc::HintMuscle, muscle_);
    notifying_ = false;
    repaintPanes();
    updateCommands();
}

void KFrameMdl::onUpdate(int hint, KPersistent* object) {
    if (hint == CPexaDoc::HintReplacing) {
        // The muscle is about to be replaced by a new object at the same position: the
        // panes let go of its curves now and take the new ones afterwards.
        const int layer = muscle_ ? layerIndex_ : -1;
        const int muscle = muscle_ ? muscleIndex_ : -1;
        forget();
        layerIndex_ = layer;
        muscleIndex_ = muscle;
        return;
    }
    if (hint == CPexaDoc::HintReplaced) {
        if (KBdlMuscle* restored = doc_.muscleAt(layerIndex_, muscleIndex_)) {
            loadMuscle(restored);
        } else {
            layerIndex_ = muscleIndex_ = -1;
        }
        return;
    }
    if (notifying_ || hint == CPexaDoc::HintStoring || !muscle_) {
        return;
    }
    if (hint == CPexaDoc::HintMuscle && object != muscle_) {
        return;
    }
    if (!checkItem(false)) {
        return;
    }
    // Changed elsewhere: a new type or width mode needs the panes loaded again; otherwise
    // the points are only laid out again.
    const bool orbital = muscle_->muscleType == KBdlMuscle::Orbital;
    const KBdlCurve* expectedUpper = orbital ? &muscle_->crossSection : &muscle_->heightCurve;
    const KBdlCurve* expectedHi =
        muscle_->symmetricWidth == 1 ? &muscle_->widthLo : &muscle_->widthHi;
    const bool compound = muscle_->muscleType == KBdlMuscle::Compound;
    if ((!compound && upper_->curve() != expectedUpper) || pos_->pos().slotCurve(2) != expectedHi ||
        pos_->pos().drawDirection() != (muscle_->muscleType == KBdlMuscle::Linear
                                            ? KCurveEditModel::Vertical
                                            : KCurveEditModel::Horizontal)) {
        loadMuscle(muscle_);
        return;
    }
    for (KViewCurve* v : {static_cast<KViewCurve*>(pos_), static_cast<KViewCurve*>(upper_),
                          static_cast<KViewCurve*>(lower_)}) {
        if (v->curve()) {
            v->model().rebuildSnapshot();
        }
    }
    repaintPanes();
}

// ---------------------------------------------------------------- captions and panes

QString KFrameMdl::paneTitle(int paneId) const {
    if (!muscle_) {
        return QStringLiteral("No Active Muscle...");
    }
    const bool orbital = muscle_->muscleType == KBdlMuscle::Orbital;
    const bool compound = muscle_->muscleType == KBdlMuscle::Compound;
    switch (paneId) {
    case PositionPane:
        return QString::fromStdString(doc_.layerName(layerIndex_)) + QStringLiteral(": ") +
               QString::fromStdString(muscle_->name);
    case UpperPane:
        if (compound) {
            return QStringLiteral("(title: unknown)");
        }
        return orbital ? QStringLiteral("X-Section") : QStringLiteral("Height");
    case LowerPane:
        if (compound) {
            return QStringLiteral("(title: unknown)");
        }
        return orbital ? QStringLiteral("Height") : QStringLiteral("X-Section");
    case Pane3D:
        return QString();
    default:
        return QStringLiteral("(title: Bad Pane ID");
    }
}

QWidget* KFrameMdl::paneView(int paneId) const {
    switch (paneId) {
    case PositionPane:
        return pos_;
    case UpperPane:
        return upper_;
    case LowerPane:
        return lower_;
    case Pane3D:
        return view3d_;
    default:
        return nullptr;
    }
}

KViewCurve* KFrameMdl::activeCurveView() const {
    return activePane_ == Pane3D ? nullptr : static_cast<KViewCurve*>(paneView(activePane_));
}

void KFrameMdl::activatePane(int paneId) {
    QWidget* view = paneView(paneId);
    if (!view) {
        return;
    }
    view->setFocus(Qt::OtherFocusReason);
    paneActivated(paneId);
}

void KFrameMdl::paneActivated(int paneId) {
    if (!paneView(paneId) || paneId == activePane_) {
        return;
    }
    QWidget* old = paneView(activePane_);
    activePane_ = paneId;
    old->update(); // its caption turns black
    paneView(paneId)->update();
    updateCommands();
}

void KFrameMdl::repaintPanes() {
    for (int i = 0; i < 4; ++i) {
        paneView(i)->update();
    }
}

// ---------------------------------------------------------------- commands

QAction* KFrameMdl::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void KFrameMdl::createToolBar() {
    auto add = [this](const char* name, const QString& text, auto&& handler,
                      bool checkable = false) {
        QAction* a = toolBar_->addAction(text);
        a->setCheckable(checkable);
        a->setObjectName(QString::fromLatin1(name));
        a->setIcon(kMdlToolIcon(a->objectName()));
        a->setToolTip(text);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto onView = [this](auto&& fn) {
        return [this, fn] {
            checkItem();
            if (KViewCurve* v = activeCurveView()) {
                fn(*v);
            }
            updateCommands();
        };
    };
    commands_.undo = add("mdlUndo", tr("Undo"), onView([](KViewCurve& v) { v.undoEdit(); }));
    commands_.redo = add("mdlRedo", tr("Redo"), onView([](KViewCurve& v) { v.redoEdit(); }));
    toolBar_->addSeparator();
    commands_.minimizeOffsets =
        add("mdlMinimizeOffsets", tr("Minimize Offsets"),
            onView([](KViewCurve& v) { v.equalize(KCurveEditModel::Lowest); }));
    commands_.averageOffsets =
        add("mdlAverageOffsets", tr("Average Offsets"),
            onView([](KViewCurve& v) { v.equalize(KCurveEditModel::Average); }));
    commands_.maximizeOffsets =
        add("mdlMaximizeOffsets", tr("Maximize Offsets"),
            onView([](KViewCurve& v) { v.equalize(KCurveEditModel::Highest); }));
    toolBar_->addSeparator();
    commands_.spline =
        add("mdlSpline", tr("Spline"), onView([](KViewCurve& v) { v.setSpline(); }), true);
    commands_.polyline =
        add("mdlPolyline", tr("Polyline"), onView([](KViewCurve& v) { v.setPolyline(); }), true);
    toolBar_->addSeparator();
    commands_.symmetricWidth = add(
        "mdlSymmetricWidth", tr("Symmetrical Width"), [this] { setSymmetricWidth(true); }, true);
    commands_.nonSymmetricWidth = add(
        "mdlNonSymmetricWidth", tr("Non-Symmetrical Width"), [this] { setSymmetricWidth(false); },
        true);
    toolBar_->addSeparator();
    commands_.zoomOnOff = add(
        "mdlZoomOnOff", tr("Zoom On/Off"),
        [this] {
            pos_->toggleZoom();
            updateCommands();
        },
        true);
    QAction* userZoom = add("mdlUserZoom", tr("User Zoom"), [this] {
        pos_->userZoom();
        updateCommands();
    });
    addScalingCommands(userZoom);
    commands_.resetZoom = add(
        "mdlResetZoom", tr("Reset Zoom"),
        [this] {
            pos_->resetZoom();
            updateCommands();
        },
        true);
    toolBar_->addSeparator();
    add("mdlViewSize", tr("Set View Size"), [this] { setViewSize(); });
    add("mdlCapture", tr("Capture View"), [this] { captureView(); });
}

void KFrameMdl::addScalingCommands(QAction* userZoom) {
    // "Magnify U", "Compress U", "Magnify V" and "Compress V" set the position view's
    // scaling just as "User Zoom" does, through the same "Scaling Options" dialog; they
    // drop down from its toolbar button.
    auto* menu = new QMenu(toolBar_);
    menu->setObjectName(QStringLiteral("mdlScalingMenu"));
    const std::pair<const char*, QString> commands[] = {
        {"mdlMagnifyU", tr("Magnify U")},
        {"mdlCompressU", tr("Compress U")},
        {"mdlMagnifyV", tr("Magnify V")},
        {"mdlCompressV", tr("Compress V")},
    };
    for (const auto& [name, text] : commands) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [userZoom] { userZoom->trigger(); });
    }
    userZoom->setMenu(menu);
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(userZoom))) {
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

// ---------------------------------------------------------------- view size and capture

void KFrameMdl::setViewSize() {
    QWidget* client = widget();
    KViewSizeDlg dlg(includeFrame_, captureTarget_, size(), client->size(), this);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return;
    }
    includeFrame_ = dlg.includeFrame();
    captureTarget_ = dlg.captureTarget();
    QSize target = dlg.size();
    if (!includeFrame_) {
        target += size() - client->size(); // the frame's own title and borders
    }
    resize(target);
}

void KFrameMdl::captureView() {
    QWidget* area = includeFrame_ ? static_cast<QWidget*>(this) : widget();
    QImage shown = area->grab().toImage();
    if (shown.size() != area->size()) {
        shown = shown.scaled(area->size());
    }
    std::unique_ptr<KImageMapTga> image;
    {
        KWaitCursor wait;
        image = kCaptureImage(shown, [](int, int) {});
    }
    if (!image) {
        return;
    }
    const QString path = kChooseFile(this, {.save = true,
                                            .title = tr("Capture View"),
                                            .filter = tr("TGA Files (*.tga)"),
                                            .defaultSuffix = QString(),
                                            .initialName = QStringLiteral("untitled.tga"),
                                            .inWorkingFolder = true});
    if (!path.isEmpty()) {
        kSaveCapture(*image, path);
    }
}

void KFrameMdl::updateCommands() {
    if (!toolBar_) {
        return;
    }
    checkItem(true); // the states below read the curves
    KViewCurve* v = activeCurveView();
    const KBdlCurve* c = v ? v->curve() : nullptr;
    commands_.undo->setEnabled(v && v->model().canUndo());
    commands_.redo->setEnabled(v && v->model().canRedo());
    for (QAction* a :
         {commands_.minimizeOffsets, commands_.averageOffsets, commands_.maximizeOffsets}) {
        a->setEnabled(v && v->canEqualize());
    }
    commands_.spline->setEnabled(c);
    commands_.spline->setChecked(c && c->basis > KBdlCurve::Polyline);
    commands_.polyline->setEnabled(c);
    commands_.polyline->setChecked(c && c->basis == KBdlCurve::Polyline);
    commands_.symmetricWidth->setEnabled(muscle_);
    commands_.symmetricWidth->setChecked(muscle_ && muscle_->symmetricWidth == 1);
    commands_.nonSymmetricWidth->setEnabled(muscle_);
    commands_.nonSymmetricWidth->setChecked(muscle_ && muscle_->symmetricWidth == 0);
    const KMdlPosModel& pos = pos_->pos();
    commands_.zoomOnOff->setChecked(pos.zoomOn());
    commands_.resetZoom->setChecked(pos.zoom().isDefault());
}

void KFrameMdl::selectItem() {
    checkItem();
    int layer = layerIndex_;
    int index = muscleIndex_;
    if (!kSelectMdlItem(this, doc_, layer, index) || layer < 0 || index < 0) {
        return;
    }
    if (KBdlMuscle* m = doc_.muscleAt(layer, index)) {
        layerIndex_ = layer;
        muscleIndex_ = index;
        loadMuscle(m);
    }
}

void KFrameMdl::modifyItem() {
    if (!checkItem() || !muscle_) {
        return;
    }
    // The sheet reports its own change to the document; the editor observes it and
    // reloads from it.
    kEditMuscleProperties(this, doc_, *muscle_);
}

void KFrameMdl::setSymmetricWidth(bool symmetric) {
    if (!checkItem() || !muscle_) {
        return;
    }
    muscle_->symmetricWidth = symmetric ? 1 : 0;
    reloadPositionView();
    notifyChanged();
}
