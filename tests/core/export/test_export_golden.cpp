// Every format and mode on small grids, the muscles document and the default document,
// byte for byte against the files in tests/data/export.

#include <gtest/gtest.h>

#include <functional>

#include "export/KExport.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"

using namespace exporttest;

namespace {

struct GoldenCase {
    std::string file;
    std::function<std::unique_ptr<CPexaDoc>()> makeDocument;
    KExportFormat format;
    std::function<void(CPexaDoc&)> setOptions;
    KExportOptions extra;
};

void allFlags(CPexaDoc& doc) {
    KExportFlags& f = doc.exportFlags;
    f.normals = 1;
    f.uv = 1;
    f.includeTextureNames = 1;
    f.perVertex = 1;
    f.invertNormals = 1;
    f.reverseWinding = 1;
    f.mirrorZ = 0;
}

void layeredFlags(CPexaDoc& doc) {
    allFlags(doc);
    doc.exportFlags.uv = 2;
}

void none(CPexaDoc&) {}

std::unique_ptr<CPexaDoc> grid2x2() {
    return makeDoc(1, 1);
}
std::unique_ptr<CPexaDoc> grid3x2() {
    return makeDoc(2, 1);
}
std::unique_ptr<CPexaDoc> defaultDoc() {
    return makeDoc();
}

KExportOptions udoInclude() {
    KExportOptions o;
    o.udoIncludeFile = "scene.inc";
    return o;
}

KExportOptions ascii() {
    KExportOptions o;
    o.ascii = true;
    return o;
}

void normalsAndUv(CPexaDoc& doc) {
    doc.exportFlags.normals = 1;
    doc.exportFlags.uv = doc.meshType == CPexaDoc::Layered ? 2 : 1;
}

KExportOptions smooth() {
    KExportOptions o;
    o.povMode = 3;
    return o;
}

std::vector<GoldenCase> cases() {
    using F = KExportFormat;
    std::vector<GoldenCase> c;
    using MakeFn = std::unique_ptr<CPexaDoc> (*)();
    const std::pair<std::string, MakeFn> grids[] = {{"2x2", grid2x2}, {"3x2", grid3x2}};
    for (const auto& grid : grids) {
        const std::string& t = grid.first;
        const MakeFn make = grid.second;
        auto add = [&](const std::string& name, F format, std::function<void(CPexaDoc&)> set,
                       KExportOptions extra = {}) {
            c.push_back(
                {"skinned_" + t + "_" + name, make, format, std::move(set), std::move(extra)});
        };
        add("flat.inc", F::PovMesh, none);
        add("smooth.inc", F::PovMesh, none, smooth());
        add("mesh2.inc", F::PovMesh2, none);
        add("mesh2_all.inc", F::PovMesh2, allFlags);
        add("mesh2_tex.inc", F::PovMesh2, [](CPexaDoc& d) {
            d.exportFlags.uv = 1;
            d.exportFlags.includeTextureNames = 1;
        });
        add("plain.obj", F::Obj, none);
        add("all.obj", F::Obj, allFlags);
        add("pp.rib", F::Rib, none);
        add("pp_all.rib", F::Rib, allFlags);
        add("subdiv_all.rib", F::Rib, [](CPexaDoc& d) {
            allFlags(d);
            d.feoRib.meshType = KFeoRib::SubdivisionSurface;
        });
        add("plain.raw", F::Raw, none);
        add("all.raw", F::Raw, allFlags);
        add("scale1.udo", F::Udo, none, udoInclude());
        add(
            "scale2.udo", F::Udo,
            [](CPexaDoc& d) {
                d.feoMegaPov.uGridScale = 2;
                d.feoMegaPov.vGridScale = 2;
            },
            udoInclude());
        add("ascii.txt", F::Ascii, none);
        add("base.df3", F::Df3, none);
        add("u.df3", F::Df3, [](CPexaDoc& d) { d.feoPMedia.densitySource = KFeoPMedia::DensityU; });
        add("plain.glb", F::Gltf, none);
        add("uv.glb", F::Gltf, normalsAndUv);
        add("binary.stl", F::Stl, none);
        add("ascii.stl", F::Stl, none, ascii());
        add(
            "unmirrored_ascii.stl", F::Stl, [](CPexaDoc& d) { d.exportFlags.mirrorZ = 0; },
            ascii());
        add("plain.ply", F::Ply, none);
        add("all.ply", F::Ply, normalsAndUv);
        add("all_ascii.ply", F::Ply, normalsAndUv, ascii());
    }
    auto layered = [&](const char* file, F format, std::function<void(CPexaDoc&)> set,
                       KExportOptions extra = {}) {
        c.push_back({file, makeLayeredDoc, format, std::move(set), std::move(extra)});
    };
    layered("layered_flat.inc", F::PovMesh, none);
    layered("layered_smooth.inc", F::PovMesh, none, smooth());
    layered("layered_mesh2.inc", F::PovMesh2, none);
    layered("layered_mesh2_all.inc", F::PovMesh2, layeredFlags);
    layered("layered_plain.obj", F::Obj, none);
    layered("layered_all.obj", F::Obj, layeredFlags);
    layered("layered_pp_all.rib", F::Rib, layeredFlags);
    layered("layered_subdiv.rib", F::Rib,
            [](CPexaDoc& d) { d.feoRib.meshType = KFeoRib::SubdivisionSurface; });
    layered("layered_plain.raw", F::Raw, none);
    layered("layered_all.raw", F::Raw, layeredFlags);
    layered("layered_half.raw", F::Raw, [](CPexaDoc& d) {
        d.meshOption = 1;
        d.documentChanged();
    });
    layered("layered_half.obj", F::Obj, [](CPexaDoc& d) {
        d.meshOption = 1;
        d.documentChanged();
    });
    layered("layered.udo", F::Udo, none, udoInclude());
    layered("layered_ascii.txt", F::Ascii, none);
    layered("layered_uv.glb", F::Gltf, normalsAndUv);
    layered("layered_binary.stl", F::Stl, none);
    layered("layered_ascii.stl", F::Stl, none, ascii());
    layered("layered_all.ply", F::Ply, normalsAndUv);
    layered("layered_all_ascii.ply", F::Ply, normalsAndUv, ascii());
    layered("layered_w.df3", F::Df3, [](CPexaDoc& d) {
        d.feoPMedia.densitySource = KFeoPMedia::DensityW;
        d.feoPMedia.scale = 4.0f;
    });
    auto full = [&](const char* file, F format, KExportOptions extra = {}) {
        c.push_back({file, defaultDoc, format, none, std::move(extra)});
    };
    full("default_flat.inc", F::PovMesh);
    full("default_mesh2.inc", F::PovMesh2);
    full("default.obj", F::Obj);
    full("default.rib", F::Rib);
    full("default.raw", F::Raw);
    full("default.udo", F::Udo, udoInclude());
    full("default_ascii.txt", F::Ascii);
    full("default.df3", F::Df3);
    return c;
}

} // namespace

TEST(ExportGolden, EveryFormatAndModeMatchesItsFile) {
    TempDir dir("golden");
    for (const GoldenCase& gc : cases()) {
        SCOPED_TRACE(gc.file);
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = gc.makeDocument();
        gc.setOptions(*doc);
        const auto path = dir.file(gc.file);
        const KExportResult r = kExport(*doc, gc.format, path.string(), gc.extra);
        ASSERT_TRUE(r.written) << r.error;
        EXPECT_FALSE(r.cancelled);
        EXPECT_TRUE(ui.messages().empty());
        EXPECT_TRUE(ui.questions().empty());
        EXPECT_EQ(ui.waitDepth, 0);
        EXPECT_EQ(ui.progressDepth, 0);
        expectGolden(gc.file, slurp(path));
    }
}
