#pragma once
// Sample objects built in code: the command line's demo, the examples and the
// benchmarks use them.

#include <memory>
#include <string>

class CPexaDoc;

// A limb: a conic body of three bending segments with muscles of every kind on three
// layers. When imagePath is not empty a generated relief is written there as a TGA file
// and attached to a fourth layer. Returns null only when the image cannot be written.
std::unique_ptr<CPexaDoc> kMakeLimbObject(const std::string& imagePath, std::string* error);
