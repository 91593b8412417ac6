#pragma once
// The writers behind kExport, one Skinned (the document's grid) and one Layered (the
// item meshes that pass the export layer filter) per format. Each creates path, writes
// the whole file and reports as kExport does.

#include <string>

#include "export/KExport.h"

class CPexaDoc;

// POV-Ray include and RAW. mode 1 RAW, 2 flat triangles, 3 smooth triangles.
enum KPovMode : int { kPovRaw = 1, kPovTriangles = 2, kPovSmooth = 3 };
KExportResult kWritePovSkinned(CPexaDoc& doc, const std::string& path, int mode);
KExportResult kWritePovLayered(CPexaDoc& doc, const std::string& path, int mode);

KExportResult kWriteMesh2Skinned(CPexaDoc& doc, const std::string& path);
KExportResult kWriteMesh2Layered(CPexaDoc& doc, const std::string& path);

KExportResult kWriteObjSkinned(CPexaDoc& doc, const std::string& path);
KExportResult kWriteObjLayered(CPexaDoc& doc, const std::string& path);

KExportResult kWriteRibSkinned(CPexaDoc& doc, const std::string& path);
KExportResult kWriteRibLayered(CPexaDoc& doc, const std::string& path);

// Skinned or Layered as doc.meshType says.
KExportResult kWriteDf3(CPexaDoc& doc, const std::string& path);
KExportResult kWriteUdo(CPexaDoc& doc, const std::string& path, const std::string& includeFile);
KExportResult kWriteAscii(CPexaDoc& doc, const std::string& path);

// The exchange formats, Skinned or Layered as doc.meshType says.
KExportResult kWriteGltf(CPexaDoc& doc, const std::string& path);
KExportResult kWriteStl(CPexaDoc& doc, const std::string& path, bool ascii);
KExportResult kWritePly(CPexaDoc& doc, const std::string& path, bool ascii);
