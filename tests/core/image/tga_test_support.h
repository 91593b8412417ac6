#pragma once
// Helpers for the image tests: TGA files built byte by byte, and their bytes on disk.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/KScratchDir.h"

namespace tgatest {

namespace fs = std::filesystem;

// Every field of a TGA file, with the pixel and colour map bytes as they are stored.
struct TgaFile {
    int type = 2;
    int depth = 24;
    int width = 2;
    int height = 2;
    int descriptor = 0;
    int xOrigin = 0;
    int yOrigin = 0;
    std::string id;
    int colorMapType = 0;
    int colorMapFirst = 0;
    int colorMapLength = 0;
    int colorMapBits = 0;
    std::vector<uint8_t> colorMap; // the stored entries only
    std::vector<uint8_t> pixels;

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> b{uint8_t(id.size()), uint8_t(colorMapType), uint8_t(type)};
        auto u16 = [&b](int v) {
            b.push_back(uint8_t(v & 0xFF));
            b.push_back(uint8_t((v >> 8) & 0xFF));
        };
        u16(colorMapFirst);
        u16(colorMapLength);
        b.push_back(uint8_t(colorMapBits));
        for (int v : {xOrigin, yOrigin, width, height}) {
            u16(v);
        }
        b.push_back(uint8_t(depth));
        b.push_back(uint8_t(descriptor));
        b.insert(b.end(), id.begin(), id.end());
        b.insert(b.end(), colorMap.begin(), colorMap.end());
        b.insert(b.end(), pixels.begin(), pixels.end());
        return b;
    }
};

inline int bytesPerPixel(int depth) {
    return depth == 15 ? 2 : depth / 8;
}

// Distinct, easily recognised bytes.
inline std::vector<uint8_t> patternBytes(size_t count, int seed = 11) {
    std::vector<uint8_t> out(count);
    for (size_t i = 0; i < count; ++i) {
        out[i] = uint8_t((i * 37 + size_t(seed)) & 0xFF);
    }
    return out;
}

inline void writeBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

using ScratchDir = KScratchDir;

} // namespace tgatest
