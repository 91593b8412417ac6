#include "mesh/KSurfaceHeight.h"

#include <algorithm>

#include "mesh/KGridFill.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

KSurfaceHeight::KSurfaceHeight(KBdlBodyPart* bodyPart, const LayerList& layers)
    : bodyPart_(bodyPart), layers_(layers) {
    if (bodyPart) {
        bodyPart->prepareCurves();
    }
    for (const auto& layer : layers) {
        layer->prepare();
    }
}

double KSurfaceHeight::height(double u, double v, size_t limit) const {
    double h = bodyPart_ ? bodyPart_->boneSurface(u, v) : 0.0;
    const size_t n = std::min(limit, layers_.size());
    for (size_t k = 0; k < n; ++k) {
        h += layers_[k]->displacementPrepared(u, v);
    }
    return h;
}

void kFillObjectGrid(KMeshGrid& grid, KBdlBodyPart& bodyPart,
                     const KSurfaceHeight::LayerList& layers, const KClipRange& clip,
                     int meshOption) {
    grid.setFlags(KMeshGrid::AllPending);
    grid.meshOption = meshOption;
    const int32_t nu = grid.uCount();
    const int32_t nv = grid.vCount();
    bodyPart.uProfile.setResolution(nu - 1);
    bodyPart.vProfile.setResolution(nv - 1);
    // The same values as surface.height(u, v) at every sample, computed row by row.
    const KGridFill fill(bodyPart, layers, clip, nu, nv);
    fill.fill(grid.objectPoints());
}

void kFillItemMesh(KMeshGrid& grid, const KBdlMuscle& muscle, const KBdlLayer& layer,
                   size_t layerIndex, const KSurfaceHeight& surface, float shear) {
    const int32_t nu = grid.uCount();
    const int32_t nv = grid.vCount();
    const bool orbital = muscle.muscleType == KBdlMuscle::Orbital;
    auto points = grid.objectPoints();
    auto tex = grid.texCoords();
    for (int32_t j = 0; j < nv; ++j) {
        const double b = nv > 1 ? double(j) / (nv - 1) : 0.0;
        for (int32_t i = 0; i < nu; ++i) {
            const double a = nu > 1 ? double(i) / (nu - 1) : 0.0;
            KVertex p;
            muscle.itemPointPrepared(a, b, p);
            const size_t n = grid.index(i, j);
            if (!tex.empty()) {
                tex[n] = {orbital ? b : a, p.y * layer.scale, orbital ? a : b, 0.0};
            }
            points[n] = {p.x + shear * p.z,
                         surface.height(p.x, p.z, layerIndex) + p.y * layer.scale, p.z, 0.0};
        }
    }
    grid.clearFlags(KMeshGrid::RefillObjectPoints | KMeshGrid::RefillCompanion);
}
