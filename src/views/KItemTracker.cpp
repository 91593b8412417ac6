#include "views/KItemTracker.h"

#include <QBrush>
#include <QPainter>
#include <algorithm>

namespace {

bool movesLeft(int h) {
    return h == 0 || h == 3 || h == 7;
}
bool movesRight(int h) {
    return h == 1 || h == 2 || h == 5;
}
bool movesTop(int h) {
    return h == 0 || h == 1 || h == 4;
}
bool movesBottom(int h) {
    return h == 2 || h == 3 || h == 6;
}

} // namespace

QRect KItemTracker::handleRect(int handle) const {
    const int s = kHandleSize;
    const QRect& r = rect_;
    // Exclusive right and bottom, so the handles sit just outside the box.
    const int left = r.left() - s;
    const int right = r.left() + r.width();
    const int top = r.top() - s;
    const int bottom = r.top() + r.height();
    const int midX = r.left() + r.width() / 2 - s / 2;
    const int midY = r.top() + r.height() / 2 - s / 2;
    switch (handle) {
    case 0:
        return {left, top, s, s};
    case 1:
        return {right, top, s, s};
    case 2:
        return {right, bottom, s, s};
    case 3:
        return {left, bottom, s, s};
    case 4:
        return {midX, top, s, s};
    case 5:
        return {right, midY, s, s};
    case 6:
        return {midX, bottom, s, s};
    case 7:
        return {left, midY, s, s};
    default:
        return {};
    }
}

int KItemTracker::hitTest(const QPoint& p) const {
    for (int h = 0; h < 8; ++h) {
        if (handleRect(h).contains(p)) {
            return h;
        }
    }
    if (rect_.adjusted(-kBorder, -kBorder, kBorder, kBorder).contains(p)) {
        return kMove;
    }
    return kNone;
}

Qt::CursorShape KItemTracker::cursorFor(int handle) {
    switch (handle) {
    case 0:
    case 2:
        return Qt::SizeFDiagCursor;
    case 1:
    case 3:
        return Qt::SizeBDiagCursor;
    case 4:
    case 6:
        return Qt::SizeVerCursor;
    case 5:
    case 7:
        return Qt::SizeHorCursor;
    case kMove:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

void KItemTracker::begin(int handle, const QPoint& p) {
    if (handle < 0 || handle > kMove) {
        return;
    }
    handle_ = handle;
    start_ = p;
    tracked_ = rect_;
}

void KItemTracker::moveTo(const QPoint& p) {
    if (!tracking()) {
        return;
    }
    const QPoint d = p - start_;
    if (handle_ == kMove) {
        tracked_ = rect_.translated(d);
        return;
    }
    // Edges as exclusive coordinates, moved by the pointer's travel.
    int left = rect_.left();
    int top = rect_.top();
    int right = rect_.left() + rect_.width();
    int bottom = rect_.top() + rect_.height();
    if (movesLeft(handle_)) {
        left += d.x();
    }
    if (movesRight(handle_)) {
        right += d.x();
    }
    if (movesTop(handle_)) {
        top += d.y();
    }
    if (movesBottom(handle_)) {
        bottom += d.y();
    }
    // An edge dragged over the opposite one flips the box; it never collapses.
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    right = std::max(right, left + 1);
    bottom = std::max(bottom, top + 1);
    tracked_ = QRect(left, top, right - left, bottom - top);
}

bool KItemTracker::finish(QRect& oldRect, QRect& newRect, int& handle) {
    if (!tracking()) {
        return false;
    }
    oldRect = rect_;
    newRect = tracked_;
    handle = handle_;
    handle_ = kNone;
    if (newRect == oldRect) {
        return false;
    }
    rect_ = newRect;
    return true;
}

void KItemTracker::cancel() {
    handle_ = kNone;
    tracked_ = rect_;
}

void KItemTracker::draw(QPainter& p) const {
    p.save();
    p.setPen(Qt::NoPen);
    // The hatched border around the box.
    QBrush hatch(Qt::black, Qt::BDiagPattern);
    const QRect outer = rect_.adjusted(-kBorder, -kBorder, kBorder, kBorder);
    p.setBrush(hatch);
    p.drawRect(QRect(outer.left(), outer.top(), outer.width(), kBorder));
    p.drawRect(QRect(outer.left(), rect_.bottom() + 1, outer.width(), kBorder));
    p.drawRect(QRect(outer.left(), rect_.top(), kBorder, rect_.height()));
    p.drawRect(QRect(rect_.right() + 1, rect_.top(), kBorder, rect_.height()));
    p.setBrush(Qt::black);
    for (int h = 0; h < 8; ++h) {
        p.drawRect(handleRect(h));
    }
    if (tracking()) {
        // The dragged rectangle, inverted so that it shows on any background.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 0, Qt::DotLine));
        p.drawRect(tracked_.adjusted(0, 0, -1, -1));
    }
    p.restore();
}

KVertex kTrackerRecord(const QRect& oldBox, const QRect& newBox, int handle,
                       const KUvMapLayout::MapRect& map) {
    const double mapWidth = map.right - map.left;
    const double mapHeight = map.bottom - map.top;
    if (handle == KItemTracker::kMove) {
        // Centres from the exclusive corners, in whole pixels.
        const int x0 = (oldBox.left() + oldBox.left() + oldBox.width()) / 2;
        const int y0 = (oldBox.top() + oldBox.top() + oldBox.height()) / 2;
        const int x1 = (newBox.left() + newBox.left() + newBox.width()) / 2;
        const int y1 = (newBox.top() + newBox.top() + newBox.height()) / 2;
        const QPointF c0 = KUvMapLayout::windowToUv(map, x0, y0);
        const QPointF c1 = KUvMapLayout::windowToUv(map, x1, y1);
        return {c0.x(), c0.y(), c1.x() - c0.x(), c1.y() - c0.y()};
    }
    const double du = mapWidth != 0 ? (newBox.width() - oldBox.width()) / mapWidth : 0.0;
    const double dv = mapHeight != 0 ? (oldBox.height() - newBox.height()) / mapHeight : 0.0;
    // A box without width or height cannot be scaled: its ratio stays 1.
    const double sx = oldBox.width() > 0 ? double(newBox.width()) / oldBox.width() : 1.0;
    const double sy = oldBox.height() > 0 ? double(newBox.height()) / oldBox.height() : 1.0;
    return {sx, sy, du, dv};
}
