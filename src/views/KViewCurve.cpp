#include "views/KViewCurve.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "dialogs/KCurveEditDlg.h"
#include "gui/KViewHost.h"

namespace {

const QColor kDarkGreen(0, 85, 0);
const QColor kGreen(0, 255, 0);

} // namespace

KViewCurve::KViewCurve(QWidget* parent) : KViewCurve(std::make_unique<KCurveEditModel>(), parent) {}

KViewCurve::KViewCurve(std::unique_ptr<KCurveEditModel> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)) {
    message_ = QStringLiteral("(") + name_ + QStringLiteral(")");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    // The context menu opens when the right button comes up.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(60, 60);
}

KViewCurve::~KViewCurve() = default;

void KViewCurve::setCurve(KBdlCurve* curve) {
    model_->setCurve(curve);
    recalcRect();
    update();
}

void KViewCurve::showMessage(const QString& text) {
    message_ = text;
    if (KViewHost* frame = kFindViewHost(this)) {
        frame->setPaneText(0, message_);
        const KBdlCurve* c = model_->curve();
        frame->setPaneText(1, QStringLiteral("pts: %1").arg(c ? c->count() : 0));
        frame->setPaneText(2, QStringLiteral("rpts: %1").arg(c ? c->repeatCount : 0));
    }
    emit messageShown(message_);
}

// ---------------------------------------------------------------- geometry and drawing

KCurveEditModel::Rect KViewCurve::editingRect() const {
    KCurveEditModel::Rect r;
    r.left = 10;
    r.top = 10;
    r.right = width() - 10;
    r.bottom = height() - 10;
    return r;
}

void KViewCurve::recalcRect() {
    model_->setRect(editingRect());
    if (model_->curve()) {
        model_->rebuildSnapshot();
    }
}

void KViewCurve::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    recalcRect();
    showMessage(message_);
}

void KViewCurve::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (checkCurve()) {
        drawCurve(p);
    }
    drawOverlay(p);
}

void KViewCurve::drawSamples(QPainter& p, const std::vector<QPointF>& samples) {
    const QPen red(Qt::red, 1);
    const QPen blue(Qt::blue, 1);
    for (size_t i = 1; i < samples.size(); ++i) {
        // The segment ending at an odd sample is red, at an even one blue.
        p.setPen(i % 2 ? red : blue);
        p.drawLine(samples[i - 1], samples[i]);
    }
}

void KViewCurve::drawSquares(QPainter& p, const std::vector<KVertex>& points,
                             const std::function<bool(int)>& selected) {
    p.setBrush(Qt::NoBrush);
    for (size_t i = 0; i < points.size(); ++i) {
        p.setPen(QPen(selected(int(i)) ? kGreen : kDarkGreen, 1));
        p.drawRect(int(points[i].x) - 2, int(points[i].y) - 2, 4, 4);
    }
}

void KViewCurve::drawCurve(QPainter& p) {
    KBdlCurve* c = model_->curve();
    if (!c) {
        return;
    }
    // The graph shows one period: the repeat count is off while sampling.
    const int32_t repeats = c->repeatCount;
    c->repeatCount = 0;
    const int r = std::max(1, c->resolution);
    std::vector<QPointF> samples;
    samples.reserve(size_t(r) + 1);
    for (int i = 0; i <= r; ++i) {
        const double t = double(i) / r;
        const KVertex w = model_->toWindow(t, c->value(t));
        samples.emplace_back(w.x, w.y);
    }
    c->repeatCount = repeats;
    drawSamples(p, samples);
    drawSquares(p, model_->snapshot(), [this](int i) { return model_->isSelected(i); });
}

void KViewCurve::changed() {
    update();
    showMessage(message_);
    emit curveEdited();
}

// ---------------------------------------------------------------- mouse

void KViewCurve::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragStart_ = event->position().toPoint();
        delta_ = QPoint(0, 0);
        dragging_ = true;
    }
}

void KViewCurve::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        if (dragging_) {
            delta_ = pos - dragStart_;
        }
        return;
    }
    if (!checkCurve()) {
        return;
    }
    const int i = model_->findControlPoint(pos.x(), pos.y());
    showMessage(i >= 0 ? QStringLiteral("over CP %1").arg(i)
                       : QStringLiteral("(curve message update)"));
    hovered();
}

void KViewCurve::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!checkCurve()) {
        return;
    }
    if (event->button() == Qt::RightButton) {
        std::unique_ptr<QMenu> menu(createContextMenu(this));
        menu->exec(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && dragging_) {
        dragEnd_ = pos;
        delta_ = dragEnd_ - dragStart_;
        bool moved = false;
        if (model_->isClick(delta_.x(), delta_.y())) {
            model_->click(pos.x(), pos.y(), event->modifiers() & Qt::ShiftModifier);
        } else {
            const KCurveEditModel::Rect r = model_->rect();
            KCurveEditModel::Change change;
            change.fx = r.width() > 0 ? double(delta_.x()) / r.width() : 0.0;
            change.fy = r.height() > 0 ? double(delta_.y()) / r.height() : 0.0;
            change.dx = delta_.x();
            change.dy = delta_.y();
            moved = model_->moveSelection(change);
        }
        dragStart_ = dragEnd_ = QPoint(-1, -1);
        delta_ = QPoint(0, 0);
        dragging_ = false;
        if (moved) {
            changed();
        } else {
            update();
        }
    } else if (event->button() == Qt::MiddleButton) {
        model_->toggle(model_->findControlPoint(pos.x(), pos.y()));
        dragStart_ = dragEnd_ = QPoint(-1, -1);
        delta_ = QPoint(0, 0);
        dragging_ = false;
        update();
    }
}

// ---------------------------------------------------------------- keys

void KViewCurve::keyReleaseEvent(QKeyEvent* event) {
    if (itemKey(event)) {
        return;
    }
    if (!checkCurve() || !model_->curve() || !curveKey(event)) {
        QWidget::keyReleaseEvent(event);
    }
}

bool KViewCurve::curveKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    const double step = ctrl ? 0.1 : alt ? 0.001 : 0.01;
    const bool keypad = mods & Qt::KeypadModifier;
    KCurveEditModel& m = *model_;
    bool edited = false;
    switch (event->key()) {
    case Qt::Key_PageUp:
        m.shiftSelectionForward();
        break;
    case Qt::Key_PageDown:
        m.shiftSelectionBackward();
        break;
    case Qt::Key_Home:
        m.home(shift, ctrl);
        break;
    case Qt::Key_End:
        m.end(shift, ctrl);
        break;
    case Qt::Key_Insert:
        edited = m.insertPoints(shift);
        break;
    case Qt::Key_Delete:
        edited = m.deleteSelected();
        break;
    case Qt::Key_H:
        edited = m.equalize(KCurveEditModel::Highest);
        break;
    case Qt::Key_L:
        edited = m.equalize(KCurveEditModel::Lowest);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
    case Qt::Key_Asterisk:
    case Qt::Key_Slash:
        if (!keypad) {
            return false;
        }
        if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Minus) {
            edited = m.nudge(event->key() == Qt::Key_Plus ? step : -step);
        } else {
            edited = m.spread(event->key() == Qt::Key_Asterisk ? step : -step);
        }
        break;
    default:
        return false;
    }
    if (edited) {
        changed();
    } else {
        update();
    }
    return true;
}

// ---------------------------------------------------------------- commands

void KViewCurve::manualEdit() {
    if (!checkCurve() || !model_->curve()) {
        return;
    }
    KCurveEditModel::CurveValues values = model_->curveValues();
    if (!kEditCurveValues(this, values)) {
        return;
    }
    const int status = model_->applyCurveValues(values);
    if (status != KBdlCurve::ParseOk && status != KBdlCurve::ParseFewVertices) {
        KBdlCurve::reportParseStatus(status);
        return;
    }
    changed();
}

void KViewCurve::equalize(int mode) {
    if (checkCurve() && model_->equalize(mode)) {
        changed();
    }
}

void KViewCurve::reverseCurve() {
    if (!checkCurve() || !model_->curve()) {
        return;
    }
    model_->reverse();
    changed();
}

void KViewCurve::setDrawDirection(int direction) {
    model_->setDrawDirection(direction);
    update();
}

void KViewCurve::editingProperties() {
    int pixels = model_->dragThreshold();
    if (kEditDragPixels(this, pixels)) {
        model_->setDragThreshold(pixels);
    }
}

void KViewCurve::setPolyline() {
    if (checkCurve() && model_->curve()) {
        model_->setBasis(KBdlCurve::Polyline);
        changed();
    }
}

void KViewCurve::setSpline() {
    if (checkCurve() && model_->curve()) {
        model_->setBasis(KBdlCurve::Spline);
        changed();
    }
}

void KViewCurve::undoEdit() {
    if (checkCurve() && model_->undo()) {
        changed();
    }
}

void KViewCurve::redoEdit() {
    if (checkCurve() && model_->redo()) {
        changed();
    }
}

void KViewCurve::addCurveCommands(QMenu* menu) {
    const bool hasCurve = model_->curve() != nullptr;
    QMenu* eq = menu->addMenu(tr("&Equalize Points"));
    eq->setObjectName(QStringLiteral("equalizeMenu"));
    eq->addAction(tr("&Highest"), this, [this] { equalize(KCurveEditModel::Highest); });
    eq->addAction(tr("&Lowest"), this, [this] { equalize(KCurveEditModel::Lowest); });
    eq->addAction(tr("&Average"), this, [this] { equalize(KCurveEditModel::Average); });
    eq->setEnabled(canEqualize());
    QAction* rev = menu->addAction(tr("&Reverse Curve"), this, &KViewCurve::reverseCurve);
    rev->setEnabled(hasCurve);
}

QMenu* KViewCurve::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ViewCurve"));
    const bool hasCurve = model_->curve() != nullptr;
    menu->addAction(tr("&Manual Edit..."), this, &KViewCurve::manualEdit)->setEnabled(hasCurve);
    addCurveCommands(menu);
    QMenu* dir = menu->addMenu(tr("&Draw Direction"));
    auto* group = new QActionGroup(dir);
    QAction* h = dir->addAction(tr("&Horizontal"), this,
                                [this] { setDrawDirection(KCurveEditModel::Horizontal); });
    QAction* v = dir->addAction(tr("&Vertical"), this,
                                [this] { setDrawDirection(KCurveEditModel::Vertical); });
    for (QAction* a : {h, v}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    (model_->drawDirection() == KCurveEditModel::Vertical ? v : h)->setChecked(true);
    menu->addAction(tr("&Properties..."), this, &KViewCurve::editingProperties);
    menu->addSeparator();
    QAction* poly = menu->addAction(tr("Polyline"), this, &KViewCurve::setPolyline);
    QAction* spline = menu->addAction(tr("Spline"), this, &KViewCurve::setSpline);
    poly->setCheckable(true);
    spline->setCheckable(true);
    poly->setEnabled(hasCurve);
    spline->setEnabled(hasCurve);
    poly->setChecked(hasCurve && model_->curve()->basis == KBdlCurve::Polyline);
    spline->setChecked(hasCurve && model_->curve()->basis > KBdlCurve::Polyline);
    menu->addSeparator();
    menu->addAction(tr("Undo"), this, &KViewCurve::undoEdit)->setEnabled(model_->canUndo());
    menu->addAction(tr("Redo"), this, &KViewCurve::redoEdit)->setEnabled(model_->canRedo());
    return menu;
}
