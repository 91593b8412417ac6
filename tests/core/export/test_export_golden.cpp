// Every format and mode on small grids, the muscles document and the default document,
// byte for byte against the files in tests/data/export.

#include <gtest/gtest.h>

#include "export/KExport.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"

using namespace exporttest;

namespace {

// What a case sets before the export, as bits.
enum Setup : unsigned {
    kAll = 1,        // every export flag on but mirror Z; uv 2 on a Layered document
    kTex = 2,        // uv and texture names
    kNormUv = 4,     // normals and uv (2 on a Layered document)
    kSubdiv = 8,     // RIB subdivision surface
    kScale2 = 16,    // UDO grid scale 2 x 2
    kDensU = 32,     // df3 density from u
    kDensW4 = 64,    // df3 density from w, scaled by 4
    kNoMirror = 128, // mirror Z off
    kHalf = 256,     // the half mesh option
    kSmooth = 512,   // POV smooth triangles
    kText = 1024,    // the text form of STL and PLY
};

struct GoldenCase {
    const char* file;
    KExportFormat format;
    unsigned setup;
};

using enum KExportFormat;

// Written for the 2 x 2 and the 3 x 2 grid, as skinned_<grid>_<name>.
const GoldenCase kSkinned[] = {{"flat.inc", PovMesh, 0},
                               {"smooth.inc", PovMesh, kSmooth},
                               {"mesh2.inc", PovMesh2, 0},
                               {"mesh2_all.inc", PovMesh2, kAll},
                               {"mesh2_tex.inc", PovMesh2, kTex},
                               {"plain.obj", Obj, 0},
                               {"all.obj", Obj, kAll},
                               {"pp.rib", Rib, 0},
                               {"pp_all.rib", Rib, kAll},
                               {"subdiv_all.rib", Rib, kAll | kSubdiv},
                               {"plain.raw", Raw, 0},
                               {"all.raw", Raw, kAll},
                               {"scale1.udo", Udo, 0},
                               {"scale2.udo", Udo, kScale2},
                               {"ascii.txt", Ascii, 0},
                               {"base.df3", Df3, 0},
                               {"u.df3", Df3, kDensU},
                               {"plain.glb", Gltf, 0},
                               {"uv.glb", Gltf, kNormUv},
                               {"binary.stl", Stl, 0},
                               {"ascii.stl", Stl, kText},
                               {"unmirrored_ascii.stl", Stl, kNoMirror | kText},
                               {"plain.ply", Ply, 0},
                               {"all.ply", Ply, kNormUv},
                               {"all_ascii.ply", Ply, kNormUv | kText}};

// The document of makeLayeredDoc.
const GoldenCase kLayered[] = {{"layered_flat.inc", PovMesh, 0},
                               {"layered_smooth.inc", PovMesh, kSmooth},
                               {"layered_mesh2.inc", PovMesh2, 0},
                               {"layered_mesh2_all.inc", PovMesh2, kAll},
                               {"layered_plain.obj", Obj, 0},
                               {"layered_all.obj", Obj, kAll},
                               {"layered_pp_all.rib", Rib, kAll},
                               {"layered_subdiv.rib", Rib, kSubdiv},
                               {"layered_plain.raw", Raw, 0},
                               {"layered_all.raw", Raw, kAll},
                               {"layered_half.raw", Raw, kHalf},
                               {"layered_half.obj", Obj, kHalf},
                               {"layered.udo", Udo, 0},
                               {"layered_ascii.txt", Ascii, 0},
                               {"layered_uv.glb", Gltf, kNormUv},
                               {"layered_binary.stl", Stl, 0},
                               {"layered_ascii.stl", Stl, kText},
                               {"layered_all.ply", Ply, kNormUv},
                               {"layered_all_ascii.ply", Ply, kNormUv | kText},
                               {"layered_w.df3", Df3, kDensW4}};

// The default document.
const GoldenCase kDefault[] = {{"default_flat.inc", PovMesh, 0}, {"default_mesh2.inc", PovMesh2, 0},
                               {"default.obj", Obj, 0},          {"default.rib", Rib, 0},
                               {"default.raw", Raw, 0},          {"default.udo", Udo, 0},
                               {"default_ascii.txt", Ascii, 0},  {"default.df3", Df3, 0}};

// Sets what setup asks for on doc and returns the options for the writer.
KExportOptions prepare(CPexaDoc& doc, unsigned setup, KExportFormat format) {
    KExportFlags& f = doc.exportFlags;
    const int uv = doc.meshType == CPexaDoc::Layered ? 2 : 1;
    if (setup & kAll) {
        f.normals = f.includeTextureNames = f.perVertex = f.invertNormals = f.reverseWinding = 1;
        f.mirrorZ = 0;
        f.uv = uv;
    }
    if (setup & kTex) {
        f.uv = f.includeTextureNames = 1;
    }
    if (setup & kNormUv) {
        f.normals = 1;
        f.uv = uv;
    }
    if (setup & kNoMirror) {
        f.mirrorZ = 0;
    }
    if (setup & kSubdiv) {
        doc.feoRib.meshType = KFeoRib::SubdivisionSurface;
    }
    if (setup & kScale2) {
        doc.feoMegaPov.uGridScale = doc.feoMegaPov.vGridScale = 2;
    }
    if (setup & (kDensU | kDensW4)) {
        doc.feoPMedia.densitySource = setup & kDensU ? KFeoPMedia::DensityU : KFeoPMedia::DensityW;
        doc.feoPMedia.scale = setup & kDensU ? doc.feoPMedia.scale : 4.0f;
    }
    if (setup & kHalf) {
        doc.meshOption = 1;
        doc.documentChanged();
    }
    KExportOptions o;
    o.povMode = setup & kSmooth ? 3 : o.povMode;
    o.ascii = (setup & kText) != 0;
    o.udoIncludeFile = format == KExportFormat::Udo ? "scene.inc" : o.udoIncludeFile;
    return o;
}

void expectMatchesGolden(const std::string& file, std::unique_ptr<CPexaDoc> doc,
                         const GoldenCase& c) {
    SCOPED_TRACE(file);
    KScriptedUi ui;
    KUiScope scope(ui);
    KTempDir dir("golden");
    const KExportOptions options = prepare(*doc, c.setup, c.format);
    const KExportResult r = kExport(*doc, c.format, dir.file(file).string(), options);
    ASSERT_TRUE(r.written) << r.error;
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.questions().empty());
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_EQ(ui.progressDepth, 0);
    kExpectGolden("export/" + file, kSlurp(dir.file(file)));
}

} // namespace

TEST(ExportGolden, EveryFormatAndModeMatchesItsFile) {
    for (const GoldenCase& c : kSkinned) {
        expectMatchesGolden(std::string("skinned_2x2_") + c.file, makeDoc(1, 1), c);
        expectMatchesGolden(std::string("skinned_3x2_") + c.file, makeDoc(2, 1), c);
    }
    for (const GoldenCase& c : kLayered) {
        expectMatchesGolden(c.file, makeLayeredDoc(), c);
    }
    for (const GoldenCase& c : kDefault) {
        expectMatchesGolden(c.file, makeDoc(), c);
    }
}
