// Files are read whole with a limit and written through a temporary file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/KFile.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

fs::path scratchDir() {
    const fs::path dir =
        fs::temp_directory_path() / ("quorl-file-test-" + std::to_string(::getpid()) + "-Grüße");
    fs::create_directories(dir);
    return dir;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(File, AtomicWriteReplacesTheTargetOnlyOnCommit) {
    const fs::path dir = scratchDir();
    const fs::path target = dir / "modèle.qrz";
    ASSERT_TRUE(kWriteFileAtomic(target.string(), "old", 3, nullptr));
    {
        KAtomicFile f;
        ASSERT_TRUE(f.open(target.string(), nullptr));
        f.write("new contents");
        // Not committed: the old file must survive and no temporary file remain.
    }
    EXPECT_EQ(slurp(target), "old");
    KAtomicFile f;
    ASSERT_TRUE(f.open(target.string(), nullptr));
    f.write("new contents");
    std::string error;
    ASSERT_TRUE(f.commit(&error)) << error;
    EXPECT_EQ(slurp(target), "new contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(File, ReadsWholeFilesAndReportsProblems) {
    const fs::path dir = scratchDir();
    const fs::path p = dir / "données.bin";
    ASSERT_TRUE(kWriteFileAtomic(p.string(), "abcdef", 6, nullptr));
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(kReadFile(p.string(), bytes, &error)) << error;
    EXPECT_EQ(bytes.size(), 6u);
    EXPECT_FALSE(kReadFile(p.string(), bytes, &error, 5));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(kReadFile((dir / "missing").string(), bytes, &error));
    EXPECT_NE(error.find("Cannot open"), std::string::npos);
    EXPECT_FALSE(kReadFile(dir.string(), bytes, &error));
    // A pipe named where a file is expected is refused at once instead of blocking.
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(kReadFile(fifo.string(), bytes, &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos);
    std::string werror;
    EXPECT_FALSE(kWriteFileAtomic((dir / "no-such-dir" / "x").string(), "a", 1, &werror));
    EXPECT_FALSE(werror.empty());
    fs::remove_all(dir);
}
