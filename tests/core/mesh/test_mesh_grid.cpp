// The mesh grid's arrays, flags, bounds and half test.

#include <gtest/gtest.h>

#include <tuple>

#include "mesh/KBaseShape.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlBodyPart.h"
#include "platform/KScriptedUi.h"

namespace {

const char* kGridMemoryError = "Memory Error creating mesh grid! Try using smaller mesh sizes!";

} // namespace

TEST(MeshGridCreate, AllocatesTheRequestedArrays) {
    KMeshGrid g;
    g.gridFlags = 0;
    EXPECT_EQ(g.create(3, 2), 0);
    EXPECT_EQ(
        std::tuple(g.uCount(), g.vCount(), g.getFlags(), g.objectPoints().size(), g.index(2, 1)),
        std::tuple(3, 2, 31u, 6u, 5u));
    EXPECT_FALSE(g.hasPositions() || g.hasNormals() || g.hasTexCoords());
    EXPECT_EQ(g.create(4, 5, KMeshGrid::PositionsArray | KMeshGrid::TexCoordsArray), 0);
    EXPECT_EQ(std::tuple(g.positions().size(), g.texCoords().size(), g.hasNormals()),
              std::tuple(20u, 20u, false));
    // Creating again frees what the mask does not name.
    EXPECT_EQ(g.create(4, 5, KMeshGrid::NormalsArray), 0);
    EXPECT_EQ(std::tuple(g.hasNormals(), g.hasPositions(), g.hasTexCoords()),
              std::tuple(true, false, false));
}

TEST(MeshGridCreate, FailureLeavesAnEmptyGrid) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KMeshGrid g;
    ASSERT_EQ(g.create(3, 3, KMeshGrid::AllArrays), 0);
    EXPECT_EQ(g.create(100000, 100000, KMeshGrid::AllArrays), 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{kGridMemoryError});
    EXPECT_EQ(std::tuple(g.uCount(), g.vCount()), std::tuple(0, 0));
    EXPECT_FALSE(g.hasObjectPoints() || g.hasPositions() || g.hasNormals() || g.hasTexCoords());
    // A count below one allocates nothing and reports nothing.
    EXPECT_EQ(std::tuple(g.create(0, 5), g.create(5, -1)), std::tuple(1, 1));
    EXPECT_EQ(std::tuple(ui.messages().size(), g.uCount()), std::tuple(1u, 0));
}

TEST(MeshGridResize, SmallerKeepsTheArraysLargerCreatesAll) {
    KMeshGrid g;
    ASSERT_EQ(g.create(10, 10, KMeshGrid::PositionsArray), 0);
    const KVertex* points = g.objectPoints().data();
    const KVertex* positions = g.positions().data();
    g.clearFlags(31);
    EXPECT_EQ(g.resize(5, 4), 0);
    EXPECT_EQ(std::tuple(g.uCount(), g.vCount(), g.getFlags()), std::tuple(5, 4, 31u));
    EXPECT_EQ(std::tuple(g.objectPoints().data(), g.positions().data()),
              std::tuple(points, positions));
    // Missing arrays are allocated at the new size.
    EXPECT_EQ(std::tuple(g.normals().size(), g.texCoords().size()), std::tuple(20u, 20u));
    // Back up to the old size is more than the current count: everything is new.
    EXPECT_EQ(g.resize(10, 10), 0);
    EXPECT_EQ(std::tuple(g.objectPoints().size(), g.normals().size(), g.texCoords().size()),
              std::tuple(100u, 100u, 100u));
}

TEST(MeshGridCompute, BoundsAndFlags) {
    KMeshGrid g;
    ASSERT_EQ(g.create(2, 2), 0);
    auto op = g.objectPoints();
    op[0] = {0.0, 1.0, 0.0};
    op[1] = {1.0, -2.0, 0.0};
    op[2] = {0.0, 0.5, 1.0};
    op[3] = {1.0, 0.0, 1.0};
    KBdlBodyPart part;
    g.setFlags(KMeshGrid::RecomputePositions);
    ASSERT_EQ(g.compute(KBaseShape::Planar, 2.0, 1.0, 3.0, part), 0);
    KVertex lo, hi;
    g.getBounds(lo, hi);
    EXPECT_EQ(std::tuple(lo, hi), std::tuple(KVertex(0, 0, -1), KVertex(2, 3, 2)));
    // Positions are done, normals are due.
    EXPECT_EQ(std::tuple(g.getFlags(), g.uScale, g.vScale),
              std::tuple(unsigned(KMeshGrid::RecomputeNormals), 2.0, 3.0));

    KMeshGrid empty;
    EXPECT_EQ(empty.compute(KBaseShape::Planar, 1, 1, 1, part), 1);
}

TEST(MeshGridHalfTest, LooksAtTheFirstTwoRowsWithOptionOne) {
    KMeshGrid g;
    ASSERT_EQ(g.create(3, 3), 0);
    auto op = g.objectPoints();
    op[0].x = 0.2; // column 0: below 0.5 in both rows
    op[3].x = 0.4;
    op[1].x = 0.1; // column 1: the second row reaches 0.5
    op[4].x = 0.5;
    op[2].x = 0.7; // column 2: the first row does
    op[5].x = 0.0;
    EXPECT_EQ(g.halfTest(2), 0); // option 0 never tests
    g.meshOption = 1;
    EXPECT_EQ(
        std::vector({g.halfTest(-1), g.halfTest(0), g.halfTest(1), g.halfTest(2), g.halfTest(3)}),
        (std::vector<int>{0, 0, 1, 1, 0}));

    // A single row has no second row to read.
    KMeshGrid row;
    ASSERT_EQ(row.create(2, 1), 0);
    row.meshOption = 1;
    row.objectPoints()[1].x = 0.9;
    EXPECT_EQ(std::tuple(row.halfTest(0), row.halfTest(1)), std::tuple(0, 1));
}
