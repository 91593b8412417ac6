#include "export/KExport.h"

#include <filesystem>

#include "document/CPexaDoc.h"
#include "document/KExportSelectionLock.h"
#include "export/KExportWriters.h"
#include "mesh/KItemMeshes.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

namespace {

std::string defaultIncludeName(const std::string& udoPath) {
    std::filesystem::path p(udoPath);
    return p.filename().replace_extension(".inc").string();
}

KExportResult write(CPexaDoc& doc, KExportFormat format, const std::string& path,
                    const KExportOptions& extra) {
    const bool layered = doc.meshType == CPexaDoc::Layered;
    switch (format) {
    case KExportFormat::PovMesh: {
        int mode = extra.povMode;
        if (mode != kPovTriangles && mode != kPovSmooth) {
            mode = doc.exportFlags.normals ? kPovSmooth : kPovTriangles;
        }
        return layered ? kWritePovLayered(doc, path, mode) : kWritePovSkinned(doc, path, mode);
    }
    case KExportFormat::Raw:
        return layered ? kWritePovLayered(doc, path, kPovRaw)
                       : kWritePovSkinned(doc, path, kPovRaw);
    case KExportFormat::PovMesh2:
        return layered ? kWriteMesh2Layered(doc, path) : kWriteMesh2Skinned(doc, path);
    case KExportFormat::Obj:
        return layered ? kWriteObjLayered(doc, path) : kWriteObjSkinned(doc, path);
    case KExportFormat::Rib:
        return layered ? kWriteRibLayered(doc, path) : kWriteRibSkinned(doc, path);
    case KExportFormat::Df3:
        return kWriteDf3(doc, path);
    case KExportFormat::Udo:
        return kWriteUdo(doc, path,
                         extra.udoIncludeFile.empty() ? defaultIncludeName(path)
                                                      : extra.udoIncludeFile);
    case KExportFormat::Ascii:
        return kWriteAscii(doc, path);
    case KExportFormat::Gltf:
        return kWriteGltf(doc, path);
    case KExportFormat::Stl:
        return kWriteStl(doc, path, extra.ascii);
    case KExportFormat::Ply:
        return kWritePly(doc, path, extra.ascii);
    }
    KExportResult unknown;
    unknown.error = "Unknown export format";
    return unknown;
}

} // namespace

KExportResult kExport(CPexaDoc& doc, KExportFormat format, const std::string& path,
                      const KExportOptions& extra) {
    // Views cannot replace the layer selection while the write uses it. A command that
    // goes on after the write (the UDO file after a MegaPOV mesh) holds a lock of its
    // own, which this one leaves in place.
    const KExportSelectionLock lock(doc);
    return write(doc, format, path, extra);
}

bool kHasExportItems(const CPexaDoc& doc) {
    for (const auto& layer : doc.layers) {
        for (const auto& muscle : layer->muscles) {
            if (kMuscleGetsItemMesh(*layer, *muscle)) {
                return true;
            }
        }
    }
    return false;
}

const char* kExportExtension(KExportFormat format) {
    switch (format) {
    case KExportFormat::PovMesh:
    case KExportFormat::PovMesh2:
        return "inc";
    case KExportFormat::Obj:
        return "obj";
    case KExportFormat::Rib:
        return "rib";
    case KExportFormat::Df3:
        return "df3";
    case KExportFormat::Raw:
        return "raw";
    case KExportFormat::Udo:
        return "udo";
    case KExportFormat::Ascii:
        return "txt";
    case KExportFormat::Gltf:
        return "glb";
    case KExportFormat::Stl:
        return "stl";
    case KExportFormat::Ply:
        return "ply";
    }
    return "";
}
