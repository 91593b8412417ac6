// quorl-cli as a user runs it: exit codes, messages and the files it writes; its checks of
// what it is asked to do: usage errors with their messages, the format from the output's
// name, outputs that would overwrite the document, Layered exports with nothing to write,
// failed writes, the progress bar and the description of a document.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "image/KImageMapTga.h"
#include "support/KCliRun.h"
#include "support/KRunCommand.h"

namespace fs = std::filesystem;

namespace {

// Every test starts with a document doc.qrz of a 4 x 3 grid in its folder.
class Cli : public KCliTest {
protected:
    void SetUp() override {
        KCliTest::SetUp();
        ASSERT_EQ(cli({"new", path("doc.qrz"), "--res", "3", "2"}).status, 0);
    }
};

} // namespace

TEST_F(Cli, NewInfoAndConvert) {
    const KCliRun made = cli({"new", path("tube.qrz"), "--shape", "spheric", "--res", "12", "8"});
    ASSERT_EQ(made.status, 0) << made.err;
    std::string error;
    auto doc = kOpenDocument(path("tube.qrz"), &error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->baseShape, CPexaDoc::Spheric);
    EXPECT_EQ(doc->uResolution, 12);
    EXPECT_EQ(doc->meshGrid->vCount(), 9);

    EXPECT_EQ(cli({"--version"}).status, 0);
    const KCliRun info = cli({"info", path("tube.qrz")});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("format version: 10"), std::string::npos);
    EXPECT_NE(info.out.find("Exterior Muscles"), std::string::npos);
    const KCliRun json = cli({"info", path("tube.qrz"), "--json"});
    ASSERT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"shape\": \"spheric\""), std::string::npos);

    const KCliRun conv = cli({"convert", path("tube.qrz"), path("copy.qrz")});
    ASSERT_EQ(conv.status, 0) << conv.err;
    EXPECT_EQ(contents(path("tube.qrz")), contents(path("copy.qrz")));
}

TEST_F(Cli, DisplacementImageAndTextures) {
    ASSERT_EQ(cli({"new", path("d10.qrz"), "--res", "10", "10"}).status, 0);
    const KCliRun img = cli({"image", path("d10.qrz"), "-o", path("d.tga"), "--size", "16", "9"});
    ASSERT_EQ(img.status, 0) << img.err;
    KImageMapTga tga(path("d.tga"));
    ASSERT_EQ(tga.loadStatus, 0);
    EXPECT_EQ(tga.width(), 16);
    EXPECT_EQ(tga.height(), 9);
    EXPECT_EQ(cli({"image", path("d10.qrz"), "-o", path("e.tga"), "--layers", "0,7"}).status, 1);
    // ImageMagick reads the image with the same size.
    const KCommandRun identify =
        kRunCommand("identify -format '%w %h' " + kShellQuote(path("d.tga")));
    EXPECT_EQ(identify.status, 0);
    EXPECT_EQ(identify.output, "16 9");

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

// Bad usage exits 1, an unreadable input 2 (failed writes are checked in
// FailedWritesSayWhyOnce).
TEST_F(Cli, BadInvocationsAndUnreadableInputsFailWithAMessageThatNamesTheProblem) {
    struct Case {
        const char* args; // split at blanks; "@" stands for the test's folder
        const char* message;
        int status = 1;
    };
    std::ofstream(path("junk.qrz"), std::ios::binary) << "QRLM\x0a\x00\x00\x00 not really";
    const Case cases[] = {
        {"info @missing.qrz", "Cannot open the document: Cannot open \"@missing.qrz\"", 2},
        {"info @junk.qrz", "Cannot open the document \"@junk.qrz\": the file is damaged", 2},
        {"convert @junk.qrz @out.qrz", "Cannot open the document \"@junk.qrz\"", 2},
        {"export @missing.qrz --format obj -o @x.obj", "Cannot open the document: Cannot open", 2},
        {"", "a command is needed"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"info", "FILE.qrz is required"},
        {"info @doc.qrz --colour red", "unknown option --colour"},
        {"info @doc.qrz @other.qrz", "unexpected argument \""},
        {"new @a.qrz --res 5x 5", "--res: Value 5x"},
        {"new @a.qrz --res 5", "--res"},
        {"new @a.qrz --res 0 5", "--res: Value 0"},
        {"new @a.qrz --shape cube", "--shape: cube"},
        {"export @doc.qrz --format=obj -o @x.obj --normals --normals",
         "--normals is given more than once"},
        {"export @doc.qrz -o @x.obj -o @y.obj", "-o is given more than once"},
        {"export @doc.qrz --format xyz -o @x", "unknown format \"xyz\""},
        {"export @doc.qrz -o @x.unknown", "cannot tell the format from"},
        {"export @doc.qrz -o -", "export to standard output needs --format"},
        {"export @doc.qrz -o @x.obj --layers 0", "--layers goes with --layered"},
        {"export @doc.qrz -o @x.obj --layered --layers 0,7", "the document has no layer 7"},
        {"export @doc.qrz -o @x.obj --layered --layers 0,x", "--layers: \"0,x\""},
        {"export @doc.qrz -o @x.obj --mesh-option 2", "--mesh-option: Value 2"},
        {"export @doc.qrz -o @x.df3 --df3-size 1 5 5", "--df3-size: Value 1"},
        {"export @doc.qrz -o @x.df3 --density z", "--density: z"},
        {"export @doc.qrz -o @x.stl --invert-normals",
         "--invert-normals goes with --format obj or ply, not stl"},
        {"export @doc.qrz -o @x.glb --reverse-winding",
         "--reverse-winding goes with --format obj, stl or ply"},
        {"export @doc.qrz -o @x.obj --item-uv --no-item-uv", "--item-uv"},
        {"image @doc.qrz -o @x.tga --scale nan", "--scale: \"nan\""},
        {"image @doc.qrz -o @x.tga --scale 1e300", "--scale: \"1e300\""},
        {"image @doc.qrz -o @x.tga --layers 3", "the document has no layer 3"},
        {"textures list @t.qtl", "ACTION: list"},
    };
    const auto withPaths = [&](std::string text) {
        for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
            text.replace(at, 1, path(""));
        }
        return text;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("quorl-cli ") + c.args);
        std::vector<std::string> args;
        std::istringstream words(c.args);
        for (std::string a; words >> a;) {
            args.push_back(withPaths(a));
        }
        const KCliRun r = cli(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find("quorl-cli: " + withPaths(c.message)), std::string::npos) << r.err;
    }
    for (const char* name :
         {"a.qrz", "x.obj", "y.obj", "x", "x.unknown", "x.df3", "x.tga", "x.rib", "out.qrz"}) {
        EXPECT_FALSE(fs::exists(path(name))) << name;
    }
}

TEST_F(Cli, ExportTakesTheFormatFromTheOutputsExtension) {
    struct Case {
        const char* extension;
        const char* format;
    };
    const Case cases[] = {{".inc", "pov"}, {".obj", "obj"}, {".rib", "rib"},   {".df3", "df3"},
                          {".raw", "raw"}, {".udo", "udo"}, {".txt", "ascii"}, {".glb", "gltf"},
                          {".stl", "stl"}, {".ply", "ply"}};
    fs::create_directories(dir / "named");
    fs::create_directories(dir / "guessed");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        const std::string file = std::string("x") + c.extension;
        const fs::path named = dir / "named" / file;
        const fs::path guessed = dir / "guessed" / file;
        ASSERT_EQ(
            cli({"export", path("doc.qrz"), "--format", c.format, "-o", named.string()}).status, 0);
        const KCliRun r = cli({"export", path("doc.qrz"), "-o", guessed.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(contents(guessed), contents(named));
    }
    // --format wins over the extension.
    ASSERT_EQ(cli({"export", path("doc.qrz"), "--format", "mesh2", "-o", path("m.inc")}).status, 0);
    EXPECT_NE(contents(path("m.inc")).find("mesh2"), std::string::npos);
}

TEST_F(Cli, OutputThatIsTheDocumentIsRefused) {
    const std::string original = contents(path("doc.qrz"));
    fs::create_hard_link(path("doc.qrz"), path("hard.qrz"));
    fs::create_symlink(path("doc.qrz"), path("soft.obj"));
    fs::create_directories(dir / "sub");
    const std::string spelledOtherwise = (dir / "sub" / ".." / "doc.qrz").string();
    for (const std::string& out : {path("doc.qrz"), spelledOtherwise, path("hard.qrz")}) {
        SCOPED_TRACE(out);
        const std::vector<std::vector<std::string>> commands = {
            {"export", path("doc.qrz"), "--format", "obj", "-o", out},
            {"image", path("doc.qrz"), "-o", out}};
        for (const auto& args : commands) {
            const KCliRun r = cli(args);
            EXPECT_EQ(r.status, 1) << args.front();
            EXPECT_NE(r.err.find("is the document"), std::string::npos) << args.front() << r.err;
        }
    }
    const KCliRun linked = cli({"export", path("doc.qrz"), "-o", path("soft.obj")});
    EXPECT_EQ(linked.status, 1);
    const KCliRun image = cli({"image", path("doc.qrz"), "-o", path("soft.obj")});
    EXPECT_EQ(image.status, 1);
    EXPECT_EQ(contents(path("doc.qrz")), original);
    EXPECT_TRUE(fs::is_symlink(path("soft.obj")));

    // Converting in place is safe: the new file replaces the old one only when complete.
    const KCliRun convert = cli({"convert", path("doc.qrz"), path("doc.qrz")});
    EXPECT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(contents(path("doc.qrz")), original);
}

TEST_F(Cli, LayeredExportWithoutMusclesWritesNothingAndExitsFour) {
    std::ofstream(path("old.inc")) << "an older export\n";
    for (const char* target : {"old.inc", "new.inc", "new.df3", "new.glb"}) {
        SCOPED_TRACE(target);
        const KCliRun r = cli({"export", path("doc.qrz"), "-o", path(target), "--layered"});
        EXPECT_EQ(r.status, 4);
        EXPECT_NE(r.err.find("There is no layer or muscle info to export!"), std::string::npos);
    }
    EXPECT_EQ(contents(path("old.inc")), "an older export\n");
    for (const char* created : {"new.inc", "new.df3", "new.glb"}) {
        EXPECT_FALSE(fs::exists(path(created))) << created;
    }
}

TEST_F(Cli, FailedWriteToStandardOutputExitsThree) {
    ASSERT_EQ(cli({"textures", "write", path("t.qtl")}).status, 0);
    const std::vector<std::vector<std::string>> printing = {
        {"info", path("doc.qrz")},
        {"info", path("doc.qrz"), "--json"},
        {"textures", "check", path("t.qtl")},
        {"export", "--help"},
    };
    for (const auto& args : printing) {
        SCOPED_TRACE(args.front());
        const KCliRun r = cli(args, {"", "/dev/full"});
        EXPECT_EQ(r.status, 3);
        EXPECT_NE(r.err.find("quorl-cli: cannot write to standard output"), std::string::npos)
            << r.err;
    }
}

// Every command that writes a file says once why it could not, with the path.
TEST_F(Cli, FailedWritesSayWhyOnce) {
    const std::string missing = path("no-such-folder") + "/out";
    const std::vector<std::vector<std::string>> writing = {
        {"new", missing + ".qrz"},
        {"convert", path("doc.qrz"), missing + ".qrz"},
        {"export", path("doc.qrz"), "-o", missing + ".obj"},
        {"export", path("doc.qrz"), "-o", missing + ".glb"},
        {"image", path("doc.qrz"), "-o", missing + ".tga"},
        {"textures", "write", missing + ".qtl"},
    };
    const std::string reason = "\"" + missing;
    for (const auto& args : writing) {
        SCOPED_TRACE(args.front() + " " + args.back());
        const KCliRun r = cli(args);
        EXPECT_EQ(r.status, 3);
        const size_t at = r.err.find("No such file or directory");
        EXPECT_NE(at, std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("No such file or directory", at + 1), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
}

TEST_F(Cli, ProgressBarEndsAtOneHundredPercentOnALineOfItsOwn) {
    for (const char* format : {"pov", "obj", "gltf"}) {
        SCOPED_TRACE(format);
        const KCliRun r = cli({"export", path("doc.qrz"), "--format", format, "-o", path("x")},
                              {"QUORL_CLI_PROGRESS=1", ""});
        ASSERT_EQ(r.status, 0);
        const size_t last = r.err.rfind('\r');
        ASSERT_NE(last, std::string::npos) << "no progress bar drawn";
        EXPECT_EQ(r.err.substr(last + 1, 38), "[##############################] 100 %");
        EXPECT_EQ(r.err.back(), '\n');
    }
    const KCliRun quiet =
        cli({"export", path("doc.qrz"), "--format", "obj", "-o", path("q.obj"), "--quiet"},
            {"QUORL_CLI_PROGRESS=1", ""});
    EXPECT_EQ(quiet.err, "");
}

TEST_F(Cli, InfoShowsTheBendTypeAlikeInTextAndJson) {
    struct Case {
        int32_t stored;
        int shown; // the anatomy sheet's "Type1" / "Type 2"
    };
    for (const Case c : {Case{0, 1}, Case{1, 2}, Case{7, 1}}) {
        SCOPED_TRACE(c.stored);
        std::string error;
        auto doc = kOpenDocument(path("doc.qrz"), &error);
        ASSERT_TRUE(doc) << error;
        doc->bodyPart.bendType = c.stored;
        ASSERT_TRUE(kSaveDocument(*doc, path("bend.qrz"), &error)) << error;
        const std::string n = std::to_string(c.shown);
        EXPECT_NE(cli({"info", path("bend.qrz")}).out.find("(type " + n + ")"), std::string::npos);
        EXPECT_NE(cli({"info", path("bend.qrz"), "--json"}).out.find("\"bendType\": " + n),
                  std::string::npos);
    }
}
