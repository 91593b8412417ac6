#pragma once
// The rectangle tracker that carries the selected item of the UV map view: the item's
// box with a hatched border and eight square handles outside it. Dragging the box moves
// it, dragging a handle moves the edges it touches; Escape cancels. Only a changed
// rectangle is handed on, as the change record the muscle applies.

#include <QPoint>
#include <QRect>
#include <Qt>

#include "model/KVertex.h"
#include "views/KUvMapLayout.h"

class QPainter;

class KItemTracker {
public:
    // Handles as the muscle numbers them: corners 0..3 (top-left clockwise), edges 4..7
    // (top, right, bottom, left), 8 the box itself. -1: nothing of the tracker.
    static constexpr int kNone = -1;
    static constexpr int kMove = 8;
    static constexpr int kHandleSize = 7;
    static constexpr int kBorder = 4; // width of the hatched border

    // The rectangle used while nothing is selected: left -15, top -15, right -10,
    // bottom -10 (right and bottom exclusive).
    static QRect hiddenRect() { return QRect(-15, -15, 5, 5); }

    void setRect(const QRect& rect) { rect_ = rect; }
    QRect rect() const { return rect_; }

    // The handle square of handle 0..7, placed outside the box.
    QRect handleRect(int handle) const;
    // Which part of the tracker p lies on: a handle, the box (or its border) as kMove,
    // or kNone.
    int hitTest(const QPoint& p) const;
    static Qt::CursorShape cursorFor(int handle);

    // The drag: begins on a handle, follows the pointer, and ends with the new
    // rectangle (true when it differs from the old one) or is cancelled.
    void begin(int handle, const QPoint& p);
    bool tracking() const { return handle_ != kNone; }
    int trackedHandle() const { return handle_; }
    void moveTo(const QPoint& p);
    // The rectangle as dragged so far (normalised, at least one pixel each way).
    QRect trackedRect() const { return tracked_; }
    bool finish(QRect& oldRect, QRect& newRect, int& handle);
    void cancel();

    // Border, handles, and while dragging the dragged rectangle.
    void draw(QPainter& p) const;

private:
    QRect rect_ = hiddenRect();
    int handle_ = kNone;
    QPoint start_;
    QRect tracked_;
};

// The change record of a tracker drag for the muscle (KBdlMuscle::applyTrackerChange).
// Move: (u0, v0, du, dv) from the two box centres. Resize: (sx, sy, du, dv), the size
// ratios and the size differences in UV units (dv is negative when the box grows).
KVertex kTrackerRecord(const QRect& oldBox, const QRect& newBox, int handle,
                       const KUvMapLayout::MapRect& map);
