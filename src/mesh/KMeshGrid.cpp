#include "mesh/KMeshGrid.h"

#include <cmath>
#include <limits>
#include <new>
#include <optional>

#include "mesh/KAnatomyBend.h"
#include "mesh/KBaseShape.h"
#include "model/KBdlBodyPart.h"
#include "platform/KParallel.h"
#include "platform/KUi.h"

namespace {

const char* kGridMemoryError = "Memory Error creating mesh grid! Try using smaller mesh sizes!";
const char* kPositionsMemoryError =
    "Memory Error creating grid Positions! Try using smaller mesh sizes!";
const char* kNormalsMemoryError =
    "Memory Error creating grid Normals! Try using smaller mesh sizes!";
const char* kNoObjectPoints = "object <x,y,z> not created!";

} // namespace

// ---------------------------------------------------------------- arrays

bool KMeshGrid::allocate(std::vector<KVertex>& a, int64_t samples) {
    if (samples < 1 || samples > kMaxSamples) {
        return false;
    }
    try {
        a.assign(size_t(samples), KVertex{});
    } catch (const std::bad_alloc&) {
        a = {};
        return false;
    }
    return true;
}

void KMeshGrid::freeArrays() {
    objectPoints_ = {};
    positions_ = {};
    normals_ = {};
    texCoords_ = {};
}

// An allocation failed: the grid is left empty, so no count promises an array.
int KMeshGrid::fail() {
    clear();
    kUi().message(kGridMemoryError, KUi::Icon::Error);
    return 1;
}

void KMeshGrid::clear() {
    freeArrays();
    uCount_ = 0;
    vCount_ = 0;
    rowMin_ = {};
    rowMax_ = {};
    mapped_ = false;
    forgetPartialWork();
}

void KMeshGrid::forgetPartialWork() {
    positionsPartial_ = false;
    stalePositions_ = {};
    normalsPartial_ = false;
    staleNormals_ = {};
}

int KMeshGrid::create(int32_t u, int32_t v) {
    return create(u, v, ObjectPointsArray);
}

int KMeshGrid::create(int32_t u, int32_t v, uint32_t mask) {
    clear();
    gridFlags = AllPending;
    if (u < 1 || v < 1) {
        return 1; // a grid needs at least one sample; nothing to allocate
    }
    const int64_t n = int64_t(u) * int64_t(v);
    if (!allocate(objectPoints_, n) || ((mask & PositionsArray) && !allocate(positions_, n)) ||
        ((mask & NormalsArray) && !allocate(normals_, n)) ||
        ((mask & TexCoordsArray) && !allocate(texCoords_, n))) {
        return fail();
    }
    uCount_ = u;
    vCount_ = v;
    return 0;
}

int KMeshGrid::plan(int32_t u, int32_t v) {
    clear();
    gridFlags = AllPending;
    if (u < 1 || v < 1) {
        return 1;
    }
    if (int64_t(u) * int64_t(v) > kMaxSamples) {
        return fail();
    }
    uCount_ = u;
    vCount_ = v;
    return 0;
}

int KMeshGrid::allocateObjectPoints() {
    if (hasObjectPoints()) {
        return 0;
    }
    if (sampleCount() == 0) {
        return 1;
    }
    return allocate(objectPoints_, int64_t(sampleCount())) ? 0 : fail();
}

int KMeshGrid::resize(int32_t u, int32_t v) {
    if (u < 1 || v < 1) {
        clear();
        gridFlags = AllPending;
        return 1;
    }
    const int64_t n = int64_t(u) * int64_t(v);
    if (n > int64_t(sampleCount())) {
        return create(u, v, AllArrays);
    }
    // The arrays hold at least n samples already; only missing ones are allocated.
    for (std::vector<KVertex>* a : {&objectPoints_, &positions_, &normals_, &texCoords_}) {
        if (a->empty() && !allocate(*a, n)) {
            return fail();
        }
    }
    uCount_ = u;
    vCount_ = v;
    gridFlags = AllPending;
    mapped_ = false;
    forgetPartialWork();
    return 0;
}

int KMeshGrid::halfTest(int32_t i) const {
    if (meshOption != 1 || i < 0 || i >= uCount_ || !hasObjectPoints()) {
        return 0;
    }
    if (objectPoints_[size_t(i)].x >= 0.5) {
        return 1;
    }
    // A grid of one row has no second row to look at.
    return vCount_ > 1 && objectPoints_[size_t(uCount_) + size_t(i)].x >= 0.5 ? 1 : 0;
}

// ---------------------------------------------------------------- positions

void KMeshGrid::objectPointsChanged(const KRowSpans& samples) {
    if (gridFlags & RecomputePositions) {
        if (positionsPartial_) {
            stalePositions_.unite(samples);
        }
        return; // every position is pending already
    }
    if (!mapped_ || !hasPositions() || samples.rowCount() != vCount_) {
        gridFlags |= RecomputePositions;
        return;
    }
    positionsPartial_ = true;
    stalePositions_ = samples;
    gridFlags |= RecomputePositions;
}

bool KMeshGrid::sameMapping(int32_t shapeId, const KBdlBodyPart& bodyPart) const {
    return mapped_ && mapping_.shapeId == shapeId && mapping_.uScale == uScale &&
           mapping_.heightScale == heightScale && mapping_.vScale == vScale &&
           mapping_.bodyPart == &bodyPart;
}

int KMeshGrid::compute(int32_t shapeId, double uScaleIn, double heightScaleIn, double vScaleIn,
                       KBdlBodyPart& bodyPart) {
    uScale = uScaleIn;
    heightScale = heightScaleIn;
    vScale = vScaleIn;
    if (!hasObjectPoints()) {
        return 1;
    }
    const bool partial = positionsPartial_ && (gridFlags & RecomputePositions) && hasPositions() &&
                         sameMapping(shapeId, bodyPart);
    if (!hasPositions() && !allocate(positions_, int64_t(sampleCount()))) {
        kUi().message(kPositionsMemoryError, KUi::Icon::Error);
        return 1;
    }
    if (partial) {
        mapSamples(stalePositions_, shapeId, bodyPart);
        const KRowSpans around = stalePositions_.grown(uCount_);
        if (!(gridFlags & RecomputeNormals)) {
            normalsPartial_ = true;
            staleNormals_ = around;
        } else if (normalsPartial_) {
            staleNormals_.unite(around);
        }
        positionsPartial_ = false;
        stalePositions_ = {};
        clearFlags(RecomputePositions);
        gridFlags |= RecomputeNormals;
        updateBounds();
        return 0;
    }
    KRowSpans all(vCount_);
    for (int32_t j = 0; j < vCount_; ++j) {
        all.add(j, 0, uCount_ - 1);
    }
    rowMin_.assign(size_t(vCount_), KVertex{});
    rowMax_.assign(size_t(vCount_), KVertex{});
    mapSamples(all, shapeId, bodyPart);
    forgetPartialWork();
    clearFlags(RecomputePositions);
    gridFlags |= RecomputeNormals;
    mapped_ = true;
    mapping_ = {shapeId, uScale, heightScale, vScale, &bodyPart};
    updateBounds();
    return 0;
}

// Maps the samples through the shape, bends them when the bends are on, and rebuilds the
// bounds of their rows.
void KMeshGrid::mapSamples(const KRowSpans& samples, int32_t shapeId, KBdlBodyPart& bodyPart) {
    bodyPart.boneCurvature.prepare();
    const KBdlCurve* curvature = bodyPart.curvatureOn ? &bodyPart.boneCurvature : nullptr;
    // The shapes stretch v over the whole length of the anatomy.
    const KBaseShape shape(shapeId, uScale, heightScale, vScale * bodyPart.totalLength(),
                           &bodyPart.superQuad, curvature);
    // A bend that cannot be built is reported and leaves the positions unbent; they
    // are still a valid mesh.
    std::optional<KAnatomyBend> bend;
    if (bodyPart.bendsOn) {
        bend.emplace(bodyPart);
        if (bend->status() == KAnatomyBend::JointEntryMissing) {
            kUi().message(KAnatomyBend::kJointEntryMessage, KUi::Icon::Warning);
        }
        if (bend->status() != KAnatomyBend::Ready) {
            bend.reset();
        }
    }
    std::vector<int32_t> rows;
    for (int32_t j = 0; j < samples.rowCount(); ++j) {
        if (!samples.row(j).isEmpty()) {
            rows.push_back(j);
        }
    }
    const std::span<const KVertex> in = objectPoints();
    const std::span<KVertex> out = positions();
    kParallelFor(int(rows.size()), [&](int first, int last) {
        for (int r = first; r < last; ++r) {
            const int32_t j = rows[size_t(r)];
            const KRowSpans::Span& cols = samples.row(j);
            for (size_t s = index(cols.first, j); s <= index(cols.last, j); ++s) {
                out[s] = shape.map(in[s]);
                if (bend) {
                    out[s] = bend->apply(out[s], in[s].z, vScale);
                }
            }
            updateRowBounds(j);
        }
    });
}

void KMeshGrid::forEachRowBlock(const std::function<void(size_t, size_t)>& fn) const {
    const size_t rowLength = size_t(uCount_);
    kParallelFor(vCount_, [&](int first, int last) {
        fn(size_t(first) * rowLength, size_t(last) * rowLength);
    });
}

// The bounds start at the first position and take the component-wise minimum and
// maximum over all positions in order; a component that is NaN never wins a comparison.
// Folding each row from an infinite start with its NaNs left out, and then the rows in
// order from the first position, gives the same bits (the first of equal values, such
// as 0 and -0, is kept either way).
void KMeshGrid::updateRowBounds(int32_t j) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    KVertex lo{inf, inf, inf, 0.0};
    KVertex hi{-inf, -inf, -inf, 0.0};
    const std::span<const KVertex> p = positions();
    for (size_t s = index(0, j); s < index(0, j) + size_t(uCount_); ++s) {
        lo.minWith(p[s]);
        hi.maxWith(p[s]);
    }
    rowMin_[size_t(j)] = lo;
    rowMax_[size_t(j)] = hi;
}

void KMeshGrid::updateBounds() {
    const std::span<const KVertex> p = positions();
    if (p.empty()) {
        boundsMin = boundsMax = KVertex{};
        return;
    }
    boundsMin = boundsMax = p[0];
    for (int32_t j = 0; j < vCount_; ++j) {
        boundsMin.minWith(rowMin_[size_t(j)]);
        boundsMax.maxWith(rowMax_[size_t(j)]);
    }
}

int KMeshGrid::applyBends(const KBdlBodyPart& bodyPart) {
    const KAnatomyBend bend(bodyPart);
    if (bend.status() == KAnatomyBend::JointEntryMissing) {
        kUi().message(KAnatomyBend::kJointEntryMessage, KUi::Icon::Warning);
        return 1;
    }
    if (bend.status() != KAnatomyBend::Ready || !hasPositions()) {
        return 0;
    }
    const std::span<const KVertex> op = objectPoints();
    const std::span<KVertex> pos = positions();
    forEachRowBlock([&](size_t first, size_t last) {
        for (size_t s = first; s < last; ++s) {
            pos[s] = bend.apply(pos[s], op[s].z, vScale);
        }
    });
    // The positions no longer match what they were mapped with: the next computation
    // maps every sample, and every normal is pending.
    mapped_ = false;
    forgetPartialWork();
    gridFlags |= RecomputeNormals;
    return 0;
}

// ---------------------------------------------------------------- normals

int KMeshGrid::computeNormals() {
    // Normals come from the positions, which are computed from the object points.
    if (!hasObjectPoints() || !hasPositions()) {
        kUi().message(kNoObjectPoints, KUi::Icon::Error);
        return 1;
    }
    if (!hasNormals()) {
        if (!allocate(normals_, int64_t(sampleCount()))) {
            kUi().message(kNormalsMemoryError, KUi::Icon::Error);
            return 1;
        }
        gridFlags |= RecomputeNormals;
        normalsPartial_ = false;
    }
    if (gridFlags & RecomputeNormals) {
        if (normalsPartial_ && staleNormals_.rowCount() == vCount_) {
            std::vector<int32_t> rows;
            for (int32_t j = 0; j < vCount_; ++j) {
                if (!staleNormals_.row(j).isEmpty()) {
                    rows.push_back(j);
                }
            }
            kParallelFor(int(rows.size()), [&](int first, int last) {
                for (int r = first; r < last; ++r) {
                    const int32_t j = rows[size_t(r)];
                    computeNormalRow(j, staleNormals_.row(j).first, staleNormals_.row(j).last);
                }
            });
        } else {
            kParallelFor(vCount_, [&](int first, int last) {
                for (int32_t j = first; j < last; ++j) {
                    computeNormalRow(j, 0, uCount_ - 1);
                }
            });
        }
        normalsPartial_ = false;
        staleNormals_ = {};
        clearFlags(RecomputeNormals);
    }
    return 0;
}

// The cells are split along the diagonal from (i, j) to (i+1, j+1), so six triangles
// meet at a sample. Their unnormalised cross products are summed: larger triangles
// weigh more.
void KMeshGrid::computeNormalRow(int32_t j, int32_t first, int32_t last) {
    const std::span<const KVertex> p = positions();
    const std::span<KVertex> out = normals();
    const bool hasNorth = j < vCount_ - 1;
    const bool hasSouth = j >= 1;
    for (int32_t i = first; i <= last; ++i) {
        const bool hasWest = i >= 1;
        const bool hasEast = i < uCount_ - 1;
        const KVertex& c = p[index(i, j)];
        auto edge = [&](int32_t ii, int32_t jj) { return p[index(ii, jj)] - c; };
        KVertex n;
        if (hasWest && hasNorth) {
            n.add(edge(i - 1, j).cross(edge(i, j + 1)));
        }
        if (hasEast && hasNorth) {
            const KVertex north = edge(i, j + 1);
            const KVertex northEast = edge(i + 1, j + 1);
            n.add(north.cross(northEast));
            n.add(northEast.cross(edge(i + 1, j)));
        }
        if (hasEast && hasSouth) {
            n.add(edge(i + 1, j).cross(edge(i, j - 1)));
        }
        if (hasWest && hasSouth) {
            const KVertex south = edge(i, j - 1);
            const KVertex southWest = edge(i - 1, j - 1);
            n.add(south.cross(southWest));
            n.add(southWest.cross(edge(i - 1, j)));
        }
        n.normalize();
        out[index(i, j)] = n;
    }
}
