#include "model/KBdlBodyPart.h"

#include <cmath>
#include <string>

K_IMPLEMENT_SERIAL(KBdlBodyPart, KBdlShape, KBdlObject::kSchema, true)

namespace {

const char* kFlatProfile =
    "< 0.00, 1.00 >, < 0.25, 1.00 >, < 0.50, 1.00 >, < 0.75, 1.00 >, < 1.00, 1.00 >";

// A curve's value at t without side effects; 0 for a curve without points.
double curveValue(const KBdlCurve& c, double t) {
    return c.count() < 1 ? 0.0 : c.evaluate(t).y;
}

} // namespace

void KBdlBodyPart::setDocumentDefaults(int32_t uResolution, int32_t vResolution) {
    lengths = KBdlCurve("< 0.25, 1, 0.25 >", vResolution, KBdlCurve::AxisY);
    boneCurvature = KBdlCurve("< 0, 0, 0 >", vResolution, KBdlCurve::AxisY);
    jointBends = KBdlCurve("< 0, 0, 0 >", vResolution);
    uProfile = KBdlCurve(kFlatProfile, uResolution, KBdlCurve::PolyLine);
    vProfile = KBdlCurve(kFlatProfile, vResolution, KBdlCurve::PolyLine);
    uFactor = 0.5f;
    uOffset = 0.0f;
    uMode = 0;
    uRepeat = 0;
    shear = 0.0f;
    vFactor = 1.0f;
    uFlag = 1;
    vFlag = 1;
    partFlag = 1;
    segmentFlag = 0;
    curvatureOn = 0;
    bendsOn = 0;
}

void KBdlBodyPart::prepareCurves() {
    for (KBdlCurve* c : {&lengths, &boneCurvature, &jointBends, &uProfile, &vProfile}) {
        c->prepare();
    }
}

double KBdlBodyPart::boneSurface(double u, double v) const {
    return boneSurfaceAlongV(v) * boneSurfaceAcrossU(u);
}

double KBdlBodyPart::boneSurfaceAcrossU(double u) const {
    double uu = u;
    if (uRepeat > 1 && uProfile.repeatCount < 2) {
        uu = std::fmod(double(uRepeat) * u, 1.0);
    }
    return double(uFactor) * curveValue(uProfile, uu) + double(uOffset);
}

double KBdlBodyPart::boneSurfaceAlongV(double v) const {
    return double(vFactor) * curveValue(vProfile, v);
}

double KBdlBodyPart::totalLength() const {
    if (lengths.count() < 1) {
        return 1.0;
    }
    double sum = 0.0;
    for (int i = 0; i < lengths.count(); ++i) {
        sum += lengths.points()[size_t(i)].y;
    }
    return sum;
}

void KBdlBodyPart::ensureJoints() {
    if (lengths.count() < 1) {
        lengths.parse("<0, 1, 0>");
    }
    if (jointBends.count() < lengths.count()) {
        std::string text = jointBends.count() > 0 ? jointBends.getString() : std::string();
        for (int i = jointBends.count(); i < lengths.count(); ++i) {
            text += ", <0, 0, 0>";
        }
        jointBends.parse(text);
    }
}

// ---------------------------------------------------------------- storage

void KBdlBodyPart::readSegments(KArchive& ar) {
    const uint32_t n = ar.readCount();
    ar.requireAvailable(n, 2, "segment");
    segments.clear();
    for (uint32_t i = 0; i < n; ++i) {
        // A null entry in the list holds nothing; it is dropped.
        if (auto s = ar.readOwned<KBdlSegment>()) {
            segments.push_back(std::move(s));
        }
    }
}

void KBdlBodyPart::serialize(KArchive& ar) {
    KBdlShape::serialize(ar);
    if (ar.isStoring()) {
        uProfile.serialize(ar);
        vProfile.serialize(ar);
        ar.writeInt32(partFlag);
        ar.writeFloat(uOffset);
        ar.writeInt32(uMode);
        ar.writeInt32(uFlag);
        ar.writeInt32(uRepeat);
        ar.writeFloat(uFactor);
        ar.writeFloat(shear);
        ar.writeInt32(vFlag);
        ar.writeFloat(vFactor);
        ar.writeInt32(curvatureOn);
        boneCurvature.serialize(ar);
        ar.writeFloat(shear); // the record holds the shear twice
        ar.writeInt32(segmentFlag);
        lengths.serialize(ar);
        ar.writeInt32(bendsOn);
        ar.writeFloat(bendScale);
        jointBends.serialize(ar);
        ar.writeCount(segments.size());
        for (const auto& s : segments) {
            ar.writeObject(s.get());
        }
        ar.writeInt32(bendType);
        ar.writeInt32(bendMode);
        superQuad.serialize(ar);
        return;
    }

    // Each schema added items at the end; what an older record lacks keeps its default.
    // A schema of 0 is not one the program wrote; it reads as the current layout.
    const uint32_t schema = ar.objectSchema();
    const bool current = schema == 0 || schema >= 10;
    uProfile.serialize(ar);
    vProfile.serialize(ar);
    partFlag = ar.readInt32();
    uOffset = ar.readFloat();
    uMode = ar.readInt32();
    uFlag = ar.readInt32();
    uRepeat = ar.readInt32();
    uFactor = ar.readFloat();
    shear = ar.readFloat();
    vFlag = ar.readInt32();
    vFactor = ar.readFloat();
    if (schema == 1) {
        return;
    }
    curvatureOn = ar.readInt32();
    boneCurvature.serialize(ar);
    shear = ar.readFloat(); // the second copy is the one kept
    if (schema == 2) {
        return;
    }
    segmentFlag = ar.readInt32();
    lengths.serialize(ar);
    bendsOn = ar.readInt32();
    if (current) {
        bendScale = ar.readFloat();
    }
    jointBends.serialize(ar);
    readSegments(ar);
    if (schema >= 3 && schema <= 8) {
        return;
    }
    bendType = ar.readInt32();
    bendMode = ar.readInt32();
    if (current) {
        superQuad.serialize(ar);
    }
}
