// STL files, binary or ASCII: every cell of the walk becomes two facets whose normals
// come from their corners. Binary files carry all meshes in one list under a header
// naming the object; ASCII files write one solid per mesh.
//
// A facet's normal is by definition the one its corners give by the right-hand rule, so
// mirror Z and reverse winding (which order the corners) decide it; invert normals has
// nothing of its own to turn and leaves the file as it is.

#include <limits>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportParts.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

constexpr size_t kHeaderSize = 80;

struct Facet {
    KVertex normal;
    KVertex corner[3];
};

// The facets of the cells of row j (i = 1 .. nu - 1), in the file's frame.
template <typename Fn>
void forEachFacet(const KMeshGrid& mesh, int32_t j, const KFileFrame& frame, Fn fn) {
    const auto pos = mesh.positions();
    for (int32_t i = 1; i < mesh.uCount(); ++i) {
        size_t idx[6];
        kCellTriangles(mesh, j, i, frame.turned, idx);
        for (int t = 0; t < 2; ++t) {
            Facet f;
            for (int k = 0; k < 3; ++k) {
                f.corner[k] = frame.position(pos[idx[3 * t + k]]);
            }
            f.normal = kFacetNormal(f.corner[0], f.corner[1], f.corner[2]);
            fn(f);
        }
    }
}

std::string binaryHeader(const std::string& objectName) {
    std::string header = "Quorl STL: " + kHeaderText(objectName, false);
    header.resize(kHeaderSize, '\0');
    return header;
}

void putVector(std::string& out, const KVertex& v) {
    kPutF32(out, float(v.x));
    kPutF32(out, float(v.y));
    kPutF32(out, float(v.z));
}

void textVector(KTextSink& out, const KVertex& v) {
    out.num(v.x).ch(' ').num(v.y).ch(' ').num(v.z).ch('\n');
}

} // namespace

KExportResult kWriteStl(CPexaDoc& doc, const std::string& path, bool ascii) {
    KExportJob job(doc, path);
    std::vector<KExportPart> parts;
    KExportResult failure;
    if (!kGatherParts(job, false, parts, failure)) {
        return failure;
    }
    const KFileFrame frame = KFileFrame::of(doc.exportFlags);
    KTextSink& out = job.out();
    const auto emit = [&out](const std::string& text) { out.text(text); };

    if (!ascii) {
        size_t total = 0;
        for (const KExportPart& p : parts) {
            total += kTriangleCount(*p.mesh);
        }
        if (total > std::numeric_limits<uint32_t>::max()) {
            return job.report("Too many triangles for an STL file!");
        }
        std::string head = binaryHeader(doc.objectName);
        kPutU32(head, uint32_t(total));
        out.text(head);
        for (size_t n = 0; n < parts.size(); ++n) {
            const KMeshGrid& mesh = *parts[n].mesh;
            kPartStatus(job, parts[n], n == 0);
            const auto format = [&](KTextSink& o, int32_t j) {
                std::string bytes;
                bytes.reserve(size_t(mesh.uCount()) * 100);
                forEachFacet(mesh, j, frame, [&](const Facet& f) {
                    putVector(bytes, f.normal);
                    for (const KVertex& c : f.corner) {
                        putVector(bytes, c);
                    }
                    kPutU16(bytes, 0);
                });
                o.text(bytes);
            };
            if (!kEmitRows(job, mesh.vCount() - 1, format, emit)) {
                return kCancelledExport(job);
            }
        }
        return job.finish();
    }

    if (parts.empty()) {
        // Nothing passed the layer filter: an empty solid keeps the file readable.
        const std::string name = kHeaderText(doc.objectName, true);
        out.text("solid ").text(name).text("\nendsolid ").text(name).ch('\n');
    }
    for (size_t n = 0; n < parts.size(); ++n) {
        const KExportPart& part = parts[n];
        const KMeshGrid& mesh = *part.mesh;
        kPartStatus(job, part, n == 0);
        const std::string name = kHeaderText(part.name, true);
        out.text("solid ").text(name).ch('\n');
        const auto format = [&](KTextSink& o, int32_t j) {
            forEachFacet(mesh, j, frame, [&](const Facet& f) {
                o.text("  facet normal ");
                textVector(o, f.normal);
                o.text("    outer loop\n");
                for (const KVertex& c : f.corner) {
                    o.text("      vertex ");
                    textVector(o, c);
                }
                o.text("    endloop\n  endfacet\n");
            });
        };
        if (!kEmitRows(job, mesh.vCount() - 1, format, emit)) {
            return kCancelledExport(job);
        }
        out.text("endsolid ").text(name).ch('\n');
    }
    return job.finish();
}
