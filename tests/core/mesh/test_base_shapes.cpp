// Base shapes: known points of every mapping, the superquadrics and curvature offsets.
// (The superquadric record's storage is checked with the body part that holds it, apart
// from owners too old to hold one.)

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "mesh/KBaseShape.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlBodyPart.h"
#include "model/KShapeSuperQ.h"
#include "support/KVertexExpect.h"

namespace {

// The position of one object point through a shape without curvature.
KVertex mapPoint(int shape, const KVertex& op, double us = 1, double hs = 1, double vs = 1) {
    const KShapeSuperQ q;
    return KBaseShape(shape, us, hs, vs, &q, nullptr).map(op);
}

KVertex superPoint(const KShapeSuperQ& q, double u, double d, double v) {
    return q.evaluate({u, d, v});
}

} // namespace

TEST(BaseShape, NormalizesIds) {
    for (auto [id, normal] :
         {std::pair{103, 100}, {104, 104}, {51, 50}, {204, 200}, {5000, 1000}, {3, 3}}) {
        EXPECT_EQ(KBaseShape::normalizeId(id), normal) << id;
    }
}

TEST(BaseShape, PlanarAndDisc) {
    EXPECT_EQ(mapPoint(KBaseShape::Planar, {0.25, 2, 0.5}, 2, 3, 4), KVertex(0.5, 2, -6));
    // The disc's v is the radius: v = 0 is the centre, its depth −heightScale·d.
    kExpectNear(mapPoint(KBaseShape::Disc, {0.3, 2, 0}, 1, 1.5), {0, 0, -3});
    kExpectNear(mapPoint(KBaseShape::Disc, {0.25, 0, 1}, 1, 1, 2), {0, -2, 0});
}

// A conic ring runs around the axis; without height it collapses onto it.
TEST(BaseShape, ConicAndSpheric) {
    kExpectNear(mapPoint(KBaseShape::Conic, {0.5, 2, 1}, 2, 1.5, 3), {-6, 3, 0});
    // No height collapses the ring onto the axis.
    kExpectNear(mapPoint(KBaseShape::Conic, {0.8, 0, 0.5}), {0, 0.5, 0});
    // Spheric rings meet at the poles.
    kExpectNear(mapPoint(KBaseShape::Spheric, {0, 1, 0.5}), {1, 0, 0});
    kExpectNear(mapPoint(KBaseShape::Spheric, {0.25, 2, 0.5}, 1, 1, 3), {0, 0, 2});
    kExpectNear(mapPoint(KBaseShape::Spheric, {0.3, 1, 0}, 1, 1, 2), {0, -2, 0});
    kExpectNear(mapPoint(KBaseShape::Spheric, {0.7, 1, 1}, 1, 1, 2), {0, 2, 0});
}

TEST(BaseShape, UnmappedIdsGiveTheOriginPlusCurvature) {
    KBdlCurve curvature("< 0, 5, 1, 0.5 >, < 0.5, 5, 1, 0.5 >, < 1, 5, 1, 0.5 >", 50,
                        KBdlCurve::AxisX);
    curvature.basis = KBdlCurve::Polyline;
    curvature.prepare();
    // The curve's vertex at v is (v, 5, 1, 0.5); its y never moves a point.
    // 100 is the superquadric, here without its record.
    for (int id : {4, 50, 100, 200, 1000, 7}) {
        EXPECT_EQ(KBaseShape(id, 1, 1, 1, nullptr, &curvature).map({0.3, 2, 0.5}),
                  KVertex(0.5, 0, 1, 0.5))
            << id;
    }
    EXPECT_EQ(KBaseShape(KBaseShape::Planar, 1, 1, 1, nullptr, &curvature).map({0.25, 2, 0.5}),
              KVertex(0.75, 0.5, -1, 0.5));
}

TEST(BaseShape, GridComputeStretchesVAndIsRepeatable) {
    KBdlBodyPart part;
    part.lengths.parse("< 0, 1, 0 >, < 0, 2, 0 >");
    part.curvatureOn = 1;
    part.boneCurvature = KBdlCurve("< 0, 0, 0.5 >, < 1, 0, 0.5 >", 50, KBdlCurve::AxisX);
    KMeshGrid g;
    ASSERT_EQ(g.create(1, 1), 0);
    g.objectPoints()[0] = {0.25, 2, 0.5};
    ASSERT_EQ(g.compute(KBaseShape::Planar, 1, 1, 4, part), 0);
    // v is stretched by the total length 3; the curvature adds x = v, z = 0.5.
    EXPECT_EQ(std::tuple(g.positions()[0], g.vScale), std::tuple(KVertex(0.75, 6, -1.5), 4.0));
    ASSERT_EQ(g.compute(4, 1, 1, 4, part), 0);
    ASSERT_EQ(g.compute(4, 1, 1, 4, part), 0);
    EXPECT_EQ(g.positions()[0], KVertex(0.5, 0, 0.5));
}

TEST(SuperQuadric, EllipticIsASphereWithSquareExponents) {
    const KShapeSuperQ q; // exponents 2, bounds 0.5, rad1 1: a sphere of radius 0.5
    kExpectNear(superPoint(q, 0, 0.25, 0.5), {0.75, 0, 0}); // pushed out along the radius
    kExpectNear(superPoint(q, 0.25, 0, 0.5), {0, 0, 0.5});
    kExpectNear(superPoint(q, 0.6, -0.1, 0), {0, -0.4, 0});

    KShapeSuperQ square = q;
    square.exponent2 = 4.0f; // e2 = 0.5: the ring bulges towards a square
    const double c = 0.5 * std::sqrt(std::sqrt(0.5));
    kExpectNear(superPoint(square, 0.125, 0, 0.5), {c, 0, c});
    // The shape ignores the grid's scale factors.
    EXPECT_EQ(KBaseShape(101, 3, 3, 3, &square, nullptr).map({0.125, 0, 0.5}),
              superPoint(square, 0.125, 0, 0.5));
}

// On the torus u = 0.5 is the outer equator: R = rad1 + rad2 = 1.5, times boundX 0.5.
TEST(SuperQuadric, ToricAndConic) {
    KShapeSuperQ torus, cone, other;
    std::tie(torus.type, cone.type, other.type) =
        std::tuple(KShapeSuperQ::Toric, KShapeSuperQ::Conic, 9);
    kExpectNear(superPoint(torus, 0.5, 0.1, 0), {0.85, 0, 0});
    kExpectNear(superPoint(torus, 0.5, 0, 0.25), {0, 0.75, 0});
    // u = 0.75 is the top of the tube, pushed up by d.
    kExpectNear(superPoint(torus, 0.75, 0.1, 0), {0.5, 0, 0.35});

    kExpectNear(superPoint(cone, 0, 0.2, 0.5), {0.7, 0.25, 0});
    kExpectNear(superPoint(cone, 0.25, 0.2, 1), {0, 0.5, 0.7});
    // An unknown type is elliptic.
    EXPECT_EQ(superPoint(other, 0.3, 0.1, 0.4), superPoint(KShapeSuperQ(), 0.3, 0.1, 0.4));
}

TEST(SuperQuadric, DegenerateExponentsStayFinite) {
    KShapeSuperQ q;
    q.exponent1 = -2.0f;
    q.exponent2 = 0.0f;
    for (double u : {0.0, 0.25, 0.5}) {
        for (double v : {0.0, 0.5, 1.0}) {
            const KVertex p = superPoint(q, u, 0.1, v);
            EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << p;
        }
    }
    EXPECT_EQ(KShapeSuperQ::signedPower(-0.25, 0.5), -0.5);
    EXPECT_EQ(KShapeSuperQ::signedPower(0.0, -1.0), 0.0);
}

// Owners before schema 10 stored no superquadric: nothing is read and the defaults stay.
TEST(SuperQuadric, OlderOwnersReadNothing) {
    KShapeSuperQ stored;
    stored.type = 2;
    KArchive out;
    stored.serialize(out);
    KArchive old(out.bytes());
    old.setObjectSchema(9);
    KShapeSuperQ kept;
    kept.serialize(old);
    EXPECT_EQ(std::tuple(old.remaining(), kept.type), std::tuple(out.bytes().size(), 0));
}
