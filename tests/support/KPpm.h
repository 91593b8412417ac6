#pragma once
// Binary PPM pictures (P6, maxval below 256) as other programs write them: POV-Ray's
// renders, netpbm's and ImageMagick's conversions.

#include <cstdint>
#include <string>
#include <vector>

struct KPpm {
    int width = 0;
    int height = 0;
    int maxval = 0;
    std::vector<uint32_t> colours; // packed 0xBBGGRR, top row first
    uint32_t at(int x, int row) const { return colours[size_t(row * width + x)]; }
};

// False when data is not a complete binary PPM.
bool kParsePpm(const std::string& data, KPpm& ppm);

// Pixels of a binary PPM with maxval 255 whose colour is not (r, g, b), or -1 when data
// is no such picture or an empty one.
long kCountPixelsOtherThan(const std::string& data, int r, int g, int b);
