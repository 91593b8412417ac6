#pragma once
// The sum of several weighted frames, kept in floating point: the anti-aliased pass adds
// every jittered frame with weight 1 / n and returns the sum once, clamped to [0, 1].

#include <cstdint>
#include <vector>

class KAccumBuffer {
public:
    // Sets every value to 0 for a width x height frame of 4 components.
    void clear(int width, int height);
    // Adds weight x the frame (RGBA bytes, any row order, width x height pixels).
    void add(const uint8_t* rgba, double weight);
    // The sum times weight as RGBA floats in [0, 1] (alpha included).
    std::vector<float> result(double weight = 1.0) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> sum_;
};
