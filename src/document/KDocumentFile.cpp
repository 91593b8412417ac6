#include "document/KDocumentFile.h"

#include <filesystem>

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "platform/KArchive.h"
#include "platform/KFile.h"

namespace {

// Documents hold no images (layers name their image files), so even a large model is a
// few megabytes; anything far larger is not a document.
constexpr uint64_t kMaxDocumentBytes = uint64_t(256) << 20;

// Layers, muscles and segments together. Real models hold hundreds; the limit keeps a
// small hostile file from asking for gigabytes of muscles.
constexpr uint32_t kMaxDocumentObjects = 100000;

// The version a file announces: the word after the magic, else 1 (the files before the
// magic word).
int announcedVersion(const std::vector<uint8_t>& bytes) {
    auto word = [&bytes](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    if (bytes.size() >= 8 && word(0) == CPexaDoc::kMagic) {
        return int(int32_t(word(4)));
    }
    return 1;
}

void setError(std::string* error, const std::string& text) {
    if (error) {
        *error = text;
    }
}

} // namespace

std::unique_ptr<CPexaDoc> kLoadDocumentBytes(std::vector<uint8_t> bytes, const std::string& source,
                                             std::string* error, int* version,
                                             const std::string& folder) {
    KRegisterCoreClasses();
    const int found = announcedVersion(bytes);
    auto doc = std::make_unique<CPexaDoc>();
    KArchive ar(std::move(bytes));
    ar.setObjectLimit(kMaxDocumentObjects);
    ar.setSourceFolder(folder);
    std::string reason;
    if (!loadArchive(
            ar, [&doc](KArchive& a) { doc->load(a); }, &reason)) {
        // The half-read document goes with the failure.
        setError(error, "Cannot open the document \"" + source +
                            "\": the file is damaged or is not a Quorl document (" + reason + ").");
        return nullptr;
    }
    doc->setModified(false);
    if (version) {
        *version = found;
    }
    return doc;
}

std::unique_ptr<CPexaDoc> kOpenDocument(const std::string& path, std::string* error, int* version) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!kReadFile(path, bytes, &reason, kMaxDocumentBytes)) {
        setError(error, "Cannot open the document: " + reason);
        return nullptr;
    }
    std::unique_ptr<CPexaDoc> doc = kLoadDocumentBytes(
        std::move(bytes), path, error, version, std::filesystem::path(path).parent_path().string());
    if (doc) {
        doc->setPathName(path);
    }
    return doc;
}

std::vector<uint8_t> kDocumentBytes(CPexaDoc& doc) {
    KRegisterCoreClasses();
    KArchive ar;
    doc.store(ar);
    return ar.bytes();
}

bool kSaveDocument(CPexaDoc& doc, const std::string& path, std::string* error) {
    const std::vector<uint8_t> bytes = kDocumentBytes(doc);
    std::string reason;
    if (!kWriteFileAtomic(path, bytes.data(), bytes.size(), &reason)) {
        setError(error, std::string(kMsgCannotSave) + "\n" + reason);
        return false;
    }
    if (path != "-") {
        // Written to standard output: the document is not stored anywhere it could reopen.
        doc.setPathName(path);
        doc.setModified(false);
    }
    return true;
}
