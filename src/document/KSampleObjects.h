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

// The benchmark scene: a 512 x 512 conic grid, three layers holding 40 active muscles of
// every kind (widths 0.02 to 0.2, Spline curves of 3 to 7 points) placed by a fixed
// pseudo-random sequence, and a generated image on the last layer (held in memory).
// resolution lowers the grid for quicker checks.
std::unique_ptr<CPexaDoc> kMakeBenchmarkObject(int resolution = 512);
