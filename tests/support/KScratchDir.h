#pragma once
// A fresh folder under the temporary folder for one test, removed again by the destructor.
// Its name is not ASCII, so paths with such names are exercised everywhere it is used.

#include <filesystem>
#include <string>
#include <unistd.h>

class KScratchDir {
public:
    explicit KScratchDir(const std::string& tag) {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("quorl-" + tag + "-" + std::to_string(::getpid()) + "-" +
                 std::to_string(++counter) + "-Höhenbild-高さ");
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~KScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    KScratchDir(const KScratchDir&) = delete;
    KScratchDir& operator=(const KScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    size_t entryCount() const {
        using It = std::filesystem::directory_iterator;
        return size_t(std::distance(It(path_), It()));
    }

private:
    std::filesystem::path path_;
};
