#pragma once
// The height of the object's surface: the anatomy's bone surface plus the layers in list
// order, and the fills that write it into the object grid and into the item meshes.
//
// The sampler prepares every curve before sampling, so a height is a pure function of
// (u, v): rows of a grid may be filled in any order with identical results.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class KBdlBodyPart;
class KBdlLayer;
class KBdlMuscle;
class KMeshGrid;

class KSurfaceHeight {
public:
    using LayerList = std::vector<std::unique_ptr<KBdlLayer>>;

    // Prepares the body part's curves and every muscle of every layer. bodyPart may be
    // null (no bone surface).
    KSurfaceHeight(KBdlBodyPart* bodyPart, const LayerList& layers);

    // H(u, v): bone surface plus the first min(layer count, limit) layers.
    double height(double u, double v, size_t limit) const;
    double height(double u, double v) const { return height(u, v, layers_.size()); }

private:
    const KBdlBodyPart* bodyPart_;
    const LayerList& layers_;
};

// The clip ranges of the object grid.
struct KClipRange {
    double uFrom = 0.0;
    double uTo = 1.0;
    double vFrom = 0.0;
    double vTo = 1.0;

    // Samples along one direction for a resolution (cells) and a range: from
    // trunc(r·from) to trunc(min(r, r·to + 1)); at least 1 and at most maxResolution + 1,
    // whatever a file holds.
    static int32_t sampleCount(int32_t resolution, double from, double to, int32_t maxResolution);
    // A range read from a file: one that is not a range (NaN, infinite, from above to)
    // becomes the whole square; ends outside the square are pulled onto it, so the
    // sample spacing is always finite.
    static void sanitize(double& from, double& to);
    void sanitize() {
        sanitize(uFrom, uTo);
        sanitize(vFrom, vTo);
    }
};

// Fills the object grid: gridFlags 31, the mesh option, profile resolutions matched to
// the grid, and object point (i, j) = (u + shear·v, H(u, v), v) over the clip ranges.
void kFillObjectGrid(KMeshGrid& grid, KBdlBodyPart& bodyPart,
                     const KSurfaceHeight::LayerList& layers, const KClipRange& clip,
                     int meshOption);

// Fills the item mesh of a muscle of layer layerIndex: the muscle's own patch lifted onto
// the layers below it, with texture coordinates. Clears bits 1 and 8 of its flags.
void kFillItemMesh(KMeshGrid& grid, const KBdlMuscle& muscle, const KBdlLayer& layer,
                   size_t layerIndex, const KSurfaceHeight& surface, float shear);
