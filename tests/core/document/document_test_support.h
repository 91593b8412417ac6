#pragma once
// Helpers for the document file tests: small documents and their bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "document/KDocumentFile.h"
#include "platform/KArchive.h"

namespace doctest {

// A document whose grid is small, so loading and saving stay fast.
inline std::unique_ptr<CPexaDoc> smallDocument() {
    KRegisterCoreClasses();
    auto doc = std::make_unique<CPexaDoc>();
    doc->uResolution = 4;
    doc->vResolution = 3;
    doc->rebuildGrid();
    return doc;
}

inline std::vector<uint8_t> bytesOf(CPexaDoc& doc) {
    return kDocumentBytes(doc);
}

// Loads bytes; fails the test (and returns null) when they do not load.
inline std::unique_ptr<CPexaDoc> loadOk(std::vector<uint8_t> bytes, int* version = nullptr) {
    std::string error;
    auto doc = kLoadDocumentBytes(std::move(bytes), "test bytes", &error, version);
    EXPECT_TRUE(doc) << error;
    return doc;
}

} // namespace doctest
