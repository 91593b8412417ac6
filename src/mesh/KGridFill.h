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

#include <cstdint>
#include <span>
#include <vector>

#include "mesh/KSurfaceHeight.h"
#include "model/KBdlMuscle.h"
#include "model/KVertex.h"

class KGridFill {
public:
    // Prepares the curves and all row and column invariants. The body part and layers
    // must stay unchanged while the fill object is used.
    KGridFill(KBdlBodyPart& bodyPart, const KSurfaceHeight::LayerList& layers,
              const KClipRange& clip, int32_t uCount, int32_t vCount);

    // Writes the object points of every row (u fastest).
    void fill(std::span<KVertex> objectPoints) const;

private:
    // An inclusive range of rows or columns; empty when first > last.
    struct Span {
        int32_t first = 0;
        int32_t last = -1;
    };
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

    void prepareMuscle(Muscle& m) const;
    void prepareBand(Muscle& m) const;
    void preparePoint(Muscle& m) const;
    static Span indicesFor(double a, double b, double start, double step, int32_t count);
    // Columns whose u lies in [a, b], widened by one on each side.
    Span columnsFor(double a, double b) const;
    Span rowsFor(double a, double b) const;
    void fillRow(int32_t j, std::span<KVertex> row, std::vector<float>& highest,
                 std::vector<float>& deepest) const;
    void addLinear(const Muscle& m, int32_t j, std::vector<float>& highest,
                   std::vector<float>& deepest) const;
    void addByColumn(const Muscle& m, int32_t j, std::vector<float>& highest,
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
};
