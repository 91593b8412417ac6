#pragma once
// The four-component double vector used for every point, direction, control point,
// bounding corner and grid sample.
//
// KVertex is a plain value type (32 bytes, no virtual table) because grids hold hundreds
// of thousands of them. Vertices are always written by their owners as raw doubles; the
// archive still knows the class name "KVertex" (schema 1, not versionable) through
// KVertexObject, so a stored reference to it is recognised and checked.

#include <cmath>
#include <iosfwd>

#include "platform/KObject.h"

struct KVertex {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double w = 0.0;

    constexpr KVertex() = default;
    constexpr KVertex(double x_, double y_, double z_ = 0.0, double w_ = 0.0)
        : x(x_), y(y_), z(z_), w(w_) {}

    void add(const KVertex& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        w += v.w;
    }
    void subtract(const KVertex& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        w -= v.w;
    }
    void abs() {
        x = std::fabs(x);
        y = std::fabs(y);
        z = std::fabs(z);
        w = std::fabs(w);
    }
    // sqrt(x² + y² + z²); w is not part of the length.
    double length() const { return std::sqrt(x * x + y * y + z * z); }
    // Divides x, y and z by the length; a zero vector stays zero; w is untouched.
    void normalize() {
        const double len = length();
        if (len == 0.0) {
            return;
        }
        x /= len;
        y /= len;
        z /= len;
    }
    KVertex cross(const KVertex& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x, 0.0};
    }
    // Component-wise minimum / maximum of x, y and z (w untouched): grows a bounding box.
    void minWith(const KVertex& v) {
        x = v.x < x ? v.x : x;
        y = v.y < y ? v.y : y;
        z = v.z < z ? v.z : z;
    }
    void maxWith(const KVertex& v) {
        x = x < v.x ? v.x : x;
        y = y < v.y ? v.y : y;
        z = z < v.z ? v.z : z;
    }
    // Rotations by an angle in degrees. RotateZ turns by -angle in the x-y plane.
    void rotateX(double degrees);
    void rotateY(double degrees);
    void rotateZ(double degrees);
    // Each component divided by v's, except that a component whose divisor is exactly 0
    // is copied unchanged.
    KVertex divide(const KVertex& v) const;

    static double degToRad(double degrees);

    bool operator==(const KVertex&) const = default;
};

// a − b in all four components.
inline KVertex operator-(const KVertex& a, const KVertex& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}
inline KVertex operator+(const KVertex& a, const KVertex& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline KVertex operator*(double s, const KVertex& a) {
    return {s * a.x, s * a.y, s * a.z, s * a.w};
}

// Readable output in test failures and debugging.
std::ostream& operator<<(std::ostream& out, const KVertex& v);

// The archive's record of the vertex class; stores nothing, like the vertex itself.
class KVertexObject : public KObject {
    K_DECLARE_SERIAL(KVertexObject)
public:
    KVertex value;
};
