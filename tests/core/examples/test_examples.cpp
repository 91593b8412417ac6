// The documents in examples/: they are what quorl_make_examples builds today, each one
// opens with its layer images, exports to every format quorl-cli offers and renders in
// POV-Ray as a visible object.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/KPovRay.h"
#include "support/KRunCommand.h"
#include "support/KTestFiles.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(QUORL_SOURCE_DIR) / "examples";

// The example files (documents and images) by name.
std::set<std::string> exampleFiles(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (e.is_regular_file() && (ext == ".qrz" || ext == ".tga")) {
            names.insert(e.path().filename().string());
        }
    }
    return names;
}

std::vector<std::string> exampleDocuments() {
    std::vector<std::string> docs;
    for (const std::string& name : exampleFiles(kExamples)) {
        if (fs::path(name).extension() == ".qrz") {
            docs.push_back(fs::path(name).stem().string());
        }
    }
    return docs;
}

// The names quorl-cli export takes after --format.
const char* const kCliFormats[] = {"pov", "mesh2", "obj",  "rib", "df3", "raw",
                                   "udo", "ascii", "gltf", "stl", "ply"};

// A scratch copy of examples/ (documents and images), so the documents open from their
// own folder as a user opens them.
class ExampleCopy : public KTempDir {
public:
    explicit ExampleCopy(const std::string& tag) : KTempDir("examples-" + tag) {
        for (const std::string& name : exampleFiles(kExamples)) {
            fs::copy_file(kExamples / name, file(name));
        }
    }
    // quorl-cli run in the copy's folder.
    KCommandRun cli(const std::string& args) const {
        return kRunCommand("cd " + kShellQuote(path()) + " && " + kShellQuote(QUORL_CLI_PATH) +
                           " " + args);
    }
};

} // namespace

TEST(Examples, AreWhatTheGeneratorBuildsToday) {
    KTempDir out("examples-regen");
    const KCommandRun made =
        kRunCommand(kShellQuote(QUORL_MAKE_EXAMPLES_PATH) + " " + kShellQuote(out.path()));
    ASSERT_EQ(made.status, 0) << made.output;
    const std::set<std::string> built = exampleFiles(out.path());
    EXPECT_GE(built.size(), 4u);
    EXPECT_EQ(built, exampleFiles(kExamples)) << "run make examples";
    for (const std::string& name : built) {
        EXPECT_TRUE(kSlurp(out.file(name)) == kSlurp(kExamples / name))
            << name << " differs from a fresh build: run make examples";
    }
}

TEST(Examples, OpenWithTheirImagesAndExportToEveryFormat) {
    const std::vector<std::string> docs = exampleDocuments();
    ASSERT_GE(docs.size(), 4u);
    ExampleCopy copy("export");
    for (const std::string& name : docs) {
        SCOPED_TRACE(name);
        const KCommandRun info = copy.cli("info " + name + ".qrz");
        EXPECT_EQ(info.status, 0) << info.output;
        // A layer image that cannot be found is reported as a warning and dropped.
        EXPECT_EQ(info.output.find("warning"), std::string::npos) << info.output;
        for (const std::string format : kCliFormats) {
            SCOPED_TRACE(format);
            const std::string out = name + "-out." + format;
            const KCommandRun r =
                copy.cli("export " + name + ".qrz --format " + format + " --quiet -o " + out);
            EXPECT_EQ(r.status, 0) << r.output;
            EXPECT_EQ(r.output, "");
            EXPECT_GT(kSlurp(copy.file(out)).size(), 100u);
        }
    }
    // The image layers really come with the documents that use them.
    EXPECT_NE(copy.cli("info relief.qrz").output.find("image: relief-pebbles.tga"),
              std::string::npos);
    EXPECT_NE(copy.cli("info limb.qrz").output.find("image: limb-skin.tga"), std::string::npos);
}

TEST(Examples, RenderInPovRay) {
    ASSERT_EQ(kRunCommand("command -v povray").status, 0)
        << "povray is not installed (scripts/install-deps)";
    ExampleCopy copy("render");
    for (const std::string& name : exampleDocuments()) {
        SCOPED_TRACE(name);
        const KCommandRun r =
            copy.cli("export " + name + ".qrz --format pov --normals --quiet -o subject.inc");
        ASSERT_EQ(r.status, 0) << r.output;
        // The object covers a good part of the picture, not a speck or nothing.
        EXPECT_GT(kPovRenderedPixels(copy.path(), kPovIncludeScene()), 80 * 60 / 10);
    }
}
