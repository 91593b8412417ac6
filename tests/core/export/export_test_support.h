#pragma once
// Documents, files and golden files for the export tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "document/CPexaDoc.h"
#include "export/KExport.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"

namespace exporttest {

namespace fs = std::filesystem;

// Every export format, the eight text formats first.
inline constexpr KExportFormat kAllFormats[] = {
    KExportFormat::PovMesh, KExportFormat::PovMesh2, KExportFormat::Obj, KExportFormat::Rib,
    KExportFormat::Df3,     KExportFormat::Raw,      KExportFormat::Udo, KExportFormat::Ascii,
    KExportFormat::Gltf,    KExportFormat::Stl,      KExportFormat::Ply};

// How many entries a folder holds (a temporary file left behind shows up here).
inline size_t filesIn(const fs::path& dir) {
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    explicit TempDir(const std::string& tag) {
        // Unique per process and per folder: ctest runs test cases in parallel processes.
        static int counter = 0;
        path_ =
            fs::temp_directory_path() / ("quorl-export-" + tag + "-" + std::to_string(::getpid()) +
                                         "-" + std::to_string(++counter));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path file(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

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

inline fs::path goldenDir() {
    return fs::path(QUORL_TEST_DATA_DIR) / "export";
}

// Compares got with the golden file; with QUORL_WRITE_GOLDEN=1 in the environment the
// golden file is written instead (review the diff before committing it).
inline void expectGolden(const std::string& name, const std::string& got) {
    const fs::path p = goldenDir() / name;
    if (const char* w = std::getenv("QUORL_WRITE_GOLDEN"); w && std::string(w) == "1") {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << got;
        return;
    }
    ASSERT_TRUE(fs::exists(p)) << "missing golden file " << p;
    const std::string want = slurp(p);
    EXPECT_TRUE(want == got) << "export differs from " << p << " (" << got.size() << " vs "
                             << want.size() << " bytes)";
}

// The bytes of an export of doc into a fresh folder; the export must succeed.
inline std::string exportBytes(CPexaDoc& doc, KExportFormat format, bool ascii = false) {
    TempDir dir("bytes");
    const auto path = dir.file(std::string("out.") + kExportExtension(format));
    KExportOptions extra;
    extra.ascii = ascii;
    const KExportResult r = kExport(doc, format, path.string(), extra);
    EXPECT_TRUE(r.written) << r.error;
    EXPECT_FALSE(r.cancelled);
    return slurp(path);
}

inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace exporttest
