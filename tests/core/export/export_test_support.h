#pragma once
// Documents, files and golden files for the export tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "export/KExport.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"
#include "support/KTestFiles.h"

namespace exporttest {

namespace fs = std::filesystem;

// Every export format, the eight text formats first.
inline constexpr KExportFormat kAllFormats[] = {
    KExportFormat::PovMesh, KExportFormat::PovMesh2, KExportFormat::Obj, KExportFormat::Rib,
    KExportFormat::Df3,     KExportFormat::Raw,      KExportFormat::Udo, KExportFormat::Ascii,
    KExportFormat::Gltf,    KExportFormat::Stl,      KExportFormat::Ply};

// A new document with a planar grid of (uRes + 1) x (vRes + 1) samples; 0 keeps the
// default conic 51 x 51 grid.
inline std::unique_ptr<CPexaDoc> makeDoc(int uRes = 0, int vRes = 0) {
    auto doc = std::make_unique<CPexaDoc>();
    if (uRes > 0 && vRes > 0) {
        doc->uResolution = uRes;
        doc->vResolution = vRes;
        doc->baseShape = CPexaDoc::Planar;
        doc->rebuildGrid();
    }
    return doc;
}

inline void addMuscle(CPexaDoc& doc, int layer, const std::string& name, int resU, int resV,
                      double u0, double v0, double u1, double v1) {
    auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Linear);
    m->setFromRect(u0, v0, u1, v1);
    m->name = name;
    m->resolutionU = resU;
    m->resolutionV = resV;
    ASSERT_NE(doc.addMuscleToLayer(doc.layers[size_t(layer)].get(), m), nullptr);
}

// A 2 x 2 object grid with three muscles: a 2 x 2 item mesh on the first layer, a 3 x 2
// one on the second, and a 2 x 2 one on the third layer, which the selection leaves out.
inline std::unique_ptr<CPexaDoc> makeLayeredDoc() {
    auto doc = makeDoc(1, 1);
    addMuscle(*doc, 0, "Ridge One", 1, 1, 0.2, 0.1, 0.6, 0.5);
    addMuscle(*doc, 1, "Bump Two", 2, 1, 0.3, 0.4, 0.9, 0.8);
    addMuscle(*doc, 2, "Left Out", 1, 1, 0.1, 0.6, 0.4, 0.9);
    doc->layers[1]->textureIndex = 2;
    doc->meshType = CPexaDoc::Layered;
    doc->setExportLayerSelection({0, 1});
    return doc;
}

// The bytes of an export of doc into a fresh folder; the export must succeed.
inline std::string exportBytes(CPexaDoc& doc, KExportFormat format, bool ascii = false) {
    KTempDir dir("bytes");
    const auto path = dir.file(std::string("out.") + kExportExtension(format));
    KExportOptions extra;
    extra.ascii = ascii;
    const KExportResult r = kExport(doc, format, path.string(), extra);
    EXPECT_TRUE(r.written) << r.error;
    EXPECT_FALSE(r.cancelled);
    return kSlurp(path);
}

inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace exporttest
