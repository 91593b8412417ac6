#pragma once
// The editing logic of the item editor's position view: one muscle's center curve and
// its two width edges laid out together in the editing rectangle, the rule that picks
// the nearest point of any of them (switching the active curve), the moves that keep the
// pointer and the point together (the Lo edge moves mirrored across the muscle, a point
// muscle's width ring moves around its centre), and the zoom of the across direction.

#include <array>
#include <vector>

#include "edit/KCurveEditModel.h"

class KBdlMuscle;

// The zoom of the position view's across direction.
struct KMdlZoom {
    double rangeMin = 0.0;
    double rangeMax = 1.0;
    double offset = 0.0;
    double scale = 1.0;
    bool isDefault() const {
        return rangeMin == 0.0 && rangeMax == 1.0 && offset == 0.0 && scale == 1.0;
    }
};

class KMdlPosModel : public KCurveEditModel {
public:
    enum Which : int { None = -1, Center = 0, Lo = 1, Hi = 2 };

    // Starts without a muscle and without a curve.
    KMdlPosModel();

    // Loads the muscle's center, Lo and Hi curves (the Lo curve again when the width is
    // symmetrical); the center curve becomes active; the history is cleared. Null empties.
    void setItem(KBdlMuscle* muscle);
    KBdlMuscle* muscle() const { return muscle_; }
    int activeCurve() const { return active_; }
    // Makes curve k active. The history is always cleared on a change (it holds the other
    // curve's strings); clearOldSelection also drops the old curve's selection.
    void activate(int k, bool clearOldSelection);
    // True when the Hi edge is shown and can be picked (non-symmetrical band muscles).
    bool showsHi() const;
    // The curve a slot edits (null without a muscle).
    KBdlCurve* slotCurve(int k) const;
    // The laid-out control points of curve k and their selection.
    const std::vector<KVertex>& slotSnapshot(int k) const;
    bool slotSelected(int k, int i) const;

    bool zoomOn() const { return zoomOn_; }
    void setZoomOn(bool on);
    const KMdlZoom& zoom() const { return zoom_; }
    // Takes the values and switches the zoom on.
    void setZoom(const KMdlZoom& zoom);
    // Back to 0, 1, 0, 1 with the zoom off.
    void resetZoom();

    // Window position of curve k at parameter s (for drawing the curves).
    KVertex positionAt(int k, double s);

    void rebuildSnapshot() override;
    int findControlPoint(int x, int y) override;
    bool moveSelection(const Change& change) override;

private:
    struct Slot {
        KBdlCurve* curve = nullptr;
        std::vector<KVertex> snapshot;
        std::vector<char> selected;
    };
    void stash();
    void load(int k);
    int nearestIn(const std::vector<KVertex>& points, int x, int y, double& best) const;
    bool moveBand(const Change& change);
    bool movePoint(const Change& change);
    // Across-value zoom of a position and of a width.
    double zoomed(double v) const;
    double zoomedWidth(double w) const;
    double span() const;
    double zoomScale() const;
    double stretchU() const;
    double stretchV() const;

    KBdlMuscle* muscle_ = nullptr;
    std::array<Slot, 3> slots_;
    int active_ = None;
    bool zoomOn_ = false;
    KMdlZoom zoom_;
};
