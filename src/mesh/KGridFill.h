#pragma once
// Fills the object grid quickly, with results identical to asking every muscle of every
// layer at every sample (KSurfaceHeight::height):
// - the bone surface is the product of a per-column and a per-row factor;
// - a linear muscle's band section depends on the row only, an orbital muscle's on the
//   column only, a point muscle's centre on the column only: each is computed once;
// - each muscle is asked only where it can lift anything: the columns of a row (linear)
//   or the rows of a column (orbital, point) within its support, widened by a column or
//   row on each side; everywhere else it gives exactly 0, which changes nothing in the
//   highest-bump / deepest-dent combination of its layer;
// - rows are filled in parallel blocks; each row is computed the same way on any thread.
//
// A partial fill recomputes only some samples (a muscle's old and new reach after it
// changed): it prepares only the muscles that reach those samples, over their rows and
// columns, and computes each sample exactly as the whole fill does.

#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "mesh/KRowSpans.h"
#include "mesh/KSurfaceHeight.h"
#include "model/KBdlMuscle.h"
#include "model/KVertex.h"

class KGridFill {
public:
    // Prepares the curves and all row and column invariants. The body part and layers
    // must stay unchanged while the fill object is used.
    KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
              const KClipRange& clip, int32_t uCount, int32_t vCount);

    // Prepares the curves and the row and column positions only; the muscles are
    // prepared by restrictTo.
    struct PartialFill {};
    KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
              const KClipRange& clip, int32_t uCount, int32_t vCount, PartialFill);

    // Writes the object points of every row (u fastest).
    void fill(std::span<KVertex> objectPoints) const;

    // The samples where a muscle of the layer may give anything but 0 (every sample the
    // fill asks it at): nothing for a muscle that lifts nothing or an inactive layer.
    KRowSpans supportOf(const KBdlLayer& layer, const KBdlMuscle& muscle) const;
    // The support of every muscle of every layer, after a whole-grid preparation.
    std::vector<std::pair<const KBdlMuscle*, KRowSpans>> supports() const;

    // Prepares, over the rows and columns of region only, the muscles for which reaches
    // is true (the others must give 0 at every sample of region).
    void restrictTo(const KRowSpans& region, const std::function<bool(const KBdlMuscle&)>& reaches);
    // Recomputes the samples of the region given to restrictTo and writes those that
    // differ; returns the samples whose object points changed (bit for bit).
    KRowSpans fillRegion(std::span<KVertex> objectPoints) const;

private:
    using Span = KRowSpans::Span;
    struct Muscle {
        const KBdlMuscle* muscle;
        int32_t type;
        std::vector<KBdlMuscle::BandSection> sections; // per row (linear) or column (orbital)
        std::vector<KVertex> centers;                  // per column (point)
        std::vector<Span> rows;                        // per column: rows it can reach
        Span rowsReached;                              // over all columns
        Span columns;                                  // columns it can reach
    };
    struct Layer {
        const KBdlLayer* layer;
        std::vector<Muscle> muscles;
    };

    void prepareGeometry();
    // Prepares m over rows (linear) or columns (orbital, point) within the given spans.
    void prepareMuscle(Muscle& m, Span rows, Span columns) const;
    void prepareBand(Muscle& m, Span rows, Span columns) const;
    void preparePoint(Muscle& m, Span columns) const;
    void noteReach(Muscle& m, int32_t i, Span rows) const;
    // The columns a linear muscle is asked at in row j: up to four spans, one per turn
    // around the seam; all columns when its width there cannot bound it.
    int linearColumns(const Muscle& m, int32_t j, Span out[4]) const;
    KRowSpans supportOf(const Muscle& m) const;
    static Span indicesFor(double a, double b, double start, double step, int32_t count);
    // Columns whose u lies in [a, b], widened by one on each side.
    Span columnsFor(double a, double b) const;
    Span rowsFor(double a, double b) const;
    // Computes columns cols of row j into row (indexed by column).
    void fillRow(int32_t j, Span cols, std::span<KVertex> row, std::vector<float>& highest,
                 std::vector<float>& deepest) const;
    void addLinear(const Muscle& m, int32_t j, Span cols, std::vector<float>& highest,
                   std::vector<float>& deepest) const;
    void addByColumn(const Muscle& m, int32_t j, Span cols, std::vector<float>& highest,
                     std::vector<float>& deepest) const;

    const KBdlBodyPart& body_;
    KClipRange clip_;
    int32_t nu_;
    int32_t nv_;
    double du_;
    double dv_;
    double shear_;
    std::vector<double> u_;     // per column
    std::vector<double> v_;     // per row
    std::vector<double> boneU_; // per column
    std::vector<double> boneV_; // per row
    std::vector<Layer> layers_;
    KRowSpans region_; // the samples fillRegion computes
};
