// Normals and winding of the mesh exports, read back by assimp as a client program: for
// every combination of mirror Z, invert normals and reverse winding, on the sample limb
// as one Skinned mesh and as its item meshes, each triangle's right-hand normal (from the
// written corners in the written order) is compared with the normals written at its
// corners.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "document/KSampleObjects.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KMeshFileReaders.h"
#include "support/KRunCommand.h"

using namespace exporttest;

namespace {

// A format, and which of the orientation options it honours.
struct FormatCase {
    const char* name;
    KExportFormat format;
    bool ascii;
    bool facetNormals;   // the normals are the faces' own, whatever the options
    bool invertNormals;  // the written normals turn round
    bool reverseWinding; // the written triangles turn over
};

// STL facet normals always follow the winding, so invert normals has nothing to turn;
// glTF is written in its own fixed right-handed frame.
const FormatCase kFormats[] = {
    {"obj", KExportFormat::Obj, false, false, true, true},
    {"ply ascii", KExportFormat::Ply, true, false, true, true},
    {"ply binary", KExportFormat::Ply, false, false, true, true},
    {"stl ascii", KExportFormat::Stl, true, true, false, true},
    {"stl binary", KExportFormat::Stl, false, true, false, true},
    {"glb", KExportFormat::Gltf, false, false, false, false},
};

struct Options {
    bool mirror, invert, reverse;
};

std::string describe(const FormatCase& f, bool layered, const Options& o) {
    return std::string(f.name) + (layered ? " layered" : " skinned") +
           (o.mirror ? " mirror" : " no-mirror") + (o.invert ? " invert" : "") +
           (o.reverse ? " reverse" : "");
}

KReadMesh exportAndRead(CPexaDoc& doc, const FormatCase& f, const Options& o) {
    KExportFlags& flags = doc.exportFlags;
    flags.normals = 1;
    flags.mirrorZ = o.mirror ? 1 : 0;
    flags.invertNormals = o.invert ? 1 : 0;
    flags.reverseWinding = o.reverse ? 1 : 0;
    KTempDir dir("orientation");
    const fs::path file = dir.file(std::string("subject.") + kExportExtension(f.format));
    std::ofstream(file, std::ios::binary) << exportBytes(doc, f.format, f.ascii);
    KReadMesh mesh = kReadThroughAssimp(file);
    EXPECT_EQ(mesh.error, "");
    EXPECT_TRUE(mesh.hasNormals);
    return mesh;
}

double dot(const KVertex& a, const KVertex& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

KVertex faceNormal(const KReadTriangle& t) {
    return (t.corner[1] - t.corner[0]).cross(t.corner[2] - t.corner[0]);
}

// Triangle k of both files has the same corners; reverse tells whether its front turned.
void expectSameTrianglesTurned(const KReadMesh& base, const KReadMesh& other, bool turned) {
    ASSERT_EQ(base.triangles.size(), other.triangles.size());
    size_t compared = 0;
    for (size_t k = 0; k < base.triangles.size(); ++k) {
        const KReadTriangle& a = base.triangles[k];
        const KReadTriangle& b = other.triangles[k];
        for (const KVertex& c : b.corner) {
            ASSERT_TRUE(c == a.corner[0] || c == a.corner[1] || c == a.corner[2]) << k;
        }
        const KVertex fa = faceNormal(a), fb = faceNormal(b);
        if (fa.length() > 1e-12) {
            ASSERT_EQ(dot(fa, fb) < 0, turned) << "triangle " << k;
            ++compared;
        }
    }
    EXPECT_GT(compared, base.triangles.size() * 9 / 10);
}

// The normal at every corner is the other file's normal at the same corner turned round,
// all three parts. (Corners of a collapsed triangle may share a position but not their
// normal: any corner at that position will do.)
void expectNormalsTurned(const KReadMesh& base, const KReadMesh& other) {
    ASSERT_EQ(base.triangles.size(), other.triangles.size());
    const auto opposite = [](const KVertex& n, const KVertex& m) {
        return std::fabs(n.x + m.x) < 1e-6 && std::fabs(n.y + m.y) < 1e-6 &&
               std::fabs(n.z + m.z) < 1e-6;
    };
    for (size_t k = 0; k < base.triangles.size(); ++k) {
        const KReadTriangle& a = base.triangles[k];
        const KReadTriangle& b = other.triangles[k];
        for (int c = 0; c < 3; ++c) {
            bool found = false;
            for (int same = 0; same < 3 && !found; ++same) {
                found = a.corner[same] == b.corner[c] && opposite(a.normal[same], b.normal[c]);
            }
            ASSERT_TRUE(found) << "triangle " << k << " corner " << c << ": " << b.normal[c];
        }
    }
}

class ExportOrientation : public ::testing::TestWithParam<bool> {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

} // namespace

TEST_P(ExportOrientation, NormalsAgreeWithTheWindingInEveryCombination) {
    ASSERT_TRUE(!kFindOnPath("assimp").empty()) << "assimp is not installed (scripts/install-deps)";
    const bool layered = GetParam();
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kMakeLimbObject(std::string(), &error);
    ASSERT_TRUE(doc) << error;
    doc->meshType = layered ? CPexaDoc::Layered : CPexaDoc::Skinned;
    for (const FormatCase& f : kFormats) {
        for (bool mirror : {true, false}) {
            const KReadMesh base = exportAndRead(*doc, f, {mirror, false, false});
            for (bool invert : {false, true}) {
                for (bool reverse : {false, true}) {
                    const Options o{mirror, invert, reverse};
                    SCOPED_TRACE(describe(f, layered, o));
                    const KReadMesh mesh = exportAndRead(*doc, f, o);
                    ASSERT_GT(mesh.triangles.size(), 500u);
                    // With one of the two options the front leaves the normals' side;
                    // with both the surface is consistently inside out.
                    const bool along = f.facetNormals ||
                                       (f.invertNormals && invert) == (f.reverseWinding && reverse);
                    const KNormalAgreement a = kNormalAgreement(mesh);
                    // Point muscles gather a ring of their item mesh into one point.
                    EXPECT_LT(a.skipped, (a.along + a.against) / (layered ? 10 : 100));
                    if (along) {
                        EXPECT_GE(a.alongShare(), 0.99)
                            << a.along << " along, " << a.against << " against";
                    } else {
                        EXPECT_LE(a.alongShare(), 0.01)
                            << a.along << " along, " << a.against << " against";
                    }
                    expectSameTrianglesTurned(base, mesh, f.reverseWinding && reverse);
                    if (f.invertNormals && invert) {
                        expectNormalsTurned(base, mesh);
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SkinnedAndLayered, ExportOrientation, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Layered" : "Skinned"; });
