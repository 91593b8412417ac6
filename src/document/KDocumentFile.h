#pragma once
// Opening and saving document files (".qrz").

#include <memory>
#include <string>

class CPexaDoc;

// Reads the document file at path into a new document. On failure returns null and puts
// the reason in error (the file is malformed, truncated, or cannot be read); nothing of
// a half-read document survives. The version found is stored in *version when given.
std::unique_ptr<CPexaDoc> kOpenDocument(const std::string& path, std::string* error,
                                        int* version = nullptr);

// Writes the document to path in the current format through a temporary file that
// replaces path only when complete; a failed save leaves the old file untouched. Sets the
// document's path and clears its modified flag on success.
bool kSaveDocument(CPexaDoc& doc, const std::string& path, std::string* error);
