#pragma once
// One U x V grid of surface samples: object points (u, height, v) filled by the
// distortion stage, positions mapped from them through a base shape, unit normals and
// texture coordinates. The document keeps one for the whole object and one per meshed
// muscle (an item mesh).
//
// Every quantity is one contiguous array indexed j·uCount + i (u fastest). An array is
// either absent (empty) or holds at least uCount·vCount elements: resizing to fewer
// samples keeps the larger arrays instead of reallocating them.
//
// Sampling is pure: positions and normals of a row depend only on the input arrays,
// never on what was computed before, so rows can be computed in any order.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "mesh/KRowSpans.h"
#include "model/KVertex.h"
#include "platform/KObject.h"

class KBdlBodyPart;

class KMeshGrid : public KObject {
public:
    // Bits of gridFlags: the work that is pending.
    enum Flags : uint32_t {
        RefillObjectPoints = 1, // object points must be refilled from the owning muscle
        RecomputePositions = 2,
        RecomputeNormals = 4,
        RefillCompanion = 8, // set and cleared together with RefillObjectPoints
        Kept = 16,           // stays set
        AllPending = 31
    };
    // Arrays that create(u, v, mask) allocates beside the object points.
    enum Arrays : uint32_t {
        ObjectPointsArray = 1,
        PositionsArray = 2,
        NormalsArray = 4,
        TexCoordsArray = 8,
        AllArrays = 15
    };
    // More samples than this are refused as an allocation failure (the largest grid a
    // user can ask for is 513 x 513).
    static constexpr int64_t kMaxSamples = int64_t(1) << 22;

    // Frees everything and allocates the object points for u x v samples. Returns 0, or
    // 1 after an allocation failure (reported) or a count below 1; a failed grid is empty.
    int create(int32_t u, int32_t v);
    // The same, also allocating the arrays named in mask (object points always).
    int create(int32_t u, int32_t v, uint32_t mask);
    // Changes the sample counts. A grid with more samples is created anew with all four
    // arrays; otherwise the arrays are kept (missing ones are allocated). Result as create.
    int resize(int32_t u, int32_t v);
    // Frees everything and sets the sample counts without allocating any array: the
    // object points come with allocateObjectPoints when the grid is first filled, the
    // other arrays when they are first computed. A document that is only opened, read
    // or described never pays for its samples. Returns 0, or 1 for a count below 1 or
    // more samples than kMaxSamples (reported); a failed grid is empty.
    int plan(int32_t u, int32_t v);
    // Allocates the object points of a planned grid. Returns 0 when they are there, or 1
    // when the grid has no samples or the allocation failed (reported; the grid is then
    // empty).
    int allocateObjectPoints();
    // Frees the four arrays; the grid has no samples.
    void clear();

    // Also forgets which samples were pending: every sample is.
    void setFlags(uint32_t f) {
        gridFlags = f;
        forgetPartialWork();
    }
    uint32_t getFlags() const { return gridFlags; }
    // Keeps only the low 16 bits and removes m.
    void clearFlags(uint32_t m) { gridFlags = (gridFlags & 0xFFFFu) & ~m; }

    // Maps every object point through the shape (KBaseShape ids) with the given factors;
    // vScale is stretched by the anatomy's total length while positions are computed and
    // the body part's curvature offset is added when it is on. Then applies the body
    // part's bends when they are on, and rebuilds the bounding box of the final
    // positions. Returns 0, or 1 when there are no object points or positions cannot be
    // allocated (reported).
    int compute(int32_t shapeId, double uScale, double heightScale, double vScale,
                KBdlBodyPart& bodyPart);
    // The object points of these samples changed and nothing else did (a muscle's
    // region was refilled). When the positions were up to date, the next compute with
    // the same shape, factors and body part maps only these samples, and the normals
    // after it are recomputed only around them; results are identical to a whole
    // computation. The caller guarantees that the body part has not changed since.
    void objectPointsChanged(const KRowSpans& samples);

    // Unit normals from the six triangles around every sample, when RecomputeNormals is
    // set. Returns 0, or 1 when object points or positions are missing or normals cannot
    // be allocated (reported).
    int computeNormals();
    // Bends the positions along the body part's chain of segments (its bendType). Also
    // run by compute when the bends are on. Returns 0, or 1 when a Type 2 bend could not
    // be built (reported; positions unchanged).
    int applyBends(const KBdlBodyPart& bodyPart);

    void getBounds(KVertex& min, KVertex& max) const {
        min = boundsMin;
        max = boundsMax;
    }
    // For mesh option 1: 1 when column i has u ≥ 0.5 in its first or second row.
    int halfTest(int32_t i) const;

    int32_t uCount() const { return uCount_; }
    int32_t vCount() const { return vCount_; }
    size_t sampleCount() const { return size_t(uCount_) * size_t(vCount_); }
    size_t index(int32_t i, int32_t j) const { return size_t(j) * size_t(uCount_) + size_t(i); }

    bool hasObjectPoints() const { return !objectPoints_.empty(); }
    bool hasPositions() const { return !positions_.empty(); }
    bool hasNormals() const { return !normals_.empty(); }
    bool hasTexCoords() const { return !texCoords_.empty(); }

    // The arrays, uCount·vCount elements each, or empty when absent.
    std::span<KVertex> objectPoints() { return view(objectPoints_); }
    std::span<const KVertex> objectPoints() const { return view(objectPoints_); }
    std::span<KVertex> positions() { return view(positions_); }
    std::span<const KVertex> positions() const { return view(positions_); }
    std::span<KVertex> normals() { return view(normals_); }
    std::span<const KVertex> normals() const { return view(normals_); }
    std::span<KVertex> texCoords() { return view(texCoords_); }
    std::span<const KVertex> texCoords() const { return view(texCoords_); }

    // The document's scale factors as last handed to compute.
    double uScale = 1.0;
    double heightScale = 1.0;
    double vScale = 1.0;
    uint32_t gridFlags = AllPending;
    KVertex boundsMin;
    KVertex boundsMax;
    // Where an item mesh's muscle sits in the document's layer list.
    int32_t layerIndex = 0;
    int32_t muscleIndex = 0;
    int32_t textureIndex = 0;
    // The document's mesh option index; 1 enables halfTest.
    int32_t meshOption = 0;

private:
    std::span<KVertex> view(std::vector<KVertex>& a) {
        return {a.data(), a.empty() ? 0 : sampleCount()};
    }
    std::span<const KVertex> view(const std::vector<KVertex>& a) const {
        return {a.data(), a.empty() ? 0 : sampleCount()};
    }
    bool allocate(std::vector<KVertex>& a, int64_t samples);
    void freeArrays();
    int fail();
    void forgetPartialWork();
    bool sameMapping(int32_t shapeId, const KBdlBodyPart& bodyPart) const;
    void mapSamples(const KRowSpans& samples, int32_t shapeId, KBdlBodyPart& bodyPart);
    // Bounds of the positions of row j (NaN components left out), then of the grid.
    void updateRowBounds(int32_t j);
    void updateBounds();
    void computeNormalRow(int32_t j, int32_t first, int32_t last);
    // Runs fn(first, last) over the samples of blocks of whole rows, in parallel; every
    // sample is computed the same way whichever thread computes it.
    void forEachRowBlock(const std::function<void(size_t, size_t)>& fn) const;

    int32_t uCount_ = 0;
    int32_t vCount_ = 0;
    std::vector<KVertex> objectPoints_;
    std::vector<KVertex> positions_;
    std::vector<KVertex> normals_;
    std::vector<KVertex> texCoords_;

    // Per row: the smallest and largest position components, so that a partial
    // computation rebuilds the bounds exactly without visiting every sample.
    std::vector<KVertex> rowMin_;
    std::vector<KVertex> rowMax_;
    // Work pending for some samples only: positions while RecomputePositions is set,
    // normals while RecomputeNormals is set. Without the flag, every sample is pending.
    bool positionsPartial_ = false;
    KRowSpans stalePositions_;
    bool normalsPartial_ = false;
    KRowSpans staleNormals_;
    // What the positions were last mapped with.
    struct Mapping {
        int32_t shapeId = 0;
        double uScale = 0.0;
        double heightScale = 0.0;
        double vScale = 0.0;
        const KBdlBodyPart* bodyPart = nullptr;
    };
    bool mapped_ = false;
    Mapping mapping_;
};
