// Exported files against real readers found on PATH: POV-Ray 3.7 renders the POV include,
// mesh2 and df3 exports and each picture must show the object; assimp reads the OBJ
// exports with the expected vertex and face counts. A missing program fails the test
// (scripts/install-deps installs them).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include "document/KSampleObjects.h"
#include "export/KExport.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KMeshFileReaders.h"
#include "support/KPpm.h"
#include "support/KRunCommand.h"

using namespace exporttest;

namespace {

// Runs a shell command; its exit status, with stdout and stderr in out.
int run(const std::string& command, std::string& out) {
    KCommandRun r = kRunCommand(command);
    out = std::move(r.output);
    return r.status;
}

constexpr const char* kTextures =
    R"(#declare texDefault   = texture { pigment { rgb <0.25, 0.5, 0.38> } }
#declare texRed       = texture { pigment { rgb <1, 0, 0> } }
#declare texGreen     = texture { pigment { rgb <0, 1, 0> } }
#declare texBlue      = texture { pigment { rgb <0, 0, 1> } finish { ambient 0.3 } }
#declare texYellow    = texture { pigment { rgb <1, 1, 0> } }
#declare texCyan      = texture { pigment { rgb <0, 1, 1> } }
#declare texMagenta   = texture { pigment { rgb <1, 0, 1> } }
#declare texWhite     = texture { pigment { rgb <1, 1, 1> } }
#declare texDarkGray  = texture { pigment { rgb 0.5 } }
#declare texLightGray = texture { pigment { rgb 0.75 } }
#declare texBlack     = texture { pigment { rgb 0 } finish { ambient 0.2 } }
)";

// A scene that includes the export and looks at Quorl01 from outside its bounding box.
std::string includeScene() {
    return std::string("#version 3.7;\nglobal_settings { assumed_gamma 1.0 }\n"
                       "background { rgb <0, 0, 1> }\n") +
           kTextures +
           "#include \"subject.inc\"\n"
           "#declare QMin = min_extent(Quorl01);\n#declare QMax = max_extent(Quorl01);\n"
           "#declare QCtr = (QMin + QMax) / 2;\n"
           "#declare QRad = max(vlength(QMax - QMin) / 2, 1e-3);\n"
           "camera { location QCtr + <0.45, 1.0, -1.2> * QRad * 1.35 look_at QCtr angle 55 }\n"
           "light_source { QCtr + <1, 3, -2> * QRad * 4 color rgb 0.75 }\n"
           "light_source { QCtr + <-2, 1, -3> * QRad * 4 color rgb 0.4 shadowless }\n"
           "object { Quorl01 pigment { rgb <1, 0.78, 0.55> } finish { ambient 0.15 } }\n";
}

const char* kMediaScene = R"(#version 3.7;
global_settings { assumed_gamma 1.0 }
background { rgb <0, 0, 1> }
camera { location <1.6, 1.5, -1.2> look_at <0.5, 0.5, 0.5> angle 48 }
box { <0, 0, 0>, <1, 1, 1>
  pigment { rgbt 1 } hollow
  interior { media {
    emission <1, 0.75, 0.3> * 6
    method 3 intervals 1 samples 30
    density { density_file df3 "subject.df3" interpolate 0 }
  } }
}
)";

// Renders scene (with the subject file beside it) at 80 x 60; returns the pixels that
// show something other than the background, or -1 after a failed render (logged).
long render(const TempDir& dir, const std::string& scene) {
    std::ofstream(dir.file("scene.pov")) << scene;
    std::string log;
    const int rc = run("cd " + kShellQuote(dir.path()) +
                           " && povray +Iscene.pov +Oout.ppm +FP +W80 +H60 -D -A -V",
                       log);
    if (rc != 0) {
        ADD_FAILURE() << "povray exit " << rc << "\n"
                      << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
        return -1;
    }
    return kCountPixelsOtherThan(slurp(dir.file("out.ppm")), 0, 0, 255);
}

// The default conic document with muscles of the default item resolution on two layers.
std::unique_ptr<CPexaDoc> makeMuscleDoc() {
    auto doc = makeDoc();
    addMuscle(*doc, 0, "Back Ridge", 4, 8, 0.1, 0.2, 0.4, 0.7);
    addMuscle(*doc, 1, "Side Bump", 4, 8, 0.5, 0.3, 0.9, 0.6);
    doc->layers[1]->textureIndex = 3;
    return doc;
}

void exportTo(CPexaDoc& doc, KExportFormat format, const fs::path& path,
              const KExportOptions& extra = {}) {
    const KExportResult r = kExport(doc, format, path.string(), extra);
    ASSERT_TRUE(r.written) << r.error;
}

void stripMegaPovLine(const fs::path& path) {
    std::string text = slurp(path);
    const std::string line = "#version unofficial MegaPov 0.5;\n";
    const size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    text.erase(at, line.size());
    ASSERT_EQ(text.find(line), std::string::npos);
    std::ofstream(path, std::ios::binary) << text;
}

class ExportClients : public ::testing::Test {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

} // namespace

TEST_F(ExportClients, PovRayRendersTheIncludeExports) {
    ASSERT_TRUE(!kFindOnPath("povray").empty()) << "povray is not installed (scripts/install-deps)";
    for (int layered = 0; layered < 2; ++layered) {
        for (int mode : {2, 3}) {
            SCOPED_TRACE((layered ? "layered mode " : "skinned mode ") + std::to_string(mode));
            auto doc = makeMuscleDoc();
            doc->meshType = layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
            TempDir dir("pov");
            KExportOptions extra;
            extra.povMode = mode;
            exportTo(*doc, KExportFormat::PovMesh, dir.file("subject.inc"), extra);
            EXPECT_GT(render(dir, includeScene()), 80 * 60 / 50);
        }
    }
}

TEST_F(ExportClients, PovRayRendersTheMesh2Exports) {
    ASSERT_TRUE(!kFindOnPath("povray").empty()) << "povray is not installed (scripts/install-deps)";
    for (int layered = 0; layered < 2; ++layered) {
        SCOPED_TRACE(layered ? "layered" : "skinned");
        auto doc = makeMuscleDoc();
        doc->meshType = layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
        doc->exportFlags.normals = 1;
        doc->exportFlags.uv = layered ? 2 : 1;
        doc->exportFlags.includeTextureNames = 1;
        TempDir dir("mesh2");
        exportTo(*doc, KExportFormat::PovMesh2, dir.file("subject.inc"));
        // Official POV-Ray refuses the MegaPOV version line and nothing else.
        stripMegaPovLine(dir.file("subject.inc"));
        EXPECT_GT(render(dir, includeScene()), 80 * 60 / 50);
    }
}

TEST_F(ExportClients, PovRayRendersTheDf3AsMediaDensity) {
    ASSERT_TRUE(!kFindOnPath("povray").empty()) << "povray is not installed (scripts/install-deps)";
    for (int layered = 0; layered < 2; ++layered) {
        SCOPED_TRACE(layered ? "layered" : "skinned");
        auto doc = makeMuscleDoc();
        doc->meshType = layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
        TempDir dir("df3");
        exportTo(*doc, KExportFormat::Df3, dir.file("subject.df3"));
        EXPECT_GT(render(dir, kMediaScene), 10);
    }
}

TEST_F(ExportClients, AssimpReadsTheObjExports) {
    ASSERT_TRUE(!kFindOnPath("assimp").empty()) << "assimp is not installed (scripts/install-deps)";
    struct Case {
        const char* name;
        bool layered;
        bool options;
        long vertices; // samples, all distinct on a planar grid
        long faces;
    };
    // A planar 11 x 6 grid; the muscles have 5 x 9 samples each.
    const Case cases[] = {{"plain", false, false, 66, 100},
                          {"all", false, true, 66, 100},
                          {"layered", true, false, 90, 128},
                          {"layered_all", true, true, 90, 128}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = makeDoc(10, 5);
        addMuscle(*doc, 0, "Back Ridge", 4, 8, 0.1, 0.2, 0.4, 0.7);
        addMuscle(*doc, 1, "Side Bump", 4, 8, 0.5, 0.3, 0.9, 0.6);
        doc->meshType = c.layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
        if (c.options) {
            doc->exportFlags.normals = 1;
            doc->exportFlags.uv = c.layered ? 2 : 1;
            doc->exportFlags.includeTextureNames = 1;
            doc->exportFlags.reverseWinding = 1;
        }
        TempDir dir("obj");
        const fs::path obj = dir.file("subject.obj");
        exportTo(*doc, KExportFormat::Obj, obj);
        std::string out;
        const int rc = run("assimp info " + kShellQuote(obj) + " -jiv -vds", out);
        ASSERT_EQ(rc, 0) << out;
        auto field = [&](const std::string& name) {
            const size_t at = out.find("\n" + name + ":");
            return at == std::string::npos
                       ? -1L
                       : std::strtol(out.c_str() + at + name.size() + 2, nullptr, 10);
        };
        EXPECT_EQ(field("Vertices"), c.vertices) << out;
        EXPECT_EQ(field("Faces"), c.faces) << out;
        EXPECT_EQ(field("Meshes"), c.layered ? 2 : 1);
        EXPECT_NE(out.find("Primitive Types:    triangles\n"), std::string::npos) << out;
    }
}

// assimp reads the sample limb's OBJ export and writes what it read as a PLY file: the
// normals it took from the file lie along the faces it took from the file, in both
// mirror modes, and turn against them with exactly one of invert normals and reverse
// winding.
TEST_F(ExportClients, AssimpSeesObjNormalsAlongTheFaces) {
    ASSERT_TRUE(!kFindOnPath("assimp").empty()) << "assimp is not installed (scripts/install-deps)";
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kMakeLimbObject(std::string(), &error);
    ASSERT_TRUE(doc) << error;
    doc->exportFlags.normals = 1;
    for (int mirror : {1, 0}) {
        for (int invert : {0, 1}) {
            for (int reverse : {0, 1}) {
                SCOPED_TRACE("mirror " + std::to_string(mirror) + " invert " +
                             std::to_string(invert) + " reverse " + std::to_string(reverse));
                doc->exportFlags.mirrorZ = mirror;
                doc->exportFlags.invertNormals = invert;
                doc->exportFlags.reverseWinding = reverse;
                TempDir dir("obj-normals");
                exportTo(*doc, KExportFormat::Obj, dir.file("subject.obj"));
                std::string out;
                ASSERT_EQ(
                    run("cd " + kShellQuote(dir.path()) + " && assimp export subject.obj seen.ply",
                        out),
                    0)
                    << out;
                const KReadMesh seen = kReadPly(slurp(dir.file("seen.ply")));
                ASSERT_EQ(seen.error, "");
                ASSERT_TRUE(seen.hasNormals);
                ASSERT_EQ(seen.triangles.size(), 2u * 64 * 48);
                const KNormalAgreement a = kNormalAgreement(seen);
                EXPECT_EQ(a.skipped, 0u);
                EXPECT_EQ(a.alongShare(), invert == reverse ? 1.0 : 0.0)
                    << a.along << " along, " << a.against << " against";
            }
        }
    }
}

TEST_F(ExportClients, AssimpReadsTheExchangeExports) {
    ASSERT_TRUE(!kFindOnPath("assimp").empty()) << "assimp is not installed (scripts/install-deps)";
    struct Case {
        KExportFormat format;
        bool ascii;
        bool layered;
    };
    const Case cases[] = {
        {KExportFormat::Gltf, false, false}, {KExportFormat::Gltf, false, true},
        {KExportFormat::Stl, false, false},  {KExportFormat::Stl, true, false},
        {KExportFormat::Stl, false, true},   {KExportFormat::Stl, true, true},
        {KExportFormat::Ply, false, false},  {KExportFormat::Ply, true, false},
        {KExportFormat::Ply, false, true},   {KExportFormat::Ply, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kExportExtension(c.format)) + (c.ascii ? " ascii" : " binary") +
                     (c.layered ? " layered" : " skinned"));
        // A planar 11 x 6 grid (66 samples, 100 triangles); the muscles have 5 x 9 samples.
        auto doc = makeDoc(10, 5);
        addMuscle(*doc, 0, "Back Ridge", 4, 8, 0.1, 0.2, 0.4, 0.7);
        addMuscle(*doc, 1, "Side Bump", 4, 8, 0.5, 0.3, 0.9, 0.6);
        doc->layers[1]->textureIndex = 3;
        doc->meshType = c.layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
        doc->exportFlags.normals = 1;
        doc->exportFlags.uv = c.layered ? 2 : 1;
        const long vertices = c.layered ? 90 : 66;
        const long faces = c.layered ? 128 : 100;
        TempDir dir("exchange-assimp");
        const fs::path file = dir.file(std::string("subject.") + kExportExtension(c.format));
        KExportOptions extra;
        extra.ascii = c.ascii;
        exportTo(*doc, c.format, file, extra);
        auto field = [](const std::string& out, const std::string& name) {
            const size_t at = out.find("\n" + name + ":");
            return at == std::string::npos
                       ? -1L
                       : std::strtol(out.c_str() + at + name.size() + 2, nullptr, 10);
        };
        std::string out;
        ASSERT_EQ(run("assimp info " + kShellQuote(file) + " -jiv -vds", out), 0) << out;
        EXPECT_EQ(field(out, "Faces"), faces) << out;
        EXPECT_NE(out.find("Primitive Types:    triangles\n"), std::string::npos) << out;
        if (c.format == KExportFormat::Stl) {
            // Facets share no vertices: as read, three corners a facet.
            std::string raw;
            ASSERT_EQ(run("assimp info " + kShellQuote(file) + " -r", raw), 0) << raw;
            EXPECT_EQ(field(raw, "Faces"), faces) << raw;
            EXPECT_EQ(field(raw, "Vertices"), 3 * faces) << raw;
        } else {
            EXPECT_EQ(field(out, "Vertices"), vertices) << out;
        }
        if (c.format == KExportFormat::Gltf) {
            EXPECT_EQ(field(out, "Meshes"), c.layered ? 2 : 1) << out;
        }
    }
}
