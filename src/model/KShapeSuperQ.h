#pragma once
// The superquadric base shapes: an elliptic (sphere-like), toric or conic surface whose
// roundness is set by two exponents. The displacement of an object point pushes the
// surface point outwards along the shape's own direction. It carries its own scaling in
// its bounds and radii and ignores the grid's scale factors.

#include <cstdint>

#include "model/KVertex.h"
#include "platform/KObject.h"

class KShapeSuperQ : public KObject {
    K_DECLARE_SERIAL(KShapeSuperQ)
public:
    enum Type : int32_t { Elliptic = 0, Toric = 1, Conic = 2 };

    // The position of the object point (u, displacement, v). Pure: samples may be
    // evaluated in any order.
    KVertex evaluate(const KVertex& objectPoint) const;

    // Storing writes the eight values; loading reads them unless the stored schema is
    // 1 to 9, and switches clearBaseScaling off.
    void serialize(KArchive& ar) override;

    int32_t type = Elliptic;
    float exponent1 = 2.0f;
    float exponent2 = 2.0f;
    float boundX = 0.5f;
    float boundY = 0.5f;
    float boundZ = 0.5f;
    float rad1 = 1.0f;
    float rad2 = 0.5f;
    // When on, accepting the superquadric's properties zeroes the body part's uFactor and
    // vFactor, whose base-shape scaling does not suit a superquadric. Not stored.
    int32_t clearBaseScaling = 1;

    // sign(c)·|c|^e with sign(0) = −1.
    static double signedPower(double c, double e);

private:
    KVertex elliptic(double u, double d, double v) const;
    KVertex toric(double u, double d, double v) const;
    KVertex conic(double u, double d, double v) const;
};
