#include "document/KMdlDoc.h"

#include <algorithm>
#include <cmath>

#include "document/KLayerImageFiles.h"
#include "platform/KArchive.h"

K_IMPLEMENT_SERIAL(KMdlDoc, KObject, 10, true)

KMdlDoc::KMdlDoc() {
    setBodyPartDefaults();
    rebuildGrid();
}

KMdlDoc::~KMdlDoc() = default;

// The document's anatomy with flat one-point profiles and unit factors, so the bone
// surface is 1.0 everywhere.
void KMdlDoc::setBodyPartDefaults() {
    bodyPart.lengths = KBdlCurve("< 0.25, 1, 0.25 >", vResolution, KBdlCurve::AxisY);
    bodyPart.boneCurvature = KBdlCurve("< 0, 0, 0 >", vResolution, KBdlCurve::AxisY);
    bodyPart.jointBends = KBdlCurve("< 0, 0, 0 >", vResolution);
    bodyPart.uProfile = KBdlCurve("< 0, 1 >", uResolution, KBdlCurve::PolyLine);
    bodyPart.vProfile = KBdlCurve("< 0, 1 >", vResolution, KBdlCurve::PolyLine);
    bodyPart.uFactor = 1.0f;
    bodyPart.vFactor = 1.0f;
    bodyPart.uOffset = 0.0f;
    bodyPart.uMode = 0;
    bodyPart.uRepeat = 0;
    bodyPart.shear = 0.0f;
    bodyPart.partFlag = 1;
    bodyPart.uFlag = 1;
    bodyPart.vFlag = 1;
    bodyPart.segmentFlag = 0;
    bodyPart.curvatureOn = 0;
    bodyPart.bendsOn = 0;
}

int32_t KMdlDoc::sampleCount(int32_t resolution, double from, double to) {
    return KClipRange::sampleCount(resolution, from, to, kMaxResolution);
}

void KMdlDoc::rebuildGrid() {
    meshGrid.reset();
    auto grid = std::make_unique<KMeshGrid>();
    if (grid->create(sampleCount(uResolution, clip.uFrom, clip.uTo),
                     sampleCount(vResolution, clip.vFrom, clip.vTo)) == 0) {
        meshGrid = std::move(grid);
    }
}

namespace {

void writeBlock(KArchive& ar, const KMdlPreviewBlock& b) {
    for (float v : b.orientation) {
        ar.writeFloat(v);
    }
    ar.writeUInt32(b.valueA);
    for (float v : b.vectorB) {
        ar.writeFloat(v);
    }
    ar.writeInt32(b.valueC);
    for (float v : b.vectorD) {
        ar.writeFloat(v);
    }
    ar.writeInt32(b.valueE);
}

void readBlock(KArchive& ar, KMdlPreviewBlock& b) {
    for (float& v : b.orientation) {
        v = ar.readFloat();
    }
    b.valueA = ar.readUInt32();
    for (float& v : b.vectorB) {
        v = ar.readFloat();
    }
    b.valueC = ar.readInt32();
    for (float& v : b.vectorD) {
        v = ar.readFloat();
    }
    b.valueE = ar.readInt32();
}

} // namespace

void KMdlDoc::serialize(KArchive& ar) {
    KObject::serialize(ar);
    if (ar.isStoring()) {
        storeFields(ar);
    } else {
        loadFields(ar);
    }
}

void KMdlDoc::storeFields(KArchive& ar) {
    ar.writeUInt32(kMagic);
    ar.writeInt32(kVersion);
    writeBlock(ar, preview);
    ar.writeString(objectName);
    ar.writeString(description);
    ar.writeDouble(scalingU);
    ar.writeDouble(scalingV);
    ar.writeDouble(scalingHeight);
    ar.writeDouble(clip.uFrom);
    ar.writeDouble(clip.uTo);
    ar.writeDouble(clip.vFrom);
    ar.writeDouble(clip.vTo);
    for (int32_t v : {uResolution, vResolution, baseShape, meshType, imageResolutionU,
                      imageResolutionV, reserved, interpolateHeights, currentItem}) {
        ar.writeInt32(v);
    }
    bodyPart.serialize(ar);
    ar.writeCount(layers.size());
    for (const auto& layer : layers) {
        ar.writeObject(layer.get());
    }
    feoPMedia.serialize(ar);
}

void KMdlDoc::loadFields(KArchive& ar) {
    ar.readUInt32(); // the magic word; its value is not checked
    const int32_t version = ar.readInt32();
    if (version >= 1 && version <= 3) {
        return;
    }
    const uint32_t schema = uint32_t(version);
    readBlock(ar, preview);
    objectName = ar.readString();
    description = ar.readString();
    scalingU = ar.readDouble();
    scalingV = ar.readDouble();
    scalingHeight = ar.readDouble();
    clip.uFrom = ar.readDouble();
    clip.uTo = ar.readDouble();
    clip.vFrom = ar.readDouble();
    clip.vTo = ar.readDouble();
    for (int32_t* v : {&uResolution, &vResolution, &baseShape, &meshType, &imageResolutionU,
                       &imageResolutionV, &reserved, &interpolateHeights, &currentItem}) {
        *v = ar.readInt32();
    }
    ar.setObjectSchema(schema);
    bodyPart.serialize(ar);
    layers.clear();
    const uint32_t n = ar.readCount();
    ar.requireAvailable(n, 2, "layer");
    layers.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        if (auto layer = ar.readOwned<KBdlLayer>()) {
            layers.push_back(std::move(layer));
        }
    }
    if (version != 4 && version != 5) {
        ar.setObjectSchema(schema);
        feoPMedia.serialize(ar);
    }
    kLoadLayerImageFiles(layers, ar.sourceFolder());
    // The grid is built from a resolution the program allows and a clip range inside
    // the unit square, whatever the stream held.
    uResolution = std::clamp(uResolution, int32_t(1), kMaxResolution);
    vResolution = std::clamp(vResolution, int32_t(1), kMaxResolution);
    clip.sanitize();
    rebuildGrid();
}
