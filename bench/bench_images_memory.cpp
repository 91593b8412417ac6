// A large TGA image loaded and sampled at every pixel, against reading its bytes; and the
// peak memory of the benchmark scene with every item mesh built (run this benchmark on
// its own: the process's peak is reported as a counter).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>

#include "document/CPexaDoc.h"
#include "document/KSampleObjects.h"
#include "image/KImageMapTga.h"
#include "platform/KFile.h"
#include "platform/KScriptedUi.h"

namespace fs = std::filesystem;

namespace {

const fs::path& largeImage() {
    static const fs::path path = [] {
        const fs::path p = fs::temp_directory_path() / "quorl-bench-4096.tga";
        if (!fs::exists(p)) {
            KImageMapTga image;
            image.setFormat(24, KImageMap::OptionGray24);
            image.resize(4096, 4096);
            for (int y = 0; y < 4096; y += 7) {
                for (int x = 0; x < 4096; x += 5) {
                    image.setColor(x, y, uint32_t(x * 31 + y * 17) & 0xFFFFFF);
                }
            }
            image.save(p.string());
        }
        return p;
    }();
    return path;
}

} // namespace

static void BM_ReadLargeTgaBytes(benchmark::State& state) {
    const std::string path = largeImage().string();
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        kReadFile(path, bytes, nullptr);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadLargeTgaBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_LoadAndSampleLargeTga(benchmark::State& state) {
    const std::string path = largeImage().string();
    KScriptedUi ui; // the pixel depth question keeps its preset
    KUiScope scope(ui);
    for (auto _ : state) {
        KImageMapTga image(path);
        int64_t sum = 0;
        const int w = image.width(), h = image.height();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                sum += image.pixelValue(x, y);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_LoadAndSampleLargeTga)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_BenchmarkScenePeakMemory(benchmark::State& state) {
    for (auto _ : state) {
        auto doc = kMakeBenchmarkObject(512);
        doc->computeMesh();
        doc->computeNormals();
        doc->ensureItemMeshes(true);
        benchmark::DoNotOptimize(doc->itemMeshes.size());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_BenchmarkScenePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
