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

// Usage errors and their messages are checked one by one in test_cli_checks.cpp.
TEST_F(Cli, HelpAndVersion) {
    EXPECT_EQ(cli({"--version"}).status, 0);
    for (const char* cmd : {"new", "info", "export", "image", "convert", "textures", "demo"}) {
        const KCliRun r = cli({cmd, "--help"});
        EXPECT_EQ(r.status, 0) << cmd;
        EXPECT_NE(r.out.find(std::string("quorl-cli ") + cmd), std::string::npos) << cmd;
    }
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
    EXPECT_EQ(contents(path("tube.qrz")), contents(path("copy.qrz")));
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
    EXPECT_EQ(cli({"export", path("missing.qrz"), "--format", "obj", "-o", path("x.obj")}).status,
              2);
    const KCliRun unwritable =
        cli({"export", path("ok.qrz"), "--format", "rib", "-o", path("no/dir/x.rib")});
    EXPECT_EQ(unwritable.status, 3);
    EXPECT_NE(unwritable.err.find("Couldn't create export file!"), std::string::npos);
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

TEST_F(Cli, ExportOptionsReachTheWriters) {
    ASSERT_EQ(cli({"new", path("doc.qrz"), "--res", "3", "2"}).status, 0);
    struct Case {
        std::vector<std::string> options;
        const char* file;
        const char* starts;   // how the file begins
        const char* contains; // and something the options put in
    };
    const Case cases[] = {
        {{"--format", "obj", "--normals", "--uv", "--quiet"}, "d.obj", "", "\nvt "},
        {{"--format", "obj", "--normals"}, "n.obj", "", "\nvn "},
        {{"--format", "gltf", "--uv"}, "d.glb", "glTF", "\"TEXCOORD_0\""},
        {{"--format", "stl", "--ascii"}, "d.stl", "solid ", "endfacet"},
        {{"--format", "ply", "--ascii", "--no-mirror-z"}, "d.ply", "ply\nformat ascii 1.0\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"export", path("doc.qrz"), "-o", path(c.file)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const KCliRun r = cli(args);
        ASSERT_EQ(r.status, 0) << c.file << r.err;
        const std::string text = contents(path(c.file));
        EXPECT_EQ(text.rfind(c.starts, 0), 0u) << c.file;
        EXPECT_NE(text.find(c.contains), std::string::npos) << c.file;
    }
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
    // Moved elsewhere, the document still finds its images beside it.
    fs::rename(dir / "out", dir / "moved");
    const std::string moved = (dir / "moved" / "limb.qrz").string();
    const KCliRun info = cli({"info", moved});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("biceps"), std::string::npos);
    EXPECT_NE(info.out.find("image: limb-relief.tga (64 x 64)"), std::string::npos) << info.out;
    EXPECT_EQ(info.err.find("Failed to open Layer image map"), std::string::npos) << info.err;
    const KCliRun image = cli({"image", moved, "-o", path("relief-only.tga"), "--layers", "3"});
    EXPECT_EQ(image.status, 0) << image.err;
    EXPECT_EQ(image.err, "");
}
