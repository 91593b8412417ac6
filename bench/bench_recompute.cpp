// Recomputing the whole mesh (object points, positions, normals) and the single-muscle
// update, against the straightforward reference evaluation.
#include <benchmark/benchmark.h>

#include <cmath>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "support/KReferenceSurface.h"

namespace {

void recompute(CPexaDoc& doc) {
    doc.documentChanged();
    doc.computeMesh();
    doc.computeNormals();
}

} // namespace

static void BM_RecomputeBenchmarkScene(benchmark::State& state) {
    auto doc = kMakeBenchmarkObject(512);
    for (auto _ : state) {
        recompute(*doc);
        benchmark::DoNotOptimize(doc->meshGrid->normals().data());
    }
}
BENCHMARK(BM_RecomputeBenchmarkScene)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_ReferenceBenchmarkScene(benchmark::State& state) {
    auto doc = kMakeBenchmarkObject(512);
    for (auto _ : state) {
        KReferenceMesh mesh = kReferenceMesh(*doc);
        benchmark::DoNotOptimize(mesh.normals.data());
    }
}
BENCHMARK(BM_ReferenceBenchmarkScene)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_RecomputeDefaultDocument(benchmark::State& state) {
    CPexaDoc doc;
    for (auto _ : state) {
        recompute(doc);
        benchmark::DoNotOptimize(doc.meshGrid->normals().data());
    }
}
BENCHMARK(BM_RecomputeDefaultDocument)->Unit(benchmark::kMicrosecond)->UseRealTime();

static void BM_SingleMuscleUpdateDefaultDocument(benchmark::State& state) {
    CPexaDoc doc;
    std::unique_ptr<KBdlMuscle> m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
    KBdlMuscle* muscle = m.get();
    doc.addMuscleToLayer(doc.layers[1].get(), m);
    doc.ensureItemMeshes(true);
    for (auto _ : state) {
        muscle->height += 0.001f;
        doc.itemChanged(CPexaDoc::HintMuscle, muscle);
        benchmark::DoNotOptimize(doc.itemMeshes.front().get());
    }
}
BENCHMARK(BM_SingleMuscleUpdateDefaultDocument)->Unit(benchmark::kMicrosecond)->UseRealTime();

namespace {

// The fraction of the map a muscle lifts, on a 256 x 256 sampling.
double coverage(KBdlMuscle& m) {
    m.prepare();
    int lifted = 0;
    for (int j = 0; j < 256; ++j) {
        for (int i = 0; i < 256; ++i) {
            lifted += m.displacementPrepared(i / 255.0, j / 255.0) != 0.0 ? 1 : 0;
        }
    }
    return lifted / (256.0 * 256.0);
}

// The linear muscle of the scene whose coverage is nearest 3.5 percent.
KBdlMuscle* midSizedLinearMuscle(CPexaDoc& doc, double& covered) {
    KBdlMuscle* best = nullptr;
    for (const auto& layer : doc.layers) {
        for (const auto& m : layer->muscles) {
            if (m->muscleType != KBdlMuscle::Linear) {
                continue;
            }
            const double c = coverage(*m);
            if (!best || std::fabs(c - 0.035) < std::fabs(covered - 0.035)) {
                best = m.get();
                covered = c;
            }
        }
    }
    return best;
}

} // namespace

// One step of dragging a muscle in the UV map with Auto recalculation: the muscle moves
// by 1/100 of the map, the document is told (hint 3) and the surface and its normals are
// brought up to date.
static void BM_DragMuscleBenchmarkScene(benchmark::State& state) {
    auto doc = kMakeBenchmarkObject(512);
    recompute(*doc);
    double covered = 0.0;
    KBdlMuscle* muscle = midSizedLinearMuscle(*doc, covered);
    float step = 0.01f;
    for (auto _ : state) {
        muscle->offsetU += step;
        step = -step; // back and forth, so the muscle stays where it was placed
        doc->itemChanged(CPexaDoc::HintMuscle, muscle);
        doc->computeMesh();
        doc->computeNormals();
        benchmark::DoNotOptimize(doc->meshGrid->normals().data());
    }
    state.counters["coverage"] = covered;
}
BENCHMARK(BM_DragMuscleBenchmarkScene)->Unit(benchmark::kMillisecond)->UseRealTime();
