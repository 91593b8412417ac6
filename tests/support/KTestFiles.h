#pragma once
// Files for tests: a scratch folder of the test's own, whole files as bytes, and golden
// files under tests/data.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

// A fresh folder under the system's temporary folder, removed with the object.
class KTempDir {
public:
    explicit KTempDir(const std::string& tag) {
        // Unique per process and per folder: ctest runs test cases in parallel processes.
        static int counter = 0;
        path_ =
            std::filesystem::temp_directory_path() /
            ("quorl-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~KTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    KTempDir(const KTempDir&) = delete;
    KTempDir& operator=(const KTempDir&) = delete;
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// How many entries a folder holds (a temporary file left behind shows up here).
inline size_t kFilesIn(const std::filesystem::path& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
}

inline std::string kSlurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Compares got with the file of that name under tests/data; with QUORL_WRITE_GOLDEN=1 in
// the environment the golden file is written instead (review the diff before committing).
inline void kExpectGolden(const std::string& name, const std::string& got) {
    const std::filesystem::path p = std::filesystem::path(QUORL_TEST_DATA_DIR) / name;
    if (const char* w = std::getenv("QUORL_WRITE_GOLDEN"); w && std::string(w) == "1") {
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << got;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(p)) << "missing golden file " << p;
    const std::string want = kSlurp(p);
    EXPECT_TRUE(want == got) << "output differs from " << p << " (" << got.size() << " vs "
                             << want.size() << " bytes)";
}
