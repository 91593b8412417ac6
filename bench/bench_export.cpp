// Exporting the default document (51 x 51 samples) in every format, into a temporary
// folder. The mesh is computed once before timing; each run writes the whole file.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "document/CPexaDoc.h"
#include "export/KExport.h"
#include "platform/KScriptedUi.h"

namespace {

void exportFormat(benchmark::State& state, KExportFormat format, bool normals) {
    KScriptedUi ui;
    KUiScope scope(ui);
    CPexaDoc doc;
    doc.exportFlags.normals = normals ? 1 : 0;
    doc.computeMesh();
    const auto dir = std::filesystem::temp_directory_path() / "quorl-bench-export";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (std::string("bench.") + kExportExtension(format))).string();
    for (auto _ : state) {
        const KExportResult r = kExport(doc, format, path);
        benchmark::DoNotOptimize(r.written);
        ui.events.clear();
        ui.positions.clear();
    }
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK_CAPTURE(exportFormat, PovFlat, KExportFormat::PovMesh, false);
BENCHMARK_CAPTURE(exportFormat, PovSmooth, KExportFormat::PovMesh, true);
BENCHMARK_CAPTURE(exportFormat, Mesh2, KExportFormat::PovMesh2, true);
BENCHMARK_CAPTURE(exportFormat, Obj, KExportFormat::Obj, true);
BENCHMARK_CAPTURE(exportFormat, Rib, KExportFormat::Rib, true);
BENCHMARK_CAPTURE(exportFormat, Df3, KExportFormat::Df3, false);
BENCHMARK_CAPTURE(exportFormat, Raw, KExportFormat::Raw, true);
BENCHMARK_CAPTURE(exportFormat, Udo, KExportFormat::Udo, false);
BENCHMARK_CAPTURE(exportFormat, Ascii, KExportFormat::Ascii, false);
BENCHMARK_CAPTURE(exportFormat, Gltf, KExportFormat::Gltf, true);
BENCHMARK_CAPTURE(exportFormat, StlBinary, KExportFormat::Stl, false);
BENCHMARK_CAPTURE(exportFormat, Ply, KExportFormat::Ply, true);
