// Files are read whole with a limit and written through a temporary file. Where a write
// lands: links followed to the file they name, devices and pipes written as they are,
// directories refused, "-" on standard output, and error texts that name the path and the
// reason. And the temporary file: a short name, removed on a signal.

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/KFile.h"
#include "platform/KTempFiles.h"
#include "support/KScratchDir.h"
#include "support/KStdoutRedirect.h"

namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    size_t entries() const { return dir.entryCount(); }

    KScratchDir dir{"atomic"};
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

mode_t modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(lstat(p.c_str(), &st), 0) << p;
    return st.st_mode;
}

} // namespace

TEST_F(AtomicFile, LinksAreFollowedAndStayLinks) {
    // A relative link, a chain of two links, and a link to a file that does not exist yet.
    const fs::path real = dir / "real.txt";
    put(real, "old");
    fs::permissions(real, fs::perms(0640));
    fs::create_symlink("real.txt", dir / "link");
    fs::create_directory(dir / "sub");
    fs::create_symlink("../link", dir / "sub" / "chain");
    fs::create_symlink(dir / "born.txt", dir / "dangling");
    struct Case {
        fs::path written;
        fs::path lands;
        std::string text;
    };
    const Case cases[] = {{dir / "link", real, "one"},
                          {dir / "sub" / "chain", real, "two"},
                          {dir / "dangling", dir / "born.txt", "three"}};
    for (const Case& c : cases) {
        std::string error;
        ASSERT_TRUE(kWriteFileAtomic(c.written.string(), c.text.data(), c.text.size(), &error))
            << error;
        EXPECT_TRUE(S_ISLNK(modeOf(c.written))) << c.written;
        EXPECT_EQ(slurp(c.lands), c.text) << c.written;
    }
    EXPECT_EQ(modeOf(real) & 0777, 0640u); // the replaced file keeps its permissions
    EXPECT_EQ(entries(), 5u);              // no temporary file is left beside them
}

TEST_F(AtomicFile, PipesAndDevicesAreWrittenAsTheyAre) {
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    // open() for writing waits for this reader.
    std::thread reader([&] {
        std::ifstream in(fifo, std::ios::binary);
        received.assign(std::istreambuf_iterator<char>(in), {});
    });
    const std::string text(100000, 'p');
    std::string error;
    const bool ok = kWriteFileAtomic(fifo.string(), text.data(), text.size(), &error);
    reader.join();
    EXPECT_TRUE(ok) << error;
    EXPECT_EQ(received, text);
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_EQ(entries(), 1u);

    // A character device of our own (the one /dev/null is), where the system lets us make
    // one: writing to it must leave a device, not a file.
    const fs::path device = dir / "null";
    if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    }
    ASSERT_TRUE(kWriteFileAtomic(device.string(), "abc", 3, &error)) << error;
    EXPECT_TRUE(S_ISCHR(modeOf(device)));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFile, DirectoriesAreRefusedByName) {
    const fs::path sub = dir / "folder";
    fs::create_directories(sub);
    fs::create_symlink("folder", dir / "to-folder");
    for (const fs::path& p : {sub, dir / "to-folder"}) {
        std::string error;
        EXPECT_FALSE(KAtomicFile().open(p.string(), &error));
        EXPECT_EQ(error, "\"" + p.string() + "\": Is a directory");
    }
    EXPECT_TRUE(fs::is_empty(sub));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFile, DashIsStandardOutput) {
    const fs::path captured = dir / "stdout.txt";
    {
        KStdoutRedirect redirect(captured);
        std::printf("before ");
        std::string error;
        ASSERT_TRUE(kWriteFileAtomic("-", "through", 7, &error)) << error;
    }
    EXPECT_EQ(slurp(captured), "before through");
    EXPECT_FALSE(fs::exists("-"));
    // "/dev/stdout" leading to a pipe: the pipe gets the bytes, the name stays what it was.
    {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        std::string received;
        std::thread reader([&] {
            char buf[256];
            ssize_t n;
            while ((n = read(ends[0], buf, sizeof buf)) > 0) {
                received.append(buf, size_t(n));
            }
        });
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
        std::string error;
        const bool ok = kWriteFileAtomic("/dev/stdout", "piped", 5, &error);
        dup2(saved, STDOUT_FILENO);
        ::close(saved);
        reader.join();
        ::close(ends[0]);
        EXPECT_TRUE(ok) << error;
        EXPECT_EQ(received, "piped");
        EXPECT_TRUE(S_ISLNK(modeOf("/dev/stdout")));
    }
    // A write that standard output refuses is a failed write.
    {
        KStdoutRedirect redirect("/dev/full");
        KAtomicFile f;
        std::string error;
        ASSERT_TRUE(f.open("-", &error));
        EXPECT_FALSE(f.write("x"));
        EXPECT_FALSE(f.commit(&error));
        EXPECT_EQ(error, "standard output: No space left on device");
    }
}

TEST_F(AtomicFile, LongestNamesCanBeWritten) {
    // The temporary name must not be longer than the target's: 255 bytes is the most a
    // name may have on the usual file systems.
    const long maxName = pathconf(dir.path().c_str(), _PC_NAME_MAX);
    ASSERT_GE(maxName, 255);
    const fs::path target = dir / std::string(255, 'n');
    std::string error;
    ASSERT_TRUE(kWriteFileAtomic(target.string(), "long", 4, &error)) << error;
    ASSERT_TRUE(kWriteFileAtomic(target.string(), "longer", 6, &error)) << error;
    EXPECT_EQ(slurp(target), "longer");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, ErrorsNameThePathAndTheReason) {
    const fs::path missing = dir / "missing" / "x.obj";
    std::string error;
    EXPECT_FALSE(kWriteFileAtomic(missing.string(), "a", 1, &error));
    EXPECT_EQ(error, "\"" + missing.string() + "\": No such file or directory");

    // A file that may not grow past a few bytes fails as a full disk does. In a child, so
    // that the limit and the ignored signal stay there.
    const fs::path big = dir / "big.bin";
    put(big, "old");
    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tight{100, 100};
        setrlimit(RLIMIT_FSIZE, &tight);
        const std::string bytes(1000, 'b');
        std::string childError;
        kWriteFileAtomic(big.string(), bytes.data(), bytes.size(), &childError);
        ssize_t ignored = write(pipeFd[1], childError.data(), childError.size());
        (void)ignored;
        _exit(0);
    }
    ::close(pipeFd[1]);
    char buf[512];
    const ssize_t n = read(pipeFd[0], buf, sizeof buf);
    ::close(pipeFd[0]);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(std::string(buf, size_t(n > 0 ? n : 0)), "\"" + big.string() + "\": File too large");
    EXPECT_EQ(slurp(big), "old");
    EXPECT_EQ(entries(), 1u);
}

// A program interrupted while it writes: the temporary file goes, the old target stays,
// and the program still ends by the signal.
TEST_F(AtomicFile, SignalsRemoveTheTemporaryFile) {
    const fs::path target = dir / "target.txt";
    put(target, "old");
    for (int sig : {SIGTERM, SIGINT}) {
        int ready[2];
        int hold[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(hold), 0);
        const pid_t child = fork();
        if (child == 0) {
            kInstallTempFileCleanup();
            KAtomicFile f;
            if (!f.open(target.string(), nullptr) || !f.write("half of it")) {
                _exit(2);
            }
            ssize_t ignored = write(ready[1], "r", 1);
            (void)ignored;
            char c;
            ignored = read(hold[0], &c, 1); // blocks until the signal ends the program
            _exit(3);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        EXPECT_EQ(entries(), 2u); // the target and the temporary file
        kill(child, sig);
        int status = 0;
        waitpid(child, &status, 0);
        ::close(ready[0]);
        ::close(hold[1]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_EQ(entries(), 1u) << strsignal(sig);
        EXPECT_EQ(slurp(target), "old");
    }
}

TEST_F(AtomicFile, ForgottenFilesAreNotRemoved) {
    // A committed file is no longer temporary: a later signal must not remove it, while a
    // file still being written is.
    const fs::path done = dir / "done.txt";
    ASSERT_TRUE(kWriteFileAtomic(done.string(), "kept", 4, nullptr));
    KAtomicFile open;
    ASSERT_TRUE(open.open((dir / "pending.txt").string(), nullptr));
    EXPECT_EQ(entries(), 2u);
    kRemoveTempFilesNow();
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(slurp(done), "kept");
}

TEST_F(AtomicFile, ReplacesTheTargetOnlyOnCommit) {
    const fs::path target = dir / "modèle.qrz";
    ASSERT_TRUE(kWriteFileAtomic(target.string(), "old", 3, nullptr));
    for (bool commit : {false, true}) {
        EXPECT_EQ(slurp(target), "old");
        KAtomicFile f;
        ASSERT_TRUE(f.open(target.string(), nullptr));
        f.write("new contents");
        std::string error;
        EXPECT_TRUE(!commit || f.commit(&error)) << error;
    } // not committed: the old file must survive
    EXPECT_EQ(slurp(target), "new contents");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, WholeFilesAreReadWithALimit) {
    const fs::path p = dir / "données.bin";
    ASSERT_TRUE(kWriteFileAtomic(p.string(), "abcdef", 6, nullptr));
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(kReadFile(p.string(), bytes, &error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e', 'f'}));
    EXPECT_FALSE(kReadFile(p.string(), bytes, &error, 5));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(kReadFile((dir / "missing").string(), bytes, &error));
    EXPECT_NE(error.find("Cannot open"), std::string::npos);
    EXPECT_FALSE(kReadFile(dir.path().string(), bytes, &error));
    // A pipe named where a file is expected is refused at once instead of blocking.
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(kReadFile((dir / "pipe").string(), bytes, &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos);
}
