// The document's mesh computation against the straightforward reference: object points,
// positions and normals must be identical to the last bit.

#include <gtest/gtest.h>

#include <cstring>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "support/KReferenceSurface.h"

namespace {

bool sameBits(const KVertex& a, const KVertex& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectIdentical(CPexaDoc& doc) {
    ASSERT_TRUE(doc.computeMesh());
    ASSERT_TRUE(doc.computeNormals());
    const KReferenceMesh ref = kReferenceMesh(doc);
    const KMeshGrid& g = *doc.meshGrid;
    ASSERT_EQ(g.objectPoints().size(), ref.objectPoints.size());
    size_t differences = 0;
    for (size_t s = 0; s < ref.objectPoints.size(); ++s) {
        if (!sameBits(g.objectPoints()[s], ref.objectPoints[s]) ||
            !sameBits(g.positions()[s], ref.positions[s]) ||
            !sameBits(g.normals()[s], ref.normals[s])) {
            if (differences++ < 5) {
                ADD_FAILURE() << "sample " << s << ": " << g.objectPoints()[s] << " vs "
                              << ref.objectPoints[s];
            }
        }
    }
    EXPECT_EQ(differences, 0u);
}

} // namespace

TEST(FastSurface, BenchmarkSceneMatchesTheReference) {
    auto doc = kMakeBenchmarkObject(96);
    expectIdentical(*doc);
}

TEST(FastSurface, ClippedShearedMirroredAndBentSceneMatches) {
    auto doc = kMakeBenchmarkObject(40);
    doc->clip = {0.1, 0.9, 0.2, 0.7};
    doc->bodyPart.shear = 0.3f;
    doc->bodyPart.uRepeat = 3;
    doc->bodyPart.bendsOn = 1;
    doc->bodyPart.lengths = KBdlCurve("< 0.2, 1, 0.2 >, < 0.2, 0.5, 0.2 >", 40, KBdlCurve::AxisY);
    doc->bodyPart.jointBends = KBdlCurve("< 10, 0, 20 >, < 0, 0, 0 >", 40);
    doc->bodyPart.curvatureOn = 1;
    doc->bodyPart.boneCurvature = KBdlCurve("< 0, 0.1, 0 >, < 0.5, 0, 0.2 >, < 1, 0.1, 0 >", 40);
    int n = 0;
    for (const auto& layer : doc->layers) {
        for (const auto& m : layer->muscles) {
            m->mirrorU = n % 2;
            m->mirrorV = (n / 2) % 2;
            m->heightType = n % 5 == 0 ? 1 : 0;
            if (n % 7 == 0) {
                m->offsetU = 0.45f; // reaches over the seam
            }
            ++n;
        }
    }
    doc->layers[1]->scale = 0.5;
    doc->layers[0]->active = 0;
    doc->rebuildGrid();
    expectIdentical(*doc);
    doc->baseShape = CPexaDoc::Spheric;
    doc->documentChanged();
    expectIdentical(*doc);
}

TEST(FastSurface, DefaultDocumentMatches) {
    CPexaDoc doc;
    expectIdentical(doc);
}

TEST(FastSurface, OddMusclesAreAskedEverywhereTheyMayReach) {
    auto doc = kMakeBenchmarkObject(32);
    auto add = [&](int type, auto tweak) {
        auto m = std::make_unique<KBdlMuscle>(type);
        tweak(*m);
        doc->addMuscleToLayer(doc->layerAt(1), m);
    };
    // Negative and zero widths, a point muscle without stretch, a wide muscle, a muscle
    // whose band has no length, a centre far outside the map.
    add(KBdlMuscle::Point, [](KBdlMuscle& m) { m.widthLoScale = -1.0f; });
    add(KBdlMuscle::Point, [](KBdlMuscle& m) { m.end = 0.0f; });
    add(KBdlMuscle::Linear,
        [](KBdlMuscle& m) { m.widthLo = KBdlCurve("< 0, 0 >, < 0.5, 0.4 >, < 1, -0.1 >"); });
    add(KBdlMuscle::Linear, [](KBdlMuscle& m) { m.widthLoScale = 7.0f; });
    add(KBdlMuscle::Orbital, [](KBdlMuscle& m) { m.begin = m.end = 0.5f; });
    add(KBdlMuscle::Orbital,
        [](KBdlMuscle& m) { m.center = KBdlCurve("< 0, -2.3 >, < 1, 3.1 >"); });
    add(KBdlMuscle::Linear, [](KBdlMuscle& m) {
        m.offsetU = -2.1f;
        m.symmetricWidth = 0;
    });
    doc->clip = {-0.5, 1.5, -0.2, 1.1};
    doc->rebuildGrid();
    expectIdentical(*doc);
}
