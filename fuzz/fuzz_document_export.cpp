// Documents that open are computed and exported. The first byte picks the format, Skinned
// or Layered and the text form of STL and PLY; the rest is opened as a document. Its grid,
// its muscles' item meshes and its density box are cut down first, so one input stays
// cheap whatever sizes it asks for; then the surface, the normals and the item meshes are
// built and written to /dev/null, which the writers treat as a device. Last, the document
// must save, and what it saves must open again.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "export/KExport.h"
#include "platform/KScriptedUi.h"

namespace {

constexpr int32_t kMaxFuzzResolution = 12;
constexpr int32_t kMaxFuzzVoxels = 8;
constexpr int kFormatCount = int(KExportFormat::Ply) + 1;

void keepSmall(CPexaDoc& doc) {
    doc.uResolution = std::min(doc.uResolution, kMaxFuzzResolution);
    doc.vResolution = std::min(doc.vResolution, kMaxFuzzResolution);
    doc.rebuildGrid();
    for (int32_t* size : {&doc.feoPMedia.sizeX, &doc.feoPMedia.sizeY, &doc.feoPMedia.sizeZ}) {
        *size = std::min(*size, kMaxFuzzVoxels);
    }
    for (auto& layer : doc.layers) {
        for (auto& muscle : layer->muscles) {
            muscle->resolutionU = std::min(muscle->resolutionU, kMaxFuzzResolution);
            muscle->resolutionV = std::min(muscle->resolutionV, kMaxFuzzResolution);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    KScriptedUi ui; // messages and the progress window are only recorded
    KUiScope scope(ui);
    std::string error;
    std::unique_ptr<CPexaDoc> doc =
        kLoadDocumentBytes(std::vector<uint8_t>(data + 1, data + size), "fuzz input", &error);
    if (!doc) {
        return 0;
    }
    keepSmall(*doc);
    const uint8_t choice = data[0];
    doc->meshType = (choice & 0x80) ? CPexaDoc::Layered : CPexaDoc::Skinned;
    KExportOptions options;
    options.ascii = (choice & 0x40) != 0;
    (void)kExport(*doc, KExportFormat((choice & 0x3F) % kFormatCount), "/dev/null", options);
    if (!kLoadDocumentBytes(kDocumentBytes(*doc), "saved fuzz input", &error)) {
        std::abort();
    }
    return 0;
}
