#include "edit/KCurveEditModel.h"

#include <algorithm>
#include <cmath>

#include "platform/KUi.h"

namespace {

// Window positions are whole pixels; values far outside any window are held at a range
// an int can carry, so a wild curve never turns into an undefined conversion.
int pixel(double v) {
    if (!std::isfinite(v)) {
        return v > 0 ? 1000000 : -1000000;
    }
    return int(std::clamp(v, -1e6, 1e6));
}

} // namespace

KCurveEditModel::KCurveEditModel() : own_(std::make_unique<KBdlCurve>(kOwnCurve, kOwnResolution)) {
    curve_ = own_.get();
    rebuildSnapshot();
}

KCurveEditModel::~KCurveEditModel() = default;

void KCurveEditModel::setCurve(KBdlCurve* curve) {
    curve_ = curve;
    if (own_ && own_.get() != curve) {
        own_.reset();
    }
    snapshot_.clear();
    selected_.clear();
    selectedCount_ = 0;
    clearHistory();
    if (curve_) {
        rebuildSnapshot();
    }
}

void KCurveEditModel::setDrawDirection(int direction) {
    direction_ = direction == Vertical ? Vertical : Horizontal;
    rebuildSnapshot();
}

void KCurveEditModel::setDragThreshold(int pixels) {
    threshold_ = std::clamp(pixels, 1, 10);
}

// ---------------------------------------------------------------- positions, selection

bool KCurveEditModel::isSelected(int i) const {
    return i >= 0 && i < int(selected_.size()) && selected_[size_t(i)] != 0;
}

std::vector<int> KCurveEditModel::selectedIndices() const {
    std::vector<int> out;
    for (size_t i = 0; i < selected_.size(); ++i) {
        if (selected_[i]) {
            out.push_back(int(i));
        }
    }
    return out;
}

KVertex KCurveEditModel::toWindow(double x, double y) const {
    if (direction_ == Vertical) {
        std::swap(x, y);
    }
    KVertex v;
    v.x = rect_.left + x * rect_.width();
    v.y = rect_.bottom - y * rect_.height();
    return v;
}

void KCurveEditModel::rebuildSnapshot() {
    if (!curve_) {
        snapshot_.clear();
        selected_.clear();
        selectedCount_ = 0;
        return;
    }
    snapshot_ = curvePoints();
    for (KVertex& v : snapshot_) {
        const KVertex w = toWindow(v.x, v.y);
        v.x = w.x;
        v.y = w.y;
    }
    selected_.resize(snapshot_.size(), 0);
    recount();
}

int KCurveEditModel::findControlPoint(int x, int y) {
    if (!curve_) {
        return -1;
    }
    for (size_t i = 0; i < snapshot_.size(); ++i) {
        const int vx = pixel(snapshot_[i].x);
        const int vy = pixel(snapshot_[i].y);
        if (vx >= x - kPickRadius && vx < x + kPickRadius && vy >= y - kPickRadius &&
            vy < y + kPickRadius) {
            return int(i);
        }
    }
    return -1;
}

void KCurveEditModel::toggle(int i) {
    // Only existing points: an index past the last point is ignored.
    if (i < 0 || i >= int(selected_.size())) {
        return;
    }
    selected_[size_t(i)] = selected_[size_t(i)] ? 0 : 1;
    recount();
}

void KCurveEditModel::clearSelection() {
    std::fill(selected_.begin(), selected_.end(), 0);
    selectedCount_ = 0;
}

void KCurveEditModel::setSelection(const std::vector<int>& indices) {
    clearSelection();
    for (int i : indices) {
        if (i >= 0 && i < int(selected_.size())) {
            selected_[size_t(i)] = 1;
        }
    }
    recount();
}

void KCurveEditModel::recount() {
    selectedCount_ = int(std::count(selected_.begin(), selected_.end(), 1));
}

// ---------------------------------------------------------------- mouse

bool KCurveEditModel::isClick(int dx, int dy) const {
    return std::abs(dx) < threshold_ && std::abs(dy) < threshold_;
}

void KCurveEditModel::click(int x, int y, bool extend) {
    if (!curve_) {
        return;
    }
    const int i = findControlPoint(x, y);
    if (!extend) {
        clearSelection();
    }
    toggle(i);
}

void KCurveEditModel::pinAndClamp(std::vector<KVertex>& points, int i) {
    KVertex& p = points[size_t(i)];
    if (i == 0) {
        p.x = 0.0;
    }
    if (i == int(points.size()) - 1) {
        p.x = 1.0;
    }
    p.x = std::clamp(p.x, 0.0, 1.0);
    p.y = std::clamp(p.y, 0.0, 1.0);
}

bool KCurveEditModel::moveSelection(const Change& change) {
    // Nothing selected moves nothing, and leaves no empty step in the history.
    if (!curve_ || selectedCount_ == 0) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points = curvePoints();
    for (int i : selectedIndices()) {
        KVertex& p = points[size_t(i)];
        if (direction_ == Horizontal) {
            p.x += change.fx;
            p.y -= change.fy;
        } else {
            p.x -= change.fy;
            p.y += change.fx;
        }
        pinAndClamp(points, i);
    }
    writePoints(std::move(points));
    return true;
}

// ---------------------------------------------------------------- keys

void KCurveEditModel::shiftSelectionForward() {
    if (selected_.empty()) {
        return;
    }
    std::rotate(selected_.rbegin(), selected_.rbegin() + 1, selected_.rend());
    selected_.front() = 0;
    recount();
}

void KCurveEditModel::shiftSelectionBackward() {
    if (selected_.empty()) {
        return;
    }
    std::rotate(selected_.begin(), selected_.begin() + 1, selected_.end());
    selected_.back() = 0;
    recount();
}

void KCurveEditModel::invertSelection() {
    for (char& s : selected_) {
        s = s ? 0 : 1;
    }
}

void KCurveEditModel::home(bool shift, bool ctrl) {
    if (selected_.empty()) {
        return;
    }
    if (ctrl) {
        invertSelection();
    } else if (shift) {
        const auto first = std::find(selected_.begin(), selected_.end(), 1);
        std::fill(first, selected_.end(), 1);
    } else {
        clearSelection();
        selected_.back() = 1;
    }
    recount();
}

void KCurveEditModel::end(bool shift, bool ctrl) {
    if (selected_.empty()) {
        return;
    }
    if (ctrl) {
        invertSelection();
    } else if (shift) {
        const auto last = std::find(selected_.rbegin(), selected_.rend(), 1);
        std::fill(last, selected_.rend(), 1);
    } else {
        clearSelection();
        selected_.front() = 1;
    }
    recount();
}

bool KCurveEditModel::insertPoints(bool keepSelected) {
    if (!curve_) {
        return false;
    }
    const std::vector<KVertex> old = curvePoints();
    const int n = int(old.size());
    bool any = false;
    for (int i = 0; i + 1 < n; ++i) {
        any = any || selected_[size_t(i)];
    }
    if (!any) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points;
    std::vector<int> selection;
    for (int i = 0; i < n; ++i) {
        points.push_back(old[size_t(i)]);
        const bool sel = selected_[size_t(i)] != 0;
        if (sel && i + 1 < n) {
            if (keepSelected) {
                selection.push_back(int(points.size()) - 1);
            }
            const KVertex& a = old[size_t(i)];
            const KVertex& b = old[size_t(i + 1)];
            KVertex mid;
            mid.x = (a.x + b.x) / 2;
            mid.z = (a.z + b.z) / 2;
            mid.w = (a.w + b.w) / 2;
            mid.y = curve_->value(mid.x); // on the curve as it was
            points.push_back(mid);
            selection.push_back(int(points.size()) - 1);
        } else if (sel) {
            // The last point has nothing after it; it keeps its selection.
            selection.push_back(int(points.size()) - 1);
        }
    }
    writePoints(std::move(points));
    setSelection(selection);
    return true;
}

bool KCurveEditModel::deleteSelected() {
    if (!curve_ || selectedCount_ == 0) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points;
    const std::vector<KVertex> old = curvePoints();
    for (size_t i = 0; i < old.size(); ++i) {
        if (!selected_[i]) {
            points.push_back(old[i]);
        }
    }
    clearSelection();
    writePoints(std::move(points));
    return true;
}

bool KCurveEditModel::equalize(int mode) {
    // Without a selection there is nothing to level (and no average to divide by).
    if (!curve_ || selectedCount_ == 0 || mode < Highest || mode > Average) {
        return false;
    }
    std::vector<KVertex> points = curvePoints();
    double highest = -1000.0;
    double lowest = 1000.0;
    double sum = 0.0;
    for (int i : selectedIndices()) {
        const double y = points[size_t(i)].y;
        highest = std::max(highest, y);
        lowest = std::min(lowest, y);
        sum += y;
    }
    const double value = mode == Highest ? highest : mode == Lowest ? lowest : sum / selectedCount_;
    pushHistory();
    for (int i : selectedIndices()) {
        points[size_t(i)].y = value;
    }
    writePoints(std::move(points));
    return true;
}

bool KCurveEditModel::nudge(double step) {
    if (!curve_ || selectedCount_ == 0) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points = curvePoints();
    for (int i : selectedIndices()) {
        points[size_t(i)].y += step;
    }
    writePoints(std::move(points));
    return true;
}

bool KCurveEditModel::spread(double step) {
    if (!curve_ || selectedCount_ == 0) {
        return false;
    }
    pushHistory();
    std::vector<KVertex> points = curvePoints();
    for (int i : selectedIndices()) {
        KVertex& p = points[size_t(i)];
        p.x += p.x < 0.5 ? -step : step;
    }
    writePoints(std::move(points));
    return true;
}

void KCurveEditModel::reverse() {
    if (!curve_) {
        return;
    }
    curve_->mirror();
    clearSelection();
    rebuildSnapshot();
    toggle(0);
}

void KCurveEditModel::setBasis(int basis) {
    if (!curve_) {
        return;
    }
    curve_->setBasis(basis);
    rebuildSnapshot();
}

// ---------------------------------------------------------------- manual edit

KCurveEditModel::CurveValues KCurveEditModel::curveValues() const {
    CurveValues v;
    if (curve_) {
        v.basis = curve_->basis;
        v.repeatCount = curve_->repeatCount;
        v.resolution = curve_->resolution;
        v.controlString = curve_->getString();
        v.indexType = curve_->indexType;
        v.auxiliary = curve_->auxiliary;
    }
    return v;
}

int KCurveEditModel::applyCurveValues(const CurveValues& v) {
    if (!curve_) {
        return KBdlCurve::ParseOk;
    }
    int status = KBdlCurve::ParseOk;
    const bool newString = v.controlString != curve_->getString();
    if (newString) {
        KBdlCurve trial;
        status = trial.parse(v.controlString);
        if (status != KBdlCurve::ParseOk && status != KBdlCurve::ParseFewVertices) {
            return status;
        }
    }
    pushHistory();
    if (newString) {
        curve_->parse(v.controlString);
    }
    curve_->auxiliary = v.auxiliary;
    curve_->repeatCount = v.repeatCount;
    curve_->indexType = v.indexType == KBdlCurve::Manual ? KBdlCurve::PolyLine : v.indexType;
    curve_->setResolution(v.resolution);
    curve_->setBasis(v.basis);
    clearSelection();
    rebuildSnapshot();
    toggle(0);
    return status;
}

// ---------------------------------------------------------------- history

void KCurveEditModel::pushHistory() {
    if (!curve_) {
        return;
    }
    history_.resize(size_t(position_));
    history_.push_back(curve_->getString());
    ++position_;
}

void KCurveEditModel::clearHistory() {
    history_.clear();
    position_ = 0;
}

bool KCurveEditModel::undo() {
    if (!curve_ || position_ <= 0) {
        return false;
    }
    if (position_ == int(history_.size())) {
        pushHistory(); // so the present state can be redone
        --position_;
    }
    const std::string& text = history_[size_t(position_ - 1)];
    if (text.empty()) {
        kUi().message("Bad CP data in Undo buffer!", KUi::Icon::Warning);
        return false;
    }
    restoreFrom(text);
    --position_;
    return true;
}

bool KCurveEditModel::redo() {
    if (!curve_ || !canRedo()) {
        return false;
    }
    const std::string& text = history_[size_t(position_ + 1)];
    if (text.empty()) {
        kUi().message("Bad CP data in Redo buffer!", KUi::Icon::Warning);
        return false;
    }
    restoreFrom(text);
    ++position_;
    return true;
}

void KCurveEditModel::restoreFrom(const std::string& text) {
    const std::string copy = text; // parse may not alias the history it comes from
    curve_->parse(copy);
    rebuildSnapshot();
}

// ---------------------------------------------------------------- helpers

std::vector<KVertex> KCurveEditModel::curvePoints() const {
    if (!curve_) {
        return {};
    }
    return std::vector<KVertex>(curve_->points().begin(),
                                curve_->points().begin() + curve_->count());
}

void KCurveEditModel::writePoints(std::vector<KVertex> points) {
    const int n = int(points.size());
    curve_->setPoints(std::move(points), n);
    rebuildSnapshot();
}
