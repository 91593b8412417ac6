// Exported files against real readers found on PATH: POV-Ray 3.7 renders the POV include,
// mesh2 and df3 exports and each picture must show the object; assimp reads the OBJ and
// exchange exports with the expected vertex and face counts (and the orientation tests
// read their normals and winding through it). A missing program fails the
// test (scripts/install-deps installs them).

#include <gtest/gtest.h>

#include <cstdlib>

#include "document/KTextureList.h"
#include "export/KExport.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KPovRay.h"
#include "support/KRunCommand.h"

using namespace exporttest;

namespace {

// The default texture list as POV-Ray declarations, for the exports that name textures.
std::string textureDeclarations() {
    std::string out;
    for (const KTexture& t : KTextureList::defaults().entries) {
        const KVertex& c = t.diffuse;
        out += "#declare " + t.name + " = texture { pigment { rgb <" + std::to_string(c.x) + ", " +
               std::to_string(c.y) + ", " + std::to_string(c.z) + "> } }\n";
    }
    return out;
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

// A planar grid (0 x 0: the default conic one) with muscles of 5 x 9 samples on two
// layers, the second with a texture of its own.
std::unique_ptr<CPexaDoc> makeMuscleDoc(bool layered, int uRes = 0, int vRes = 0) {
    auto doc = makeDoc(uRes, vRes);
    addMuscle(*doc, 0, "Back Ridge", 4, 8, 0.1, 0.2, 0.4, 0.7);
    addMuscle(*doc, 1, "Side Bump", 4, 8, 0.5, 0.3, 0.9, 0.6);
    doc->layers[1]->textureIndex = 3;
    doc->meshType = layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
    return doc;
}

void exportTo(CPexaDoc& doc, KExportFormat format, const fs::path& path,
              const KExportOptions& extra = {}) {
    const KExportResult r = kExport(doc, format, path.string(), extra);
    ASSERT_TRUE(r.written) << r.error;
}

// Official POV-Ray refuses the MegaPOV version line of a mesh2 export and nothing else.
void stripMegaPovLine(const fs::path& path) {
    std::string text = kSlurp(path);
    const std::string line = "#version unofficial MegaPov 0.5;\n";
    const size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    text.erase(at, line.size());
    ASSERT_EQ(text.find(line), std::string::npos);
    std::ofstream(path, std::ios::binary) << text;
}

// The number after "name:" in the output of assimp info, or -1.
long assimpField(const std::string& out, const std::string& name) {
    const size_t at = out.find("\n" + name + ":");
    return at == std::string::npos ? -1L
                                   : std::strtol(out.c_str() + at + name.size() + 2, nullptr, 10);
}

class ExportClients : public ::testing::Test {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

} // namespace

TEST_F(ExportClients, PovRayRendersTheIncludeMesh2AndDf3Exports) {
    ASSERT_TRUE(!kFindOnPath("povray").empty()) << "povray is not installed (scripts/install-deps)";
    struct Case {
        KExportFormat format;
        int povMode;
    };
    const Case cases[] = {{KExportFormat::PovMesh, 2},
                          {KExportFormat::PovMesh, 3},
                          {KExportFormat::PovMesh2, 0},
                          {KExportFormat::Df3, 0}};
    for (const Case& c : cases) {
        for (const bool layered : {false, true}) {
            SCOPED_TRACE(std::string(kExportExtension(c.format)) + " mode " +
                         std::to_string(c.povMode) + (layered ? " layered" : " skinned"));
            auto doc = makeMuscleDoc(layered);
            const bool mesh2 = c.format == KExportFormat::PovMesh2;
            const bool df3 = c.format == KExportFormat::Df3;
            if (mesh2) {
                doc->exportFlags.normals = doc->exportFlags.includeTextureNames = 1;
                doc->exportFlags.uv = layered ? 2 : 1;
            }
            KTempDir dir("pov");
            const fs::path subject = dir.file(df3 ? "subject.df3" : "subject.inc");
            KExportOptions extra;
            extra.povMode = c.povMode;
            exportTo(*doc, c.format, subject, extra);
            if (mesh2) {
                stripMegaPovLine(subject);
            }
            EXPECT_GT(kPovRenderedPixels(dir.path(), df3 ? kMediaScene
                                                         : kPovIncludeScene(textureDeclarations())),
                      df3 ? 10 : 80 * 60 / 50);
        }
    }
}

TEST_F(ExportClients, AssimpReadsTheObjAndExchangeExports) {
    ASSERT_TRUE(!kFindOnPath("assimp").empty()) << "assimp is not installed (scripts/install-deps)";
    struct Case {
        KExportFormat format;
        bool ascii;
        bool layered;
        bool options; // normals, uv, texture names and reverse winding
    };
    using enum KExportFormat;
    const Case cases[] = {
        {Obj, false, false, false}, {Obj, false, false, true},  {Obj, false, true, false},
        {Obj, false, true, true},   {Gltf, false, false, true}, {Gltf, false, true, true},
        {Stl, false, false, true},  {Stl, true, false, true},   {Stl, false, true, true},
        {Stl, true, true, true},    {Ply, false, false, true},  {Ply, true, false, true},
        {Ply, false, true, true},   {Ply, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kExportExtension(c.format)) + (c.ascii ? " ascii" : " binary") +
                     (c.layered ? " layered" : " skinned") + (c.options ? " options" : ""));
        // A planar 11 x 6 grid (66 samples, 100 triangles); the muscles have 5 x 9 samples.
        auto doc = makeMuscleDoc(c.layered, 10, 5);
        if (c.options) {
            KExportFlags& f = doc->exportFlags;
            f.normals = f.includeTextureNames = f.reverseWinding = 1;
            f.uv = c.layered ? 2 : 1;
        }
        const long faces = c.layered ? 128 : 100;
        KTempDir dir("assimp");
        const fs::path file = dir.file(std::string("subject.") + kExportExtension(c.format));
        KExportOptions extra;
        extra.ascii = c.ascii;
        exportTo(*doc, c.format, file, extra);
        const KCommandRun info = kRunCommand("assimp info " + kShellQuote(file) + " -jiv -vds");
        ASSERT_EQ(info.status, 0) << info.output;
        EXPECT_EQ(assimpField(info.output, "Faces"), faces) << info.output;
        EXPECT_NE(info.output.find("Primitive Types:    triangles\n"), std::string::npos);
        if (c.format == Stl) {
            // Facets share no vertices: as read, three corners a facet.
            const KCommandRun raw = kRunCommand("assimp info " + kShellQuote(file) + " -r");
            ASSERT_EQ(raw.status, 0) << raw.output;
            EXPECT_EQ(assimpField(raw.output, "Faces"), faces) << raw.output;
            EXPECT_EQ(assimpField(raw.output, "Vertices"), 3 * faces) << raw.output;
        } else {
            // Samples, all distinct on a planar grid.
            EXPECT_EQ(assimpField(info.output, "Vertices"), c.layered ? 90 : 66) << info.output;
        }
        if (c.format == Obj || c.format == Gltf) {
            EXPECT_EQ(assimpField(info.output, "Meshes"), c.layered ? 2 : 1) << info.output;
        }
    }
}
