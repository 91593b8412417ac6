// POV-Ray include files (mesh of triangle or smooth_triangle) and RAW triangle lines:
// the same walk, the same comments, different triangle text.

#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

struct PovStyle {
    int mode = kPovTriangles;
    bool normals = false;   // RAW: normals on the line
    bool uv = false;        // RAW: uv on the line
    bool itemUv = false;    // RAW: uv from the item mesh
    bool halfSplit = false; // RAW Layered: cells flagged by halfTest use the other diagonal
};

void writeCorner(KTextSink& out, const KVertex& v) {
    out.text(" < ");
    kWriteXyz(out, v, ",");
    out.text(" >");
}

void writeTriangle(KTextSink& out, const KMeshGrid& mesh, const PovStyle& style, size_t p, size_t q,
                   size_t r) {
    const auto pos = mesh.positions();
    const size_t corners[3] = {p, q, r};
    switch (style.mode) {
    case kPovTriangles:
        out.text("\ttriangle {");
        writeCorner(out, pos[p]);
        out.ch(',');
        writeCorner(out, pos[q]);
        out.ch(',');
        writeCorner(out, pos[r]);
        out.text(" }\n");
        return;
    case kPovSmooth: {
        const auto nrm = mesh.normals();
        out.text("\tsmooth_triangle {");
        for (int k = 0; k < 3; ++k) {
            out.text("\n\t\t");
            writeCorner(out, pos[corners[k]]);
            out.ch(',');
            writeCorner(out, nrm[corners[k]]);
            if (k < 2) {
                out.ch(',');
            }
        }
        out.text("\n\t\t}\n");
        return;
    }
    default:
        break;
    }
    // RAW: one line of numbers, each followed by a space.
    for (size_t c : corners) {
        out.num(pos[c].x).ch(' ').num(pos[c].y).ch(' ').num(pos[c].z).ch(' ');
    }
    if (style.normals) {
        const auto nrm = mesh.normals();
        for (size_t c : corners) {
            out.num(nrm[c].x).ch(' ').num(nrm[c].y).ch(' ').num(nrm[c].z).ch(' ');
        }
    }
    if (style.uv) {
        for (size_t c : corners) {
            const KVertex& t = kUvRecord(mesh, c, style.itemUv);
            out.num(t.x).ch(' ').num(t.z).ch(' ');
        }
    }
    out.ch('\n');
}

// One row of cells: "vStep" comment and two triangles per cell.
void writeRow(KTextSink& out, const KMeshGrid& mesh, const PovStyle& style, int32_t j) {
    out.text("\n\t// vStep: ").integer(j).ch('\n');
    for (int32_t i = 1; i < mesh.uCount(); ++i) {
        const size_t a = mesh.index(i - 1, j);
        const size_t b = mesh.index(i - 1, j + 1);
        const size_t c = mesh.index(i, j);
        const size_t d = mesh.index(i, j + 1);
        if (style.halfSplit && mesh.halfTest(i - 1) == 1) {
            writeTriangle(out, mesh, style, c, a, b);
            writeTriangle(out, mesh, style, c, b, d);
        } else {
            writeTriangle(out, mesh, style, a, b, d);
            writeTriangle(out, mesh, style, a, d, c);
        }
    }
}

// The rows of a mesh, formatted on several threads and written in order, with the cancel
// check and progress after each row. Returns false when the user cancelled.
bool writeRows(KExportJob& job, const KMeshGrid& mesh, const PovStyle& style) {
    const int32_t nv = mesh.vCount();
    bool finished = true;
    kFormatInOrder(
        nv - 1, [&](KTextSink& part, int j) { writeRow(part, mesh, style, j); },
        [&](const std::string& text, int j) {
            job.out().text(text);
            if (job.cancelRequested()) {
                finished = false;
                return false;
            }
            job.position(kRowProgress(j, nv));
            return true;
        });
    return finished;
}

PovStyle styleFor(const CPexaDoc& doc, int mode) {
    PovStyle style;
    style.mode = mode;
    if (mode == kPovRaw) {
        style.normals = doc.exportFlags.normals != 0;
        style.uv = doc.exportFlags.uv != 0;
        style.itemUv = doc.exportFlags.uv == 2;
    }
    return style;
}

bool needsNormals(const CPexaDoc& doc, int mode) {
    return mode == kPovSmooth || doc.exportFlags.normals != 0;
}

} // namespace

KExportResult kWritePovSkinned(CPexaDoc& doc, const std::string& path, int mode) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const KMeshGrid* grid = job.prepareGrid(needsNormals(doc, mode));
    if (!grid) {
        return job.noMesh();
    }
    const PovStyle style = styleFor(doc, mode);
    job.status(job.exportingText());
    KTextSink& out = job.out();
    const int32_t nu = grid->uCount();
    const int32_t nv = grid->vCount();
    out.text("// oom/bdl ver 00.001\n").text("// Mesh Info:\n");
    out.text("// u polys: ").integer(nu - 1).text("   v polys: ").integer(nv - 1).ch('\n');
    out.text(mode == kPovRaw ? "\n" : "\n#declare Quorl01 = \nmesh {\n");
    writeRows(job, *grid, style);
    out.text(mode == kPovRaw ? "\n" : "\t}\n");
    return job.finish();
}

KExportResult kWritePovLayered(CPexaDoc& doc, const std::string& path, int mode) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    if (!job.prepareItems(needsNormals(doc, mode))) {
        return job.nothingToExport();
    }
    PovStyle style = styleFor(doc, mode);
    style.halfSplit = mode == kPovRaw;
    job.status(job.exportingLayersText());
    KTextSink& out = job.out();
    out.text("// Quorl Export: \n").text("// Mesh Info:\n");
    std::vector<std::string> names;
    for (const auto& itemPtr : doc.itemMeshes) {
        const KMeshGrid& item = *itemPtr;
        if (!doc.layerPassesExportFilter(item.layerIndex) ||
            !kMeshUsable(item, needsNormals(doc, mode))) {
            continue;
        }
        job.status(job.itemText(item));
        const std::string textureName = doc.textures.textureName(item.textureIndex);
        out.text("\n\t// Layer  : ").integer(item.layerIndex).text("  ");
        out.text(doc.layerName(item.layerIndex));
        out.text("\n\t// Muscle : ").integer(item.muscleIndex).text("  ");
        out.text(doc.muscleName(item.layerIndex, item.muscleIndex));
        out.text("\n\t// Texture: ").integer(item.textureIndex).ch('\n');
        out.text("\n\t// ").text(textureName).ch('\n');
        if (mode == kPovRaw && doc.exportFlags.includeTextureNames) {
            out.text(textureName).ch('\n');
        }
        names.push_back(kExportItemName(int(names.size()) + 1));
        if (mode == kPovRaw) {
            out.text("\n// ").text(names.back()).text(" \n");
        } else {
            out.text("\n#declare ").text(names.back()).text(" = mesh {\n");
        }
        const int32_t nv = item.vCount();
        for (int32_t j = 0; j + 1 < nv; ++j) {
            writeRow(out, item, style, j);
            job.position(kRowProgress(j, nv));
        }
        out.text(mode == kPovRaw ? "\n" : "\t}\n").text("  \t// (end of muscle)");
        if (job.cancelRequested()) {
            break;
        }
    }
    if (mode != kPovRaw) {
        out.text("\n\n#declare Quorl01 = union {\n");
        for (const std::string& name : names) {
            out.text("\tobject {").text(name).text("}\n");
        }
        out.text("\t}\n");
    }
    return job.finish();
}
