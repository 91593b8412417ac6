// Older document files, kept in tests/data/document as the older versions wrote them: each
// version's layout is read, and what an older file lacks keeps the value of a new
// document. Each file is followed by 64 bytes of 0x07, which any field read by mistake
// past the layout would pick up.
//
// What the files hold (every value differs from a new document's):
// - the preview state: rotation 30 about y, scale 2, delay 25, spin (1, 2, 3),
//   projection 1, near 0.5, far 80, field of view 30, left handed 0 (from version 2 on);
// - scalings 2, 3 and 0.5, clip ranges u 0 to 0.5 and v 0.25 to 1, resolution 8 x 6,
//   base shape Spheric, mesh type Layered (from version 2 on), image resolution
//   64 x 32, reserved 7, interpolated heights, current item 4;
// - a body part of the file's schema: uOffset 0.125, uFactor 0.75, shear 0.0625 (the
//   first copy) and 0.03125 (the second copy, schema 2 on, the one kept), vFactor 2,
//   curvature on (schema 2 on) and bends on (schema 3 on), lengths of 1 and 2;
// - version1-without-magic.qrz: no magic, a schema-1 body part (its curves stored as
//   points), the layers "first" (schema 1, not physical) and "second", then the grid
//   fields without a mesh type;
// - version1.qrz: the same after the magic, without layers;
// - version2.qrz: only a description, "Only a description", and the layer "L";
// - version5.qrz: "Leg", "A leg" and the layers A to D;
// - version6.qrz: "Arm", "An arm", the layers A and B and the df3 options 20 x 30 x 40,
//   density source 2, no item uvw, base value 0.5, scale 2;
// - version8.qrz, and the unknown versions version0.qrz, version11.qrz and
//   version-3.qrz with a body part of the current layout and bend type 1: as version 6,
//   then the preview selection: shading Flat (2), layer mode 1 and the layers 1, 0, 5;
// - version8-negative-selection.qrz: as version 6, then shading 1, layer mode 0 and a
//   selection count of -5 (without the trailing bytes).

#include <gtest/gtest.h>

#include <tuple>

#include "core/document/document_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KTestFiles.h"

using namespace doctest;

namespace {

std::unique_ptr<CPexaDoc> loadFile(const std::string& name, int* version = nullptr) {
    const std::string bytes = kSlurp(std::string(QUORL_TEST_DATA_DIR) + "/document/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return loadOk(std::vector<uint8_t>(bytes.begin(), bytes.end()), version);
}

// What every file here stores from scalingU to currentItem.
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

} // namespace

TEST(DocumentVersions, Version1WithoutMagicIsConvertedFromTheStart) {
    KScriptedUi ui;
    KUiScope scope(ui);
    int version = 0;
    auto doc = loadFile("version1-without-magic.qrz", &version);
    ASSERT_TRUE(doc);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"This is an older file format!\n\n"
                                                      "...converting to current format..."});
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

    // After the magic, version 1 is read without the conversion message.
    KScriptedUi quiet;
    KUiScope quietScope(quiet);
    doc = loadFile("version1.qrz");
    ASSERT_TRUE(doc);
    EXPECT_TRUE(quiet.messages().empty());
    expectGridFields(*doc, false);
    EXPECT_TRUE(doc->layers.empty());
}

TEST(DocumentVersions, Version2HasOnlyADescription) {
    auto doc = loadFile("version2.qrz");
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
    auto doc = loadFile("version5.qrz");
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
    auto doc = loadFile("version6.qrz");
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
        auto doc = loadFile("version" + std::to_string(version) + ".qrz");
        ASSERT_TRUE(doc);
        expectGridFields(*doc);
        EXPECT_EQ(doc->layers.size(), 2u);
        EXPECT_EQ(doc->feoPMedia.sizeY, 30);
        EXPECT_EQ(doc->previewShadingType, 2);
        EXPECT_EQ(doc->previewLayerMode, 1);
        EXPECT_EQ(doc->previewLayers, (std::vector<int32_t>{1, 0, 5}));
        EXPECT_EQ(doc->bodyPart.bendType, version == 8 ? 0 : 1);
    }
    // A negative selection count means none.
    auto doc = loadFile("version8-negative-selection.qrz");
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->previewLayers.empty());
    EXPECT_EQ(doc->previewShadingType, 1);
}
