// The ASCII test listing: every mesh as a NURBS-style array of rows of points.

#include <string>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

void writeMesh(KTextSink& out, const KMeshGrid& mesh) {
    const int32_t nu = mesh.uCount();
    const int32_t nv = mesh.vCount();
    const auto pos = mesh.positions();
    out.text("define Quorl01\n object {\n\tnurb \t").text("4, ").integer(nv);
    out.text(", 4, ").integer(nu).text(",\n");
    out.text("// knot values for u\n").text("// knot values for v\n").text("// vertex arrays\n");
    out.text("\n  [ ");
    for (int32_t j = 0; j < nv; ++j) {
        out.text("\n    [ ");
        for (int32_t i = 0; i < nu; ++i) {
            out.text("\n      < ");
            kWriteXyz(out, pos[mesh.index(i, j)], ", ");
            out.text(" >");
            if (i + 1 < nu) {
                out.text(", ");
            }
        }
        out.text("\n").text(" ] ");
        if (j + 1 < nv) {
            out.text(", ");
        }
        out.text("\n");
    }
    out.text("  ]\n ");
}

} // namespace

KExportResult kWriteAscii(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const bool layered = doc.meshType == CPexaDoc::Layered;
    const KMeshGrid* grid = nullptr;
    if (layered) {
        if (!job.prepareItems(false)) {
            return job.nothingToExport();
        }
    } else if (!(grid = job.prepareGrid(false))) {
        return job.noMesh();
    }
    KTextSink& out = job.out();
    out.text("// Quorl Export: \n").text("// Mesh Info:\n");
    if (!layered) {
        job.status(job.exportingText());
        writeMesh(out, *grid);
        return job.finish();
    }
    job.status(job.exportingLayersText());
    for (const auto& item : doc.itemMeshes) {
        if (doc.layerPassesExportFilter(item->layerIndex) && kMeshUsable(*item, false)) {
            job.status(job.itemText(*item));
            writeMesh(out, *item);
        }
    }
    return job.finish();
}
