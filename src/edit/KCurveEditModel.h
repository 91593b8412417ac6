#pragma once
// The editing logic of the curve editor, apart from painting and events: which control
// points are selected, where they sit in the window, dragging with clamping, the key
// operations (selection shifts, insert, delete, equalize, nudge, spread), reversing,
// the basis, the manual-edit values and the edit history of control-point strings.
//
// Every change of the points goes through the curve's text form (setPoints writes the
// string and parses it back), so the curve and its string always agree. The selection
// lives beside the window positions, not in the points, so a control point's own w never
// reads as a selection.

#include <memory>
#include <string>
#include <vector>

#include "model/KBdlCurve.h"
#include "model/KVertex.h"

class KCurveEditModel {
public:
    enum Direction : int { Horizontal = 0, Vertical = 1 };
    enum EqualizeMode : int { Highest = 0, Lowest = 1, Average = 2 };

    // The editing rectangle in window pixels.
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 100;
        int bottom = 100;
        int width() const { return right - left; }
        int height() const { return bottom - top; }
    };
    // A drag: the offset as fractions of the rectangle and in pixels (y grows downward).
    struct Change {
        double fx = 0.0;
        double fy = 0.0;
        int dx = 0;
        int dy = 0;
    };
    // What "Manual Edit" shows and takes back.
    struct CurveValues {
        int basis = KBdlCurve::Spline;
        int repeatCount = 0;
        int resolution = 50;
        std::string controlString;
        int indexType = KBdlCurve::AxisX;
        int auxiliary = 0;
    };

    static constexpr const char* kOwnCurve =
        "< 0, 0 >, <0.25, 0.75>, <0.50, 0>, <0.75, 0.75>, <1, 0>";
    static constexpr int kOwnResolution = 100;
    static constexpr int kPickRadius = 10;

    // Starts with a curve of its own (kOwnCurve, resolution 100).
    KCurveEditModel();
    virtual ~KCurveEditModel();
    KCurveEditModel(const KCurveEditModel&) = delete;
    KCurveEditModel& operator=(const KCurveEditModel&) = delete;

    // Attaches curve (not owned; null for none), dropping the own curve, the selection
    // and the history.
    void setCurve(KBdlCurve* curve);
    KBdlCurve* curve() const { return curve_; }
    bool ownsCurve() const { return own_ != nullptr; }

    void setRect(const Rect& r) { rect_ = r; }
    const Rect& rect() const { return rect_; }
    int drawDirection() const { return direction_; }
    void setDrawDirection(int direction);
    int dragThreshold() const { return threshold_; }
    void setDragThreshold(int pixels);

    // ---- window positions and selection
    // The control points in window pixels (x, y; z and w as in the curve).
    const std::vector<KVertex>& snapshot() const { return snapshot_; }
    bool isSelected(int i) const;
    int selectedCount() const { return selectedCount_; }
    std::vector<int> selectedIndices() const;
    // Where the curve point (x, y) lies in the window for the current direction.
    KVertex toWindow(double x, double y) const;
    // Copies the curve's points into window positions, keeping the selection by index.
    virtual void rebuildSnapshot();
    // The first point within kPickRadius of (x, y) (right and bottom edges excluded), or -1.
    virtual int findControlPoint(int x, int y);
    void toggle(int i);
    void clearSelection();
    void setSelection(const std::vector<int>& indices);

    // ---- mouse
    // True when an offset is small enough to count as a click.
    bool isClick(int dx, int dy) const;
    // A click at (x, y): clears the selection unless extend, then toggles the point there.
    void click(int x, int y, bool extend);
    // Moves the selected points by the drag; true when something moved.
    virtual bool moveSelection(const Change& change);

    // ---- keys
    void shiftSelectionForward();  // Page Up: point i takes the flag of point i - 1
    void shiftSelectionBackward(); // Page Down: point i takes the flag of point i + 1
    void home(bool shift, bool ctrl);
    // Every selected point becomes unselected and every other one selected (Ctrl+Home/End).
    void invertSelection();
    void end(bool shift, bool ctrl);
    bool insertPoints(bool keepSelected);
    bool deleteSelected();
    // Sets every selected point's y to the highest, lowest or average y of the selection.
    bool equalize(int mode);
    bool nudge(double step);
    bool spread(double step);
    // Reverses the curve along x; the first point ends up selected. Not recorded.
    void reverse();
    void setBasis(int basis);

    // ---- manual edit
    CurveValues curveValues() const;
    // Takes the values back (the string first when it differs and parses); records the
    // state before in the history. Returns the parse status of a changed string (0 when
    // unchanged); a string that fails to parse changes nothing.
    int applyCurveValues(const CurveValues& values);

    // ---- edit history
    void pushHistory();
    virtual void clearHistory();
    bool undo();
    bool redo();
    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ + 1 < int(history_.size()); }
    int historyPosition() const { return position_; }
    int historySize() const { return int(history_.size()); }

protected:
    // Replaces the curve's points (through its text form) and rebuilds the snapshot.
    void writePoints(std::vector<KVertex> points);
    // The curve's points as a plain list of count elements.
    std::vector<KVertex> curvePoints() const;
    // Pins the first and last point's x at 0 and 1 and clamps x and y to [0, 1].
    static void pinAndClamp(std::vector<KVertex>& points, int i);
    void recount();
    void restoreFrom(const std::string& text);

    KBdlCurve* curve_ = nullptr;
    std::unique_ptr<KBdlCurve> own_;
    Rect rect_;
    int direction_ = Horizontal;
    int threshold_ = 1;
    std::vector<KVertex> snapshot_;
    std::vector<char> selected_;
    int selectedCount_ = 0;
    std::vector<std::string> history_;
    int position_ = 0;
};
