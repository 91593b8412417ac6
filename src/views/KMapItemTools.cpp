#include "views/KMapItemTools.h"

#include <algorithm>
#include <cmath>

#include "model/KBdlMuscle.h"
#include "model/KVertexList.h"

int kHitTest(const std::vector<KMapItem>& items, int selected, const QPoint& p) {
    const int n = int(items.size());
    const bool hasSelected = selected >= 0 && selected < n;
    if (hasSelected) {
        const KMapItem& s = items[size_t(selected)];
        if (s.box.contains(p) && s.contains(p)) {
            return selected;
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        const KMapItem& item = items[size_t(i)];
        if (item.box.contains(p) && item.contains(p)) {
            return i;
        }
    }
    if (hasSelected && items[size_t(selected)].box.contains(p)) {
        return selected;
    }
    return -1;
}

int kWalkItems(const std::vector<const void*>& layers, int current, KItemWalk walk) {
    const int n = int(layers.size());
    if (n == 0) {
        return -1;
    }
    const int last = n - 1;
    if (current < 0 || current > last) {
        // Without a current item the walks forward start at the first item, the walks
        // to the end at the last.
        switch (walk) {
        case KItemWalk::NextGroup:
        case KItemWalk::Last:
        case KItemWalk::GroupLast:
            return last;
        default:
            return 0;
        }
    }
    const void* layer = layers[size_t(current)];
    int i = current;
    switch (walk) {
    case KItemWalk::Next:
        return current == last ? 0 : current + 1;
    case KItemWalk::Previous:
        return current == 0 ? last : current - 1;
    case KItemWalk::PreviousGroup:
        while (i > 0 && layers[size_t(i)] == layer) {
            --i;
        }
        return i;
    case KItemWalk::NextGroup:
        while (i < last && layers[size_t(i)] == layer) {
            ++i;
        }
        return i;
    case KItemWalk::GroupFirst:
        while (i > 0 && layers[size_t(i - 1)] == layer) {
            --i;
        }
        return i;
    case KItemWalk::GroupLast:
        while (i < last && layers[size_t(i + 1)] == layer) {
            ++i;
        }
        return i;
    case KItemWalk::First:
        return 0;
    case KItemWalk::Last:
        return last;
    }
    return current;
}

std::unique_ptr<KBdlMuscle> kMuscleFromDrag(int tool, int method, const QPoint& press,
                                            const QPoint& release, const KUvMapLayout::MapRect& map,
                                            int midPoints, double width) {
    if (tool < ToolVertical || tool > ToolPoint) {
        return nullptr;
    }
    auto muscle = std::make_unique<KBdlMuscle>(int32_t(tool - 1));
    if (method == FitToLine) {
        const QPointF start = KUvMapLayout::windowToUv(map, press.x(), press.y());
        const QPointF end = KUvMapLayout::windowToUv(map, release.x(), release.y());
        muscle->setCenterFromPoints(start.x(), start.y(), end.x(), end.y(), midPoints, width);
        return muscle;
    }
    const int left = std::min(press.x(), release.x());
    const int right = std::max(press.x(), release.x());
    const int top = std::min(press.y(), release.y());
    const int bottom = std::max(press.y(), release.y());
    const QPointF lo = KUvMapLayout::windowToUv(map, left, bottom);
    const QPointF hi = KUvMapLayout::windowToUv(map, right, top);
    muscle->setFromRect(lo.x(), lo.y(), hi.x(), hi.y());
    return muscle;
}

namespace {

struct UvBounds {
    double u0 = 0, u1 = 0, v0 = 0, v1 = 0;
    bool empty = true;
};

UvBounds outlineBounds(KBdlMuscle& muscle) {
    KVertexList outline;
    muscle.sampleOutline(outline, false);
    UvBounds b;
    for (const KVertex& p : outline.vertices) {
        if (b.empty) {
            b = {p.x, p.x, p.y, p.y, false};
        }
        b.u0 = std::min(b.u0, p.x);
        b.u1 = std::max(b.u1, p.x);
        b.v0 = std::min(b.v0, p.y);
        b.v1 = std::max(b.v1, p.y);
    }
    return b;
}

bool samePlace(const UvBounds& a, const UvBounds& b) {
    constexpr double eps = 1e-6;
    return !a.empty && !b.empty && std::abs(a.u0 - b.u0) < eps && std::abs(a.u1 - b.u1) < eps &&
           std::abs(a.v0 - b.v0) < eps && std::abs(a.v1 - b.v1) < eps;
}

} // namespace

void kOffsetPastedMuscle(KBdlMuscle& muscle, KPasteDirection& direction) {
    const UvBounds b = outlineBounds(muscle);
    if (!b.empty) {
        if ((direction.u > 0 && b.u1 + kPasteShift > 1.0) ||
            (direction.u < 0 && b.u0 - kPasteShift < 0.0)) {
            direction.u = -direction.u;
        }
        if ((direction.v > 0 && b.v1 + kPasteShift > 1.0) ||
            (direction.v < 0 && b.v0 - kPasteShift < 0.0)) {
            direction.v = -direction.v;
        }
    }
    muscle.applyTrackerChange(
        KVertex{0.0, 0.0, direction.u * kPasteShift, direction.v * kPasteShift}, KBdlMuscle::Move);
}

void kPlacePastedMuscle(KBdlMuscle& muscle, const std::vector<KBdlMuscle*>& existing) {
    std::vector<UvBounds> taken;
    for (KBdlMuscle* m : existing) {
        if (m && m->muscleType == muscle.muscleType) {
            taken.push_back(outlineBounds(*m));
        }
    }
    KPasteDirection direction;
    // A bounded number of moves: a map covered in copies still takes one more.
    for (int tries = 0; tries < 100; ++tries) {
        const UvBounds here = outlineBounds(muscle);
        if (std::none_of(taken.begin(), taken.end(),
                         [&here](const UvBounds& t) { return samePlace(here, t); })) {
            return;
        }
        kOffsetPastedMuscle(muscle, direction);
    }
}
