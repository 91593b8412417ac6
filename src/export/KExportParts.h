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
// indices: (A, B, D) then (A, D, C). Mirrored, each triangle's last two corners trade
// places, so that the front side stays the side the normals point to.
void kCellTriangles(const KMeshGrid& mesh, int32_t j, int32_t i, bool mirrored, size_t out[6]);
// Triangles of a mesh: two per cell.
size_t kTriangleCount(const KMeshGrid& mesh);

// A position or normal in the file's frame: z negated when mirrored.
inline KVertex kMirrored(const KVertex& v, bool mirrored) {
    return {v.x, v.y, mirrored ? -v.z : v.z, v.w};
}
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
