// Normals from the six triangles around every grid sample.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include <cmath>

#include "mesh/KBaseShape.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlBodyPart.h"
#include "platform/KScriptedUi.h"
#include "support/KVertexExpect.h"

namespace {

// A grid over the unit square with the given height everywhere, computed as shape.
void fillGrid(KMeshGrid& g, int nu, int nv, double height, int shape, KBdlBodyPart& part) {
    ASSERT_EQ(g.create(nu, nv), 0);
    for (int j = 0; j < nv; ++j) {
        for (int i = 0; i < nu; ++i) {
            g.objectPoints()[g.index(i, j)] = {double(i) / (nu - 1), height, double(j) / (nv - 1)};
        }
    }
    ASSERT_EQ(g.compute(shape, 1.0, 1.0, 1.0, part), 0);
}

} // namespace

TEST(Normals, SixTrianglesOfATwistedCell) {
    KMeshGrid g;
    ASSERT_EQ(g.create(2, 2, KMeshGrid::PositionsArray), 0);
    std::ranges::copy(std::vector<KVertex>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}},
                      g.positions().begin());
    ASSERT_EQ(g.computeNormals(), 0);
    const double r6 = 1.0 / std::sqrt(6.0), r2 = 1.0 / std::sqrt(2.0);
    // The two corners on the diagonal see both triangles of the cell, the others one.
    kExpectNear(g.normals()[0], {r6, r6, -2 * r6});
    kExpectNear(g.normals()[3], {r6, r6, -2 * r6});
    kExpectNear(g.normals()[1], {0, r2, -r2});
    kExpectNear(g.normals()[2], {r2, 0, -r2});
}

TEST(Normals, SphericGridPointsOutwards) {
    KBdlBodyPart part;
    KMeshGrid g;
    fillGrid(g, 33, 17, 1.0, KBaseShape::Spheric, part);
    ASSERT_EQ(g.computeNormals(), 0);
    for (int j = 1; j < 16; ++j) {
        for (int i = 0; i < 33; ++i) {
            KVertex radial = g.positions()[g.index(i, j)];
            radial.normalize();
            const KVertex& n = g.normals()[g.index(i, j)];
            EXPECT_NEAR(n.length(), 1.0, 1e-12);
            EXPECT_GT(n.x * radial.x + n.y * radial.y + n.z * radial.z, 0.99) << i << ", " << j;
        }
    }
}

// A flat planar grid faces down everywhere, corners included; normals are recomputed
// only when flagged.
TEST(Normals, FlatGridFacesDownAndIsRecomputedOnlyWhenFlagged) {
    KBdlBodyPart part;
    KMeshGrid g;
    fillGrid(g, 4, 3, 0.0, KBaseShape::Planar, part);
    ASSERT_EQ(g.computeNormals(), 0);
    EXPECT_EQ(std::vector(g.normals().begin(), g.normals().end()),
              std::vector<KVertex>(12, KVertex(0, 0, -1)));
    g.positions()[5].z = 5.0;
    ASSERT_EQ(g.computeNormals(), 0);
    EXPECT_EQ(g.normals()[0], KVertex(0, 0, -1)); // not due, not recomputed
    g.setFlags(KMeshGrid::RecomputeNormals);
    ASSERT_EQ(g.computeNormals(), 0);
    EXPECT_NE(g.normals()[0], KVertex(0, 0, -1));
}

TEST(Normals, OneSampleAndMissingArrays) {
    KBdlBodyPart part;
    KMeshGrid one;
    fillGrid(one, 1, 1, 1.0, KBaseShape::Planar, part);
    ASSERT_EQ(one.computeNormals(), 0);
    EXPECT_EQ(one.normals()[0], KVertex());

    KScriptedUi ui;
    KUiScope scope(ui);
    KMeshGrid empty, noPositions;
    ASSERT_EQ(noPositions.create(2, 2), 0);
    EXPECT_EQ(std::tuple(empty.computeNormals(), noPositions.computeNormals()), std::tuple(1, 1));
    EXPECT_FALSE(noPositions.hasNormals());
    EXPECT_EQ(ui.messages(), std::vector<std::string>(2, "object <x,y,z> not created!"));
}
