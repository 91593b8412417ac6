// The anatomy body part: bone surface, lengths and joints, and its stored
// record at every schema.

#include <gtest/gtest.h>

#include <tuple>

#include "model/KBdlBodyPart.h"
#include "model/KModelClasses.h"
#include "support/KArchiveWrite.h"

namespace {

// A curve written in place: the points layout of schema 1, the string layout after it.
void writeCurve(KArchive& ar, uint16_t schema, double y, const char* text) {
    if (schema == 1) {
        kWriteFields(ar, 1u, 0, 0, 2, 0.0, y, 0.0, 1.0, y, 0.0); // flags, basis, repeat, points
    } else {
        kWriteFields(ar, text, "", "", "", 1u, 0, 0);
    }
    kWriteFields(ar, 20, 0, 3); // resolution, auxiliary, indexType X
}

// A body part record as the program wrote it at the given schema, with shear 0.25 in
// its first place and 0.75 in its second. A segment count other than 1 is written
// without segments after it.
std::vector<uint8_t> bodyPartRecord(uint16_t schema, uint32_t segmentCount = 1) {
    KArchive ar;
    kWriteClassHeader(ar, "KBdlBodyPart", schema);
    writeCurve(ar, schema, 2, "< 0, 2 >, < 1, 2 >"); // uProfile
    writeCurve(ar, schema, 3, "< 0, 3 >, < 1, 3 >"); // vProfile
    // partFlag, uOffset, uMode, uFlag, uRepeat, uFactor, shear, vFlag, vFactor
    kWriteFields(ar, 5, 0.25f, 6, 7, 2, 1.5f, 0.25f, 8, 2.5f);
    if (schema < 2) {
        return ar.bytes();
    }
    ar.writeInt32(1);                                // curvatureOn
    writeCurve(ar, schema, 0, "< 0, 0 >, < 1, 0 >"); // boneCurvature
    ar.writeFloat(0.75f);                            // shear again
    if (schema < 3) {
        return ar.bytes();
    }
    ar.writeInt32(3);                                // segmentFlag
    writeCurve(ar, schema, 4, "< 0, 2 >, < 1, 5 >"); // lengths
    ar.writeInt32(1);                                // bendsOn
    if (schema >= 10) {
        ar.writeFloat(0.5f); // bendScale
    }
    writeCurve(ar, schema, 0, "< 0, 0, 10 >, < 0, 0, 20 >"); // jointBends
    ar.writeCount(segmentCount);
    if (segmentCount == 1) {
        KBdlSegment segment;
        segment.name = "tail";
        ar.writeObject(&segment);
    }
    if (schema < 9) {
        return ar.bytes();
    }
    kWriteFields(ar, 1, 4); // bendType, bendMode
    if (schema < 10) {
        return ar.bytes();
    }
    KShapeSuperQ q;
    q.type = 2;
    q.serialize(ar);
    return ar.bytes();
}

class BodyPartStorage : public ::testing::Test {
protected:
    void SetUp() override { KRegisterModelClasses(); }
};

} // namespace

TEST(BodyPart, BoneSurfaceRepeatsAcrossU) {
    KBdlBodyPart p;
    p.uProfile = KBdlCurve("< 0, 0 >, < 0.5, 0.5 >, < 1, 1 >", 50, KBdlCurve::AxisX);
    p.uProfile.basis = KBdlCurve::Polyline; // uProfile(u) = u
    p.vProfile = KBdlCurve("< 0, 1 >, < 0.5, 1 >, < 1, 1 >", 50, KBdlCurve::AxisX);
    std::tie(p.uFactor, p.uOffset, p.vFactor) = std::tuple(1.0f, 0.25f, 2.0f);
    p.prepareCurves();
    // One repeat is no repeat; a profile that repeats itself is not repeated again.
    for (auto [repeat, profileRepeat, u, profile] : {std::tuple{0, 0, 0.3, 0.3},
                                                     {1, 0, 0.3, 0.3},
                                                     {2, 0, 0.3, 0.6},
                                                     {2, 0, 0.8, 0.6},
                                                     {3, 2, 0.3, 0.6}}) {
        std::tie(p.uRepeat, p.uProfile.repeatCount) = std::tuple(repeat, profileRepeat);
        EXPECT_DOUBLE_EQ(p.boneSurface(u, 0.4), 2.0 * (profile + 0.25)) << repeat << " at " << u;
    }
}

TEST(BodyPart, TotalLengthAndJoints) {
    KBdlBodyPart p;
    p.lengths.parse("< 0, 1, 0 >, < 0, 2, 0 >, < 0, 1, 0 >");
    p.jointBends.parse("< 0, 0, 0 >");
    p.ensureJoints();
    ASSERT_EQ(p.jointBends.count(), 3);
    EXPECT_EQ(std::vector(p.jointBends.points().begin(), p.jointBends.points().begin() + 3),
              std::vector<KVertex>(3));

    // Without lengths one segment of length 1 is made, and its joint.
    KBdlBodyPart empty;
    empty.ensureJoints();
    ASSERT_EQ(empty.lengths.count(), 1);
    EXPECT_EQ(std::tuple(empty.lengths.points()[0], empty.jointBends.count()),
              std::tuple(KVertex(0, 1, 0), 1));

    // More joints than segments are left alone.
    KBdlBodyPart more;
    more.lengths.parse("< 0, 1, 0 >");
    more.jointBends.parse("< 1, 2, 3 >, < 4, 5, 6 >");
    more.ensureJoints();
    EXPECT_EQ(more.jointBends.getString(), "< 1, 2, 3 >, < 4, 5, 6 >");
}

TEST_F(BodyPartStorage, RoundTripAtTheCurrentSchema) {
    KBdlBodyPart p;
    p.setDocumentDefaults(20, 30);
    std::tie(p.uFlag, p.vFlag, p.partFlag, p.segmentFlag) = std::tuple(2, 3, 4, 5);
    std::tie(p.curvatureOn, p.bendsOn, p.bendScale) = std::tuple(1, 1, 0.75f);
    std::tie(p.uFactor, p.uOffset, p.uMode, p.uRepeat) = std::tuple(1.25f, -0.5f, 6, 3);
    std::tie(p.shear, p.vFactor, p.bendType, p.bendMode) = std::tuple(0.125f, 3.5f, 1, 7);
    std::tie(p.superQuad.type, p.superQuad.rad2) = std::tuple(1, 0.25f);
    p.lengths.parse("< 0.1, 1, 0.2 >, < 0.3, 2, 0.4 >");
    p.boneCurvature.parse("< 0, 0.5, 0 >, < 1, 0.5, 0.25 >");
    p.jointBends.parse("< 10, 20, 30, 40 >, < 0, 0, 0 >");
    for (const char* name : {"hip", "knee"}) {
        auto s = std::make_unique<KBdlSegment>();
        std::tie(s->name, s->length, s->lo, s->hi) = std::tuple(name, 2.0f, 0.5f, 0.25f);
        p.segments.push_back(std::move(s));
    }

    KArchive out;
    out.writeObject(&p);
    KArchive in(out.bytes());
    auto back = in.readOwned<KBdlBodyPart>();
    ASSERT_TRUE(back);
    EXPECT_EQ(in.remaining(), 0u);
    // Every field above differs from a new body part's, so any field the loader skips or
    // misplaces makes storing the loaded copy give other bytes.
    KArchive again;
    again.writeObject(back.get());
    EXPECT_EQ(again.bytes(), out.bytes());
    EXPECT_EQ(std::tuple(back->segments[1]->name, back->jointBends.points()[0]),
              std::tuple("knee", KVertex(10, 20, 30, 40)));
    kExpectEveryPrefixFails(out.bytes(), [](KArchive& a) { a.readOwned<KBdlBodyPart>(); });
}

TEST_F(BodyPartStorage, OlderSchemasReadTheirItemsAndKeepTheSecondShear) {
    for (uint16_t schema : {1, 2, 8, 9, 10}) {
        SCOPED_TRACE(schema);
        KArchive in(bodyPartRecord(schema));
        const auto p = in.readOwned<KBdlBodyPart>();
        ASSERT_TRUE(p);
        EXPECT_EQ(in.remaining(), 0u);
        // The first eleven items are in every record.
        EXPECT_EQ(p->uProfile.points()[1], KVertex(1, 2));
        EXPECT_EQ(p->vProfile.points()[1], KVertex(1, 3));
        EXPECT_EQ(std::tuple(p->partFlag, p->uOffset, p->uMode, p->uFlag, p->uRepeat),
                  std::tuple(5, 0.25f, 6, 7, 2));
        EXPECT_EQ(std::tuple(p->uFactor, p->vFlag, p->vFactor), std::tuple(1.5f, 8, 2.5f));
        // Schema 2 added curvature and the second shear, which wins.
        const bool two = schema >= 2, three = schema >= 3;
        EXPECT_EQ(std::tuple(p->curvatureOn, p->boneCurvature.count(), p->shear),
                  two ? std::tuple(1, 2, 0.75f) : std::tuple(0, 0, 0.25f));
        // Schema 3 the segments and joints, without the bend scale.
        EXPECT_EQ(std::tuple(p->segmentFlag, p->totalLength(), p->bendsOn, p->jointBends.count()),
                  three ? std::tuple(3, 7.0, 1, 2) : std::tuple(1, 1.0, 0, 0));
        ASSERT_EQ(p->segments.size(), three ? 1u : 0u);
        EXPECT_TRUE(!three || p->segments[0]->name == "tail");
        // Schema 9 the bend type and mode; schema 10 the bend scale and superquadric.
        EXPECT_EQ(std::tuple(p->bendType, p->bendMode),
                  schema >= 9 ? std::tuple(1, 4) : std::tuple(0, 0));
        EXPECT_EQ(std::tuple(p->bendScale, p->superQuad.type, p->superQuad.clearBaseScaling),
                  schema >= 10 ? std::tuple(0.5f, 2, 0) : std::tuple(1.0f, 0, 1));
    }
}

TEST_F(BodyPartStorage, HugeSegmentCountIsAnError) {
    KArchive in(bodyPartRecord(8, 0x7FFFFFFF));
    std::string error;
    EXPECT_FALSE(loadArchive(
        in, [](KArchive& a) { a.readOwned<KBdlBodyPart>(); }, &error));
}
