// The exchange formats (glTF binary, STL, PLY) beyond the golden files: which arrays glTF
// writes, materials, names that cannot break a header, degenerate triangles, cancel and
// failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "document/KTexture.h"
#include "export/KExport.h"
#include "export/KExportParts.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KExchangeReaders.h"

using namespace exporttest;
using namespace exchangetest;

namespace {

double linear(double srgb) {
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

class Exchange : public ::testing::Test {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

} // namespace

TEST_F(Exchange, GltfWritesNormalsOnlyWhenAskedFor) {
    for (int k = 0; k < 8; ++k) {
        const bool layered = k & 4;
        const int normals = k & 1, uv = (k >> 1) & 1;
        SCOPED_TRACE(std::string(layered ? "layered" : "skinned") + " normals " +
                     std::to_string(normals) + " uv " + std::to_string(uv));
        auto doc = layered ? makeLayeredDoc() : makeDoc(2, 1);
        doc->exportFlags.normals = normals;
        doc->exportFlags.uv = uv;
        const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
        ASSERT_TRUE(g.ok);
        const size_t meshes = g.json["meshes"].items.size();
        ASSERT_EQ(meshes, layered ? 2u : 1u);
        // Positions and indices, then normals and uv as asked: no view or
        // accessor is left without a user, and the buffer holds nothing else.
        const size_t arrays = size_t(2 + normals + uv);
        EXPECT_EQ(g.json["accessors"].items.size(), meshes * arrays);
        EXPECT_EQ(g.json["bufferViews"].items.size(), meshes * arrays);
        long long viewBytes = 0;
        for (const Json& view : g.json["bufferViews"].items) {
            viewBytes += view["byteLength"].integer();
        }
        EXPECT_EQ(viewBytes, static_cast<long long>(g.bin.size()));
        for (size_t m = 0; m < meshes; ++m) {
            const Json& attributes = g.json["meshes"][m]["primitives"][0]["attributes"];
            EXPECT_EQ(attributes.has("NORMAL"), normals == 1);
            EXPECT_EQ(attributes.has("TEXCOORD_0"), uv == 1);
        }
    }
}

TEST_F(Exchange, GltfLayeredSharesMaterialsWithTheirFactors) {
    auto doc = makeLayeredDoc(); // items on layers 0 and 1; layer 2 is not selected
    doc->textures.entries[2].diffuseFactor = 0.5f;
    doc->exportFlags.uv = 2;
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    ASSERT_EQ(g.json["meshes"].items.size(), 2u);
    // Names, extras and arrays of the two item meshes are in the golden layered file.
    // Two entries in use: the default one and texGreen, whose factor halves its green.
    ASSERT_EQ(g.json["materials"].items.size(), 2u);
    const Json& green = g.json["materials"][1];
    EXPECT_EQ(green["name"].text, "texGreen");
    const Json& base = green["pbrMetallicRoughness"]["baseColorFactor"];
    EXPECT_NEAR(base[0].number, 0.0, 1e-12);
    EXPECT_NEAR(base[1].number, linear(0.5), 1e-9);
    EXPECT_EQ(g.json["meshes"][1]["primitives"][0]["material"].integer(), 1);

    // Without a texture list there is nothing to refer to.
    doc->textures.entries.clear();
    const Glb bare = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(bare.ok);
    EXPECT_FALSE(bare.json.has("materials"));
    EXPECT_FALSE(bare.json["meshes"][0]["primitives"][0].has("material"));

    // A selection that leaves every item out gives a valid file without meshes.
    doc->setExportLayerSelection({2});
    doc->layers[2]->muscles.clear();
    doc->documentChanged();
    const Glb none = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(none.ok);
    EXPECT_FALSE(none.json.has("meshes"));
    EXPECT_FALSE(none.json.has("buffers"));
    EXPECT_TRUE(none.bin.empty());
}

TEST_F(Exchange, NamesCannotBreakJsonOrHeaders) {
    EXPECT_EQ(kJsonString("a\"b\\c\nd"), "\"a\\\"b\\\\c\\u000ad\"");
    EXPECT_EQ(kJsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");           // UTF-8 kept
    EXPECT_EQ(kJsonString("caf\xE9"), "\"caf\xEF\xBF\xBD\"");           // a Latin-1 byte
    EXPECT_EQ(kJsonString("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\""); // overlong
    EXPECT_EQ(kJsonString("\xE2\x82"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\""); // cut short
    EXPECT_EQ(kJsonString("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(kHeaderText("a b\nc\r", false), "a b c ");
    EXPECT_EQ(kHeaderText("a b\tc", true), "a_b_c");

    auto doc = makeLayeredDoc();
    doc->objectName = "My \"limb\"\\\nend \xE9";
    doc->layers[0]->name = "Layer\r\nend_header\n";
    doc->layers[0]->muscles[0]->name = "}\"],\x01";
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.json["scenes"][0]["name"].text, "My \"limb\"\\\nend \xEF\xBF\xBD");
    EXPECT_EQ(g.json["meshes"][0]["extras"]["muscle"].text, "}\"],\x01");

    doc->exportFlags.normals = 1;
    for (bool ascii : {false, true}) {
        const std::string ply = exportBytes(*doc, KExportFormat::Ply, ascii);
        const std::string header = ply.substr(0, ply.find("end_header\n"));
        EXPECT_NE(header.find("\nelement vertex 10\n"), std::string::npos) << header;
        EXPECT_NE(header.find("\nelement face 6\n"), std::string::npos) << header;
        // Exporter, object and two items: no line was split.
        EXPECT_EQ(countOf(header, "\ncomment "), 4u) << header;
    }
    doc->meshType = CPexaDoc::Skinned;
    const std::string stl = exportBytes(*doc, KExportFormat::Stl, true);
    EXPECT_EQ(stl.rfind("solid My_\"limb\"\\_end_\xE9\n", 0), 0u) << stl.substr(0, 40);
    const std::string bin = exportBytes(*doc, KExportFormat::Stl);
    EXPECT_EQ(bin.substr(0, 29), std::string("Quorl STL: My \"limb\"\\ end \xE9") + '\0' + '\0');
}

TEST_F(Exchange, DegenerateTrianglesGiveZeroOrUpNormalsNeverNaN) {
    auto doc = makeDoc(2, 2);
    doc->scalingU = 0.0; // every sample on one line: no triangle has an area
    doc->scalingHeight = 0.0;
    doc->documentChanged();
    doc->exportFlags.normals = 1;
    const std::string bin = exportBytes(*doc, KExportFormat::Stl);
    ASSERT_EQ(u32At(bin, 80), 8u);
    for (size_t f = 0; f < 8; ++f) {
        for (size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(f32At(bin, 84 + 50 * f + 4 * c), 0.0f);
        }
    }
    const std::string text = exportBytes(*doc, KExportFormat::Stl, true);
    EXPECT_EQ(countOf(text, "facet normal 0 0 0\n"), 8u);
    EXPECT_EQ(text.find("nan"), std::string::npos);
    // glTF requires unit normals: samples without one get the up axis.
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    const Json& attributes = g.json["meshes"][0]["primitives"][0]["attributes"];
    const std::vector<double> normals = g.read(int(attributes["NORMAL"].integer()));
    ASSERT_EQ(normals.size(), 27u);
    for (size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(normals[3 * k + 1], 1.0);
    }
    EXPECT_EQ(exportBytes(*doc, KExportFormat::Ply, true).find("nan"), std::string::npos);
}

TEST_F(Exchange, ProgressRunsToTheEndAndCancelKeepsTheOldFile) {
    for (KExportFormat format : {KExportFormat::Gltf, KExportFormat::Stl, KExportFormat::Ply}) {
        SCOPED_TRACE(kExportExtension(format));
        {
            KScriptedUi ui;
            KUiScope scope(ui);
            auto doc = makeDoc();
            exportBytes(*doc, format);
            ASSERT_FALSE(ui.positions.empty());
            EXPECT_EQ(ui.positions.back(), 100);
            EXPECT_TRUE(std::is_sorted(ui.positions.begin(), ui.positions.end()) ||
                        format == KExportFormat::Ply); // PLY sweeps vertices, then faces
            EXPECT_EQ(ui.progressDepth, 0);
            EXPECT_EQ(ui.waitDepth, 0);
        }
        for (bool layered : {false, true}) {
            KScriptedUi ui;
            KUiScope scope(ui);
            ui.cancelProgressAt(0);
            ui.answer(true);
            auto doc = layered ? makeLayeredDoc() : makeDoc();
            KTempDir dir("exchange-cancel");
            const auto path = dir.file("old.file");
            std::ofstream(path) << "old";
            const KExportResult r = kExport(*doc, format, path.string());
            EXPECT_TRUE(r.cancelled);
            EXPECT_FALSE(r.written);
            EXPECT_EQ(ui.questions(), std::vector<std::string>{"Are you sure you want to Cancel?"});
            EXPECT_EQ(kSlurp(path), "old");
            EXPECT_EQ(kFilesIn(dir.path()), 1u);
            EXPECT_EQ(ui.progressDepth, 0);
            EXPECT_FALSE(doc->exportSelectionLocked());
        }
    }
}
