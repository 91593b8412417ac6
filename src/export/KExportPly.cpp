// PLY files, binary little-endian or ASCII: one vertex list (positions, normals and
// texture coordinates as the options say) and one list of triangles. Layered exports
// put every item's vertices one after the other, with running vertex numbers, and name
// the items in header comments. Mirror Z, invert normals and reverse winding orient the
// vertices and triangles as KFileFrame describes.

#include <limits>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportParts.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

struct Layout {
    bool ascii = false;
    bool normals = false;
    bool uv = false;
    bool itemUv = false;
    KFileFrame frame;
};

std::string header(const CPexaDoc& doc, const std::vector<KExportPart>& parts, const Layout& l,
                   size_t vertices, size_t faces) {
    KTextSink h{KTextSink::InMemory{}};
    h.text("ply\nformat ").text(l.ascii ? "ascii" : "binary_little_endian").text(" 1.0\n");
    h.text("comment Quorl PLY exporter\n");
    h.text("comment object ").text(kHeaderText(doc.objectName, false)).ch('\n');
    size_t first = 0;
    for (const KExportPart& p : parts) {
        if (p.item) {
            const size_t count = p.mesh->sampleCount();
            h.text("comment item ").text(p.name).ch(' ');
            h.text(kHeaderText(p.layerName + " - " + p.muscleName, false));
            h.text(" (vertices ").integer(static_cast<long long>(first)).text(" to ");
            h.integer(static_cast<long long>(first + count - 1)).text(")\n");
            first += count;
        }
    }
    h.text("element vertex ").integer(static_cast<long long>(vertices)).ch('\n');
    h.text("property float x\nproperty float y\nproperty float z\n");
    if (l.normals) {
        h.text("property float nx\nproperty float ny\nproperty float nz\n");
    }
    if (l.uv) {
        h.text("property float s\nproperty float t\n");
    }
    h.text("element face ").integer(static_cast<long long>(faces)).ch('\n');
    h.text("property list uchar int vertex_indices\nend_header\n");
    return h.take();
}

// The vertices of row j.
void vertexRow(KTextSink& o, const KMeshGrid& mesh, int32_t j, const Layout& l) {
    const auto pos = mesh.positions();
    const auto nrm = mesh.normals();
    std::string bytes;
    for (int32_t i = 0; i < mesh.uCount(); ++i) {
        const size_t k = mesh.index(i, j);
        float values[8];
        int n = 0;
        const KVertex p = l.frame.position(pos[k]);
        values[n++] = float(p.x);
        values[n++] = float(p.y);
        values[n++] = float(p.z);
        if (l.normals) {
            const KVertex v = l.frame.normal(nrm[k]);
            values[n++] = float(v.x);
            values[n++] = float(v.y);
            values[n++] = float(v.z);
        }
        if (l.uv) {
            const KVertex& t = kUvRecord(mesh, k, l.itemUv);
            values[n++] = float(t.x);
            values[n++] = float(t.z);
        }
        for (int v = 0; v < n; ++v) {
            if (l.ascii) {
                o.num(values[v]).ch(v + 1 < n ? ' ' : '\n');
            } else {
                kPutF32(bytes, values[v]);
            }
        }
    }
    o.text(bytes);
}

// The triangles of the cells of row j; offset is the mesh's first vertex number.
void faceRow(KTextSink& o, const KMeshGrid& mesh, int32_t j, size_t offset, const Layout& l) {
    std::string bytes;
    for (int32_t i = 1; i < mesh.uCount(); ++i) {
        size_t idx[6];
        kCellTriangles(mesh, j, i, l.frame.turned, idx);
        for (int t = 0; t < 2; ++t) {
            if (l.ascii) {
                o.text("3");
                for (int k = 0; k < 3; ++k) {
                    o.ch(' ').integer(static_cast<long long>(idx[3 * t + k] + offset));
                }
                o.ch('\n');
            } else {
                kPutU8(bytes, 3);
                for (int k = 0; k < 3; ++k) {
                    kPutU32(bytes, uint32_t(idx[3 * t + k] + offset));
                }
            }
        }
    }
    o.text(bytes);
}

} // namespace

KExportResult kWritePly(CPexaDoc& doc, const std::string& path, bool ascii) {
    const KExportFlags& f = doc.exportFlags;
    Layout l;
    l.ascii = ascii;
    l.normals = f.normals != 0;
    l.uv = f.uv != 0;
    l.itemUv = f.uv == 2;
    l.frame = KFileFrame::of(f);
    KExportJob job(doc, path);
    std::vector<KExportPart> parts;
    KExportResult failure;
    if (!kGatherParts(job, l.normals, parts, failure)) {
        return failure;
    }
    size_t vertices = 0;
    size_t faces = 0;
    for (const KExportPart& p : parts) {
        vertices += p.mesh->sampleCount();
        faces += kTriangleCount(*p.mesh);
    }
    if (vertices > size_t(std::numeric_limits<int32_t>::max())) {
        return job.report("Too many vertices for a PLY file!");
    }
    KTextSink& out = job.out();
    out.text(header(doc, parts, l, vertices, faces));
    const auto emit = [&out](const std::string& text) { out.text(text); };
    for (size_t n = 0; n < parts.size(); ++n) {
        const KMeshGrid& mesh = *parts[n].mesh;
        kPartStatus(job, parts[n], n == 0);
        const auto format = [&](KTextSink& o, int32_t j) { vertexRow(o, mesh, j, l); };
        if (!kEmitRows(job, mesh.vCount(), format, emit)) {
            return kCancelledExport(job);
        }
    }
    size_t offset = 0;
    for (size_t n = 0; n < parts.size(); ++n) {
        const KMeshGrid& mesh = *parts[n].mesh;
        kPartStatus(job, parts[n], false);
        const auto format = [&](KTextSink& o, int32_t j) { faceRow(o, mesh, j, offset, l); };
        if (!kEmitRows(job, mesh.vCount() - 1, format, emit)) {
            return kCancelledExport(job);
        }
        offset += mesh.sampleCount();
    }
    return job.finish();
}
