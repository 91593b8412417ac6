#include "scene/KPreviewCamera.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "document/CPexaDoc.h"

KMatrix4 kIdentity() {
    KMatrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

KMatrix4 kMultiply(const KMatrix4& a, const KMatrix4& b) {
    KMatrix4 r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) {
                s += a[k * 4 + row] * b[col * 4 + k];
            }
            r[col * 4 + row] = s;
        }
    }
    return r;
}

KMatrix4 kTranslation(double x, double y, double z) {
    KMatrix4 m = kIdentity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

KMatrix4 kScaling(double x, double y, double z) {
    KMatrix4 m = kIdentity();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return m;
}

KMatrix4 kRotation(double degrees, double x, double y, double z) {
    const double len = std::sqrt(x * x + y * y + z * z);
    x /= len;
    y /= len;
    z /= len;
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    KMatrix4 m = kIdentity();
    m[0] = x * x * t + c;
    m[1] = y * x * t + z * s;
    m[2] = x * z * t - y * s;
    m[4] = x * y * t - z * s;
    m[5] = y * y * t + c;
    m[6] = y * z * t + x * s;
    m[8] = x * z * t + y * s;
    m[9] = y * z * t - x * s;
    m[10] = z * z * t + c;
    return m;
}

KMatrix4 kOrtho(double l, double r, double b, double t, double n, double f) {
    KMatrix4 m = kIdentity();
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    return m;
}

KMatrix4 kPerspective(double fovDegrees, double aspect, double n, double f) {
    const double half = fovDegrees / 2 * std::numbers::pi / 180.0;
    const double s = std::sin(half);
    KMatrix4 m{};
    // A degenerate frustum leaves the identity, as the projection call does.
    if (f - n == 0 || s == 0 || aspect == 0) {
        return kIdentity();
    }
    const double cot = std::cos(half) / s;
    m[0] = cot / aspect;
    m[5] = cot;
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * n * f / (f - n);
    return m;
}

std::array<double, 4> kTransform(const KMatrix4& m, double x, double y, double z) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row) {
        r[size_t(row)] = m[size_t(row)] * x + m[size_t(4 + row)] * y + m[size_t(8 + row)] * z +
                         m[size_t(12 + row)];
    }
    return r;
}

bool KPreviewCamera::resize(int width, int height) {
    if (height <= 0) {
        return false;
    }
    if (width > height) {
        orthoRight = float(width) / float(height);
        orthoTop = 1;
    } else {
        orthoRight = 1;
        orthoTop = float(height) / float(std::max(width, 1));
    }
    orthoLeft = -orthoRight;
    orthoBottom = -orthoTop;
    aspect = float(width) / float(height);
    return true;
}

KMatrix4 KPreviewCamera::projectionMatrix() const {
    if (projection == Orthographic) {
        return kOrtho(orthoLeft, orthoRight, orthoBottom, orthoTop, nearPlane, farPlane);
    }
    return kPerspective(fieldOfView, aspect, nearPlane, farPlane);
}

KMatrix4 KPreviewCamera::modelViewMatrix(double centreX, double centreY,
                                         const std::array<double, 3>& pivot) const {
    // The pivot after centring (c); P is the scale with the mirror. The usual matrix is
    // T(eye) T(t) R P T(centre); turning about c instead gives
    // T(eye) T(t) T(P c) R P T(-c) T(centre), which is the same when R is the identity.
    const double sign = leftHanded ? -1.0 : 1.0;
    const double c[3] = {pivot[0] + centreX, pivot[1] + centreY, pivot[2]};
    const double pc[3] = {scale[0] * c[0], scale[1] * c[1], sign * scale[2] * c[2]};
    KMatrix4 m = kTranslation(0, 0, -eyeDistance);
    m = kMultiply(m, kTranslation(translate[0], translate[1], sign * translate[2]));
    m = kMultiply(m, kTranslation(pc[0], pc[1], pc[2]));
    m = kMultiply(m, kRotation(sign * rotate[0], 1, 0, 0));
    m = kMultiply(m, kRotation(sign * rotate[1], 0, 1, 0));
    m = kMultiply(m, kRotation(sign * rotate[2], 0, 0, 1));
    m = kMultiply(m, kRotation(sign * frame * spin[0], 1, 0, 0));
    m = kMultiply(m, kRotation(sign * frame * spin[1], 0, 1, 0));
    m = kMultiply(m, kRotation(sign * frame * spin[2], 0, 0, 1));
    m = kMultiply(m, kScaling(scale[0], scale[1], scale[2]));
    if (leftHanded) {
        m = kMultiply(m, kScaling(1, 1, -1));
    }
    m = kMultiply(m, kTranslation(-c[0], -c[1], -c[2]));
    return kMultiply(m, kTranslation(centreX, centreY, 0));
}

std::array<double, 2> KPreviewCamera::centringOffset(const CPexaDoc& doc) {
    switch (doc.baseShape) {
    case CPexaDoc::Planar:
        return {-doc.scalingU / 2, -doc.scalingV / 2};
    case CPexaDoc::Conic: {
        const KBdlBodyPart& body = doc.bodyPart;
        const double half = body.totalLength() * doc.scalingV / 2;
        const bool bent = body.bendsOn != 0 && body.lengths.count() > 1;
        return {0, bent ? half : -half};
    }
    default:
        return {0, 0};
    }
}

std::array<double, 3> KPreviewCamera::pivotOf(const CPexaDoc& doc) {
    if (doc.meshGrid && doc.meshGrid->hasPositions()) {
        KVertex low;
        KVertex high;
        doc.meshGrid->getBounds(low, high);
        const std::array<double, 3> mid = {(low.x + high.x) / 2, (low.y + high.y) / 2,
                                           (low.z + high.z) / 2};
        if (std::isfinite(mid[0]) && std::isfinite(mid[1]) && std::isfinite(mid[2])) {
            return mid;
        }
    }
    const auto centre = centringOffset(doc);
    return {-centre[0], -centre[1], 0.0};
}

void KPreviewCamera::recenter() {
    for (int i = 0; i < 3; ++i) {
        translate[i] = 0;
        rotate[i] = 0;
        scale[i] = 1;
    }
}

void KPreviewCamera::resetTo(const KPreviewState& s) {
    for (int i = 0; i < 3; ++i) {
        translate[i] = s.translate[i];
        rotate[i] = s.rotate[i];
        scale[i] = s.scale[i];
    }
    projection = s.projection == Orthographic ? Orthographic : Perspective;
    fieldOfView = s.fieldOfView;
    nearPlane = s.nearPlane;
    farPlane = s.farPlane;
    frame = 0;
}

double KPreviewCamera::viewDistance() const {
    // The object's centre lies at z = -eye + t_z (mirrored when left handed).
    return eyeDistance - (leftHanded ? -1.0 : 1.0) * double(translate[2]);
}

void KPreviewCamera::dolly(double notches) {
    constexpr double kShare = 0.9; // distance kept per notch towards the object
    const double factor = std::pow(kShare, notches);
    if (projection == Orthographic) {
        // No distance shows in an orthographic view: the object grows or shrinks.
        for (float& s : scale) {
            s = float(std::clamp(double(s) / factor, 1e-3, 1e3));
        }
        return;
    }
    const double closest = double(nearPlane) * 1.05;
    const double farthest = std::max(closest, double(farPlane) * 0.9);
    const double d = viewDistance();
    // From behind the eye (a panned-through object) the object is first brought in front.
    const double wanted = std::clamp(d > 0 ? d * factor : closest, closest, farthest);
    translate[2] = float((leftHanded ? -1.0 : 1.0) * (eyeDistance - wanted));
}

std::string KPreviewCamera::mouseMove(const MouseInput& in) {
    const int dx = in.x - lastX;
    const int dy = in.y - lastY;
    lastX = in.x;
    lastY = in.y;
    if (std::abs(dx) < std::abs(dy)) {
        dragMode = 2;
        dragAmount = dy;
    } else {
        dragMode = 1;
        dragAmount = dx;
    }
    if (dragAmount == 0) {
        dragAmount = 1;
    }
    if (in.shift || in.middle) {
        dragMode = 3;
    }
    if (!in.dragging) {
        dragMode = -1;
    } else if (in.control || tool == Pan) {
        dragMode += 3;
    }
    switch (dragMode) {
    case 1:
    case 2:
        rotate[1] -= float(dx);
        rotate[0] -= float(dy);
        return "";
    case 3:
        rotate[2] -= float(dragAmount);
        return "";
    case 4:
        translate[0] += 0.01f * float(dragAmount);
        return "Panning in X";
    case 5:
        translate[1] -= 0.01f * float(dragAmount);
        return "Panning in Y";
    case 6:
        translate[2] -= 0.01f * float(dragAmount);
        return "Panning in Z";
    default:
        return "Ready";
    }
}

void KPreviewCamera::readSettings(const CPexaDoc& doc) {
    const KPreviewState& s = doc.preview;
    for (int i = 0; i < 3; ++i) {
        spin[i] = s.spin[i];
        translate[i] = s.translate[i];
        rotate[i] = s.rotate[i];
        scale[i] = s.scale[i];
    }
    delay = s.delay;
    projection = s.projection == Orthographic ? Orthographic : Perspective;
    fieldOfView = s.fieldOfView;
    nearPlane = s.nearPlane;
    farPlane = s.farPlane;
    leftHanded = s.leftHanded;
    shadingType = doc.previewShadingType >= Point && doc.previewShadingType <= Smooth
                      ? doc.previewShadingType
                      : Smooth;
    layerMode = doc.previewLayerMode == 1 ? 1 : 0;
    selectedLayers = doc.previewLayers;
}

void KPreviewCamera::writeSettings(CPexaDoc& doc) const {
    KPreviewState& s = doc.preview;
    for (int i = 0; i < 3; ++i) {
        s.spin[i] = spin[i];
        s.translate[i] = translate[i];
        s.rotate[i] = rotate[i];
        s.scale[i] = scale[i];
    }
    s.delay = delay;
    s.projection = projection;
    s.fieldOfView = fieldOfView;
    s.nearPlane = nearPlane;
    s.farPlane = farPlane;
    s.leftHanded = leftHanded;
    doc.setPreviewLayerSelection(selectedLayers, shadingType, layerMode);
}
