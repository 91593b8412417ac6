// The document file: the document's own fields, the body part, the user layers, the df3
// options and the preview layer selection in one archive. Writing always uses the
// current layout; reading follows the layout of the version found in the file.

#include <algorithm>
#include <cmath>

#include "document/CPexaDoc.h"
#include "document/KLayerImageFiles.h"
#include "platform/KArchive.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

namespace {

void writePreviewState(KArchive& ar, const KPreviewState& p) {
    for (const float* v : {p.translate, p.rotate, p.scale}) {
        for (int i = 0; i < 3; ++i) {
            ar.writeFloat(v[i]);
        }
    }
    ar.writeUInt32(p.delay);
    for (float v : p.spin) {
        ar.writeFloat(v);
    }
    ar.writeInt32(p.projection);
    ar.writeFloat(p.nearPlane);
    ar.writeFloat(p.farPlane);
    ar.writeFloat(p.fieldOfView);
    ar.writeInt32(p.leftHanded);
}

void readPreviewState(KArchive& ar, KPreviewState& p) {
    for (float* v : {p.translate, p.rotate, p.scale}) {
        for (int i = 0; i < 3; ++i) {
            v[i] = ar.readFloat();
        }
    }
    p.delay = ar.readUInt32();
    for (float& v : p.spin) {
        v = ar.readFloat();
    }
    p.projection = ar.readInt32();
    p.nearPlane = ar.readFloat();
    p.farPlane = ar.readFloat();
    p.fieldOfView = ar.readFloat();
    p.leftHanded = ar.readInt32();
}

} // namespace

void CPexaDoc::store(KArchive& ar) {
    // Views (the 3D preview) copy their state into the document first.
    updateAllViews(HintStoring, nullptr);
    writeContent(ar, true);
}

void CPexaDoc::writeContent(KArchive& ar, bool withPreview) {
    ar.writeUInt32(kMagic);
    ar.writeInt32(kFormatVersion);
    writePreviewState(ar, withPreview ? preview : KPreviewState());
    ar.writeString(objectName);
    ar.writeString(description);
    ar.writeDouble(scalingU);
    ar.writeDouble(scalingV);
    ar.writeDouble(scalingHeight);
    ar.writeDouble(clip.uFrom);
    ar.writeDouble(clip.uTo);
    ar.writeDouble(clip.vFrom);
    ar.writeDouble(clip.vTo);
    ar.writeInt32(uResolution);
    ar.writeInt32(vResolution);
    ar.writeInt32(baseShape);
    ar.writeInt32(meshType);
    ar.writeInt32(imageResolutionU);
    ar.writeInt32(imageResolutionV);
    ar.writeInt32(reserved);
    ar.writeInt32(interpolateHeights);
    ar.writeInt32(currentItem);
    ar.setObjectSchema(uint32_t(kFormatVersion));
    bodyPart.serialize(ar);
    ar.writeCount(layers.size());
    for (const auto& layer : layers) {
        ar.writeObject(layer.get());
    }
    feoPMedia.serialize(ar);
    ar.writeInt32(withPreview ? previewShadingType : 0);
    ar.writeInt32(withPreview ? previewLayerMode : 0);
    ar.writeInt32(withPreview ? int32_t(previewLayers.size()) : 0);
    if (withPreview) {
        for (int32_t index : previewLayers) {
            ar.writeInt32(index);
        }
    }
}

namespace {

// Exact comparison that also treats two NaNs as equal (a NaN read from a file always
// changes when sanitized, so only the sanitized side can differ).
bool sameClipEnd(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

bool sameClipRange(const KClipRange& a, const KClipRange& b) {
    return sameClipEnd(a.uFrom, b.uFrom) && sameClipEnd(a.uTo, b.uTo) &&
           sameClipEnd(a.vFrom, b.vFrom) && sameClipEnd(a.vTo, b.vTo);
}

std::string clipText(double from, double to) {
    return kFormatGeneral(from) + " to " + kFormatGeneral(to);
}

// scalingU, scalingV, scalingHeight, then the clip ranges (uFrom, uTo, vFrom, vTo).
void readScalingAndClip(KArchive& ar, CPexaDoc& doc) {
    doc.scalingU = ar.readDouble();
    doc.scalingV = ar.readDouble();
    doc.scalingHeight = ar.readDouble();
    doc.clip.uFrom = ar.readDouble();
    doc.clip.uTo = ar.readDouble();
    doc.clip.vFrom = ar.readDouble();
    doc.clip.vTo = ar.readDouble();
}

// imageResolutionU, imageResolutionV, reserved and interpolateHeights.
void readImageSettings(KArchive& ar, CPexaDoc& doc) {
    doc.imageResolutionU = ar.readInt32();
    doc.imageResolutionV = ar.readInt32();
    doc.reserved = ar.readInt32();
    doc.interpolateHeights = ar.readInt32();
}

// The scalings and clip ranges, uResolution, vResolution, baseShape, meshType, the image
// settings and currentItem, as the files that store the mesh type hold them.
void readGridFields(KArchive& ar, CPexaDoc& doc) {
    readScalingAndClip(ar, doc);
    doc.uResolution = ar.readInt32();
    doc.vResolution = ar.readInt32();
    doc.baseShape = ar.readInt32();
    doc.meshType = ar.readInt32();
    readImageSettings(ar, doc);
    doc.currentItem = ar.readInt32();
}

} // namespace

void CPexaDoc::load(KArchive& ar) {
    readContent(ar, true);

    // Whatever the file holds, the grid is built from a resolution the program allows
    // and a clip range inside the unit square; the user is told when a value changed.
    const int32_t storedU = uResolution, storedV = vResolution;
    uResolution = std::clamp(uResolution, int32_t(1), kMaxResolution);
    vResolution = std::clamp(vResolution, int32_t(1), kMaxResolution);
    if (storedU != uResolution || storedV != vResolution) {
        kUi().message("The document's grid resolution (" + std::to_string(storedU) + " x " +
                          std::to_string(storedV) + ") is outside 1 to 512; it is shown as " +
                          std::to_string(uResolution) + " x " + std::to_string(vResolution) + ".",
                      KUi::Icon::Warning);
    }
    const KClipRange storedClip = clip;
    clip.sanitize();
    if (!sameClipRange(storedClip, clip)) {
        kUi().message("The document's clip range (u " + clipText(storedClip.uFrom, storedClip.uTo) +
                          ", v " + clipText(storedClip.vFrom, storedClip.vTo) +
                          ") is not a range inside 0 to 1; it is shown as u " +
                          clipText(clip.uFrom, clip.uTo) + ", v " + clipText(clip.vFrom, clip.vTo) +
                          ".",
                      KUi::Icon::Warning);
    }
    rebuildGrid();
}

void CPexaDoc::readContent(KArchive& ar, bool openImageFiles) {
    int32_t version = 1;
    if (ar.readUInt32() == kMagic) {
        version = ar.readInt32();
    } else {
        kUi().message("This is an older file format!\n\n...converting to current format...",
                      KUi::Icon::Information);
        ar.seek(0);
    }
    // The body part and the df3 options are written in place; they read with the
    // document's version as their schema.
    const uint32_t schema = uint32_t(version);
    auto readBodyPart = [&] {
        ar.setObjectSchema(schema);
        bodyPart.serialize(ar);
    };
    auto readLayers = [&] {
        layers.clear();
        itemMeshes.clear();
        const uint32_t n = ar.readCount();
        ar.requireAvailable(n, 2, "layer");
        layers.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            // A null entry holds nothing; it is dropped.
            if (auto layer = ar.readOwned<KBdlLayer>()) {
                layers.push_back(std::move(layer));
            }
        }
    };

    if (version == 1) {
        readBodyPart();
        readLayers();
        readScalingAndClip(ar, *this);
        uResolution = ar.readInt32();
        vResolution = ar.readInt32();
        baseShape = ar.readInt32();
        readImageSettings(ar, *this);
        currentItem = ar.readInt32();
    } else if (version >= 2 && version <= 4) {
        readPreviewState(ar, preview);
        description = ar.readString();
        readGridFields(ar, *this);
        readBodyPart();
        readLayers();
    } else {
        readPreviewState(ar, preview);
        objectName = ar.readString();
        description = ar.readString();
        readGridFields(ar, *this);
        readBodyPart();
        readLayers();
        if (version != 5) {
            ar.setObjectSchema(schema);
            feoPMedia.serialize(ar);
        }
        if (version != 5 && version != 6 && version != 7) {
            previewShadingType = ar.readInt32();
            previewLayerMode = ar.readInt32();
            const int32_t n = ar.readInt32();
            previewLayers.clear();
            if (n > 0) {
                ar.requireAvailable(uint64_t(n), 4, "preview layer index");
                previewLayers.resize(size_t(n));
                for (int32_t& index : previewLayers) {
                    index = ar.readInt32();
                }
            }
        }
    }

    if (openImageFiles) {
        kLoadLayerImageFiles(layers, ar.sourceFolder());
    }
}
