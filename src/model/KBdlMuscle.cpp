#include "model/KBdlMuscle.h"

// Construction, copying and the type names of a muscle. Evaluation, the outline, fitting
// to the map tools and storage live in KBdlMuscleEval.cpp, KBdlMuscleOutline.cpp,
// KBdlMuscleFit.cpp and KBdlMuscleStore.cpp.

K_IMPLEMENT_SERIAL(KBdlMuscle, KBdlElement, KBdlObject::kSchema, true)

namespace {

const char* const kBandCenter = "< 0, 0.50 >, < 0.50, 0.50 >, < 1.00, 0.50 >";
const char* const kBandTent = "< 0, 0.00 >, < 0.50, 1.00 >, < 1.00, 0.00 >";
const char* const kBandWidth = "< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >";
const char* const kPointCenter = "< 0.50, 0.50 >";
const char* const kPointHeight = "< 0, 1.00 >, < 0.50, 1.00 >, < 1.00, 1.00 >";
const char* const kPointWidth =
    "< 0, 0.10 >, < 0.25, 0.10 >, < 0.50, 0.10 >, < 0.75, 0.10 >, < 1.00, 0.10 >";
const char* const kPointCrossSection = "< 0, 1.00 >, < 0.50, 0.50 >, < 1.00, 0.00 >";

} // namespace

KBdlMuscle::KBdlMuscle() {
    setDefaults(Linear);
}

KBdlMuscle::KBdlMuscle(int32_t type) {
    setDefaults(type);
}

KBdlMuscle::KBdlMuscle(const KBdlMuscle& other) : KBdlElement(other) {
    copyFrom(other);
}

KBdlMuscle& KBdlMuscle::operator=(const KBdlMuscle& other) {
    if (this != &other) {
        copyFrom(other);
    }
    return *this;
}

void KBdlMuscle::setDefaults(int32_t type) {
    muscleType = type;
    if (type == Point) {
        begin = 1.0f;
        resolutionU = 12;
        resolutionV = 4;
        center.parse(kPointCenter);
        heightCurve.parse(kPointHeight);
        widthLo.parse(kPointWidth);
        widthHi.parse(kPointWidth);
        crossSection.parse(kPointCrossSection);
        return;
    }
    // Orbital muscles run along U; linear and compound ones along V.
    resolutionU = type == Orbital ? 8 : 4;
    resolutionV = type == Orbital ? 4 : 8;
    center.parse(kBandCenter);
    heightCurve.parse(kBandTent);
    widthLo.parse(kBandWidth);
    widthHi.parse(kBandWidth);
    crossSection.parse(kBandTent);
}

void KBdlMuscle::copyFrom(const KBdlMuscle& o) {
    // The note stays with the original.
    name = o.name;
    begin = o.begin;
    end = o.end;
    muscleType = o.muscleType;
    height = o.height;
    active = o.active;
    textureIndex = o.textureIndex;
    anchor = o.anchor;
    center = o.center;
    heightCurve = o.heightCurve;
    widthLo = o.widthLo;
    widthHi = o.widthHi;
    crossSection = o.crossSection;
    resolutionU = o.resolutionU;
    resolutionV = o.resolutionV;
    mirrorU = o.mirrorU;
    mirrorV = o.mirrorV;
    offsetU = o.offsetU;
    offsetV = o.offsetV;
    symmetricWidth = o.symmetricWidth;
    widthLoScale = o.widthLoScale;
    widthHiScale = o.widthHiScale;
    heightType = o.heightType;
}

std::string KBdlMuscle::typeName(int32_t type) {
    switch (type) {
    case Linear:
        return "linear";
    case Orbital:
        return "orbital";
    case Point:
        return "point";
    case Compound:
        return "compound";
    default:
        return {};
    }
}
