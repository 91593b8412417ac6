// MegaPOV mesh2 include files: vertex, normal and uv vectors, an optional one-entry
// texture list and the face indices of two triangles per cell.

#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

constexpr const char* kCancelComment = "\n// (** user canceled export operation **)\n";

struct Mesh2Options {
    bool normals = false;
    bool uv = false;
    bool itemUv = false;
    bool textureNames = false;
    bool perVertex = false;
};

Mesh2Options optionsOf(const CPexaDoc& doc, bool allowItemUv) {
    const KExportFlags& f = doc.exportFlags;
    return {f.normals != 0, f.uv != 0, allowItemUv && f.useItemUv != 0, f.includeTextureNames != 0,
            f.perVertex != 0};
}

// One "vectors" block: the count, then the entries three to a line.
template <typename Entry>
void writeVectors(KTextSink& out, const char* head, size_t n, Entry entry) {
    out.text(head).text("\t{ ").integer(static_cast<long long>(n)).text(",\n\t\t");
    for (size_t k = 0; k < n; ++k) {
        entry(k);
        if (k + 1 != n) {
            out.text(", ");
        }
        if ((k + 1) % 3 == 0) {
            out.text("\n\t\t");
        }
    }
    out.text("\n\t\t}\n");
}

void writeFaceTexture(KTextSink& out, const Mesh2Options& o, bool trailing) {
    if (o.perVertex) {
        out.text(trailing ? " 0, 0, 0, " : " 0, 0, 0");
    } else {
        out.text(trailing ? "0, " : "0");
    }
}

// The body of one mesh2 object. False when the user cancelled (the object stays open).
bool writeBody(KExportJob& job, const KMeshGrid& mesh, const std::string& statusBase,
               const Mesh2Options& o, const std::string& textureName) {
    KTextSink& out = job.out();
    const int32_t nu = mesh.uCount();
    const int32_t nv = mesh.vCount();
    const size_t n = mesh.sampleCount();
    out.text("// Mesh Info:\n");
    out.text("// u polys: ").integer(nu - 1).text("   v polys: ").integer(nv - 1).ch('\n');
    out.text("\nmesh2 {\n");

    job.status(statusBase + " vertices...");
    const auto pos = mesh.positions();
    writeVectors(out, "\n\tvertex_vectors", n, [&](size_t k) {
        out.text("< ");
        kWriteXyz(out, pos[k], ", ");
        out.text(" >");
    });
    if (job.cancelRequested()) {
        return false;
    }
    if (o.normals) {
        job.status(statusBase + " normals...");
        const auto nrm = mesh.normals();
        writeVectors(out, "\n\tnormal_vectors", n, [&](size_t k) {
            out.text("< ");
            kWriteXyz(out, nrm[k], ", ");
            out.text(" >");
        });
        if (job.cancelRequested()) {
            return false;
        }
    }
    if (o.uv) {
        job.status(statusBase + " uv...");
        writeVectors(out, "\n\tuv_vectors", n, [&](size_t k) {
            const KVertex& t = kUvRecord(mesh, k, o.itemUv);
            out.text("< ").num(t.x).text(", ").num(t.z).text(" >");
        });
        if (job.cancelRequested()) {
            return false;
        }
    }
    if (o.textureNames) {
        out.text("\n\t texture_list { ").integer(1).text(",\n");
        out.text("\t\t").text("texture { ").text(textureName).text(" }").text("\n");
        out.text("\n\t\t}\n");
        if (job.cancelRequested()) {
            return false;
        }
    }

    job.status(statusBase + " faces...");
    const long long faces = 2LL * (nu - 1) * (nv - 1);
    out.text("\n\tface_indices").text("\t{ ").integer(nu > 1 && nv > 1 ? faces : 0).text(",\n");
    for (int32_t j = 0; j + 1 < nv; ++j) {
        for (int32_t i = 0; i + 1 < nu; ++i) {
            const auto p = static_cast<long long>(mesh.index(i, j));
            const auto q = static_cast<long long>(mesh.index(i, j + 1));
            const auto r = static_cast<long long>(mesh.index(i + 1, j + 1));
            const auto s = static_cast<long long>(mesh.index(i + 1, j));
            out.text("\t\t<").integer(p).text(", ").integer(q).text(", ").integer(r).text(">, ");
            if (o.textureNames) {
                writeFaceTexture(out, o, true);
            }
            out.text("\n\t\t");
            out.text("<").integer(p).text(", ").integer(r).text(", ").integer(s).text(">");
            if (o.textureNames) {
                out.text(", ");
                writeFaceTexture(out, o, false);
            }
            const bool last = j + 2 == nv && i + 2 == nu;
            if (!last) {
                out.text(", ");
            }
            out.ch('\n');
        }
    }
    out.text("\t\t}\n");
    job.position(100);
    out.ch('\n');
    if (job.cancelRequested()) {
        return false;
    }
    out.text("\t// * non-applicable options *\n")
        .text("\t// normal_indices {...}\n")
        .text("\t// uv_indices {...}\n");
    if (o.uv && o.textureNames) {
        out.text("\n\tuv_mapping\n");
    }
    out.text("\n\t} // end of mesh2 object: \n");
    return true;
}

} // namespace

KExportResult kWriteMesh2Skinned(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const Mesh2Options o = optionsOf(doc, false); // the whole object has no item uv
    const KMeshGrid* grid = job.prepareGrid(o.normals);
    if (!grid) {
        return job.noMesh();
    }
    job.status(job.exportingText());
    KTextSink& out = job.out();
    out.text("// Quorl \n").text("\n#version unofficial MegaPov 0.5;\n\n");
    out.text("\n#declare Quorl01 = \n");
    if (!writeBody(job, *grid, doc.objectName, o, doc.textures.textureName(grid->textureIndex))) {
        out.text(kCancelComment);
    }
    return job.finish();
}

KExportResult kWriteMesh2Layered(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const Mesh2Options o = optionsOf(doc, true);
    if (!job.prepareItems(o.normals)) {
        return job.nothingToExport();
    }
    KTextSink& out = job.out();
    out.text("// Quorl Export: \n").text("\n#version unofficial MegaPov 0.5;\n\n");
    job.status(job.exportingText());
    std::vector<std::string> names;
    int counter = 0;
    for (const auto& itemPtr : doc.itemMeshes) {
        const KMeshGrid& item = *itemPtr;
        if (!doc.layerPassesExportFilter(item.layerIndex) || !kMeshUsable(item, o.normals)) {
            continue;
        }
        const std::string textureName = doc.textures.textureName(item.textureIndex);
        out.text("\n// Layer  : ").integer(item.layerIndex).text("  ");
        out.text(doc.layerName(item.layerIndex));
        out.text("\n// Muscle : ").integer(item.muscleIndex).text("  ");
        out.text(doc.muscleName(item.layerIndex, item.muscleIndex));
        out.text("\n// Texture: ").integer(item.textureIndex).text("  ").text(textureName);
        out.ch('\n');
        const std::string name = kExportItemName(++counter);
        out.text("\n").text("#declare ").text(name).text(" = \n");
        const std::string itemStatus = job.itemText(item);
        job.status(itemStatus);
        if (!writeBody(job, item, itemStatus, o, textureName)) {
            out.text(kCancelComment);
            break;
        }
        names.push_back(name);
    }
    out.text("\n#declare Quorl01 = ").text("union {\n");
    for (const std::string& name : names) {
        out.text("\tobject {").text(name).text("}\n");
    }
    out.text("\n\t}\t// end of union(ed) mesh2 object\n");
    if (job.cancelled()) {
        out.text(kCancelComment);
    }
    return job.finish();
}
