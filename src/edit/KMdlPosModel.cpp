#include "edit/KMdlPosModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "model/KBdlMuscle.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

int pixel(double v) {
    if (!std::isfinite(v)) {
        return v > 0 ? 1000000 : -1000000;
    }
    return int(std::clamp(v, -1e6, 1e6));
}

// A divisor that is usable: zero or not finite counts as 1.
double divisor(double d) {
    return std::isfinite(d) && d != 0.0 ? d : 1.0;
}

} // namespace

KMdlPosModel::KMdlPosModel() {
    setCurve(nullptr);
}

void KMdlPosModel::setItem(KBdlMuscle* muscle) {
    setCurve(nullptr);
    muscle_ = muscle;
    slots_ = {};
    active_ = None;
    if (!muscle_) {
        return;
    }
    slots_[Center].curve = &muscle_->center;
    slots_[Lo].curve = &muscle_->widthLo;
    slots_[Hi].curve = muscle_->symmetricWidth == 1 ? &muscle_->widthLo : &muscle_->widthHi;
    direction_ = muscle_->muscleType == KBdlMuscle::Linear ? Vertical : Horizontal;
    active_ = Center;
    load(Center);
    rebuildSnapshot();
    clearHistory();
}

bool KMdlPosModel::showsHi() const {
    return muscle_ && muscle_->symmetricWidth == 0 && muscle_->muscleType != KBdlMuscle::Point;
}

KBdlCurve* KMdlPosModel::slotCurve(int k) const {
    return k >= 0 && k < 3 ? slots_[size_t(k)].curve : nullptr;
}

const std::vector<KVertex>& KMdlPosModel::slotSnapshot(int k) const {
    static const std::vector<KVertex> none;
    if (k == active_) {
        return snapshot_;
    }
    return k >= 0 && k < 3 ? slots_[size_t(k)].snapshot : none;
}

bool KMdlPosModel::slotSelected(int k, int i) const {
    if (k == active_) {
        return isSelected(i);
    }
    if (k < 0 || k >= 3) {
        return false;
    }
    const auto& sel = slots_[size_t(k)].selected;
    return i >= 0 && i < int(sel.size()) && sel[size_t(i)] != 0;
}

void KMdlPosModel::stash() {
    if (active_ >= 0) {
        slots_[size_t(active_)].snapshot = snapshot_;
        slots_[size_t(active_)].selected = selected_;
    }
}

void KMdlPosModel::load(int k) {
    curve_ = slots_[size_t(k)].curve;
    snapshot_ = slots_[size_t(k)].snapshot;
    selected_ = slots_[size_t(k)].selected;
    recount();
}

void KMdlPosModel::activate(int k, bool clearOldSelection) {
    if (!muscle_ || k < 0 || k > 2 || !slots_[size_t(k)].curve || k == active_) {
        return;
    }
    if (clearOldSelection) {
        clearSelection();
    }
    stash();
    active_ = k;
    load(k);
    clearHistory();
}

// ---------------------------------------------------------------- zoom

void KMdlPosModel::setZoomOn(bool on) {
    zoomOn_ = on;
    rebuildSnapshot();
}

void KMdlPosModel::setZoom(const KMdlZoom& zoom) {
    zoom_ = zoom;
    zoomOn_ = true;
    rebuildSnapshot();
}

void KMdlPosModel::resetZoom() {
    zoom_ = KMdlZoom{};
    zoomOn_ = false;
    rebuildSnapshot();
}

double KMdlPosModel::span() const {
    return divisor(zoom_.rangeMax - zoom_.rangeMin);
}

double KMdlPosModel::zoomScale() const {
    return divisor(zoom_.scale);
}

double KMdlPosModel::zoomed(double v) const {
    return zoomOn_ ? (v - zoom_.rangeMin) / span() + zoom_.offset : v;
}

double KMdlPosModel::zoomedWidth(double w) const {
    return zoomOn_ ? w / span() * zoom_.scale : w;
}

double KMdlPosModel::stretchU() const {
    return divisor(muscle_->begin);
}

double KMdlPosModel::stretchV() const {
    return divisor(muscle_->end);
}

// ---------------------------------------------------------------- layout

KVertex KMdlPosModel::positionAt(int k, double s) {
    KVertex out;
    if (!muscle_) {
        return out;
    }
    const double w = rect_.width();
    const double h = rect_.height();
    if (muscle_->muscleType == KBdlMuscle::Point) {
        KVertex p;
        muscle_->center.point(s, p);
        double ux = zoomed(p.x);
        double uy = zoomed(p.y);
        if (k != Center) {
            const double theta = (-s - 0.25) * kTwoPi;
            const double r = muscle_->widthLo.value(s);
            double ox = r * std::cos(theta) / stretchU();
            double oy = r * std::sin(theta) / stretchV();
            if (zoomOn_) {
                ox = ox / span() / zoomScale();
                oy = oy / span() / zoomScale();
            }
            ux += ox;
            uy += oy;
        }
        out.x = rect_.left + w * ux;
        out.y = rect_.bottom - h * uy;
        return out;
    }
    const double c = muscle_->center.value(s);
    double a = zoomed(c);
    if (k == Lo) {
        a -= zoomedWidth(muscle_->widthLo.value(s));
    } else if (k == Hi) {
        KBdlCurve& hi = muscle_->symmetricWidth == 1 ? muscle_->widthLo : muscle_->widthHi;
        a += zoomedWidth(hi.value(s));
    }
    if (muscle_->muscleType == KBdlMuscle::Linear) {
        out.x = rect_.left + w * a;
        out.y = rect_.bottom - h * s;
    } else {
        out.x = rect_.left + w * s;
        out.y = rect_.bottom - h * a;
    }
    return out;
}

void KMdlPosModel::rebuildSnapshot() {
    if (!muscle_) {
        KCurveEditModel::rebuildSnapshot();
        return;
    }
    stash();
    for (int k = 0; k < 3; ++k) {
        Slot& slot = slots_[size_t(k)];
        slot.snapshot.clear();
        const bool shown = k != Hi || muscle_->muscleType != KBdlMuscle::Point;
        if (slot.curve && shown) {
            for (int i = 0; i < slot.curve->count(); ++i) {
                KVertex v = slot.curve->points()[size_t(i)];
                const KVertex p = positionAt(k, slot.curve->parameterAt(i));
                v.x = pixel(p.x);
                v.y = pixel(p.y);
                slot.snapshot.push_back(v);
            }
        }
        slot.selected.resize(slot.snapshot.size(), 0);
    }
    load(active_);
}

// ---------------------------------------------------------------- picking

int KMdlPosModel::nearestIn(const std::vector<KVertex>& points, int x, int y, double& best) const {
    int found = -1;
    for (size_t i = 0; i < points.size(); ++i) {
        const double dx = pixel(points[i].x) - x;
        const double dy = pixel(points[i].y) - y;
        const double d = dx * dx + dy * dy;
        if (d < best) {
            best = d;
            found = int(i);
        }
    }
    return found;
}

int KMdlPosModel::findControlPoint(int x, int y) {
    if (!muscle_) {
        return KCurveEditModel::findControlPoint(x, y);
    }
    stash();
    double best = std::numeric_limits<double>::infinity();
    int bestCurve = None;
    int bestIndex = -1;
    const int order[3] = {Lo, Center, Hi};
    for (int k : order) {
        if (k == Hi && !showsHi()) {
            continue;
        }
        const int i = nearestIn(slots_[size_t(k)].snapshot, x, y, best);
        if (i >= 0) {
            bestCurve = k;
            bestIndex = i;
        }
    }
    if (bestCurve == None) {
        return -1;
    }
    if (bestCurve == active_) {
        return bestIndex;
    }
    // A point of another curve must be within the pick radius to make that curve active.
    const auto& other = slots_[size_t(bestCurve)].snapshot;
    for (size_t i = 0; i < other.size(); ++i) {
        const int vx = pixel(other[i].x);
        const int vy = pixel(other[i].y);
        if (vx >= x - kPickRadius && vx < x + kPickRadius && vy >= y - kPickRadius &&
            vy < y + kPickRadius) {
            activate(bestCurve, true);
            return int(i);
        }
    }
    return -1;
}

// ---------------------------------------------------------------- moving

bool KMdlPosModel::moveSelection(const Change& change) {
    if (!muscle_) {
        return KCurveEditModel::moveSelection(change);
    }
    if (!curve_ || selectedCount_ == 0) {
        return false;
    }
    return muscle_->muscleType == KBdlMuscle::Point ? movePoint(change) : moveBand(change);
}

bool KMdlPosModel::moveBand(const Change& change) {
    Change c = change;
    if (zoomOn_) {
        // The exact inverse of the layout: a center moves by the zoomed range, a width
        // also by the width scale, so the point stays under the pointer.
        const double f = active_ == Center ? span() : span() / zoomScale();
        if (direction_ == Vertical) {
            c.fx *= f;
            c.dx = pixel(c.dx * f);
        } else {
            c.fy *= f;
            c.dy = pixel(c.dy * f);
        }
    }
    pushHistory();
    std::vector<KVertex> points = curvePoints();
    for (int i : selectedIndices()) {
        KVertex& p = points[size_t(i)];
        if (active_ == Lo) {
            // The Lo edge lies on the other side of the center: across is mirrored.
            if (direction_ == Vertical) {
                p.x -= c.fy;
                p.y -= c.fx;
            } else {
                p.x += c.fx;
                p.y += c.fy;
            }
        } else if (direction_ == Vertical) {
            p.x -= c.fy;
            p.y += c.fx;
        } else {
            p.x += c.fx;
            p.y -= c.fy;
        }
        pinAndClamp(points, i);
    }
    writePoints(std::move(points));
    return true;
}

bool KMdlPosModel::movePoint(const Change& change) {
    const double w = rect_.width();
    const double h = rect_.height();
    if (w <= 0 || h <= 0) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points = curvePoints();
    if (active_ == Center) {
        const double f = zoomOn_ ? span() : 1.0;
        for (int i : selectedIndices()) {
            KVertex& p = points[size_t(i)];
            p.x = std::clamp(p.x + change.fx * f, 0.0, 1.0);
            p.y = std::clamp(p.y - change.fy * f, 0.0, 1.0);
        }
    } else {
        // The width ring: the point's new place relative to the centre, turned back into
        // an angle (x) and a radius (y), undoing the stretch and zoom of the layout.
        const double undo = zoomOn_ ? span() * zoomScale() : 1.0;
        for (int i : selectedIndices()) {
            const double s = curve_->parameterAt(i);
            KVertex centre;
            muscle_->center.point(s, centre);
            const double u = (snapshot_[size_t(i)].x + change.dx - rect_.left) / w;
            const double v = (rect_.bottom - (snapshot_[size_t(i)].y + change.dy)) / h;
            const double X = (u - zoomed(centre.x)) * stretchU() * undo;
            const double Y = (v - zoomed(centre.y)) * stretchV() * undo;
            KVertex& p = points[size_t(i)];
            p.x = std::atan2(X, Y) / kTwoPi + 0.5;
            p.y = std::sqrt(X * X + Y * Y);
            pinAndClamp(points, i);
        }
    }
    writePoints(std::move(points));
    return true;
}
