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
    p.uFactor = 1.0f;
    p.uOffset = 0.25f;
    p.vFactor = 2.0f;
    p.prepareCurves();
    EXPECT_DOUBLE_EQ(p.boneSurface(0.3, 0.4), 2.0 * (0.3 + 0.25));
    p.uRepeat = 1; // one repeat is no repeat
    EXPECT_DOUBLE_EQ(p.boneSurface(0.3, 0.4), 2.0 * (0.3 + 0.25));
    p.uRepeat = 2;
    EXPECT_DOUBLE_EQ(p.boneSurface(0.3, 0.4), 2.0 * (0.6 + 0.25));
    EXPECT_DOUBLE_EQ(p.boneSurface(0.8, 0.4), 2.0 * (0.6 + 0.25));
    // A profile that repeats itself is not repeated again.
    p.uRepeat = 3;
    p.uProfile.repeatCount = 2;
    EXPECT_DOUBLE_EQ(p.boneSurface(0.3, 0.4), 2.0 * (0.6 + 0.25));
}

TEST(BodyPart, TotalLengthAndJoints) {
    KBdlBodyPart p;
    p.lengths.parse("< 0, 1, 0 >, < 0, 2, 0 >");
    EXPECT_EQ(p.totalLength(), 3.0);

    p.lengths.parse("< 0, 1, 0 >, < 0, 2, 0 >, < 0, 1, 0 >");
    p.jointBends.parse("< 0, 0, 0 >");
    p.ensureJoints();
    ASSERT_EQ(p.jointBends.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.jointBends.points()[size_t(i)], KVertex());
    }

    // Without lengths one segment of length 1 is made, and its joint.
    KBdlBodyPart empty;
    empty.ensureJoints();
    ASSERT_EQ(empty.lengths.count(), 1);
    EXPECT_EQ(empty.lengths.points()[0], KVertex(0, 1, 0));
    EXPECT_EQ(empty.jointBends.count(), 1);

    // More joints than segments are left alone.
    KBdlBodyPart more;
    more.lengths.parse("< 0, 1, 0 >");
    more.jointBends.parse("< 1, 2, 3 >, < 4, 5, 6 >");
    more.ensureJoints();
    EXPECT_EQ(more.jointBends.getString(), "< 1, 2, 3 >, < 4, 5, 6 >");

    more.segments.push_back(std::make_unique<KBdlSegment>());
    more.clearSegments();
    EXPECT_TRUE(more.segments.empty());
}

TEST_F(BodyPartStorage, RoundTripAtTheCurrentSchema) {
    KBdlBodyPart p;
    p.setDocumentDefaults(20, 30);
    p.uFlag = 2;
    p.vFlag = 3;
    p.partFlag = 4;
    p.segmentFlag = 5;
    p.lengths.parse("< 0.1, 1, 0.2 >, < 0.3, 2, 0.4 >");
    p.curvatureOn = 1;
    p.boneCurvature.parse("< 0, 0.5, 0 >, < 1, 0.5, 0.25 >");
    p.bendsOn = 1;
    p.bendScale = 0.75f;
    p.jointBends.parse("< 10, 20, 30, 40 >, < 0, 0, 0 >");
    p.uFactor = 1.25f;
    p.uOffset = -0.5f;
    p.uMode = 6;
    p.uRepeat = 3;
    p.shear = 0.125f;
    p.vFactor = 3.5f;
    for (const char* name : {"hip", "knee"}) {
        auto s = std::make_unique<KBdlSegment>();
        s->name = name;
        p.segments.push_back(std::move(s));
    }
    p.bendType = 1;
    p.bendMode = 7;
    p.superQuad.type = 1;
    p.superQuad.rad2 = 0.25f;

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
    EXPECT_EQ(back->segments[1]->name, "knee");
    EXPECT_EQ(back->jointBends.points()[0], KVertex(10, 20, 30, 40));
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
        EXPECT_EQ(p->curvatureOn, schema >= 2 ? 1 : 0);
        EXPECT_EQ(p->boneCurvature.count(), schema >= 2 ? 2 : 0);
        EXPECT_EQ(p->shear, schema >= 2 ? 0.75f : 0.25f);
        // Schema 3 the segments and joints, without the bend scale.
        EXPECT_EQ(p->segmentFlag, schema >= 3 ? 3 : 1);
        EXPECT_EQ(p->totalLength(), schema >= 3 ? 7.0 : 1.0);
        EXPECT_EQ(p->bendsOn, schema >= 3 ? 1 : 0);
        EXPECT_EQ(p->jointBends.count(), schema >= 3 ? 2 : 0);
        ASSERT_EQ(p->segments.size(), schema >= 3 ? 1u : 0u);
        if (schema >= 3) {
            EXPECT_EQ(p->segments[0]->name, "tail");
        }
        // Schema 9 the bend type and mode; schema 10 the bend scale and superquadric.
        EXPECT_EQ(std::tuple(p->bendType, p->bendMode),
                  schema >= 9 ? std::tuple(1, 4) : std::tuple(0, 0));
        EXPECT_EQ(p->bendScale, schema >= 10 ? 0.5f : 1.0f);
        EXPECT_EQ(p->superQuad.type, schema >= 10 ? 2 : 0);
        EXPECT_EQ(p->superQuad.clearBaseScaling, schema >= 10 ? 0 : 1);
    }
}

TEST_F(BodyPartStorage, HugeSegmentCountIsAnError) {
    KArchive in(bodyPartRecord(8, 0x7FFFFFFF));
    std::string error;
    EXPECT_FALSE(loadArchive(
        in, [](KArchive& a) { a.readOwned<KBdlBodyPart>(); }, &error));
}
