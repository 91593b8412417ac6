// The surface height, the object grid fill and the item meshes.

#include <gtest/gtest.h>

#include <tuple>

#include "mesh/KItemMeshes.h"
#include "mesh/KMeshGrid.h"
#include "mesh/KSurfaceHeight.h"
#include "model/KBdlBodyPart.h"
#include "model/KBdlLayer.h"

namespace {

struct Scene {
    Scene() {
        body.setDocumentDefaults(8, 8);
        for (int k = 0; k < 3; ++k) {
            layers.push_back(std::make_unique<KBdlLayer>());
        }
    }
    KBdlMuscle& add(int layer, int type) {
        layers[size_t(layer)]->muscles.push_back(std::make_unique<KBdlMuscle>(type));
        return *layers[size_t(layer)]->muscles.back();
    }
    KBdlBodyPart body;
    KSurfaceHeight::LayerList layers;
};

int32_t textureOf(const KBdlLayer& layer, const KBdlMuscle& muscle) {
    return muscle.textureIndex ? muscle.textureIndex : layer.textureIndex ? layer.textureIndex : 9;
}

} // namespace

TEST(SurfaceHeight, BoneSurfacePlusLayersInOrder) {
    Scene s;
    const KSurfaceHeight empty(nullptr, s.layers);
    EXPECT_EQ(empty.height(0.3, 0.4), 0.0);
    // The new-document anatomy is 0.5 everywhere.
    const KSurfaceHeight bone(&s.body, s.layers);
    EXPECT_DOUBLE_EQ(bone.height(0.3, 0.4), 0.5);

    s.add(0, KBdlMuscle::Point);
    s.add(0, KBdlMuscle::Point); // same place, same layer: does not add up
    const KSurfaceHeight oneLayer(&s.body, s.layers);
    EXPECT_DOUBLE_EQ(oneLayer.height(0.5, 0.5), 0.75);
    s.add(1, KBdlMuscle::Point); // another layer adds up
    const KSurfaceHeight twoLayers(&s.body, s.layers);
    EXPECT_DOUBLE_EQ(twoLayers.height(0.5, 0.5), 1.0);
    EXPECT_DOUBLE_EQ(twoLayers.height(0.5, 0.5, 1), 0.75); // only the layers below 1
}

TEST(ObjectGrid, FillsClipRangesWithShear) {
    Scene s;
    s.body.shear = 0.5f;
    s.add(2, KBdlMuscle::Linear);
    KMeshGrid grid;
    ASSERT_EQ(grid.create(5, 3), 0);
    grid.setFlags(0);
    kFillObjectGrid(grid, s.body, s.layers, {0.5, 1.0, 0.0, 0.5}, 1);
    EXPECT_EQ(std::tuple(grid.getFlags(), grid.meshOption, s.body.uProfile.resolution,
                         s.body.vProfile.resolution),
              std::tuple(uint32_t(KMeshGrid::AllPending), 1, 4, 2));
    const auto p = grid.objectPoints();
    // Column 0 is u = 0.5, the last u = 1.0; rows run v = 0, 0.25, 0.5. At v = 0 the
    // linear muscle's height profile is 0, so only the bone surface remains.
    EXPECT_EQ(p[grid.index(0, 0)], KVertex(0.5, 0.5, 0.0));
    // The height is sampled at the unsheared u; x carries the shear.
    EXPECT_EQ(std::tuple(p[grid.index(4, 2)].x, p[grid.index(4, 2)].z), std::tuple(1.25, 0.5));
    const KSurfaceHeight surface(&s.body, s.layers);
    EXPECT_DOUBLE_EQ(p[grid.index(1, 1)].y, surface.height(0.625, 0.25));
}

TEST(ItemMeshes, OnePerActiveMuscleOfActivePhysicalLayers) {
    Scene s;
    s.add(0, KBdlMuscle::Linear).textureIndex = 3;
    s.add(0, KBdlMuscle::Orbital).active = 0;
    s.add(1, KBdlMuscle::Point);
    s.layers[1]->textureIndex = 5;
    s.add(1, KBdlMuscle::Linear).resolutionU = 0;
    s.add(2, KBdlMuscle::Linear);
    s.layers[2]->physical = 0;
    KItemMeshList items = kBuildItemMeshes(s.body, s.layers, 1, textureOf);
    ASSERT_EQ(items.size(), 2u);
    const KMeshGrid &first = *items[0], &second = *items[1];
    EXPECT_EQ(std::tuple(first.layerIndex, first.muscleIndex, first.textureIndex, first.uCount(),
                         first.vCount(), first.meshOption),
              std::tuple(0, 0, 3, 5, 9, 1));
    EXPECT_EQ(std::tuple(second.layerIndex, second.muscleIndex, second.textureIndex),
              std::tuple(1, 0, 5));
}

TEST(ItemMeshes, RestOnTheLayersBelow) {
    Scene s;
    KBdlMuscle& base = s.add(0, KBdlMuscle::Point);
    KBdlMuscle& top = s.add(1, KBdlMuscle::Orbital);
    s.layers[1]->scale = 2.0;
    KItemMeshList items = kBuildItemMeshes(s.body, s.layers, 0, textureOf);
    ASSERT_EQ(items.size(), 2u);
    base.prepare();
    top.prepare();
    const KSurfaceHeight surface(&s.body, s.layers);
    // The first layer's item rests on the bone surface only.
    {
        const KMeshGrid& g = *items[0];
        const KVertex p = base.itemPoint(0.25, 0.5);
        ASSERT_EQ(g.uCount(), 13);                         // a runs around the point, b outwards
        const KVertex o = g.objectPoints()[g.index(3, 2)]; // a = 3/12, b = 2/4
        EXPECT_EQ(o, KVertex(p.x, 0.5 + p.y, p.z));
    }
    // The second rests on the bone surface and the first layer; its own height is scaled.
    {
        const KMeshGrid& g = *items[1];
        const KVertex p = top.itemPoint(0.5, 0.25); // a = 4/8, b = 1/4
        const KVertex o = g.objectPoints()[g.index(4, 1)];
        EXPECT_DOUBLE_EQ(o.y, surface.height(p.x, p.z, 1) + 2.0 * p.y);
        // Orbital texture coordinates exchange a and b.
        const KVertex t = g.texCoords()[g.index(4, 1)];
        EXPECT_EQ(std::tuple(t.x, t.z), std::tuple(0.25, 0.5));
        EXPECT_DOUBLE_EQ(t.y, 2.0 * p.y);
    }
}

TEST(ItemMeshes, SingleMuscleUpdate) {
    Scene s;
    KBdlMuscle& changed = s.add(0, KBdlMuscle::Linear);
    s.add(1, KBdlMuscle::Point);
    KItemMeshList items = kBuildItemMeshes(s.body, s.layers, 0, textureOf);
    ASSERT_EQ(items.size(), 2u);
    items[1]->setFlags(0);
    changed.resolutionU = 6;
    changed.textureIndex = 2;
    bool discarded = true;
    KMeshGrid* updated = kUpdateItemMesh(items, changed, s.body, s.layers, textureOf, discarded);
    EXPECT_FALSE(discarded);
    ASSERT_EQ(updated, items[0].get());
    EXPECT_EQ(std::tuple(updated->uCount(), updated->textureIndex), std::tuple(7, 2));
    // The item above it must be refilled before its next use.
    EXPECT_EQ(items[1]->getFlags(), uint32_t(KMeshGrid::AllPending));
    EXPECT_TRUE(kRefillItemMeshIfNeeded(*items[1], s.body, s.layers));

    // A muscle without an item mesh changes nothing.
    KBdlMuscle stray;
    EXPECT_EQ(kUpdateItemMesh(items, stray, s.body, s.layers, textureOf, discarded), nullptr);
    EXPECT_FALSE(discarded);

    // When the list no longer lines up with the layers, everything is discarded.
    s.layers[1]->muscles.clear();
    EXPECT_EQ(kUpdateItemMesh(items, changed, s.body, s.layers, textureOf, discarded), nullptr);
    EXPECT_TRUE(discarded);
}
