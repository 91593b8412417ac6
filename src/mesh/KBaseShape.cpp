#include "mesh/KBaseShape.h"

#include <cmath>
#include <numbers>

#include "model/KBdlCurve.h"
#include "model/KShapeSuperQ.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
} // namespace

int32_t KBaseShape::normalizeId(int32_t shapeId) {
    if (shapeId >= 100 && shapeId <= 103) {
        return SuperQuadric;
    }
    if (shapeId == 50 || shapeId == 51) {
        return Group50;
    }
    if (shapeId >= 200 && shapeId <= 204) {
        return Group200;
    }
    if (shapeId >= 1000) {
        return Group1000;
    }
    return shapeId;
}

KBaseShape::KBaseShape(int32_t shapeId, double uScale, double heightScale, double vScale,
                       const KShapeSuperQ* superQuad, const KBdlCurve* curvature)
    : id_(normalizeId(shapeId)), uScale_(uScale), heightScale_(heightScale), vScale_(vScale),
      superQuad_(superQuad), curvature_(curvature) {}

KVertex KBaseShape::shapePosition(const KVertex& op) const {
    const double u = op.x;
    const double d = op.y;
    const double v = op.z;
    switch (id_) {
    case Planar:
        return {uScale_ * u, vScale_ * v, -heightScale_ * d};
    case Conic: {
        const double a = kTwoPi * u;
        return {d * heightScale_ * std::cos(a) * uScale_, vScale_ * v,
                d * heightScale_ * std::sin(a) * uScale_};
    }
    case Spheric: {
        const double a = kTwoPi * u;
        const double phi = (v - 0.5) * kPi;
        const double k = heightScale_ * d;
        return {k * std::cos(a) * std::cos(phi) * uScale_, k * std::sin(phi) * vScale_,
                k * std::sin(a) * std::cos(phi) * uScale_};
    }
    case Disc: {
        const double a = kTwoPi * u;
        return {std::cos(a) * v * vScale_, -std::sin(a) * v * vScale_, -heightScale_ * d};
    }
    case SuperQuadric:
        if (superQuad_) {
            return superQuad_->evaluate(op);
        }
        return {};
    default:
        // Shapes without a mapping of their own put every sample at the origin, so that
        // computing twice gives the same positions.
        return {};
    }
}

KVertex KBaseShape::map(const KVertex& objectPoint) const {
    KVertex p = shapePosition(objectPoint);
    if (curvature_ && curvature_->count() > 0) {
        KVertex k = curvature_->evaluate(objectPoint.z);
        k.y = 0.0; // the spine bends sideways, never along its own axis
        p.add(k);
    }
    return p;
}
