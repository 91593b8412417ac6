// Vertices, vertex lists and the body-definition base classes.

#include <gtest/gtest.h>

#include <tuple>

#include "model/KBdlCurve.h"
#include "model/KVertex.h"
#include "model/KVertexList.h"
#include "support/KVertexExpect.h"

TEST(Vertex, ArithmeticCarriesW) {
    KVertex a(1, 2, 3, 4);
    a.add({1, 1, 1, 1});
    EXPECT_EQ(a, KVertex(2, 3, 4, 5));
    a.subtract({2, 3, 4, 5});
    EXPECT_EQ(a, KVertex());
    KVertex n(-1, 2, -3, -4);
    n.abs();
    EXPECT_EQ(n, KVertex(1, 2, 3, 4));
    EXPECT_EQ(KVertex(3, 1, 2, 9) - KVertex(1, 1, 1, 1), KVertex(2, 0, 1, 8));
}

TEST(Vertex, LengthAndNormalizeIgnoreW) {
    KVertex v(3, 0, 4, 7);
    EXPECT_EQ(v.length(), 5.0);
    v.normalize();
    EXPECT_EQ(v, KVertex(0.6, 0, 0.8, 7));
    KVertex zero(0, 0, 0, 2);
    zero.normalize();
    EXPECT_EQ(zero, KVertex(0, 0, 0, 2));
}

TEST(Vertex, CrossDivideAndBounds) {
    EXPECT_EQ(KVertex(1, 0, 0, 5).cross({0, 1, 0, 5}), KVertex(0, 0, 1, 0));
    EXPECT_EQ(KVertex(1, 3, 2, 5).divide({2, 0, 4, 0}), KVertex(0.5, 3, 0.5, 5));
    KVertex lo(1, 1, 1, 9), hi(1, 1, 1, 9);
    lo.minWith({0, 2, -1, 0});
    hi.maxWith({0, 2, -1, 0});
    EXPECT_EQ(std::tuple(lo, hi), std::tuple(KVertex(0, 1, -1, 9), KVertex(1, 2, 1, 9)));
}

TEST(Vertex, RotationsInDegrees) {
    KVertex z(1, 0, 0);
    z.rotateZ(90);
    kExpectNear(z, {0, -1, 0});
    KVertex x(0, 1, 0);
    x.rotateX(90);
    kExpectNear(x, {0, 0, 1});
    KVertex y(1, 0, 0);
    y.rotateY(90);
    kExpectNear(y, {0, 0, 1});
    EXPECT_DOUBLE_EQ(KVertex::degToRad(180), 3.14159265358979323846);
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
