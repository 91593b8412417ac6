#include "export/KExportParts.h"

#include <cmath>
#include <cstring>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "mesh/KMeshGrid.h"

bool kGatherParts(KExportJob& job, bool withNormals, std::vector<KExportPart>& parts,
                  KExportResult& result) {
    parts.clear();
    if (!job.open()) {
        result = job.openFailed();
        return false;
    }
    CPexaDoc& doc = job.doc();
    if (doc.meshType != CPexaDoc::Layered) {
        const KMeshGrid* grid = job.prepareGrid(withNormals);
        if (!grid) {
            result = job.noMesh();
            return false;
        }
        KExportPart part;
        part.mesh = grid;
        part.name = doc.objectName;
        part.textureIndex = grid->textureIndex;
        parts.push_back(std::move(part));
        return true;
    }
    if (!job.prepareItems(withNormals)) {
        // An empty file would not be a valid file of these formats: nothing is written.
        result = job.nothingToExport(false);
        return false;
    }
    int counter = 0;
    for (const auto& itemPtr : doc.itemMeshes) {
        const KMeshGrid& item = *itemPtr;
        if (!doc.layerPassesExportFilter(item.layerIndex) || !kMeshUsable(item, withNormals) ||
            kTriangleCount(item) == 0) {
            continue;
        }
        KExportPart part;
        part.mesh = &item;
        part.name = kExportItemName(++counter);
        part.layerName = doc.layerName(item.layerIndex);
        part.muscleName = doc.muscleName(item.layerIndex, item.muscleIndex);
        part.textureIndex = item.textureIndex;
        part.item = true;
        parts.push_back(std::move(part));
    }
    return true;
}

KExportResult kCancelledExport(KExportJob& job) {
    KExportResult result = job.fail(std::string());
    result.cancelled = true;
    return result;
}

KFileFrame KFileFrame::of(const KExportFlags& flags) {
    KFileFrame frame;
    frame.mirror = flags.mirrorZ != 0;
    frame.turned = frame.mirror != (flags.reverseWinding != 0);
    frame.inverted = flags.invertNormals != 0;
    return frame;
}

void kCellTriangles(const KMeshGrid& mesh, int32_t j, int32_t i, bool turned, size_t out[6]) {
    const size_t a = mesh.index(i - 1, j);
    const size_t b = mesh.index(i - 1, j + 1);
    const size_t c = mesh.index(i, j);
    const size_t d = mesh.index(i, j + 1);
    const size_t tris[2][3] = {{a, b, d}, {a, d, c}};
    for (int t = 0; t < 2; ++t) {
        out[3 * t] = tris[t][0];
        out[3 * t + 1] = turned ? tris[t][2] : tris[t][1];
        out[3 * t + 2] = turned ? tris[t][1] : tris[t][2];
    }
}

size_t kTriangleCount(const KMeshGrid& mesh) {
    if (mesh.uCount() < 2 || mesh.vCount() < 2) {
        return 0;
    }
    return 2 * size_t(mesh.uCount() - 1) * size_t(mesh.vCount() - 1);
}

KVertex kFacetNormal(const KVertex& a, const KVertex& b, const KVertex& c) {
    KVertex n = (b - a).cross(c - a);
    const double len = n.length();
    if (!(len > 0.0) || !std::isfinite(len)) {
        return {};
    }
    return {n.x / len, n.y / len, n.z / len, 0.0};
}

bool kEmitRows(KExportJob& job, int32_t rows,
               const std::function<void(KTextSink&, int32_t)>& format,
               const std::function<void(const std::string&)>& emit) {
    bool cancelled = false;
    kFormatInOrder(
        rows, [&](KTextSink& out, int row) { format(out, row); },
        [&](const std::string& text, int row) {
            emit(text);
            job.position(kRowProgress(row + 1, rows + 1));
            cancelled = job.cancelRequested();
            return !cancelled;
        });
    return !cancelled;
}

void kPartStatus(KExportJob& job, const KExportPart& part, bool first) {
    if (first) {
        job.status(part.item ? job.exportingLayersText() : job.exportingText());
    }
    if (part.item) {
        job.status(job.itemText(*part.mesh));
    }
}

void kPutU8(std::string& out, uint8_t v) {
    out += char(v);
}

void kPutU16(std::string& out, uint16_t v) {
    out += char(v & 0xFF);
    out += char(v >> 8);
}

void kPutU32(std::string& out, uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        out += char((v >> (8 * k)) & 0xFF);
    }
}

void kPutF32(std::string& out, float v) {
    uint32_t bits;
    static_assert(sizeof bits == sizeof v);
    std::memcpy(&bits, &v, sizeof bits);
    kPutU32(out, bits);
}

std::string kHeaderText(std::string_view text, bool noSpaces) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            out += noSpaces ? '_' : ' ';
        } else if (noSpaces && c == ' ') {
            out += '_';
        } else {
            out += ch;
        }
    }
    return out;
}
