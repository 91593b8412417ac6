#include "views/KViewMdl.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include "dialogs/KCurveEditDlg.h"
#include "model/KBdlMuscle.h"
#include "platform/KUi.h"
#include "views/KFrameMdl.h"

namespace {

// The key numbers the "not yet available" message shows.
int keyNumber(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    default:
        return -1;
    }
}

} // namespace

bool kMdlPaneKey(KFrameMdl& frame, int paneId, QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const int key = event->key();
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !ctrl) {
        const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        frame.activatePane(back ? (paneId + 3) % 4 : (paneId + 1) % 4);
        return true;
    }
    if (ctrl && key >= Qt::Key_1 && key <= Qt::Key_4) {
        frame.activatePane(key - Qt::Key_1);
        frame.repaintPanes();
        return true;
    }
    if (key == Qt::Key_F9) {
        frame.captureView();
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- profile view

KViewMdlCurve::KViewMdlCurve(KFrameMdl& frame, int paneId, QWidget* parent)
    : KViewMdlCurve(frame, paneId, std::make_unique<KCurveEditModel>(), parent) {
    model_->setCurve(nullptr);
}

KViewMdlCurve::KViewMdlCurve(KFrameMdl& frame, int paneId, std::unique_ptr<KCurveEditModel> model,
                             QWidget* parent)
    : KViewCurve(std::move(model), parent), frame_(frame), paneId_(paneId) {}

QString KViewMdlCurve::caption() const {
    QString text = frame_.paneTitle(paneId_);
    const KBdlCurve* c = model_->curve();
    if (c && c->repeatCount > 1) {
        text += QStringLiteral(" (r-%1)").arg(c->repeatCount);
    }
    return text;
}

KCurveEditModel::Rect KViewMdlCurve::editingRect() const {
    KCurveEditModel::Rect r = KViewCurve::editingRect();
    r.bottom -= fontMetrics().boundingRect(QStringLiteral("Mg")).height();
    return r;
}

bool KViewMdlCurve::checkCurve() {
    frame_.checkItem(deferMessages_);
    return true;
}

void KViewMdlCurve::paintEvent(QPaintEvent* event) {
    deferMessages_ = true;
    KViewCurve::paintEvent(event);
    deferMessages_ = false;
    frame_.updateCommands();
}

void KViewMdlCurve::resizeEvent(QResizeEvent* event) {
    // A resize lays the muscle's points out again, so a muscle deleted while no update
    // reached the editor (manual recalculation) is let go first.
    deferMessages_ = true;
    checkCurve();
    deferMessages_ = false;
    KViewCurve::resizeEvent(event);
}

void KViewMdlCurve::drawCaption(QPainter& p) {
    const QString text = caption();
    const QFontMetrics fm = fontMetrics();
    p.setPen(frame_.activePane() == paneId_ ? Qt::blue : Qt::black);
    p.drawText(width() / 2 - fm.horizontalAdvance(text) / 2, height() - 2 - fm.descent(), text);
}

void KViewMdlCurve::drawOverlay(QPainter& p) {
    drawCaption(p);
}

void KViewMdlCurve::focusInEvent(QFocusEvent* event) {
    KViewCurve::focusInEvent(event);
    frame_.paneActivated(paneId_);
}

bool KViewMdlCurve::itemKey(QKeyEvent* event) {
    if (kMdlPaneKey(frame_, paneId_, event)) {
        return true;
    }
    const int number = keyNumber(event->key());
    if (number >= 0) {
        frame_.checkItem(false);
        kUi().message("Keyboard Feature NYA:\n" + frame_.paneTitle(paneId_).toStdString() + ": " +
                          std::to_string(number),
                      KUi::Icon::Information);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- position view

KViewMdlPos::KViewMdlPos(KFrameMdl& frame, QWidget* parent)
    : KViewMdlCurve(frame, 0, std::make_unique<KMdlPosModel>(), parent) {}

void KViewMdlPos::setItem(KBdlMuscle* muscle) {
    pos().setItem(muscle);
    recalcRect();
    update();
}

QString KViewMdlPos::activeTag() const {
    switch (pos().activeCurve()) {
    case KMdlPosModel::Center:
        return QStringLiteral("(C)");
    case KMdlPosModel::Lo:
        return QStringLiteral("(Lo)");
    case KMdlPosModel::Hi:
        return QStringLiteral("(Hi)");
    default:
        return QString();
    }
}

void KViewMdlPos::drawCurve(QPainter& p) {
    KMdlPosModel& m = pos();
    KBdlMuscle* muscle = m.muscle();
    if (!muscle) {
        KViewCurve::drawCurve(p);
        return;
    }
    const bool point = muscle->muscleType == KBdlMuscle::Point;
    for (int k = 0; k < 3; ++k) {
        KBdlCurve* c = m.slotCurve(k);
        if (!c || (point && k == KMdlPosModel::Hi)) {
            continue;
        }
        const int r = std::max(1, c->resolution);
        std::vector<QPointF> samples;
        for (int i = 0; i <= r; ++i) {
            const KVertex w = m.positionAt(k, double(i) / r);
            samples.emplace_back(w.x, w.y);
        }
        drawSamples(p, samples);
    }
    for (int k : {int(KMdlPosModel::Lo), int(KMdlPosModel::Center), int(KMdlPosModel::Hi)}) {
        if (k == KMdlPosModel::Hi && !m.showsHi()) {
            continue;
        }
        drawSquares(p, m.slotSnapshot(k), [&m, k](int i) { return m.slotSelected(k, i); });
    }
}

void KViewMdlPos::drawOverlay(QPainter& p) {
    drawCaption(p);
    const QFontMetrics fm = fontMetrics();
    p.drawText(5, height() - 2 - fm.descent(), activeTag());
}

void KViewMdlPos::manualEditCurve(int k) {
    checkCurve();
    if (!pos().muscle()) {
        return;
    }
    pos().activate(k, true);
    update();
    manualEdit();
}

void KViewMdlPos::userZoom() {
    KMdlZoom z = pos().zoom();
    if (kEditScaling(this, z)) {
        pos().setZoom(z);
        update();
    }
}

void KViewMdlPos::toggleZoom() {
    pos().setZoomOn(!pos().zoomOn());
    update();
}

void KViewMdlPos::resetZoom() {
    pos().resetZoom();
    update();
}

QMenu* KViewMdlPos::createContextMenu(QWidget* parent) {
    checkCurve();
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ViewMDL"));
    KBdlMuscle* muscle = pos().muscle();
    const bool has = muscle != nullptr;
    QMenu* manual = menu->addMenu(tr("&Manual Edit"));
    manual->setObjectName(QStringLiteral("manualEditMenu"));
    manual->addAction(tr("&Center..."), this, [this] { manualEditCurve(KMdlPosModel::Center); });
    manual->addAction(tr("&Low Side Width..."), this,
                      [this] { manualEditCurve(KMdlPosModel::Lo); });
    QAction* hi = manual->addAction(tr("&High Side Width..."), this,
                                    [this] { manualEditCurve(KMdlPosModel::Hi); });
    hi->setObjectName(QStringLiteral("highSideWidth"));
    hi->setEnabled(pos().showsHi());
    manual->setEnabled(has);
    addCurveCommands(menu);
    QAction* modify = menu->addAction(tr("Modify &Item..."), &frame_, &KFrameMdl::modifyItem);
    modify->setEnabled(has);
    menu->addAction(tr("&Select Item..."), &frame_, &KFrameMdl::selectItem);
    menu->addAction(tr("&Zoom..."), this, &KViewMdlPos::userZoom)->setEnabled(has);
    menu->addAction(tr("&Properties..."), this, &KViewCurve::editingProperties)->setEnabled(has);
    if (!has) {
        for (QAction* a : menu->actions()) {
            if (a->menu()) {
                a->menu()->setEnabled(false);
            }
        }
    }
    return menu;
}

// ---------------------------------------------------------------- 3D pane

KViewMdl3D::KViewMdl3D(KFrameMdl& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(60, 60);
}

void KViewMdl3D::keyReleaseEvent(QKeyEvent* event) {
    if (!kMdlPaneKey(frame_, kPaneId, event)) {
        QWidget::keyReleaseEvent(event);
    }
}

void KViewMdl3D::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        frame_.repaintPanes();
    }
    QWidget::mouseReleaseEvent(event);
}

void KViewMdl3D::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    frame_.paneActivated(kPaneId);
}
