// The self-contained model object: its grid and its stream by version.

#include <gtest/gtest.h>

#include <tuple>

#include "document/KCoreClasses.h"
#include "document/KMdlDoc.h"
#include "platform/KArchive.h"
#include "support/KArchiveWrite.h"
#include "support/KTestFiles.h"

namespace {

std::vector<uint8_t> streamOf(KMdlDoc& m) {
    KArchive ar;
    m.serialize(ar);
    return ar.bytes();
}

std::unique_ptr<KMdlDoc> readModel(std::vector<uint8_t> bytes) {
    KArchive ar(std::move(bytes));
    auto m = std::make_unique<KMdlDoc>();
    ar.setObjectSchema(10);
    m->serialize(ar);
    return m;
}

// A model whose every stored field differs from the defaults.
void changeEverything(KMdlDoc& m) {
    m.objectName = "Hand";
    m.description = "A hand";
    m.uResolution = 8;
    m.vResolution = 6;
    m.baseShape = 0;
    m.scalingV = 2.0;
    m.clip = {0.5, 1.0, 0.0, 0.5};
    m.meshType = 1;
    m.imageResolutionU = 50;
    m.reserved = 3;
    m.currentItem = 5;
    m.preview.orientation[4] = 12.0f;
    m.preview.valueA = 7;
    m.preview.vectorD[2] = 1.5f;
    m.preview.valueE = 1;
    m.bodyPart.uFactor = 0.25f;
    m.bodyPart.bendsOn = 1;
    m.layers.push_back(std::make_unique<KBdlLayer>());
    m.layers.back()->name = "Skin";
    m.layers.back()->muscles.push_back(std::make_unique<KBdlMuscle>(KBdlMuscle::Point));
    m.feoPMedia.sizeZ = 33;
}

} // namespace

TEST(ModelDocument, RoundTripThroughAnArchive) {
    KRegisterCoreClasses();
    KMdlDoc fresh;
    const std::vector<uint8_t> freshBytes = streamOf(fresh);
    auto back = readModel(freshBytes);
    EXPECT_EQ(streamOf(*back), freshBytes);
    EXPECT_EQ(back->meshGrid->uCount(), 21);

    KMdlDoc m;
    changeEverything(m);
    const std::vector<uint8_t> bytes = streamOf(m);
    auto changed = readModel(bytes);
    EXPECT_EQ(streamOf(*changed), bytes);
    EXPECT_EQ(std::tuple(changed->objectName, changed->preview.valueA, changed->preview.vectorD[2],
                         changed->layers.size(), changed->feoPMedia.sizeZ),
              std::tuple("Hand", 7u, 1.5f, 1u, 33));
    // U 8 over 0.5..1: samples 4 to 8; V 6 over 0..0.5: samples 0 to 4.
    EXPECT_EQ(changed->meshGrid->uCount(), 5);
    EXPECT_EQ(changed->meshGrid->vCount(), 5);

    // As a tagged object it is created by its class name.
    KArchive out;
    out.writeObject(&m);
    KArchive in(out.bytes());
    auto tagged = in.readOwned<KMdlDoc>();
    ASSERT_TRUE(tagged);
    EXPECT_EQ(streamOf(*tagged), bytes);
}

TEST(ModelDocument, OlderVersionsReadLess) {
    KRegisterCoreClasses();
    KMdlDoc m;
    changeEverything(m);
    std::vector<uint8_t> bytes = streamOf(m);
    const KMdlDoc defaults;

    // Versions 1 to 3: nothing after the version; the model keeps its defaults.
    bytes[4] = 2;
    auto v2 = readModel(bytes);
    EXPECT_EQ(streamOf(*v2), streamOf(const_cast<KMdlDoc&>(defaults)));
    EXPECT_EQ(v2->meshGrid->uCount(), 21);

    // Version 5 (tests/data/document/model-version5.bin): the model above up to its layers,
    // its body part in the layout of schemas 3 to 8 (no bend scale, bend type or
    // superquadric), then 40 bytes of 0x05 that a df3 read by mistake would take. The
    // df3 options keep their defaults.
    const std::string v5bytes =
        kSlurp(std::string(QUORL_TEST_DATA_DIR) + "/document/model-version5.bin");
    auto v5 = readModel(std::vector<uint8_t>(v5bytes.begin(), v5bytes.end()));
    EXPECT_EQ(
        std::tuple(v5->objectName, v5->bodyPart.uFactor, v5->bodyPart.bendsOn, v5->layers.size()),
        std::tuple("Hand", 0.25f, 1, 1u));
    EXPECT_EQ(std::tuple(v5->feoPMedia.sizeX, v5->feoPMedia.sizeZ, v5->feoPMedia.baseValue),
              std::tuple(10, 10, 0.25f));
    EXPECT_EQ(v5->meshGrid->uCount(), 5);
}

TEST(ModelDocument, DamagedStreamsFailAndKeepTheGridUsable) {
    KRegisterCoreClasses();
    KMdlDoc m;
    changeEverything(m);
    kExpectEveryPrefixFails(streamOf(m), [](KArchive& a) { KMdlDoc().serialize(a); });
    // Resolutions and clip ranges out of range give a usable grid.
    KMdlDoc odd;
    odd.uResolution = 0;
    odd.vResolution = 100000;
    odd.clip = {0.9, 0.1, 0.0, 1.0};
    auto back = readModel(streamOf(odd));
    EXPECT_EQ(back->uResolution, 1);
    EXPECT_EQ(back->vResolution, KMdlDoc::kMaxResolution);
    EXPECT_EQ(back->meshGrid->uCount(), 2);
    EXPECT_EQ(back->meshGrid->vCount(), 513);
}
