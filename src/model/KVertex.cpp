#include "model/KVertex.h"

#include <algorithm>
#include <numbers>
#include <ostream>

// Registered under the name "KVertex": schema 1, not versionable.
const KRuntimeClass KVertexObject::classRecord{
    "KVertex", 1, false, &KObject::classRecord,
    []() -> std::unique_ptr<KPersistent> { return std::make_unique<KVertexObject>(); }};

double KVertex::degToRad(double degrees) {
    // 2π multiplied by 1/360, kept in this form so results match to the last bit.
    return degrees * (2.0 * std::numbers::pi * (1.0 / 360.0));
}

void KVertex::rotateX(double degrees) {
    const double a = degToRad(degrees);
    const double c = std::cos(a), s = std::sin(a);
    const double ny = y * c - z * s;
    const double nz = z * c + y * s;
    y = ny;
    z = nz;
}

void KVertex::rotateY(double degrees) {
    const double a = degToRad(degrees);
    const double c = std::cos(a), s = std::sin(a);
    const double nx = x * c - z * s;
    const double nz = z * c + x * s;
    x = nx;
    z = nz;
}

void KVertex::rotateZ(double degrees) {
    const double a = degToRad(degrees);
    const double c = std::cos(a), s = std::sin(a);
    const double nx = x * c + y * s;
    const double ny = y * c - x * s;
    x = nx;
    y = ny;
}

KVertex KVertex::divide(const KVertex& v) const {
    return {v.x == 0.0 ? x : x / v.x, v.y == 0.0 ? y : y / v.y, v.z == 0.0 ? z : z / v.z,
            v.w == 0.0 ? w : w / v.w};
}

std::ostream& operator<<(std::ostream& out, const KVertex& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}
