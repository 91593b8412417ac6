#include "scene/KAccumBuffer.h"

#include <algorithm>

void KAccumBuffer::clear(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    sum_.assign(size_t(width_) * size_t(height_) * 4, 0.0f);
}

void KAccumBuffer::add(const uint8_t* rgba, double weight) {
    const float w = float(weight / 255.0);
    for (size_t i = 0; i < sum_.size(); ++i) {
        sum_[i] += w * float(rgba[i]);
    }
}

std::vector<float> KAccumBuffer::result(double weight) const {
    std::vector<float> out(sum_.size());
    for (size_t i = 0; i < sum_.size(); ++i) {
        out[i] = std::clamp(float(weight) * sum_[i], 0.0f, 1.0f);
    }
    return out;
}
