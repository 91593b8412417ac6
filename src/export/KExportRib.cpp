// RenderMan RIB fragments: one attribute block per mesh holding PointsPolygons (two
// triangles per cell) or a Catmull-Clark SubdivisionMesh (one quad per cell).

#include <string>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"
#include "platform/KNumberText.h"

namespace {

constexpr const char* kCancelComment = "\n# * export cancelled by user *\n";

struct RibOptions {
    bool subdivision = false;
    bool normals = false;
    bool uv = false;
    bool itemUv = false;
};

void writeHeader(KTextSink& out) {
    out.text("##RenderMan RIB-Structure 1.1 Entity\n").text("\n");
    out.text("##Creator Quorl RIB export plugin - version 1.41a\n").text("\n");
    out.text("version 3.03\n");
}

void writeBound(KTextSink& out, const KMeshGrid& mesh) {
    std::string bound = "Bound";
    for (double v : {mesh.boundsMin.x, mesh.boundsMin.y, mesh.boundsMin.z, mesh.boundsMax.x,
                     mesh.boundsMax.y, mesh.boundsMax.z}) {
        bound += ' ';
        kAppendFixed(bound, v, 3);
    }
    out.text("\n").text("# ").text(bound).text("\n");
}

void writeBlockStart(KTextSink& out, const std::string& comment, const std::string& name) {
    out.text("\nAttributeBegin").text(" #begin ").text(comment);
    out.text("\nAttribute \"identifier\" \"name\" \"").text(name).text("\"");
}

// One attribute block with the mesh. False when the user cancelled (the block stays open).
bool writeMesh(KExportJob& job, const KMeshGrid& mesh, const std::string& statusBase,
               const std::string& name, const RibOptions& o) {
    KTextSink& out = job.out();
    const int32_t nu = mesh.uCount();
    const int32_t nv = mesh.vCount();
    writeBlockStart(out, name, name);
    writeBound(out, mesh);
    if (o.subdivision) {
        out.text("\n# Mesh Info:").text("\n# u polys: ");
    } else {
        out.text("\n# Mesh Info:\n").text("# u polys: ");
    }
    out.integer(nu - 1).text("   v polys: ").integer(nv - 1).text("\n");
    if (o.subdivision) {
        out.text("\nSubdivisionMesh ").text(" \"catmull-clark\" ").text("\n");
    } else {
        out.text("\nPointsPolygons ").text("\n");
    }

    job.status(statusBase + " poly info...");
    out.text("\t[\n");
    for (int32_t j = 0; j + 1 < nv; ++j) {
        out.text("\t");
        for (int32_t i = 0; i + 1 < nu; ++i) {
            out.text(o.subdivision ? "4 " : "3 3 ");
        }
        out.text("\n");
    }
    out.text("\t]\n");
    if (job.cancelRequested()) {
        return false;
    }

    job.status(statusBase + " face list...");
    out.text("\t[\n");
    for (int32_t j = 0; j + 1 < nv; ++j) {
        for (int32_t i = 0; i + 1 < nu; ++i) {
            const auto p = static_cast<long long>(mesh.index(i, j));
            const auto q = static_cast<long long>(mesh.index(i, j + 1));
            const auto r = static_cast<long long>(mesh.index(i + 1, j + 1));
            const auto s = static_cast<long long>(mesh.index(i + 1, j));
            out.text("\t");
            if (o.subdivision) {
                for (long long v : {p, q, r, s}) {
                    out.integer(v).text(" ");
                }
            } else {
                for (long long v : {p, q, r, p, r, s}) {
                    out.integer(v).text(" ");
                }
            }
            out.text("\n");
        }
    }
    out.text("\t]\n");
    if (job.cancelRequested()) {
        return false;
    }

    job.status(statusBase + " vertices...");
    out.text("\t\"P\"\n").text("\t[\n");
    for (const KVertex& p : mesh.positions()) {
        out.text("\t").num(p.x).text(" ").num(p.y).text(" ").num(p.z).text(" ").text("\n");
    }
    out.text("\t]\n");
    job.position(100);
    if (job.cancelRequested()) {
        return false;
    }

    if (o.normals) {
        job.status(statusBase + " normals...");
        out.text("\t\"N\"\n").text("\t[\n");
        for (const KVertex& v : mesh.normals()) {
            out.text("\t").num(v.x).text(" ").num(v.y).text(" ").num(v.z).text(" ").text("\n");
        }
        out.text("\t]\n");
        if (job.cancelRequested()) {
            return false;
        }
    }
    if (o.uv) {
        job.status(statusBase + " uv info...");
        out.text("\t\"st\"\n").text("\t[\n");
        for (size_t k = 0; k < mesh.sampleCount(); ++k) {
            const KVertex& t = kUvRecord(mesh, k, o.itemUv);
            out.text("\t").num(t.x).text(" ").num(t.z).text(" ").text("\n");
        }
        out.text("\t]\n");
        if (job.cancelRequested()) {
            return false;
        }
    }
    out.text("\nAttributeEnd ").text(" #end ").text(name).text("\n");
    return true;
}

RibOptions optionsOf(const CPexaDoc& doc, bool allowItemUv) {
    const KExportFlags& f = doc.exportFlags;
    return {doc.feoRib.meshType == KFeoRib::SubdivisionSurface, f.normals != 0, f.uv != 0,
            allowItemUv && f.useItemUv != 0};
}

} // namespace

KExportResult kWriteRibSkinned(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const RibOptions o = optionsOf(doc, false); // the whole object has no item uv
    const KMeshGrid* grid = job.prepareGrid(o.normals);
    if (!grid) {
        return job.noMesh();
    }
    job.status(job.exportingText());
    writeHeader(job.out());
    if (!writeMesh(job, *grid, doc.objectName, "Quorl01", o)) {
        job.out().text(kCancelComment);
    }
    return job.finish();
}

KExportResult kWriteRibLayered(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const RibOptions o = optionsOf(doc, true);
    if (!job.prepareItems(o.normals)) {
        return job.nothingToExport();
    }
    // The outer block's bound is the whole object's.
    const KMeshGrid* grid = job.prepareGrid(false);
    if (!grid) {
        return job.noMesh();
    }
    job.status(job.exportingText());
    KTextSink& out = job.out();
    writeHeader(out);
    writeBlockStart(out, doc.objectName, "Quorl01");
    writeBound(out, *grid);
    int counter = 0;
    for (const auto& itemPtr : doc.itemMeshes) {
        const KMeshGrid& item = *itemPtr;
        if (!doc.layerPassesExportFilter(item.layerIndex) || !kMeshUsable(item, o.normals)) {
            continue;
        }
        const std::string name = kExportItemName(++counter);
        const std::string itemStatus = job.itemText(item);
        job.status(itemStatus);
        if (!writeMesh(job, item, itemStatus, name, o)) {
            break;
        }
    }
    out.text("\nAttributeEnd ").text(" #end ").text(doc.objectName).text("\n");
    if (job.cancelled()) {
        out.text(kCancelComment);
    }
    return job.finish();
}
