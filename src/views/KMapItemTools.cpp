#include "views/KMapItemTools.h"

#include <algorithm>

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

void kOffsetPastedMuscle(KBdlMuscle& muscle) {
    KVertexList outline;
    muscle.sampleOutline(outline, false);
    double du = kPasteShift;
    double dv = -kPasteShift; // V grows upwards: down on the map
    if (!outline.vertices.empty()) {
        double maxU = outline.vertices.front().x;
        double minV = outline.vertices.front().y;
        for (const KVertex& p : outline.vertices) {
            maxU = std::max(maxU, p.x);
            minV = std::min(minV, p.y);
        }
        if (maxU + du > 1.0) {
            du = -du;
        }
        if (minV + dv < 0.0) {
            dv = -dv;
        }
    }
    muscle.applyTrackerChange(KVertex{0.0, 0.0, du, dv}, KBdlMuscle::Move);
}
