#include "support/KPpm.h"

#include <cctype>
#include <cstdlib>

bool kParsePpm(const std::string& data, KPpm& ppm) {
    size_t pos = 0;
    auto token = [&]() -> std::string {
        while (pos < data.size()) {
            if (data[pos] == '#') {
                pos = data.find('\n', pos);
                pos = pos == std::string::npos ? data.size() : pos + 1;
            } else if (std::isspace(static_cast<unsigned char>(data[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
        const size_t start = pos;
        while (pos < data.size() && !std::isspace(static_cast<unsigned char>(data[pos]))) {
            ++pos;
        }
        return data.substr(start, pos - start);
    };
    if (token() != "P6") {
        return false;
    }
    ppm.width = std::atoi(token().c_str());
    ppm.height = std::atoi(token().c_str());
    ppm.maxval = std::atoi(token().c_str());
    ++pos; // the single white-space character before the raster
    if (ppm.width < 0 || ppm.height < 0 || ppm.maxval <= 0 || ppm.maxval > 255) {
        return false;
    }
    const size_t count = size_t(ppm.width) * size_t(ppm.height);
    if (data.size() < pos + count * 3) {
        return false;
    }
    ppm.colours.clear();
    for (size_t i = 0; i < count; ++i) {
        const auto* p = reinterpret_cast<const unsigned char*>(data.data() + pos + i * 3);
        ppm.colours.push_back(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
    }
    return true;
}

long kCountPixelsOtherThan(const std::string& data, int r, int g, int b) {
    KPpm ppm;
    if (!kParsePpm(data, ppm) || ppm.maxval != 255 || ppm.colours.empty()) {
        return -1;
    }
    const uint32_t colour = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
    long count = 0;
    for (uint32_t c : ppm.colours) {
        count += c != colour;
    }
    return count;
}
