// The exchange formats (glTF binary, STL, PLY) read back: their structure, the walk's
// triangles in a right-handed frame, normals that agree with the winding, materials,
// names that cannot break a header, degenerate triangles, cancel and failures.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <sstream>

#include "document/KTexture.h"
#include "export/KExport.h"
#include "export/KExportParts.h"
#include "export_test_support.h"
#include "mesh/KMeshGrid.h"
#include "platform/KScriptedUi.h"
#include "support/KExchangeReaders.h"

using namespace exporttest;
using namespace exchangetest;

namespace {

struct V3 {
    double x, y, z;
};
V3 sub(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double len(V3 a) {
    return std::sqrt(dot(a, a));
}
V3 at(const std::vector<double>& v, size_t k) {
    return {v[3 * k], v[3 * k + 1], v[3 * k + 2]};
}

// Every triangle's right-hand normal points to the side its corners' normals point to.
void expectFrontAlongNormals(const std::vector<double>& pos, const std::vector<double>& nrm,
                             const std::vector<size_t>& idx) {
    size_t checked = 0;
    for (size_t t = 0; t + 2 < idx.size(); t += 3) {
        const V3 a = at(pos, idx[t]), b = at(pos, idx[t + 1]), c = at(pos, idx[t + 2]);
        const V3 f = cross(sub(b, a), sub(c, a));
        if (len(f) < 1e-12) {
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            ASSERT_GT(dot(f, at(nrm, idx[t + size_t(k)])), 0.0) << "triangle " << t / 3;
        }
        ++checked;
    }
    EXPECT_GT(checked, idx.size() / 6);
}

struct GltfMesh {
    std::vector<double> pos, nrm, uv;
    std::vector<size_t> idx;
    const Json* primitive = nullptr;
};

GltfMesh meshOf(const Glb& g, size_t m) {
    GltfMesh out;
    const Json& prim = g.json["meshes"][m]["primitives"][0];
    out.primitive = &prim;
    out.pos = g.read(int(prim["attributes"]["POSITION"].integer()));
    if (prim["attributes"].has("NORMAL")) {
        out.nrm = g.read(int(prim["attributes"]["NORMAL"].integer()));
    }
    if (prim["attributes"].has("TEXCOORD_0")) {
        out.uv = g.read(int(prim["attributes"]["TEXCOORD_0"].integer()));
    }
    for (double v : g.read(int(prim["indices"].integer()))) {
        out.idx.push_back(size_t(v));
    }
    return out;
}

double linear(double srgb) {
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

class Exchange : public ::testing::Test {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

// A PLY file: header lines and the body after "end_header\n".
struct Ply {
    std::vector<std::string> header;
    std::string body;
    long element(const std::string& name) const {
        for (const std::string& l : header) {
            if (l.rfind("element " + name + " ", 0) == 0) {
                return std::stol(l.substr(name.size() + 9));
            }
        }
        return -1;
    }
};

Ply parsePly(const std::string& file) {
    Ply p;
    const size_t end = file.find("end_header\n");
    if (end == std::string::npos) {
        ADD_FAILURE() << "no end_header";
        return p;
    }
    std::istringstream in(file.substr(0, end));
    for (std::string line; std::getline(in, line);) {
        p.header.push_back(line);
    }
    p.body = file.substr(end + 11);
    return p;
}

} // namespace

TEST_F(Exchange, GltfOneCellIsTheWalkMirroredToRightHanded) {
    auto doc = makeDoc(1, 1);
    doc->exportFlags.uv = 1;
    doc->exportFlags.normals = 1;
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    EXPECT_EQ(g.json["asset"]["version"].text, "2.0");
    ASSERT_EQ(g.json["meshes"].items.size(), 1u);
    EXPECT_EQ(g.json["nodes"][0]["mesh"].integer(), 0);
    EXPECT_EQ(g.json["nodes"][0]["name"].text, "(untitled)");
    EXPECT_EQ(g.json["scenes"][0]["nodes"].items.size(), 1u);
    EXPECT_EQ(g.json["buffers"][0]["byteLength"].integer(), static_cast<long long>(g.bin.size()));
    for (const Json& view : g.json["bufferViews"].items) {
        EXPECT_EQ(view["byteOffset"].integer() % 4, 0);
        EXPECT_LE(view["byteOffset"].integer() + view["byteLength"].integer(),
                  static_cast<long long>(g.bin.size()));
    }
    const GltfMesh m = meshOf(g, 0);
    // (A, B, D), (A, D, C) = (0, 2, 3), (0, 3, 1) with the last two corners swapped.
    EXPECT_EQ(m.idx, (std::vector<size_t>{0, 3, 2, 0, 1, 3}));
    EXPECT_EQ(m.primitive->operator[]("mode").integer(), 4);

    const KMeshGrid& grid = *doc->meshGrid;
    ASSERT_EQ(m.pos.size(), 12u);
    const Json& acc =
        g.json["accessors"][size_t((*m.primitive)["attributes"]["POSITION"].integer())];
    for (size_t k = 0; k < 4; ++k) {
        const KVertex& p = grid.positions()[k];
        EXPECT_FLOAT_EQ(float(m.pos[3 * k]), float(p.x));
        EXPECT_FLOAT_EQ(float(m.pos[3 * k + 1]), float(p.y));
        EXPECT_FLOAT_EQ(float(m.pos[3 * k + 2]), float(-p.z));
        const KVertex& n = grid.normals()[k];
        EXPECT_NEAR(m.nrm[3 * k + 2], -n.z, 1e-6);
        const KVertex& uv = grid.objectPoints()[k];
        EXPECT_FLOAT_EQ(float(m.uv[2 * k]), float(uv.x));
        EXPECT_FLOAT_EQ(float(m.uv[2 * k + 1]), float(1.0 - uv.z));
    }
    // The bounds are exactly the extremes of the stored values.
    for (size_t c = 0; c < 3; ++c) {
        double lo = m.pos[c], hi = m.pos[c];
        for (size_t k = 1; k < 4; ++k) {
            lo = std::min(lo, m.pos[3 * k + c]);
            hi = std::max(hi, m.pos[3 * k + c]);
        }
        EXPECT_EQ(acc["min"][c].number, lo);
        EXPECT_EQ(acc["max"][c].number, hi);
    }
    expectFrontAlongNormals(m.pos, m.nrm, m.idx);
    // The default entry's diffuse colour as base colour.
    const KTexture& tex = *doc->textures.textureAt(grid.textureIndex);
    const Json& mat = g.json["materials"][size_t((*m.primitive)["material"].integer())];
    EXPECT_EQ(mat["name"].text, tex.name);
    EXPECT_NEAR(mat["pbrMetallicRoughness"]["baseColorFactor"][0].number,
                linear(tex.diffuse.x * tex.diffuseFactor), 1e-9);
    EXPECT_FALSE(g.json["meshes"][0].has("extras"));
}

TEST_F(Exchange, GltfOfACurvedObjectFacesAlongItsNormals) {
    auto doc = makeDoc(); // the default cone, 51 x 51
    doc->exportFlags.normals = 1;
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    const GltfMesh m = meshOf(g, 0);
    EXPECT_EQ(m.pos.size(), 3u * 51 * 51);
    EXPECT_EQ(m.idx.size(), 6u * 50 * 50);
    EXPECT_TRUE(m.uv.empty());
    for (size_t k = 0; k < m.nrm.size() / 3; ++k) {
        ASSERT_NEAR(len(at(m.nrm, k)), 1.0, 1e-5) << k;
    }
    expectFrontAlongNormals(m.pos, m.nrm, m.idx);
    // Walk order: row 1 starts after the 50 cells of row 0.
    EXPECT_EQ(m.idx[6 * 50], 51u);
}

TEST_F(Exchange, GltfWritesNormalsOnlyWhenAskedFor) {
    for (bool layered : {false, true}) {
        for (int normals : {0, 1}) {
            for (int uv : {0, 1}) {
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
    }
}

TEST_F(Exchange, GltfLayeredNamesItemsAndSharesMaterials) {
    auto doc = makeLayeredDoc(); // items on layers 0 and 1; layer 2 is not selected
    doc->textures.entries[2].diffuseFactor = 0.5f;
    doc->exportFlags.uv = 2;
    const Glb g = parseGlb(exportBytes(*doc, KExportFormat::Gltf));
    ASSERT_TRUE(g.ok);
    ASSERT_EQ(g.json["meshes"].items.size(), 2u);
    EXPECT_EQ(g.json["scenes"][0]["nodes"].items.size(), 2u);
    const char* names[] = {"Quorl0001", "Quorl0002"};
    const char* muscles[] = {"Ridge One", "Bump Two"};
    const size_t vertices[] = {4, 6};
    for (size_t k = 0; k < 2; ++k) {
        const Json& mesh = g.json["meshes"][k];
        EXPECT_EQ(mesh["name"].text, names[k]);
        EXPECT_EQ(g.json["nodes"][k]["name"].text, names[k]);
        EXPECT_EQ(mesh["extras"]["layer"].text, doc->layerName(int(k)));
        EXPECT_EQ(mesh["extras"]["muscle"].text, muscles[k]);
        const GltfMesh m = meshOf(g, k);
        EXPECT_EQ(m.pos.size(), 3 * vertices[k]);
        EXPECT_EQ(m.uv.size(), 2 * vertices[k]);
        EXPECT_EQ(m.idx.size(), 3 * 2 * (vertices[k] / 2 - 1));
        for (size_t v : m.idx) {
            EXPECT_LT(v, vertices[k]);
        }
    }
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
        const Ply p = parsePly(exportBytes(*doc, KExportFormat::Ply, ascii));
        EXPECT_EQ(p.element("vertex"), 10);
        EXPECT_EQ(p.element("face"), 6);
        size_t comments = 0;
        for (const std::string& l : p.header) {
            comments += l.rfind("comment ", 0) == 0;
        }
        EXPECT_EQ(comments, 4u); // exporter, object and two items: no line was split
    }
    doc->meshType = CPexaDoc::Skinned;
    const std::string stl = exportBytes(*doc, KExportFormat::Stl, true);
    EXPECT_EQ(stl.rfind("solid My_\"limb\"\\_end_\xE9\n", 0), 0u) << stl.substr(0, 40);
    const std::string bin = exportBytes(*doc, KExportFormat::Stl);
    EXPECT_EQ(bin.substr(0, 29), std::string("Quorl STL: My \"limb\"\\ end \xE9") + '\0' + '\0');
}

TEST_F(Exchange, StlBinaryFacetsFollowTheWalk) {
    auto doc = makeDoc(2, 1); // 3 x 2 samples, two cells
    const std::string bin = exportBytes(*doc, KExportFormat::Stl);
    ASSERT_TRUE(doc->computeNormals());
    ASSERT_EQ(bin.size(), 84u + 4 * 50);
    EXPECT_EQ(bin.substr(0, 22), std::string("Quorl STL: (untitled)") + '\0');
    EXPECT_EQ(u32At(bin, 80), 4u);
    const KMeshGrid& grid = *doc->meshGrid;
    // Cell 1: A 0, B 3, C 1, D 4; mirrored (0, 4, 3) and (0, 1, 4); then cell 2.
    const size_t corners[4][3] = {{0, 4, 3}, {0, 1, 4}, {1, 5, 4}, {1, 2, 5}};
    for (size_t f = 0; f < 4; ++f) {
        const size_t base = 84 + 50 * f;
        V3 c[3];
        for (size_t k = 0; k < 3; ++k) {
            const KVertex& p = grid.positions()[corners[f][k]];
            c[k] = {f32At(bin, base + 12 + 12 * k), f32At(bin, base + 16 + 12 * k),
                    f32At(bin, base + 20 + 12 * k)};
            EXPECT_FLOAT_EQ(float(c[k].x), float(p.x));
            EXPECT_FLOAT_EQ(float(c[k].z), float(-p.z));
        }
        const V3 n{f32At(bin, base), f32At(bin, base + 4), f32At(bin, base + 8)};
        EXPECT_NEAR(len(n), 1.0, 1e-6);
        const V3 f3 = cross(sub(c[1], c[0]), sub(c[2], c[0]));
        EXPECT_NEAR(dot(n, f3), len(f3), 1e-6);
        // And it faces the way the grid's normals say (mirrored like the corners).
        const KVertex& gn = grid.normals()[corners[f][0]];
        EXPECT_GT(n.x * gn.x + n.y * gn.y - n.z * gn.z, 0.5);
        EXPECT_EQ(bin[base + 48], 0);
        EXPECT_EQ(bin[base + 49], 0);
    }

    // Not mirrored: the corners as the walk gives them.
    doc->exportFlags.mirrorZ = 0;
    const std::string plain = exportBytes(*doc, KExportFormat::Stl);
    ASSERT_EQ(plain.size(), bin.size());
    EXPECT_FLOAT_EQ(f32At(plain, 84 + 12 + 12 + 8), float(grid.positions()[3].z));
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
    const GltfMesh m = meshOf(g, 0);
    for (size_t k = 0; k < 9; ++k) {
        EXPECT_EQ(at(m.nrm, k).y, 1.0);
    }
    EXPECT_EQ(exportBytes(*doc, KExportFormat::Ply, true).find("nan"), std::string::npos);
}

TEST_F(Exchange, StlAsciiNamesSolidsAndIgnoresTheLocale) {
    auto doc = makeLayeredDoc();
    const std::string reference = exportBytes(*doc, KExportFormat::Stl, true);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps makes it";
    const std::string comma = exportBytes(*doc, KExportFormat::Stl, true);
    const std::string plyComma = exportBytes(*doc, KExportFormat::Ply, true);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(reference == comma);
    EXPECT_EQ(plyComma.find(','), std::string::npos);
    EXPECT_EQ(reference.rfind("solid Quorl0001\n", 0), 0u);
    EXPECT_NE(reference.find("endsolid Quorl0001\nsolid Quorl0002\n"), std::string::npos);
    EXPECT_EQ(countOf(reference, "endsolid"), 2u);
    EXPECT_EQ(countOf(reference, "  facet normal "), 2u + 4u);
    EXPECT_EQ(countOf(reference, "      vertex "), 3 * (2u + 4u));
    EXPECT_EQ(countOf(reference, "endfacet\n"), 6u);
    EXPECT_EQ(reference.find(','), std::string::npos);
}

TEST_F(Exchange, PlyBinaryAndAsciiCarryTheSameMesh) {
    auto doc = makeLayeredDoc();
    doc->exportFlags.normals = 1;
    doc->exportFlags.uv = 2;
    const Ply bin = parsePly(exportBytes(*doc, KExportFormat::Ply));
    const Ply text = parsePly(exportBytes(*doc, KExportFormat::Ply, true));
    EXPECT_EQ(bin.header[1], "format binary_little_endian 1.0");
    EXPECT_EQ(text.header[1], "format ascii 1.0");
    const std::vector<std::string> tail(bin.header.end() - 11, bin.header.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{
                  "element vertex 10", "property float x", "property float y", "property float z",
                  "property float nx", "property float ny", "property float nz", "property float s",
                  "property float t", "element face 6", "property list uchar int vertex_indices"}));
    ASSERT_EQ(bin.body.size(), 10u * 8 * 4 + 6u * 13);

    std::istringstream in(text.body);
    for (size_t v = 0; v < 10; ++v) {
        for (size_t c = 0; c < 8; ++c) {
            double value = 0;
            ASSERT_TRUE(in >> value);
            EXPECT_NEAR(value, f32At(bin.body, 4 * (8 * v + c)), 1e-5 * (1 + std::fabs(value)));
        }
    }
    std::vector<long> faces;
    for (size_t f = 0; f < 6; ++f) {
        long n = 0;
        ASSERT_TRUE(in >> n);
        EXPECT_EQ(n, 3);
        EXPECT_EQ(static_cast<unsigned char>(bin.body[320 + 13 * f]), 3);
        for (size_t k = 0; k < 3; ++k) {
            long idx = 0;
            ASSERT_TRUE(in >> idx);
            EXPECT_EQ(uint32_t(idx), u32At(bin.body, 320 + 13 * f + 1 + 4 * k));
            faces.push_back(idx);
        }
    }
    std::string rest;
    EXPECT_FALSE(in >> rest);
    // The first item's 4 vertices, then the second's, numbered on from 4.
    EXPECT_EQ(std::vector<long>(faces.begin(), faces.begin() + 6),
              (std::vector<long>{0, 3, 2, 0, 1, 3}));
    EXPECT_EQ(std::vector<long>(faces.begin() + 6, faces.begin() + 9),
              (std::vector<long>{4, 8, 7}));
    EXPECT_NE(
        std::find(text.header.begin(), text.header.end(),
                  "comment item Quorl0002 " + doc->layerName(1) + " - Bump Two (vertices 4 to 9)"),
        text.header.end());

    // Smooth normals agree with the winding on a curved object.
    auto cone = makeDoc();
    cone->exportFlags.normals = 1;
    const Ply c = parsePly(exportBytes(*cone, KExportFormat::Ply));
    ASSERT_EQ(c.element("vertex"), 51 * 51);
    std::vector<double> pos, nrm;
    for (size_t v = 0; v < 51 * 51; ++v) {
        for (size_t k = 0; k < 3; ++k) {
            pos.push_back(f32At(c.body, 24 * v + 4 * k));
            nrm.push_back(f32At(c.body, 24 * v + 12 + 4 * k));
        }
    }
    std::vector<size_t> idx;
    const size_t faceStart = 24 * 51 * 51;
    for (size_t f = 0; f < size_t(c.element("face")); ++f) {
        for (size_t k = 0; k < 3; ++k) {
            idx.push_back(u32At(c.body, faceStart + 13 * f + 1 + 4 * k));
        }
    }
    expectFrontAlongNormals(pos, nrm, idx);
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
            TempDir dir("exchange-cancel");
            const auto path = dir.file("old.file");
            std::ofstream(path) << "old";
            const KExportResult r = kExport(*doc, format, path.string());
            EXPECT_TRUE(r.cancelled);
            EXPECT_FALSE(r.written);
            EXPECT_EQ(ui.questions(), std::vector<std::string>{"Are you sure you want to Cancel?"});
            EXPECT_EQ(slurp(path), "old");
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
                      1);
            EXPECT_EQ(ui.progressDepth, 0);
            EXPECT_FALSE(doc->exportSelectionLocked());
        }
    }
}

TEST_F(Exchange, LayeredWithoutItemsKeepsTheOldFile) {
    for (KExportFormat format : {KExportFormat::Gltf, KExportFormat::Stl, KExportFormat::Ply}) {
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = makeDoc(1, 1);
        doc->meshType = CPexaDoc::Layered;
        TempDir dir("exchange-noitems");
        const auto path = dir.file("old.file");
        std::ofstream(path) << "old";
        const KExportResult r = kExport(*doc, format, path.string());
        EXPECT_FALSE(r.written);
        EXPECT_TRUE(r.nothingToExport);
        EXPECT_EQ(r.error, "There is no layer or muscle info to export!");
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{"There is no layer or muscle info to export!"});
        EXPECT_EQ(slurp(path), "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
}
