// Preparing the preview's vertex buffers for the benchmark scene: all of them, and only
// the rows one drag step of a mid-sized muscle changed. Both copy what they prepared
// into a second array, as the upload to the driver does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "model/KBdlLayer.h"
#include "model/KVertexList.h"
#include "scene/KPreviewMesh.h"
#include "support/KGridRows.h"

namespace {

// What the driver would receive.
struct Upload {
    std::vector<KPreviewVertex> vertices;
    std::vector<uint32_t> indices;

    void copyAll(const KPreviewMesh& mesh) {
        vertices.resize(mesh.vertices().size());
        indices.resize(mesh.indices().size());
        std::memcpy(vertices.data(), mesh.vertices().data(),
                    vertices.size() * sizeof(KPreviewVertex));
        std::memcpy(indices.data(), mesh.indices().data(), indices.size() * sizeof(uint32_t));
    }
    void copyRange(const KPreviewMesh& mesh, const KPreviewRefresh& r) {
        std::memcpy(vertices.data() + r.firstVertex, mesh.vertices().data() + r.firstVertex,
                    r.vertexCount * sizeof(KPreviewVertex));
    }
};

// The grid rows the muscle's outline spans, with one row of margin either side.
void rowsCovered(KBdlMuscle& muscle, const CPexaDoc& doc, int32_t& first, int32_t& last) {
    KVertexList outline;
    muscle.sampleOutline(outline, true);
    double vMin = 1.0;
    double vMax = 0.0;
    for (const KVertex& p : outline.vertices) {
        vMin = std::min(vMin, p.y);
        vMax = std::max(vMax, p.y);
    }
    const int32_t nv = doc.meshGrid->vCount();
    const double dv = (doc.clip.vTo - doc.clip.vFrom) / (nv - 1);
    first = std::max(0, int32_t(std::floor((vMin - doc.clip.vFrom) / dv)) - 1);
    last = std::min(nv - 1, int32_t(std::ceil((vMax - doc.clip.vFrom) / dv)) + 1);
}

} // namespace

static void BM_PreviewBuffersFull(benchmark::State& state) {
    auto doc = kMakeBenchmarkObject(512);
    KPreviewMesh mesh;
    Upload upload;
    // The document's own calculation is left out of both: only the preview's work counts.
    mesh.prepare(*doc, {});
    for (auto _ : state) {
        mesh.build(*doc, {});
        upload.copyAll(mesh);
        benchmark::DoNotOptimize(upload.vertices.data());
    }
    state.counters["vertices"] = double(mesh.vertices().size());
}
BENCHMARK(BM_PreviewBuffersFull)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_PreviewBuffersAfterDrag(benchmark::State& state) {
    auto doc = kMakeBenchmarkObject(512);
    // A linear muscle over a tenth of the map each way, moved up by one hundredth.
    auto owned = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
    KBdlMuscle* muscle = owned.get();
    muscle->setFromRect(0.45, 0.45, 0.55, 0.55);
    doc->addMuscleToLayer(doc->layerAt(1), owned);
    doc->documentChanged();
    KPreviewMesh mesh;
    Upload upload;
    mesh.prepare(*doc, {});
    upload.copyAll(mesh);

    int32_t oldFirst = 0;
    int32_t oldLast = 0;
    rowsCovered(*muscle, *doc, oldFirst, oldLast);
    const std::vector<KVertex> before = kObjectPointsOf(*doc->meshGrid);
    muscle->applyTrackerChange(KVertex(0.5, 0.5, 0.0, 0.01), KBdlMuscle::Move);
    doc->itemChanged(CPexaDoc::HintMuscle, muscle);
    doc->computeMesh();
    doc->computeNormals();
    int32_t newFirst = 0;
    int32_t newLast = 0;
    rowsCovered(*muscle, *doc, newFirst, newLast);
    const int32_t first = std::min(oldFirst, newFirst);
    const int32_t last = std::max(oldLast, newLast);
    const KGridRegion changed = kRowsThatDiffer(before, *doc->meshGrid);
    if (changed.isEmpty() || changed.vFirst < first || changed.vLast > last) {
        state.SkipWithError("the muscle's bounds miss rows the drag changed");
        return;
    }
    for (auto _ : state) {
        const KPreviewRefresh refresh = mesh.refreshRows(*doc->meshGrid, first, last);
        upload.copyRange(mesh, refresh);
        benchmark::DoNotOptimize(upload.vertices.data());
    }
    state.counters["rows"] = double(last - first + 1);
}
BENCHMARK(BM_PreviewBuffersAfterDrag)->Unit(benchmark::kMillisecond)->UseRealTime();
