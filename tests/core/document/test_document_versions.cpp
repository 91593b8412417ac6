// Older document files, built field by field: each version's layout is read, and what an
// older file lacks keeps the value of a new document.

#include <gtest/gtest.h>

#include <tuple>

#include "core/document/document_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KArchiveWrite.h"

using namespace doctest;

namespace {

const char* const kConversion =
    "This is an older file format!\n\n...converting to current format...";

void writeHeader(KArchive& ar, int32_t version) {
    ar.writeUInt32(CPexaDoc::kMagic);
    ar.writeInt32(version);
}

// What every old file here stores from scalingU to currentItem.
void expectGridFields(const CPexaDoc& doc, bool withMeshType = true) {
    EXPECT_EQ(
        std::tuple(doc.scalingU, doc.scalingV, doc.scalingHeight, doc.clip.uTo, doc.clip.vFrom),
        std::tuple(2.0, 3.0, 0.5, 0.5, 0.25));
    EXPECT_EQ(std::tuple(doc.uResolution, doc.vResolution, doc.baseShape, doc.imageResolutionU,
                         doc.imageResolutionV, doc.reserved, doc.interpolateHeights,
                         doc.currentItem),
              std::tuple(8, 6, CPexaDoc::Spheric, 64, 32, 7, 1, 4));
    EXPECT_EQ(doc.meshType, withMeshType ? CPexaDoc::Layered : CPexaDoc::Skinned);
    // U 8 over 0..0.5: samples 0 to 5; V 6 over 0.25..1: samples 1 to 6.
    ASSERT_TRUE(doc.meshGrid);
    EXPECT_EQ(doc.meshGrid->uCount(), 6);
    EXPECT_EQ(doc.meshGrid->vCount(), 6);
}

void expectPreviewRows(const CPexaDoc& doc) {
    const auto& p = doc.preview;
    EXPECT_EQ(std::tuple(p.rotate[1], p.scale[2], p.delay, p.spin[2], p.projection, p.farPlane,
                         p.leftHanded),
              std::tuple(30.0f, 2.0f, 25u, 3.0f, 1, 80.0f, 0));
}

void expectDefaultDf3AndSelection(const CPexaDoc& doc, bool df3Default = true) {
    if (df3Default) {
        const KFeoPMedia& d = doc.feoPMedia;
        const KFeoPMedia n = CPexaDoc().feoPMedia;
        EXPECT_EQ(std::tuple(d.sizeX, d.sizeY, d.sizeZ, d.densitySource, d.useItemUvw, d.baseValue,
                             d.scale),
                  std::tuple(n.sizeX, n.sizeY, n.sizeZ, n.densitySource, n.useItemUvw, n.baseValue,
                             n.scale));
    }
    EXPECT_EQ(doc.previewShadingType, 3);
    EXPECT_EQ(doc.previewLayerMode, 0);
    EXPECT_TRUE(doc.previewLayers.empty());
}

void writeDf3(KArchive& ar) {
    kWriteFields(ar, 20, 30, 40, 2, 0, 0.5f, 2.0f);
}

// A file of version 6 to 8 from the preview state to the df3 options (the body part in
// the layout of schemas 3 to 8).
void writeThroughDf3(KArchive& ar, int32_t version) {
    writeHeader(ar, version);
    writePreviewState(ar);
    kWriteFields(ar, "Arm", "An arm");
    writeGridFields(ar);
    writeBodyPart(ar, uint32_t(version));
    writeLayers(ar, {"A", "B"});
    writeDf3(ar);
}

} // namespace

TEST(DocumentVersions, Version1WithoutMagicIsConvertedFromTheStart) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KArchive ar;
    writeBodyPart(ar, 1);
    ar.writeCount(2);
    writeLayerV1(ar, "first");
    ar.writeUInt16(0x8000 | 1); // the second layer by its class index
    ar.writeCount(0);
    kWriteFields(ar, "second", "", 1, 0);
    writeScalingAndClip(ar);
    kWriteFields(ar, 8, 6, 2, 64, 32, 7, 1, 4); // no mesh type
    int version = 0;
    auto doc = loadOk(withTrailing(ar), &version);
    ASSERT_TRUE(doc);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{kConversion});
    expectGridFields(*doc, false);
    ASSERT_EQ(doc->layers.size(), 2u);
    EXPECT_EQ(doc->layers[0]->name, "first");
    EXPECT_EQ(doc->layers[0]->physical, 0);
    EXPECT_EQ(doc->layers[1]->name, "second");
    EXPECT_EQ(
        std::tuple(doc->bodyPart.uFactor, doc->bodyPart.shear, doc->bodyPart.uProfile.count()),
        std::tuple(0.75f, 0.0625f, 2));
    EXPECT_EQ(doc->bodyPart.curvatureOn, 0); // not in a schema-1 body part
    EXPECT_EQ(doc->objectName, "(untitled)");
    EXPECT_EQ(doc->preview.farPlane, 40.0f);
    expectDefaultDf3AndSelection(*doc);
    EXPECT_FALSE(doc->isModified());

    // Saving it again writes the current version, which reads back the same.
    const std::vector<uint8_t> saved = bytesOf(*doc);
    int again = 0;
    auto back = loadOk(saved, &again);
    ASSERT_TRUE(back);
    EXPECT_EQ(again, 10);
    EXPECT_EQ(bytesOf(*back), saved);
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST(DocumentVersions, Version1AfterTheMagicUsesTheOldLayout) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KArchive ar;
    writeHeader(ar, 1);
    writeBodyPart(ar, 1);
    ar.writeCount(0);
    writeScalingAndClip(ar);
    kWriteFields(ar, 8, 6, 2, 64, 32, 7, 1, 4);
    auto doc = loadOk(withTrailing(ar));
    ASSERT_TRUE(doc);
    EXPECT_TRUE(ui.messages().empty());
    expectGridFields(*doc, false);
    EXPECT_TRUE(doc->layers.empty());
}

TEST(DocumentVersions, Version2HasOnlyADescription) {
    KArchive ar;
    writeHeader(ar, 2);
    writePreviewState(ar);
    ar.writeString("Only a description");
    writeGridFields(ar);
    writeBodyPart(ar, 2);
    writeLayers(ar, {"L"});
    auto doc = loadOk(withTrailing(ar));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->objectName, "(untitled)");
    EXPECT_EQ(doc->description, "Only a description");
    expectPreviewRows(*doc);
    expectGridFields(*doc);
    EXPECT_EQ(doc->bodyPart.curvatureOn, 1);
    EXPECT_EQ(doc->bodyPart.shear, 0.03125f); // the second copy wins
    EXPECT_EQ(doc->bodyPart.bendsOn, 0);      // not in a schema-2 body part
    EXPECT_EQ(doc->bodyPart.lengths.getString(), CPexaDoc().bodyPart.lengths.getString());
    ASSERT_EQ(doc->layers.size(), 1u);
    EXPECT_EQ(doc->layers[0]->name, "L");
    expectDefaultDf3AndSelection(*doc);
}

TEST(DocumentVersions, Version5HasNoDf3OptionsNorPreviewSelection) {
    KArchive ar;
    writeHeader(ar, 5);
    writePreviewState(ar);
    kWriteFields(ar, "Leg", "A leg");
    writeGridFields(ar);
    writeBodyPart(ar, 5);
    writeLayers(ar, {"A", "B", "C", "D"});
    auto doc = loadOk(withTrailing(ar));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->objectName, "Leg");
    EXPECT_EQ(doc->description, "A leg");
    expectPreviewRows(*doc);
    expectGridFields(*doc);
    EXPECT_EQ(doc->bodyPart.bendsOn, 1);
    EXPECT_EQ(doc->bodyPart.totalLength(), 3.0);
    EXPECT_EQ(doc->bodyPart.bendScale, 1.0f); // schemas before 10 have none
    EXPECT_EQ(doc->layers.size(), 4u);
    expectDefaultDf3AndSelection(*doc);
}

TEST(DocumentVersions, Version6ReadsDf3OptionsButNoSelection) {
    KArchive ar;
    writeThroughDf3(ar, 6);
    auto doc = loadOk(withTrailing(ar));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->objectName, "Arm");
    expectGridFields(*doc);
    const KFeoPMedia& d = doc->feoPMedia;
    EXPECT_EQ(std::tuple(d.sizeX, d.sizeZ, d.useItemUvw, d.scale), std::tuple(20, 40, 0, 2.0f));
    expectDefaultDf3AndSelection(*doc, false);
}

TEST(DocumentVersions, Version8AndUnknownVersionsReadEverything) {
    for (int32_t version : {8, 0, 11, -3}) {
        SCOPED_TRACE(version);
        KArchive ar;
        if (version == 8) {
            writeThroughDf3(ar, 8);
        } else {
            // Unknown versions read the current layout; the body part reads as current.
            writeHeader(ar, version);
            writePreviewState(ar);
            kWriteFields(ar, "Arm", "An arm");
            writeGridFields(ar);
            auto part = smallDocument();
            part->bodyPart.bendType = 1;
            ar.setObjectSchema(10);
            part->bodyPart.serialize(ar);
            writeLayers(ar, {"A", "B"});
            writeDf3(ar);
        }
        ar.writeInt32(2); // shading Flat
        ar.writeInt32(1); // layer mode
        ar.writeInt32(3);
        for (int32_t v : {1, 0, 5}) {
            ar.writeInt32(v);
        }
        auto doc = loadOk(withTrailing(ar));
        ASSERT_TRUE(doc);
        expectGridFields(*doc);
        EXPECT_EQ(doc->layers.size(), 2u);
        EXPECT_EQ(doc->feoPMedia.sizeY, 30);
        EXPECT_EQ(doc->previewShadingType, 2);
        EXPECT_EQ(doc->previewLayerMode, 1);
        EXPECT_EQ(doc->previewLayers, (std::vector<int32_t>{1, 0, 5}));
        EXPECT_EQ(doc->bodyPart.bendType, version == 8 ? 0 : 1);
    }
}

TEST(DocumentVersions, NegativeSelectionCountMeansNone) {
    KArchive ar;
    writeThroughDf3(ar, 8);
    ar.writeInt32(1);
    ar.writeInt32(0);
    ar.writeInt32(-5);
    auto doc = loadOk(ar.bytes());
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->previewLayers.empty());
    EXPECT_EQ(doc->previewShadingType, 1);
}
