// Writes the benchmark scene (512 x 512 conic grid, three layers, 40 muscles, a layer
// image) as a document, for end-to-end timings of the command-line tool. The layer image
// is written beside the document under the name the document gives it, so a run from
// that folder finds it.
//   quorl_bench_scene OUT.qrz
#include <cstdio>
#include <filesystem>
#include <string>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "document/KSampleObjects.h"
#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "platform/KUi.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: quorl_bench_scene OUT.qrz\n");
        return 1;
    }
    KConsoleUi ui;
    KUiScope scope(ui);
    auto doc = kMakeBenchmarkObject(512);
    const std::filesystem::path folder = std::filesystem::path(argv[1]).parent_path();
    for (const auto& layer : doc->layers) {
        if (auto* image = dynamic_cast<KImageMapTga*>(layer->getImageMap())) {
            if (image->save((folder / image->name).string()) != 0) {
                std::fprintf(stderr, "cannot write %s\n", image->name.c_str());
                return 3;
            }
        }
    }
    std::string error;
    if (!kSaveDocument(*doc, argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 3;
    }
    return 0;
}
