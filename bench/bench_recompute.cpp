// Recomputing the whole mesh (object points, positions, normals) and the single-muscle
// update, against the straightforward reference evaluation.
#include <benchmark/benchmark.h>

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
