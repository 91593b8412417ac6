#pragma once
// The mapping of one object point (u, displacement, v) to a model-space position through
// the selected base shape, plus the optional bone-curvature offset. A KBaseShape holds
// everything the mapping reads, so positions can be computed sample by sample in any
// order (and on any thread) with identical results.

#include <cstdint>

#include "model/KVertex.h"

class KBdlCurve;
class KShapeSuperQ;

class KBaseShape {
public:
    // Shape ids as the document stores them. 100 + superquadric type selects a
    // superquadric; 4 (Compound), 50, 200 and 1000 are known ids that compute nothing.
    enum Id : int32_t {
        Planar = 0,
        Conic = 1,
        Spheric = 2,
        Disc = 3,
        Compound = 4,
        Group50 = 50,
        SuperQuadric = 100,
        Group200 = 200,
        Group1000 = 1000
    };
    // 100-103 become 100, 50-51 become 50, 200-204 become 200, 1000 and above 1000.
    static int32_t normalizeId(int32_t shapeId);

    // uScale, heightScale and vScale are the factors of the planar, conic, spheric and
    // disc shapes (vScale already multiplied by the anatomy's total length). superQuad is
    // used by the superquadric ids; curvature, when given, must be prepared and have
    // points. Both must outlive the KBaseShape.
    KBaseShape(int32_t shapeId, double uScale, double heightScale, double vScale,
               const KShapeSuperQ* superQuad, const KBdlCurve* curvature);

    // The position of an object point. Shape ids that compute nothing give the origin;
    // the curvature offset is added in every case.
    KVertex map(const KVertex& objectPoint) const;

    int32_t id() const { return id_; }

private:
    KVertex shapePosition(const KVertex& objectPoint) const;

    int32_t id_;
    double uScale_;
    double heightScale_;
    double vScale_;
    const KShapeSuperQ* superQuad_;
    const KBdlCurve* curvature_;
};
