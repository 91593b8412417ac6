// Export speed on the benchmark scene's 513 x 513 object grid: OBJ with normals and uv
// written by the exporter (std::to_chars into 64 KB blocks) against the same file
// written value by value with snprintf, which must give identical bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "export/KExport.h"
#include "platform/KScriptedUi.h"

namespace fs = std::filesystem;

namespace {

struct Scene {
    Scene() : doc(kMakeBenchmarkObject(512)) {
        doc->exportFlags.normals = 1;
        doc->exportFlags.uv = 1;
        doc->computeMesh();
        doc->computeNormals();
        // A memory file system when there is one, so the figure is the writer's and not
        // the disk's.
        const fs::path shm = "/dev/shm";
        dir = (fs::is_directory(shm) ? shm : fs::temp_directory_path()) / "quorl-bench-speed";
        fs::create_directories(dir);
    }
    std::unique_ptr<CPexaDoc> doc;
    fs::path dir;
};

Scene& scene() {
    static Scene s;
    return s;
}

// The Skinned OBJ writer's text for the default flags (mirror Z on, normals not
// inverted, no half test), written the old way: one formatted call per value.
void writeObjWithPrintf(const CPexaDoc& doc, const std::string& path) {
    const KMeshGrid& mesh = *doc.meshGrid;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const int nu = mesh.uCount(), nv = mesh.vCount();
    const long long n = (long long)mesh.sampleCount();
    std::fprintf(f, "# Quorl OBJ exporter\n\n# Item (layer/item) ObjectMain\n");
    std::fprintf(f, "# Mesh Info: \tu polys: %d\tv polys: %d\n# vertex list: %lld\n", nu - 1,
                 nv - 1, n);
    for (const KVertex& p : mesh.positions()) {
        std::fprintf(f, "v %g %g %g\n", p.x, p.y, -p.z);
    }
    std::fprintf(f, "\n# normals\n");
    for (const KVertex& v : mesh.normals()) {
        std::fprintf(f, "vn %g %g %g\n", v.x, v.y, -v.z);
    }
    std::fprintf(f, "\n# texture coordinates\n");
    for (const KVertex& t : mesh.texCoords().empty() ? mesh.objectPoints() : mesh.texCoords()) {
        std::fprintf(f, "vt %g %g\n", t.x, t.z);
    }
    std::fprintf(f, "# (object) layer muscle\n\ng ObjectMain\n\ns off\n");
    std::fprintf(f, "\n# face list: %lld\n", 2LL * (nu - 1) * (nv - 1));
    for (int r = 0; r + 1 < nv; ++r) {
        for (int c = 0; c + 1 < nu; ++c) {
            const long long p = (long long)r * nu + c + 1, q = (long long)(r + 1) * nu + c + 1;
            const long long rr = q + 1, s = p + 1;
            std::fprintf(f, "f %lld/%lld/%lld %lld/%lld/%lld %lld/%lld/%lld \n", p, p, p, rr, rr,
                         rr, q, q, q);
            std::fprintf(f, "f %lld/%lld/%lld %lld/%lld/%lld %lld/%lld/%lld \n", p, p, p, s, s, s,
                         rr, rr, rr);
        }
    }
    std::fprintf(f, "\n# face list: endcaps and mesh backing... (disabled)\n");
    std::fclose(f);
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void exportScene(benchmark::State& state, KExportFormat format) {
    KScriptedUi ui;
    KUiScope scope(ui);
    Scene& s = scene();
    const std::string path = (s.dir / (std::string("scene.") + kExportExtension(format))).string();
    size_t bytes = 0;
    for (auto _ : state) {
        kExport(*s.doc, format, path);
        bytes = fs::file_size(path);
        ui.events.clear();
        ui.positions.clear();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

} // namespace

static void BM_ExportSceneObj(benchmark::State& state) {
    exportScene(state, KExportFormat::Obj);
}
BENCHMARK(BM_ExportSceneObj)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_ExportScenePovSmooth(benchmark::State& state) {
    exportScene(state, KExportFormat::PovMesh);
}
BENCHMARK(BM_ExportScenePovSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_ExportSceneObjPrintf(benchmark::State& state) {
    Scene& s = scene();
    const fs::path ours = s.dir / "check.obj";
    const fs::path theirs = s.dir / "printf.obj";
    {
        KScriptedUi ui;
        KUiScope scope(ui);
        kExport(*s.doc, KExportFormat::Obj, ours.string());
    }
    writeObjWithPrintf(*s.doc, theirs.string());
    if (slurp(ours) != slurp(theirs)) {
        state.SkipWithError("the printf writer does not write the exporter's bytes");
        return;
    }
    for (auto _ : state) {
        writeObjWithPrintf(*s.doc, theirs.string());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(theirs)));
}
BENCHMARK(BM_ExportSceneObjPrintf)->Unit(benchmark::kMillisecond)->UseRealTime();
