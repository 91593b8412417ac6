#pragma once
// Opening and saving document files (".qrz").

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CPexaDoc;

// Limits of what a document file may hold (checked before anything is allocated):
// at most 256 MB, at most 100000 layers, muscles and segments together, grid
// resolutions 1 to 512 (others are brought into range with a warning), clip ranges
// inside the unit square. Layer images are separate TGA files of at most 1 GB and
// 65535 pixels a side.

// Reads the document file at path into a new document. On failure returns null and puts
// the reason in error (the file is malformed, truncated, or cannot be read); nothing of
// a half-read document survives. The version found is stored in *version when given.
// On success the document has path as its path and is not marked modified.
std::unique_ptr<CPexaDoc> kOpenDocument(const std::string& path, std::string* error,
                                        int* version = nullptr);

// The same from bytes already in memory; the document gets no path. source names the
// bytes in error texts (a path or a description). Layer images named by a relative name
// are looked for in folder first (the document's folder when the bytes came from a file),
// then in the working folder.
std::unique_ptr<CPexaDoc> kLoadDocumentBytes(std::vector<uint8_t> bytes, const std::string& source,
                                             std::string* error, int* version = nullptr,
                                             const std::string& folder = std::string());

// The bytes of the document in the current format (the views are told first, hint 4).
std::vector<uint8_t> kDocumentBytes(CPexaDoc& doc);

// Writes the document to path in the current format through a temporary file that
// replaces path only when complete (KAtomicFile: links are followed, "-" is standard
// output); a failed save leaves the old file untouched. Sets the document's path and
// clears its modified flag on success (not for standard output). On failure error is kMsgCannotSave
// and, on a line of its own, the path and the system's reason; nothing is shown, the caller shows
// it.
bool kSaveDocument(CPexaDoc& doc, const std::string& path, std::string* error);

inline constexpr const char* kMsgCannotSave = "The document could not be saved.";
