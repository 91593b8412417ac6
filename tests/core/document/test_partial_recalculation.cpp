// Changing single muscles recalculates only the samples they reach: after every step of
// seeded random edits the object points, positions, normals and bounds must be the very
// bits a whole calculation gives, and the changed region must hold every sample that
// changed.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "mesh/KMeshGrid.h"
#include "mesh/KSurfaceHeight.h"

namespace {

bool sameBits(const KVertex& a, const KVertex& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Snapshot {
    std::vector<KVertex> positions;
    std::vector<KVertex> normals;
};

Snapshot snapshot(const KMeshGrid& g) {
    return {{g.positions().begin(), g.positions().end()}, {g.normals().begin(), g.normals().end()}};
}

// The whole calculation of the document's grid, in a grid of its own.
void expectSameAsWholeCalculation(CPexaDoc& doc, const std::string& step) {
    const KMeshGrid& g = *doc.meshGrid;
    KMeshGrid ref;
    ASSERT_EQ(ref.create(g.uCount(), g.vCount()), 0);
    kFillObjectGrid(ref, doc.bodyPart, doc.layers, doc.clip, doc.meshOption);
    ASSERT_EQ(
        ref.compute(doc.baseShape, doc.scalingU, doc.scalingHeight, doc.scalingV, doc.bodyPart), 0);
    ASSERT_EQ(ref.computeNormals(), 0);
    size_t differences = 0;
    for (size_t s = 0; s < g.sampleCount(); ++s) {
        const bool same = sameBits(g.objectPoints()[s], ref.objectPoints()[s]) &&
                          sameBits(g.positions()[s], ref.positions()[s]) &&
                          sameBits(g.normals()[s], ref.normals()[s]);
        if (!same && differences++ < 3) {
            ADD_FAILURE() << step << ": sample " << s % size_t(g.uCount()) << ", "
                          << s / size_t(g.uCount()) << ": " << g.objectPoints()[s] << " vs "
                          << ref.objectPoints()[s];
        }
    }
    EXPECT_EQ(differences, 0u) << step;
    EXPECT_TRUE(sameBits(g.boundsMin, ref.boundsMin)) << step;
    EXPECT_TRUE(sameBits(g.boundsMax, ref.boundsMax)) << step;
}

// The mesh and its normals calculated again after a change.
bool recompute(CPexaDoc& doc) {
    return doc.computeMesh() && doc.computeNormals();
}

// Every sample whose position or normal differs from before lies in the changed region.
void expectChangesInsideRegion(const CPexaDoc& doc, const Snapshot& before,
                               const std::string& step) {
    const KGridRegion& r = doc.changedRegion;
    if (r.whole) {
        return;
    }
    const KMeshGrid& g = *doc.meshGrid;
    size_t outside = 0;
    for (int32_t j = 0; j < g.vCount(); ++j) {
        for (int32_t i = 0; i < g.uCount(); ++i) {
            const size_t s = g.index(i, j);
            const bool changed = !sameBits(g.positions()[s], before.positions[s]) ||
                                 !sameBits(g.normals()[s], before.normals[s]);
            const bool inside = i >= r.uFirst && i <= r.uLast && j >= r.vFirst && j <= r.vLast;
            outside += changed && !inside ? 1 : 0;
        }
    }
    EXPECT_EQ(outside, 0u) << step;
}

const char* const kCurves[] = {
    "< 0, 0.03 >, < 0.5, 0.06 >, < 1, 0.04 >",
    "< 0, 0.30 >, < 0.3, 0.1 >, < 0.6, 0.45 >, < 1, 0.2 >",
    "< 0, 0.9 >, < 0.5, 0.05 >, < 1, 0.95 >",
    "< 0, 0.5 >, < 0.25, 1.0 >, < 0.75, -0.5 >, < 1, 0.2 >",
};

KBdlCurve randomCurve(std::mt19937& rng) {
    KBdlCurve c(kCurves[rng() % 4]);
    c.setBasis(int32_t(rng() % 5));
    return c;
}

// One random edit of one muscle: a move (reaching over the seam now and then), a resize,
// or a change of one of its properties.
void editMuscle(KBdlMuscle& m, std::mt19937& rng) {
    std::uniform_real_distribution<double> small(-0.04, 0.04);
    switch (rng() % 12) {
    case 0:
    case 1:
        m.offsetU = float(m.offsetU + small(rng));
        m.offsetV = float(m.offsetV + small(rng));
        break;
    case 2:
        m.offsetU = float(std::uniform_real_distribution<double>(-0.6, 0.6)(rng));
        break;
    case 3:
        m.widthLoScale = float(m.widthLoScale * (1.0 + 5.0 * small(rng)));
        m.widthHiScale = float(m.widthHiScale * (1.0 + 5.0 * small(rng)));
        break;
    case 4:
        m.begin = float(std::uniform_real_distribution<double>(0.0, 0.5)(rng));
        m.end = float(m.begin + std::uniform_real_distribution<double>(0.05, 0.5)(rng));
        break;
    case 5:
        m.setFromRect(0.1 + small(rng), 0.2 + small(rng), 0.3 + small(rng), 0.6 + small(rng));
        break;
    case 6:
        m.height =
            rng() % 5 == 0 ? 0.0f : float(std::uniform_real_distribution<double>(-0.2, 0.3)(rng));
        break;
    case 7:
        m.mirrorU = int32_t(rng() % 2);
        m.mirrorV = int32_t(rng() % 2);
        break;
    case 8:
        m.heightType = int32_t(rng() % 2);
        m.symmetricWidth = int32_t(rng() % 2);
        break;
    case 9:
        m.active = m.active ? 0 : 1;
        break;
    case 10:
        (rng() % 2 ? m.center : m.widthLo) = randomCurve(rng);
        break;
    default:
        (rng() % 2 ? m.crossSection : m.heightCurve) = randomCurve(rng);
        break;
    }
}

struct Scene {
    const char* name;
    void (*setUp)(CPexaDoc&);
};

const Scene kScenes[] = {
    {"benchmark", [](CPexaDoc&) {}},
    {"layer options",
     [](CPexaDoc& doc) {
         doc.layers[0]->scale = -0.5;
         doc.layers[1]->active = 0;
         doc.layers[2]->backgroundOnly = 1;
         int n = 0;
         for (const auto& layer : doc.layers) {
             for (const auto& m : layer->muscles) {
                 m->mirrorU = n % 2;
                 m->mirrorV = (n / 3) % 2;
                 m->heightType = n % 5 == 0 ? 1 : 0;
                 m->offsetU = n % 7 == 0 ? 0.47f : m->offsetU; // over the seam
                 ++n;
             }
         }
     }},
    {"spheric, clipped, sheared, bent",
     [](CPexaDoc& doc) {
         doc.baseShape = CPexaDoc::Spheric;
         doc.clip = {0.1, 0.9, 0.0, 0.8};
         doc.bodyPart.shear = 0.2f;
         doc.bodyPart.bendsOn = 1;
         doc.bodyPart.lengths =
             KBdlCurve("< 0.2, 1, 0.2 >, < 0.2, 0.5, 0.2 >", 40, KBdlCurve::AxisY);
         doc.bodyPart.jointBends = KBdlCurve("< 10, 0, 20 >, < 0, 0, 0 >", 40);
         doc.bodyPart.curvatureOn = 1;
         doc.bodyPart.boneCurvature =
             KBdlCurve("< 0, 0.1, 0 >, < 0.5, 0, 0.2 >, < 1, 0.1, 0 >", 40);
     }},
    {"planar, wide clip",
     [](CPexaDoc& doc) {
         doc.baseShape = CPexaDoc::Planar;
         doc.clip = {-0.3, 1.2, -0.1, 1.0};
     }},
};

class PartialRecalculation : public testing::TestWithParam<int> {};

} // namespace

TEST_P(PartialRecalculation, RandomMuscleEditsGiveTheWholeCalculationsBits) {
    const Scene& scene = kScenes[GetParam()];
    auto doc = kMakeBenchmarkObject(40);
    scene.setUp(*doc);
    doc->rebuildGrid();
    ASSERT_TRUE(recompute(*doc));
    std::vector<KBdlMuscle*> muscles;
    for (const auto& layer : doc->layers) {
        for (const auto& m : layer->muscles) {
            muscles.push_back(m.get());
        }
    }
    std::mt19937 rng(1234u + unsigned(GetParam()));
    int partial = 0;
    for (int step = 0; step < 120; ++step) {
        const std::string name = std::string(scene.name) + ", step " + std::to_string(step);
        const Snapshot before = snapshot(*doc->meshGrid);
        const uint64_t count = doc->calculationCount;
        // Now and then several muscles change before the mesh is computed again.
        const int edits = rng() % 4 == 0 ? 2 : 1;
        for (int e = 0; e < edits; ++e) {
            KBdlMuscle* m = muscles[rng() % muscles.size()];
            editMuscle(*m, rng);
            doc->itemChanged(CPexaDoc::HintMuscle, m);
        }
        ASSERT_TRUE(recompute(*doc)) << name;
        EXPECT_EQ(doc->calculationCount, count + 1) << name;
        partial += doc->changedRegion.whole ? 0 : 1;
        expectSameAsWholeCalculation(*doc, name);
        expectChangesInsideRegion(*doc, before, name);
        if (HasFailure()) {
            return;
        }
    }
    // Most steps must have been partial, or this test checked nothing of them.
    EXPECT_GT(partial, 80);
}

INSTANTIATE_TEST_SUITE_P(Scenes, PartialRecalculation, testing::Range(0, 4));

TEST(PartialRecalculationFallback, OtherChangesAndChangedLayersRecalculateEverything) {
    auto doc = kMakeBenchmarkObject(24);
    ASSERT_TRUE(recompute(*doc));
    KBdlMuscle* m = doc->layers[1]->muscles[0].get();

    // A muscle change together with a layer change: the layer's change wins.
    m->offsetV += 0.05f;
    doc->itemChanged(CPexaDoc::HintMuscle, m);
    doc->layers[0]->scale = 2.0;
    doc->itemChanged(CPexaDoc::HintLayer, doc->layers[0].get());
    ASSERT_TRUE(recompute(*doc));
    EXPECT_TRUE(doc->changedRegion.whole);
    expectSameAsWholeCalculation(*doc, "layer change");

    // A muscle removed without telling the document, then another one changed.
    doc->layers[2]->muscles.pop_back();
    m->offsetV += 0.05f;
    doc->itemChanged(CPexaDoc::HintMuscle, m);
    ASSERT_TRUE(recompute(*doc));
    EXPECT_TRUE(doc->changedRegion.whole);
    expectSameAsWholeCalculation(*doc, "muscle removed");

    // A muscle that lifts nothing before and after changes nothing.
    m->active = 0;
    doc->itemChanged(CPexaDoc::HintMuscle, m);
    ASSERT_TRUE(recompute(*doc));
    m->offsetU += 0.1f;
    doc->itemChanged(CPexaDoc::HintMuscle, m);
    ASSERT_TRUE(doc->computeMesh());
    EXPECT_FALSE(doc->changedRegion.whole);
    EXPECT_TRUE(doc->changedRegion.isEmpty());
}

TEST(PartialRecalculationBounds, ShrinkWhenTheMuscleThatHeldThemIsLowered) {
    CPexaDoc doc;
    doc.baseShape = CPexaDoc::Planar;
    auto bump = std::make_unique<KBdlMuscle>(KBdlMuscle::Point);
    bump->height = -3.0f; // planar depth is -height: the deepest dent is the largest z
    KBdlMuscle* m = bump.get();
    doc.addMuscleToLayer(doc.layers[1].get(), bump);
    doc.rebuildGrid();
    ASSERT_TRUE(recompute(doc));
    const KVertex high = doc.meshGrid->boundsMax;

    m->height = -0.5f;
    doc.itemChanged(CPexaDoc::HintMuscle, m);
    ASSERT_TRUE(recompute(doc));
    EXPECT_FALSE(doc.changedRegion.whole);
    EXPECT_LT(doc.meshGrid->boundsMax.z, high.z);
    expectSameAsWholeCalculation(doc, "lowered");
}
