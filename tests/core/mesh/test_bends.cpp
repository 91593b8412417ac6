// Anatomy bends of both types on a chain of three segments (lengths 1, 2 and 1, so the
// chain is 4 long and t = 4v). Positions on the chain are hand-computed.

#include <gtest/gtest.h>

#include <cmath>

#include "mesh/KAnatomyBend.h"
#include "mesh/KBaseShape.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlBodyPart.h"
#include "platform/KScriptedUi.h"
#include "support/KVertexExpect.h"

namespace {

void setUp(KBdlBodyPart& p, const char* lengths, const char* joints, int type) {
    p.lengths.parse(lengths);
    p.jointBends.parse(joints);
    p.bendType = type;
    p.bendsOn = 1;
}

// A ring point: x and z survive the bend, y is replaced by the chain.
const KVertex kRing{0.5, 9.0, 0.25};
const char* kPlain = "< 0, 1, 0 >, < 0, 2, 0 >, < 0, 1, 0 >";
const double kH = std::sqrt(0.5) / 2; // 0.5·sin 45°

} // namespace

TEST(Bend, StraightChainWithoutAngles) {
    for (int type : {0, 1}) {
        KBdlBodyPart p;
        setUp(p, kPlain, "< 0, 0, 0 >, < 0, 0, 0 >, < 0, 0, 0 >", type);
        const KAnatomyBend bend(p);
        ASSERT_EQ(bend.status(), KAnatomyBend::Ready);
        EXPECT_EQ(bend.totalLength(), 4.0);
        EXPECT_EQ(bend.jointTable().count(), 0);
        // The object runs straight down −y, T·vScale long, ending at the origin.
        for (double v : {0.0, 0.2, 1.0}) {
            kExpectNear(bend.apply(kRing, v, 2.0), {0.5, 2.0 * (4 * v - 4), 0.25});
        }
    }
}

TEST(Bend, OneJointTurnsTheRingsBeforeIt) {
    // The joint between the second and third segment turns by 90° about z: the chain
    // runs along −x, then turns down; the tip is at the origin.
    for (int type : {0, 1}) {
        KBdlBodyPart p;
        setUp(p, kPlain, "< 0, 0, 0 >, < 0, 0, 90 >, < 0, 0, 0 >", type);
        const KAnatomyBend bend(p);
        kExpectNear(bend.apply(kRing, 0.125, 1.0), {-2.5, -1.5, 0.25});
        kExpectNear(bend.apply(kRing, 0.5, 2.0), {-2.0, -2.5, 0.25});
    }
}

TEST(Bend, TypesDifferInTheOrderOfTurns) {
    // Joint 0 turns about x, joint 1 about z. Type1 turns the first segment by the sum
    // (Z then X); Type 2 turns joint by joint (X for joint 0, then Z for joint 1).
    const char* joints = "< 90, 0, 0 >, < 0, 0, 90 >, < 0, 0, 0 >";
    KBdlBodyPart one;
    setUp(one, kPlain, joints, 0);
    kExpectNear(KAnatomyBend(one).apply(kRing, 0.125, 1.0), {-2.0, -1.25, -1.0});
    kExpectNear(KAnatomyBend(one).apply(kRing, 0.5, 1.0), {-1.0, -1.5, 0.25});
    KBdlBodyPart two;
    setUp(two, kPlain, joints, 1);
    kExpectNear(KAnatomyBend(two).apply(kRing, 0.125, 1.0), {-2.25, -1.5, -0.5});
    kExpectNear(KAnatomyBend(two).apply(kRing, 0.5, 1.0), {-1.0, -1.5, 0.25});
}

TEST(Bend, TypeOneBlendsTheTurnOverTheJointZone) {
    // Hi 0.5 of the first segment blends joint 0 over the first half of segment two
    // (t from 1 to 2); the joint turns 90° about z.
    KBdlBodyPart p;
    setUp(p, "< 0, 1, 0.5 >, < 0, 2, 0 >, < 0, 1, 0 >", "< 0, 0, 90 >, < 0, 0, 0 >, < 0, 0, 0 >",
          0);
    const KAnatomyBend bend(p);
    ASSERT_EQ(bend.rotationTable().count(), 4); // one blend entry, three segments
    kExpectNear(bend.apply(kRing, 0.375, 1.0), {kH, -2.5 - kH, 0.25}); // turned by 45°
    kExpectNear(bend.apply(kRing, 0.625, 1.0), {0.5, -1.5, 0.25});     // past the zone
}

TEST(Bend, TypeTwoMovesRingsOnAnArcAroundTheJoint) {
    // Lo and Hi 0.5: the zone of joint 0 runs from t = 0.5 to 2. The chain position at
    // 0.5 is (−0.5, −3), the joint (0, −3), the position at 2 is (0, −2).
    KBdlBodyPart p;
    setUp(p, "< 0.5, 1, 0.5 >, < 0, 2, 0 >, < 0, 1, 0 >", "< 0, 0, 90 >, < 0, 0, 0 >, < 0, 0, 0 >",
          1);
    const KAnatomyBend bend(p);
    ASSERT_EQ(bend.status(), KAnatomyBend::Ready);
    ASSERT_EQ(bend.jointTable().count(), 1);
    kExpectNear(bend.jointTable().entry(0).lowValue, {0.5, 0, 0, 0});
    kExpectNear(bend.jointTable().entry(0).highValue, {0, 1, 0, 0});
    // Halfway through the zone: turned by 45°, and moved a quarter circle's half along
    // the arc from (−0.5, −3) towards (0, −2).
    const double s = std::sqrt(0.5);
    const KVertex arc{0.5 * s, 1 - s, 0};
    kExpectNear(bend.apply(kRing, 0.3125, 1.0), {kH - 0.5 + arc.x, -kH - 3 + arc.y, 0.25});
    // At the zone's start the arc has not begun.
    kExpectNear(bend.apply(kRing, 0.125, 1.0), {-0.5, -3.5, 0.25});
    // Outside every zone the ring sits on the chain as in Type1.
    kExpectNear(bend.apply(kRing, 0.875, 1.0), {0.5, -0.5, 0.25});
}

TEST(Bend, NothingToBend) {
    KBdlBodyPart zero;
    setUp(zero, kPlain, "< 0, 0, 90 >, < 30, 0, 0 >, < 0, 45, 0 >", 0);
    zero.bendScale = 0.0f; // every turn is 0: the straight chain
    kExpectNear(KAnatomyBend(zero).apply(kRing, 0.5, 1.0), {0.5, -2.0, 0.25});

    KBdlBodyPart single;
    setUp(single, "< 0, 1, 0 >", "< 0, 0, 90 >, < 0, 0, 0 >", 0);
    const KAnatomyBend none(single);
    EXPECT_EQ(none.status(), KAnatomyBend::Inactive);
    EXPECT_EQ(none.apply(kRing, 0.5, 1.0), kRing);
}

TEST(Bend, ComputeBendsTheGridAndItsBounds) {
    KBdlBodyPart p;
    setUp(p, kPlain, "< 0, 0, 0 >, < 0, 0, 90 >, < 0, 0, 0 >", 0);
    KMeshGrid g;
    ASSERT_EQ(g.create(1, 3), 0);
    const double vs[] = {0.125, 0.5, 0.875};
    for (int j = 0; j < 3; ++j) {
        g.objectPoints()[size_t(j)] = {0.5, -0.25, vs[j]};
    }
    ASSERT_EQ(g.compute(KBaseShape::Planar, 1.0, 1.0, 1.0, p), 0);
    kExpectNear(g.positions()[1], {-1.0, -1.5, 0.25});
    KVertex lo, hi;
    g.getBounds(lo, hi);
    kExpectNear(lo, {-2.5, -1.5, 0.25});
    kExpectNear(hi, {0.5, -0.5, 0.25});
}

TEST(Bend, TypeTwoZoneBeforeTheChainIsReported) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KBdlBodyPart p;
    // Lo 2 of a segment 1 long starts the zone at t = −1, before the chain.
    setUp(p, "< 2, 1, 0 >, < 0, 1, 0 >", "< 0, 0, 90 >, < 0, 0, 0 >", 1);
    EXPECT_EQ(KAnatomyBend(p).status(), KAnatomyBend::JointEntryMissing);
    KMeshGrid g;
    ASSERT_EQ(g.create(1, 1), 0);
    g.objectPoints()[0] = {0.5, -0.25, 0.5};
    EXPECT_EQ(g.compute(KBaseShape::Planar, 1.0, 1.0, 1.0, p), 0); // the mesh is still valid
    EXPECT_EQ(g.applyBends(p), 1);
    const std::string message = "BendType2: Failed to locate Joint Entry!\nUse BendType1!";
    EXPECT_EQ(ui.messages(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(g.positions()[0], KVertex(0.5, 1.0, 0.25)); // as the shape put it
}

TEST(Bend, TwistBlendsAlongTheSegmentInTypeOneOnly) {
    // Joint 0 twists by 90° about y; Type1 blends the twist from 90° at the start of
    // the first segment to 0° at its end. Type 2 does not twist.
    const char* joints = "< 0, 0, 0, 90 >, < 0, 0, 0 >, < 0, 0, 0 >";
    KBdlBodyPart one;
    setUp(one, kPlain, joints, 0);
    const double c = std::sqrt(0.5);
    kExpectNear(KAnatomyBend(one).apply(kRing, 0.125, 1.0),
                {(0.5 - 0.25) * c, -3.5, (0.25 + 0.5) * c});
    KBdlBodyPart two;
    setUp(two, kPlain, joints, 1);
    kExpectNear(KAnatomyBend(two).apply(kRing, 0.125, 1.0), {0.5, -3.5, 0.25});
}
