#pragma once
// Helpers for the document file tests: small documents, their bytes, and the pieces of
// older files written field by field.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "document/KDocumentFile.h"
#include "platform/KArchive.h"
#include "support/KArchiveWrite.h"

namespace doctest {

// A document whose grid is small, so loading and saving stay fast.
inline std::unique_ptr<CPexaDoc> smallDocument() {
    KRegisterCoreClasses();
    auto doc = std::make_unique<CPexaDoc>();
    doc->uResolution = 4;
    doc->vResolution = 3;
    doc->rebuildGrid();
    return doc;
}

inline std::vector<uint8_t> bytesOf(CPexaDoc& doc) {
    return kDocumentBytes(doc);
}

// Loads bytes; fails the test (and returns null) when they do not load.
inline std::unique_ptr<CPexaDoc> loadOk(std::vector<uint8_t> bytes, int* version = nullptr) {
    std::string error;
    auto doc = kLoadDocumentBytes(std::move(bytes), "test bytes", &error, version);
    EXPECT_TRUE(doc) << error;
    return doc;
}

// A curve as a body part of schema 2 or later stores it: its text, three texts, flags,
// basis, repeat count, resolution, an auxiliary value and the index type.
inline void writeCurve(KArchive& ar, const std::string& text, int32_t resolution,
                       int32_t indexType) {
    kWriteFields(ar, text, "", "", "", 0u, 0, 0, resolution, 0, indexType);
}

// A curve as the first format stored it: its points themselves.
inline void writeCurveV1(KArchive& ar, const std::vector<KVertex>& points, int32_t resolution,
                         int32_t indexType) {
    kWriteFields(ar, 0u, 0, 0, int32_t(points.size()));
    for (const KVertex& p : points) {
        kWriteFields(ar, p.x, p.y, p.z);
    }
    kWriteFields(ar, resolution, 0, indexType);
}

// The values the hand-built body parts store (each differs from a new document's).
struct OldBodyPart {
    float uOffset = 0.125f;
    float uFactor = 0.75f;
    float shear = 0.0625f;   // the first copy
    float shear2 = 0.03125f; // the second copy (schema 2 on), the one kept
    float vFactor = 2.0f;
    int32_t curvatureOn = 1;
    int32_t bendsOn = 1;
};

// The body part of the given schema, item by item (curves in the schema 2 form unless
// the schema is 1).
inline void writeBodyPart(KArchive& ar, uint32_t schema, const OldBodyPart& b = {}) {
    if (schema == 1) {
        writeCurveV1(ar, {{0, 0.5, 0, 0}, {1, 0.5, 0, 0}}, 7, 1);
        writeCurveV1(ar, {{0, 0.25, 0, 0}, {1, 0.25, 0, 0}}, 9, 1);
    } else {
        writeCurve(ar, "< 0, 0.5 >, < 1, 0.5 >", 7, 1);
        writeCurve(ar, "< 0, 0.25 >, < 1, 0.25 >", 9, 1);
    }
    // partFlag, uOffset, uMode, uFlag, uRepeat, uFactor, shear, vFlag, vFactor
    kWriteFields(ar, 1, b.uOffset, 0, 1, 0, b.uFactor, b.shear, 1, b.vFactor);
    if (schema == 1) {
        return;
    }
    ar.writeInt32(b.curvatureOn);
    writeCurve(ar, "< 0.1, 0, 0 >", 9, 4);
    ar.writeFloat(b.shear2);
    if (schema == 2) {
        return;
    }
    ar.writeInt32(0); // segmentFlag
    writeCurve(ar, "< 0.25, 1, 0.25 >, < 0.25, 2, 0.25 >", 9, 4);
    ar.writeInt32(b.bendsOn);
    writeCurve(ar, "< 10, 0, 0 >, < 20, 0, 0 >", 9, 0);
    ar.writeCount(0); // segments
    if (schema <= 8) {
        return;
    }
    kWriteFields(ar, 1, 0); // bendType, bendMode
}

// A layer tagged with its class, data in the layout of schema 1 (muscles first).
inline void writeLayerV1(KArchive& ar, const std::string& name) {
    kWriteClassHeader(ar, "KBdlLayer", 1);
    ar.writeCount(0);
    kWriteFields(ar, name, "old layer", 0, 1); // ..., physical, active
}

// A layer of the current layout through the archive's own object writing.
inline void writeLayers(KArchive& ar, const std::vector<std::string>& names) {
    std::vector<std::unique_ptr<KBdlLayer>> layers;
    ar.writeCount(names.size());
    for (const std::string& name : names) {
        layers.push_back(std::make_unique<KBdlLayer>());
        layers.back()->name = name;
        ar.writeObject(layers.back().get());
    }
}

// The preview state (orientation, delay, spin, projection, near, far, field of view, left
// handed) with a recognisable rotation and far plane.
inline void writePreviewState(KArchive& ar) {
    for (int i = 0; i < 9; ++i) {
        ar.writeFloat(i == 4 ? 30.0f : (i >= 6 ? 2.0f : 0.0f));
    }
    // delay, spin, orthographic, near, far, field of view, left handed
    kWriteFields(ar, 25u, 1.0f, 2.0f, 3.0f, 1, 0.5f, 80.0f, 30.0f, 0);
}

// scalingU, scalingV, scalingHeight and the clip ranges.
inline void writeScalingAndClip(KArchive& ar) {
    for (double v : {2.0, 3.0, 0.5}) {
        ar.writeDouble(v);
    }
    for (double v : {0.0, 0.5, 0.25, 1.0}) {
        ar.writeDouble(v);
    }
}

// The scalings and clip ranges, then uResolution 8, vResolution 6, baseShape Spheric,
// meshType Layered, imageResolutionU 64 and V 32, reserved 7, interpolateHeights 1 and
// currentItem 4.
inline void writeGridFields(KArchive& ar) {
    writeScalingAndClip(ar);
    kWriteFields(ar, 8, 6, 2, 1, 64, 32, 7, 1, 4);
}

inline std::vector<uint8_t> withTrailing(const KArchive& ar) {
    // Bytes that any field read by mistake past the layout would pick up.
    std::vector<uint8_t> b = ar.bytes();
    b.insert(b.end(), 64, 0x07);
    return b;
}

} // namespace doctest
