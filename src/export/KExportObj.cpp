// Wavefront OBJ files: one group per object, vertex numbers running across the file.

#include <algorithm>
#include <charconv>
#include <functional>
#include <string>

#include "document/CPexaDoc.h"
#include "export/KExportJob.h"
#include "export/KExportParts.h"
#include "export/KExportWriters.h"
#include "mesh/KMeshGrid.h"

namespace {

constexpr const char* kHeader = "# Quorl OBJ exporter\n\n";
constexpr const char* kCancelComment = "\n# (** user canceled export operation **)\n";

// Appends "n", "n/n", "n//n" or "n/n/n" and a space for one corner at p.
char* putCorner(char* p, long long vertex, bool uv, bool normals) {
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, vertex);
    const size_t n = size_t(r.ptr - digits);
    p = std::copy_n(digits, n, p);
    if (uv || normals) {
        *p++ = '/';
        if (uv) {
            p = std::copy_n(digits, n, p);
        }
        if (normals) {
            *p++ = '/';
            p = std::copy_n(digits, n, p);
        }
    }
    *p++ = ' ';
    return p;
}

// One face line, built on the stack and handed to the sink in one piece (the face list
// is the larger half of the file).
void writeFace(KTextSink& out, long long a, long long b, long long c, bool uv, bool normals) {
    char line[3 * (3 * 24 + 3) + 4];
    char* p = line;
    *p++ = 'f';
    *p++ = ' ';
    p = putCorner(p, a, uv, normals);
    p = putCorner(p, b, uv, normals);
    p = putCorner(p, c, uv, normals);
    *p++ = '\n';
    out.text(std::string_view(line, size_t(p - line)));
}

// Lines for samples [0, count), formatted in blocks on several threads.
void writeSamples(KTextSink& out, size_t count,
                  const std::function<void(KTextSink&, size_t)>& line) {
    constexpr size_t kBlock = 4096;
    const int blocks = int((count + kBlock - 1) / kBlock);
    kFormatInOrder(
        blocks,
        [&](KTextSink& o, int b) {
            const size_t end = std::min(count, size_t(b + 1) * kBlock);
            for (size_t k = size_t(b) * kBlock; k < end; ++k) {
                line(o, k);
            }
        },
        [&](const std::string& text, int) {
            out.text(text);
            return true;
        });
}

// Writes one object; returns its vertex count, or 0 when the user cancelled.
long long writeObject(KExportJob& job, const KMeshGrid& mesh, long long offset,
                      const std::string& name, const std::string& textureName) {
    const KExportFlags& f = job.doc().exportFlags;
    const KFileFrame frame = KFileFrame::of(f);
    KTextSink& out = job.out();
    const int32_t nu = mesh.uCount();
    const int32_t nv = mesh.vCount();
    const auto n = static_cast<long long>(mesh.sampleCount());
    const bool normals = f.normals != 0;
    const bool uv = f.uv != 0;
    out.text("# Item (layer/item) ").text(name).ch('\n');
    out.text("# Mesh Info: ").text("\tu polys: ").integer(nu - 1);
    out.text("\tv polys: ").integer(nv - 1).ch('\n');

    out.text("# vertex list: ").integer(n).ch('\n');
    const auto pos = mesh.positions();
    writeSamples(out, mesh.sampleCount(), [&](KTextSink& o, size_t k) {
        const KVertex p = frame.position(pos[k]);
        o.text("v ").num(p.x).ch(' ').num(p.y).ch(' ').num(p.z).ch('\n');
    });
    if (job.cancelRequested()) {
        return 0;
    }
    if (normals) {
        out.text("\n# normals\n");
        const auto nrm = mesh.normals();
        writeSamples(out, mesh.sampleCount(), [&](KTextSink& o, size_t k) {
            const KVertex v = frame.normal(nrm[k]);
            o.text("vn ").num(v.x).ch(' ').num(v.y).ch(' ').num(v.z).ch('\n');
        });
        if (job.cancelRequested()) {
            return 0;
        }
    }
    if (uv) {
        out.text("\n# texture coordinates\n");
        writeSamples(out, mesh.sampleCount(), [&](KTextSink& o, size_t k) {
            const KVertex& t = kUvRecord(mesh, k, f.uv == 2);
            o.text("vt ").num(t.x).ch(' ').num(t.z).ch('\n');
        });
        if (job.cancelRequested()) {
            return 0;
        }
    }
    out.text("# (object) layer muscle\n").text("\ng ").text(name).ch('\n');
    if (f.includeTextureNames) {
        out.text("usemtl ").text(textureName).ch('\n');
    }
    out.text("\ns off\n");

    const long long faces = 2LL * (nu - 1) * (nv - 1);
    out.text("\n# face list: ").integer(faces).ch('\n');
    const auto vertex = [&](int32_t row, int32_t col) {
        return static_cast<long long>(mesh.index(col, row)) + offset + 1;
    };
    bool cancelled = false;
    const auto writeFaceRow = [&](KTextSink& o, int32_t r) {
        for (int32_t c = 0; c + 1 < nu; ++c) {
            long long p = vertex(r, c);
            long long q = vertex(r + 1, c);
            long long rr = vertex(r + 1, c + 1);
            long long s = vertex(r, c + 1);
            if (mesh.halfTest(c) == 1) {
                // The cell is split along its other diagonal.
                p = vertex(r, c + 1);
                q = vertex(r, c);
                rr = vertex(r + 1, c);
                s = vertex(r + 1, c + 1);
            }
            // (P, Q, R) and (P, R, S) run as the walk's (A, B, D) and (A, D, C).
            if (frame.turned) {
                writeFace(o, p, rr, q, uv, normals);
                writeFace(o, p, s, rr, uv, normals);
            } else {
                writeFace(o, p, q, rr, uv, normals);
                writeFace(o, p, rr, s, uv, normals);
            }
        }
    };
    kFormatInOrder(nv - 1, writeFaceRow, [&](const std::string& text, int) {
        out.text(text);
        cancelled = job.cancelRequested();
        return !cancelled;
    });
    if (cancelled) {
        return 0;
    }
    out.text("\n# face list: endcaps and mesh backing... (disabled)").ch('\n');
    return std::max<long long>(n, 1);
}

std::string underscored(std::string s) {
    std::replace(s.begin(), s.end(), ' ', '_');
    return s;
}

} // namespace

KExportResult kWriteObjSkinned(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const KMeshGrid* grid = job.prepareGrid(doc.exportFlags.normals != 0);
    if (!grid) {
        return job.noMesh();
    }
    job.out().text(kHeader);
    job.status(job.exportingText());
    if (writeObject(job, *grid, 0, "ObjectMain", doc.textures.textureName(grid->textureIndex)) ==
        0) {
        job.out().text(kCancelComment);
    }
    return job.finish();
}

KExportResult kWriteObjLayered(CPexaDoc& doc, const std::string& path) {
    KExportJob job(doc, path);
    if (!job.open()) {
        return job.openFailed();
    }
    const bool normals = doc.exportFlags.normals != 0;
    if (!job.prepareItems(normals)) {
        return job.nothingToExport();
    }
    KTextSink& out = job.out();
    out.text(kHeader);
    job.status(job.exportingLayersText());
    long long offset = 0;
    for (const auto& itemPtr : doc.itemMeshes) {
        const KMeshGrid& item = *itemPtr;
        if (!doc.layerPassesExportFilter(item.layerIndex) || !kMeshUsable(item, normals)) {
            continue;
        }
        const std::string name = underscored(doc.layerName(item.layerIndex)) + " " +
                                 underscored(doc.muscleName(item.layerIndex, item.muscleIndex));
        job.status(job.itemText(item));
        const long long count =
            writeObject(job, item, offset, name, doc.textures.textureName(item.textureIndex));
        job.position(100);
        if (count == 0) {
            out.text(kCancelComment);
            break;
        }
        out.text("\n# (end of item: ").text(name).text(" )\n\n");
        offset += count;
    }
    out.text("\n# end of mesh objects\n");
    return job.finish();
}
