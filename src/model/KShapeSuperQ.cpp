#include "model/KShapeSuperQ.h"

#include <cmath>
#include <numbers>

K_IMPLEMENT_SERIAL(KShapeSuperQ, KObject, 10, true)

namespace {
constexpr double kPi = std::numbers::pi;
} // namespace

double KShapeSuperQ::signedPower(double c, double e) {
    if (c > 0.0) {
        return std::pow(c, e);
    }
    // Exactly 0 stays 0 whatever the exponent: a zero or negative exponent would turn
    // 0^e into 1 or infinity and throw the point far off the shape.
    if (c == 0.0) {
        return -0.0;
    }
    return -std::pow(-c, e);
}

KVertex KShapeSuperQ::evaluate(const KVertex& objectPoint) const {
    const double u = objectPoint.x;
    const double d = objectPoint.y;
    const double v = objectPoint.z;
    switch (type) {
    case Toric:
        return toric(u, d, v);
    case Conic:
        return conic(u, d, v);
    default:
        return elliptic(u, d, v);
    }
}

// Positions start with w = 0, so the terms that scale w (w·rad1, w + d·w) stay 0.
KVertex KShapeSuperQ::elliptic(double u, double d, double v) const {
    const double e1 = 2.0 / double(exponent1);
    const double e2 = 2.0 / double(exponent2);
    const double eta = (v - 0.5) * kPi;
    const double omega = 2.0 * kPi * u;
    const double cosEta = signedPower(std::cos(eta), e1);
    KVertex p{double(rad1) * double(boundX) * cosEta * signedPower(std::cos(omega), e2),
              double(rad1) * double(boundY) * signedPower(std::sin(eta), e1),
              double(rad1) * double(boundZ) * cosEta * signedPower(std::sin(omega), e2), 0.0};
    KVertex n = p;
    n.normalize();
    return {p.x + d * n.x, p.y + d * n.y, p.z + d * n.z, 0.0};
}

KVertex KShapeSuperQ::toric(double u, double d, double v) const {
    const double e1 = 2.0 / double(exponent1);
    const double e2 = 2.0 / double(exponent2);
    const double a = 2.0 * kPi * (u - 0.5);
    const double b = 2.0 * kPi * v;
    const double r = double(rad1) + double(rad2) * signedPower(std::cos(a), e1);
    KVertex n{std::cos(b) * std::cos(a) * double(rad2), std::sin(b) * std::cos(a) * double(rad2),
              double(rad2) * std::sin(a), 0.0};
    n.normalize();
    return {double(boundX) * r * signedPower(std::cos(b), e2) + d * n.x,
            double(boundY) * r * signedPower(std::sin(b), e2) + d * n.y,
            double(boundZ) * double(rad2) * signedPower(std::sin(a), e1) + d * n.z, 0.0};
}

KVertex KShapeSuperQ::conic(double u, double d, double v) const {
    const double e1 = 2.0 / double(exponent1);
    const double a = 2.0 * kPi * u;
    KVertex p{double(rad1) * double(boundX) * signedPower(std::cos(a), e1), double(boundY) * v,
              double(rad1) * double(boundZ) * signedPower(std::sin(a), e1), 0.0};
    KVertex n{p.x, 0.0, p.z, 0.0};
    n.normalize();
    return {p.x + d * n.x, p.y, p.z + d * n.z, 0.0};
}

void KShapeSuperQ::serialize(KArchive& ar) {
    KObject::serialize(ar);
    if (ar.isStoring()) {
        ar.writeInt32(type);
        for (float f : {exponent1, exponent2, boundX, boundY, boundZ, rad1, rad2}) {
            ar.writeFloat(f);
        }
        return;
    }
    // Records older than schema 10 held no superquadric; the defaults stay.
    const uint32_t schema = ar.objectSchema();
    if (schema >= 1 && schema <= 9) {
        return;
    }
    type = ar.readInt32();
    for (float* f : {&exponent1, &exponent2, &boundX, &boundY, &boundZ, &rad1, &rad2}) {
        *f = ar.readFloat();
    }
    clearBaseScaling = 0;
}
