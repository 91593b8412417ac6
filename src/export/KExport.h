#pragma once
// Exporting the document's surface to the outside formats. The GUI and the command line
// gather the options into the document (meshType, exportFlags, the export layer
// selection, feoMegaPov, feoPMedia, feoRib), pick a file and call kExport.
//
// Every export reports through kUi(): the progress window with its status texts, the
// question "Are you sure you want to Cancel?" when Cancel is pressed, and each failure
// once, as a message: "Couldn't create export file!" followed on a second line by the
// path and the system's reason, "There is no layer or muscle info to export!", "There is
// no mesh to export" and the formats' own limits. KExportResult::error holds the same
// text; callers do not show it again.
// The file is written through KAtomicFile: a temporary file beside the target replaces
// the target only when the write ends (also after a cancel, which closes the file
// normally), so a failed export leaves any old file untouched. "-" writes to standard
// output; a device or pipe is written straight through; a directory is refused.

#include <string>

class CPexaDoc;

enum class KExportFormat {
    PovMesh,  // POV-Ray include with mesh { triangle / smooth_triangle }
    PovMesh2, // MegaPOV mesh2 include
    Obj,      // Wavefront OBJ
    Rib,      // RenderMan RIB (PointsPolygons or SubdivisionMesh as feoRib says)
    Df3,      // POV-Ray media density file
    Raw,      // RAW triangles
    Udo,      // Moray UDO file referring to an include file
    Ascii,    // ASCII NURBS test listing
    Gltf,     // glTF 2.0 binary (.glb)
    Stl,      // STL triangles, binary or ASCII
    Ply       // PLY polygon file, binary little-endian or ASCII
};

struct KExportOptions {
    // The POV-Ray mesh style: 0 takes it from the normals flag (smooth triangles when it
    // is on), 2 flat triangles, 3 smooth triangles.
    int povMode = 0;
    // Udo: the name of the include file the UDO file refers to. Empty: the UDO file's
    // own name with the extension ".inc".
    std::string udoIncludeFile;
    // Stl and Ply: the text form of the format instead of the binary one.
    bool ascii = false;
};

struct KExportResult {
    bool written = false;   // the file is in place (possibly cut short by a cancel)
    bool cancelled = false; // the user confirmed Cancel
    std::string error;      // why nothing was written (the message shown), else empty
    // A Layered export of a document without item meshes: there was nothing to write.
    // A file that was at the path keeps its content; where there was none, the text
    // formats leave an empty file (written is then true).
    bool nothingToExport = false;
};

// Writes the document in the given format to path, Skinned (the whole object) or
// Layered (one mesh per item mesh) as doc.meshType says. The export layer selection is
// locked during the write; a lock the caller holds (KExportSelectionLock) stays in place.
// Never throws.
//
// The POV-Ray 3.1 / MegaPOV command writes PovMesh or PovMesh2 (feoMegaPov.type) and then,
// when feoMegaPov.includeUdo is set, Udo to a file of its own with udoIncludeFile set to
// the include file's name.
KExportResult kExport(CPexaDoc& doc, KExportFormat format, const std::string& path,
                      const KExportOptions& extra = {});

// Whether a Layered export of doc would find item meshes to write: some active muscle of
// an active, physical layer. Cheap (nothing is built or written), so a caller can refuse
// an export with nothing in it before touching the target.
bool kHasExportItems(const CPexaDoc& doc);

// The format's usual file extension, without the dot ("inc", "obj", ...).
const char* kExportExtension(KExportFormat format);
