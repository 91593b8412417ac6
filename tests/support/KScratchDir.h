#pragma once
// A scratch folder whose name is not ASCII, so paths with such names are exercised
// everywhere it is used; removed again by the destructor.

#include <filesystem>
#include <string>

#include "support/KTestFiles.h"

class KScratchDir : public KTempDir {
public:
    explicit KScratchDir(const std::string& tag) : KTempDir(tag + "-Höhenbild-高さ") {}

    std::filesystem::path operator/(const std::string& name) const { return file(name); }
    size_t entryCount() const { return kFilesIn(path()); }
};
