// Vertices, vertex lists and the body-definition base classes.

#include <gtest/gtest.h>

#include <tuple>

#include "model/KBdlCurve.h"
#include "model/KVertex.h"
#include "model/KVertexList.h"
#include "support/KVertexExpect.h"

TEST(Vertex, ArithmeticCarriesWButLengthsIgnoreIt) {
    KVertex a(1, 2, 3, 4);
    a.add({1, 1, 1, 1});
    a.subtract({3, 1, 1, 1});
    a.abs();
    EXPECT_EQ(a, KVertex(1, 2, 3, 4));
    KVertex v(3, 0, 4, 7), zero(0, 0, 0, 2);
    v.normalize();
    zero.normalize();
    EXPECT_EQ(std::tuple(v, zero), std::tuple(KVertex(0.6, 0, 0.8, 7), KVertex(0, 0, 0, 2)));
    EXPECT_EQ(KVertex(1, 0, 0, 5).cross({0, 1, 0, 5}), KVertex(0, 0, 1, 0));
    EXPECT_EQ(KVertex(1, 3, 2, 5).divide({2, 0, 4, 0}), KVertex(0.5, 3, 0.5, 5));
    KVertex lo(1, 1, 1, 9), hi(1, 1, 1, 9);
    lo.minWith({0, 2, -1, 0});
    hi.maxWith({0, 2, -1, 0});
    EXPECT_EQ(std::tuple(lo, hi), std::tuple(KVertex(0, 1, -1, 9), KVertex(1, 2, 1, 9)));
}

TEST(Vertex, RotationsInDegrees) {
    KVertex z(1, 0, 0), x(0, 1, 0), y(1, 0, 0);
    z.rotateZ(90);
    x.rotateX(90);
    y.rotateY(90);
    kExpectNear(z, {0, -1, 0});
    kExpectNear(x, {0, 0, 1});
    kExpectNear(y, {0, 0, 1});
}

TEST(VertexList, CopiesCurvePointsAndMapsToRect) {
    KBdlCurve curve("< 0, 0 >, < 1, 1 >, < 0.5, 0.25, 3, 4 >");
    KVertexList list(curve);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.vertices[2], KVertex(0.5, 0.25, 3, 4));
    list.mapToRect(10, 20, 110, 220);
    EXPECT_EQ(list.vertices, (std::vector<KVertex>{{10, 220}, {110, 20}, {60, 170, 3, 4}}));
    list.assign(KBdlCurve());
    EXPECT_EQ(list.count(), 0);
}
