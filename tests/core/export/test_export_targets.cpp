// Every writer goes through the same output path: whatever the target is (standard
// output, a link, a pipe, a name as long as a name may be), the bytes are those of an
// export to a plain new file; a directory is refused by name; an interrupted export
// leaves no temporary file.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "document/KDocumentFile.h"
#include "export/KExport.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"
#include "support/KStdoutRedirect.h"

extern char** environ;

using namespace exporttest;

namespace {

// The UDO file names its include file after itself unless told: name it the same for
// every target.
KExportOptions sameInclude() {
    KExportOptions o;
    o.udoIncludeFile = "mesh.inc";
    return o;
}

std::string exported(CPexaDoc& doc, KExportFormat format, const fs::path& path) {
    const KExportResult r = kExport(doc, format, path.string(), sameInclude());
    EXPECT_TRUE(r.written) << kExportExtension(format) << " " << path << ": " << r.error;
    return kSlurp(path);
}

} // namespace

TEST(ExportTargets, EveryKindOfTargetGetsTheSameBytes) {
    KScriptedUi ui;
    KUiScope scope(ui);
    for (int32_t type : {CPexaDoc::Skinned, CPexaDoc::Layered}) {
        auto doc = makeLayeredDoc();
        doc->meshType = type;
        for (KExportFormat format : kAllFormats) {
            const std::string what =
                std::string(kExportExtension(format)) + (type == CPexaDoc::Layered ? " L" : " S");
            KTempDir dir("targets");
            const std::string reference = exported(*doc, format, dir.file("plain.out"));
            ASSERT_FALSE(reference.empty()) << what;

            // Standard output.
            const fs::path captured = dir.file("stdout.out");
            {
                KStdoutRedirect redirect(captured);
                EXPECT_TRUE(kExport(*doc, format, "-", sameInclude()).written) << what;
            }
            EXPECT_TRUE(kSlurp(captured) == reference) << what << ": standard output";

            // A link: its target is replaced, the link stays.
            fs::create_directories(dir.file("real"));
            std::ofstream(dir.file("real") / "old.out") << "old";
            fs::create_symlink("real/old.out", dir.file("link.out"));
            EXPECT_TRUE(exported(*doc, format, dir.file("link.out")) == reference) << what;
            EXPECT_TRUE(fs::is_symlink(dir.file("link.out"))) << what;
            EXPECT_TRUE(kSlurp(dir.file("real") / "old.out") == reference) << what;

            // A pipe: written through, read by whoever is at the other end.
            const fs::path fifo = dir.file("pipe.out");
            ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
            std::string received;
            std::thread reader([&] { received = kSlurp(fifo); });
            const KExportResult r = kExport(*doc, format, fifo.string(), sameInclude());
            reader.join();
            EXPECT_TRUE(r.written) << what << ": " << r.error;
            EXPECT_TRUE(received == reference) << what << ": pipe";
            EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo) << what;

            // The longest name a file system allows.
            const fs::path longName = dir.file(std::string(255 - 4, 'x') + ".out");
            EXPECT_TRUE(exported(*doc, format, longName) == reference) << what;

            EXPECT_EQ(kFilesIn(dir.path()), 6u) << what << ": a temporary file was left";
        }
    }
    EXPECT_TRUE(ui.messages().empty());
}

// Saving a document goes through the same output path as the writers (whose refusal of a
// directory test_export.cpp checks).
TEST(ExportTargets, SavingADocumentRefusesADirectoryByName) {
    KTempDir dir("dir-save");
    std::string error;
    EXPECT_FALSE(kSaveDocument(*makeDoc(1, 1), dir.path().string(), &error));
    EXPECT_EQ(error,
              "The document could not be saved.\n\"" + dir.path().string() + "\": Is a directory");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

// quorl-cli stopped by SIGTERM or SIGINT while it writes a large export: its temporary
// file goes, the previous file stays, and it ends by the signal.
TEST(ExportTargets, InterruptedExportLeavesNoTemporaryFile) {
    KTempDir dir("interrupt");
    const fs::path docPath = dir.file("big.qrz");
    {
        auto doc = makeDoc(400, 400);
        std::string error;
        ASSERT_TRUE(kSaveDocument(*doc, docPath.string(), &error)) << error;
    }
    const fs::path out = dir.file("out.inc");
    std::ofstream(out) << "old";
    for (int sig : {SIGTERM, SIGINT}) {
        const char* argv[] = {QUORL_CLI_PATH, "export",  "--format",      "pov",  "-o",
                              out.c_str(),    "--quiet", docPath.c_str(), nullptr};
        // SIGINT may be ignored in this process (a test run in the background): the child
        // gets it at its default.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
        pid_t child = 0;
        ASSERT_EQ(
            posix_spawn(&child, QUORL_CLI_PATH, nullptr, &attr, const_cast<char**>(argv), environ),
            0);
        posix_spawnattr_destroy(&attr);
        // Wait until the temporary file is there, then interrupt.
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!(seen = kFilesIn(dir.path()) > 2) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(child, sig);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(seen) << "the export never opened its file";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(kFilesIn(dir.path()), 2u) << strsignal(sig);
        EXPECT_EQ(kSlurp(out), "old");
    }
}
