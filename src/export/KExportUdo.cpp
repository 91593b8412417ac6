// Moray UDO files: the vertices and edges of a (thinned) grid, referring to the include
// file that holds the real mesh.

#include <algorithm>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

// The samples kept along one direction of n samples with scale s: every s-th sample and
// the last one. The count is n / s + 1, plus one when n is not a multiple of s; where that
// count asks for more than the distinct samples, the last sample is repeated.
std::vector<int32_t> keptSamples(int32_t n, int32_t s) {
    std::vector<int32_t> kept;
    if (s <= 1) {
        for (int32_t k = 0; k < n; ++k) {
            kept.push_back(k);
        }
        return kept;
    }
    const int32_t count = n / s + 1 + (n % s != 0 ? 1 : 0);
    for (int32_t k = 0; k < count; ++k) {
        kept.push_back(int32_t(std::min<int64_t>(int64_t(k) * s, int64_t(n) - 1)));
    }
    return kept;
}

void writeMesh(KTextSink& out, const KMeshGrid& mesh, const std::string& name, int32_t su,
               int32_t sv) {
    const std::vector<int32_t> cols = keptSamples(mesh.uCount(), su);
    const std::vector<int32_t> rows = keptSamples(mesh.vCount(), sv);
    const auto w = static_cast<long long>(cols.size());
    const auto h = static_cast<long long>(rows.size());
    const auto pos = mesh.positions();
    out.text("\n[").text(name).text(":Vertices]").text("\n").integer(w * h).text("\n");
    for (int32_t j : rows) {
        for (int32_t i : cols) {
            const KVertex& p = pos[mesh.index(i, j)];
            out.num(p.x).text(" ").num(p.y).text(" ").num(p.z).text("\n");
        }
    }
    const long long edges = w > 0 && h > 0 ? 2 * (w - 1) * (h - 1) + (w - 1) + (h - 1) : 0;
    out.text("\n[").text(name).text(":Edges]").text("\n").integer(edges).text("\n");
    const auto edge = [&](long long a, long long b) {
        out.integer(a).text(" ").integer(b).text("\n");
    };
    for (long long r = 0; r + 1 < h; ++r) {
        for (long long c = 0; c + 1 < w; ++c) {
            const long long a = r * w + c;
            edge(a, a + w);
            edge(a, a + 1);
        }
    }
    for (long long c = 0; c + 1 < w; ++c) {
        const long long a = (h - 1) * w + c;
        edge(a, a + 1);
    }
    for (long long r = 0; r + 1 < h; ++r) {
        const long long a = r * w + (w - 1);
        edge(a, a + w);
    }
}

int32_t gridScale(int32_t s) {
    return s < 1 ? 1 : s;
}

} // namespace

KExportResult kWriteUdo(CPexaDoc& doc, const std::string& path, const std::string& includeFile) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const bool layered = doc.meshType == CPexaDoc::Layered;
    const bool normals = doc.exportFlags.normals != 0;
    const KMeshGrid* grid = nullptr;
    if (layered) {
        if (!job.prepareItems(normals)) {
            return job.nothingToExport();
        }
    } else if (!(grid = job.prepareGrid(normals))) {
        return job.noMesh();
    }
    KTextSink& out = job.out();
    out.text("Name ").text("'").text("Quorl01").text("_group").text("'").text("\n");
    out.text("IncludeFile ").text("'").text(includeFile).text("'").text("\n");
    out.text("\nVersion 1\n\n").text("; Quorl Export: \n").text("; Mesh Info:\n");
    const int32_t su = gridScale(doc.feoMegaPov.uGridScale);
    const int32_t sv = gridScale(doc.feoMegaPov.vGridScale);
    if (!layered) {
        job.status(job.exportingText());
        writeMesh(out, *grid, "Quorl01", su, sv);
        return job.finish();
    }
    job.status(job.exportingLayersText());
    int counter = 0;
    for (const auto& item : doc.itemMeshes) {
        if (doc.layerPassesExportFilter(item->layerIndex) && kMeshUsable(*item, normals)) {
            job.status(job.itemText(*item));
            writeMesh(out, *item, kExportItemName(++counter), su, sv);
        }
    }
    return job.finish();
}
