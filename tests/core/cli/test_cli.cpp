// quorl-cli as a user runs it: exit codes, messages, and the files it writes.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "image/KImageMapTga.h"
#include "support/KCliRun.h"

namespace fs = std::filesystem;

using Cli = KCliTest;

TEST_F(Cli, HelpVersionAndBadUsage) {
    EXPECT_EQ(cli({"--version"}).status, 0);
    for (const char* cmd : {"new", "info", "export", "image", "convert", "textures", "demo"}) {
        const KCliRun r = cli({cmd, "--help"});
        EXPECT_EQ(r.status, 0) << cmd;
        EXPECT_NE(r.out.find(std::string("quorl-cli ") + cmd), std::string::npos) << cmd;
    }
    const KCliRun unknown = cli({"frobnicate"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
    const KCliRun missingArg = cli({"info"});
    EXPECT_EQ(missingArg.status, 1);
    const KCliRun badOption = cli({"new", path("a.qrz"), "--colour", "red"});
    EXPECT_EQ(badOption.status, 1);
    EXPECT_NE(badOption.err.find("--colour"), std::string::npos);
    EXPECT_EQ(cli({"new", path("a.qrz"), "--res", "0", "5"}).status, 1);
    EXPECT_FALSE(fs::exists(path("a.qrz")));
}

TEST_F(Cli, NewInfoAndConvert) {
    const KCliRun made = cli({"new", path("tube.qrz"), "--shape", "spheric", "--res", "12", "8"});
    ASSERT_EQ(made.status, 0) << made.err;
    std::string error;
    auto doc = kOpenDocument(path("tube.qrz"), &error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->baseShape, CPexaDoc::Spheric);
    EXPECT_EQ(doc->uResolution, 12);
    EXPECT_EQ(doc->meshGrid->vCount(), 9);

    const KCliRun info = cli({"info", path("tube.qrz")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("format version: 10"), std::string::npos);
    EXPECT_NE(info.out.find("Exterior Muscles"), std::string::npos);
    EXPECT_NE(info.out.find("spheric"), std::string::npos);
    const KCliRun json = cli({"info", path("tube.qrz"), "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"shape\": \"spheric\""), std::string::npos);
    EXPECT_NE(json.out.find("\"layers\": ["), std::string::npos);

    const KCliRun conv = cli({"convert", path("tube.qrz"), path("copy.qrz")});
    ASSERT_EQ(conv.status, 0) << conv.err;
    std::ifstream a(path("tube.qrz"), std::ios::binary), b(path("copy.qrz"), std::ios::binary);
    const std::string sa{std::istreambuf_iterator<char>(a), {}},
        sb{std::istreambuf_iterator<char>(b), {}};
    EXPECT_EQ(sa, sb);
}

TEST_F(Cli, UnreadableInputAndFailedWrites) {
    const KCliRun missing = cli({"info", path("missing.qrz")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("missing.qrz"), std::string::npos);

    std::ofstream(path("junk.qrz"), std::ios::binary) << "QRLM\x0a\x00\x00\x00 not really";
    EXPECT_EQ(cli({"info", path("junk.qrz")}).status, 2);
    EXPECT_EQ(cli({"convert", path("junk.qrz"), path("out.qrz")}).status, 2);
    EXPECT_FALSE(fs::exists(path("out.qrz")));

    ASSERT_EQ(cli({"new", path("ok.qrz")}).status, 0);
    const KCliRun noDir = cli({"convert", path("ok.qrz"), path("no/such/dir/x.qrz")});
    EXPECT_EQ(noDir.status, 3);
    EXPECT_FALSE(noDir.err.empty());
    EXPECT_EQ(cli({"image", path("ok.qrz"), "-o", path("no/such/x.tga")}).status, 3);
}

TEST_F(Cli, DisplacementImageAndTextures) {
    ASSERT_EQ(cli({"new", path("doc.qrz"), "--res", "10", "10"}).status, 0);
    const KCliRun img = cli({"image", path("doc.qrz"), "-o", path("d.tga"), "--size", "16", "9"});
    ASSERT_EQ(img.status, 0) << img.err;
    KImageMapTga tga(path("d.tga"));
    ASSERT_EQ(tga.loadStatus, 0);
    EXPECT_EQ(tga.width(), 16);
    EXPECT_EQ(tga.height(), 9);
    EXPECT_EQ(cli({"image", path("doc.qrz"), "-o", path("e.tga"), "--layers", "0,7"}).status, 1);
    // ImageMagick reads the image with the same size.
    FILE* p = popen(("identify -format '%w %h' '" + path("d.tga") + "' 2>&1").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char seen[64] = {};
    const size_t n = fread(seen, 1, sizeof seen - 1, p);
    EXPECT_EQ(pclose(p), 0);
    EXPECT_EQ(std::string(seen, n), "16 9");

    ASSERT_EQ(cli({"textures", "write", path("t.qtl")}).status, 0);
    const KCliRun check = cli({"textures", "check", path("t.qtl")});
    ASSERT_EQ(check.status, 0);
    EXPECT_NE(check.out.find("11 textures"), std::string::npos);
    EXPECT_NE(check.out.find("texLightGray"), std::string::npos);
    std::ofstream(path("bad.qtl")) << "NotATextureList 1.00.00";
    const KCliRun bad = cli({"textures", "check", path("bad.qtl")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("File is not a Quorl Texture List!"), std::string::npos);
}

TEST_F(Cli, ExportWithOptions) {
    ASSERT_EQ(cli({"new", path("doc.qrz"), "--res", "3", "2"}).status, 0);
    const KCliRun obj = cli({"export", path("doc.qrz"), "--format", "obj", "-o", path("doc.obj"),
                             "--normals", "--uv", "--quiet"});
    ASSERT_EQ(obj.status, 0) << obj.err;
    std::ifstream in(path("doc.obj"));
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(text.find("\nvn "), std::string::npos);
    EXPECT_NE(text.find("\nvt "), std::string::npos);

    EXPECT_EQ(cli({"export", path("doc.qrz"), "--format", "xyz", "-o", path("x")}).status, 1);
    // The exchange formats, and --ascii only where there is a text form.
    ASSERT_EQ(
        cli({"export", path("doc.qrz"), "--format", "gltf", "-o", path("d.glb"), "--uv"}).status,
        0);
    std::ifstream glb(path("d.glb"), std::ios::binary);
    const std::string glbText{std::istreambuf_iterator<char>(glb), {}};
    EXPECT_EQ(glbText.rfind("glTF", 0), 0u);
    EXPECT_NE(glbText.find("\"TEXCOORD_0\""), std::string::npos);
    ASSERT_EQ(
        cli({"export", path("doc.qrz"), "--format", "stl", "-o", path("d.stl"), "--ascii"}).status,
        0);
    std::ifstream stl(path("d.stl"));
    const std::string stlText{std::istreambuf_iterator<char>(stl), {}};
    EXPECT_EQ(stlText.rfind("solid ", 0), 0u);
    size_t facets = 0;
    for (size_t at = stlText.find("facet normal"); at != std::string::npos;
         at = stlText.find("facet normal", at + 1)) {
        ++facets;
    }
    EXPECT_EQ(facets, 2u * 3 * 2); // a 3 x 2 grid of cells
    ASSERT_EQ(cli({"export", path("doc.qrz"), "--format", "ply", "-o", path("d.ply"), "--ascii",
                   "--no-mirror-z"})
                  .status,
              0);
    std::ifstream ply(path("d.ply"));
    const std::string plyText{std::istreambuf_iterator<char>(ply), {}};
    EXPECT_EQ(plyText.rfind("ply\nformat ascii 1.0\n", 0), 0u);
    const KCliRun objAscii =
        cli({"export", path("doc.qrz"), "--format", "obj", "-o", path("x.obj"), "--ascii"});
    EXPECT_EQ(objAscii.status, 1);
    EXPECT_NE(objAscii.err.find("--ascii goes with --format stl or ply"), std::string::npos);
    EXPECT_EQ(cli({"export", path("doc.qrz"), "--format", "df3", "-o", path("x.df3"), "--df3-size",
                   "1", "5", "5"})
                  .status,
              1);
    EXPECT_EQ(cli({"export", path("missing.qrz"), "--format", "obj", "-o", path("x.obj")}).status,
              2);
    const KCliRun unwritable =
        cli({"export", path("doc.qrz"), "--format", "rib", "-o", path("no/dir/x.rib")});
    EXPECT_EQ(unwritable.status, 3);
    EXPECT_NE(unwritable.err.find("Couldn't create export file!"), std::string::npos);
}

TEST_F(Cli, DemoWritesEveryFormat) {
    const KCliRun demo = cli({"demo", path("out")});
    ASSERT_EQ(demo.status, 0) << demo.err;
    for (const char* f :
         {"limb.qrz", "limb.inc", "limb-mesh2.inc", "limb.obj", "limb.rib", "limb.df3", "limb.raw",
          "limb.udo", "limb.txt", "limb-relief.tga", "limb-displacement.tga"}) {
        EXPECT_TRUE(fs::exists(dir / "out" / f)) << f;
        EXPECT_NE(demo.out.find(f), std::string::npos) << f;
    }
    const KCliRun info = cli({"info", (dir / "out" / "limb.qrz").string()});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("biceps"), std::string::npos);
    EXPECT_NE(info.out.find("limb-relief.tga (64 x 64)"), std::string::npos);
}
