#pragma once
// What the exchange-format writers (glTF, STL, PLY) share: the meshes they write, the
// triangles of the walk, the mirror to a right-handed frame, little-endian values and
// names made safe for a file's header.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "export/KExport.h"
#include "model/KVertex.h"

class KExportJob;
struct KExportFlags;
class KMeshGrid;
class KTextSink;

// One mesh of an export: the object grid (Skinned) or one item mesh (Layered).
struct KExportPart {
    const KMeshGrid* mesh = nullptr;
    std::string name;       // the document's object name, or "Quorl0001", "Quorl0002", ...
    std::string layerName;  // items only
    std::string muscleName; // items only
    int32_t textureIndex = 0;
    bool item = false;
};

// Opens the job's file and gathers the meshes to write: Skinned the document's grid,
// Layered the item meshes whose layer passes the export filter (named in list order).
// Meshes too small to hold a triangle are left out. On failure returns false with
// *result set (the messages were shown and the file dropped; a Layered export without
// item meshes writes nothing and keeps an old file).
bool kGatherParts(KExportJob& job, bool withNormals, std::vector<KExportPart>& parts,
                  KExportResult& result);

// The result of a cancelled export: the binary formats state their counts up front, so a
// file cut short would be damaged; the temporary file is dropped and an old file of that
// name stays as it was.
KExportResult kCancelledExport(KExportJob& job);

// The two triangles of the cell left of column i (1 .. nu - 1) in row j, as sample
// indices: (A, B, D) then (A, D, C); turned, each triangle's last two corners trade
// places (see KFileFrame).
void kCellTriangles(const KMeshGrid& mesh, int32_t j, int32_t i, bool turned, size_t out[6]);
// Triangles of a mesh: two per cell.
size_t kTriangleCount(const KMeshGrid& mesh);

// A position or normal in the file's frame: z negated when mirrored.
inline KVertex kMirrored(const KVertex& v, bool mirrored) {
    return {v.x, v.y, mirrored ? -v.z : v.z, v.w};
}

// How a mesh is put into a file: positions and normals mirrored alike, the corner order of
// the triangles and the direction of the normals. The grid's normals point to the side
// from which the walk's triangles (A, B, D), (A, D, C) run anticlockwise; a mirror turns
// that over, so mirrored triangles are written turned to keep the front along the
// normals. Reverse winding turns them once more (the front leaves the normals' side) and
// invert normals turns the normals round; with both the surface is consistently inside
// out. A default frame is the flags' default: mirrored, not reversed, not inverted.
struct KFileFrame {
    bool mirror = true;
    bool turned = true;
    bool inverted = false;

    // The frame the document's export flags ask for.
    static KFileFrame of(const KExportFlags& flags);
    KVertex position(const KVertex& p) const { return kMirrored(p, mirror); }
    // 0 - c rather than -c: an inverted zero is written as 0, not -0.
    KVertex normal(const KVertex& n) const {
        const KVertex m = kMirrored(n, mirror);
        return inverted ? KVertex{0.0 - m.x, 0.0 - m.y, 0.0 - m.z, m.w} : m;
    }
};

// The unit normal of the triangle (a, b, c) by the right-hand rule; zero when the
// triangle has no area (or its corners are not finite).
KVertex kFacetNormal(const KVertex& a, const KVertex& b, const KVertex& c);

// Rows [0, rows) formatted by format (on several threads, each row into text of its own)
// and handed to emit in order. After each row the progress bar moves on and the cancel
// check runs. False when the user cancelled.
bool kEmitRows(KExportJob& job, int32_t rows,
               const std::function<void(KTextSink&, int32_t)>& format,
               const std::function<void(const std::string&)>& emit);

// Status texts while the parts are written: "Exporting: ..." or "Exporting Layers: ..."
// once, "Item: <layer> - <muscle>" for each item.
void kPartStatus(KExportJob& job, const KExportPart& part, bool first);

// Little-endian values appended to a byte string, whatever the machine's byte order.
void kPutU8(std::string& out, uint8_t v);
void kPutU16(std::string& out, uint16_t v);
void kPutU32(std::string& out, uint32_t v);
void kPutF32(std::string& out, float v);

// A name for a one-line header field: control characters become spaces, and with
// noSpaces every blank becomes "_" (for formats that end a name at the first blank).
std::string kHeaderText(std::string_view text, bool noSpaces);
// A quoted JSON string: quotes, backslashes and control characters escaped, and every byte
// that is not part of well-formed UTF-8 replaced by U+FFFD.
std::string kJsonString(std::string_view text);
