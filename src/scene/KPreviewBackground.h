#pragma once
// The preview's background image: its settings, and loading a TGA file into the RGB bytes
// the view draws as a textured plane (power-of-two sides) or as a pixel map.

#include <cstdint>
#include <string>
#include <vector>

class KPreviewBackground {
public:
    enum Mode : int { Off = 0, On = 1, CaptureOnly = 2 };

    std::string file = "(none)";
    int mode = Off;
    int interpolate = 1;
    int coverageX = 100; // percent, 1..100
    int coverageY = 100;
    int usePixelMap = 0;
    int sizeFromImage = 0;
    int stretch = 1;
    // The image as RGB bytes, rows bottom first.
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;

    // 2, 4, 8, ...; 1 is not one.
    static bool isPowerOfTwo(int n) { return n >= 2 && (n & (n - 1)) == 0; }

    // Loads file into pixels with the messages and the pixel-map question of the command.
    // True when the image is held afterwards. A file without pixels (reported when it
    // could not be read) sets the file to "(none)" and the mode off; declining the
    // pixel-map question drops the image and keeps the mode.
    bool load();
    void drop() {
        pixels.clear();
        width = height = 0;
    }
    bool hasImage() const { return !pixels.empty() && width > 0 && height > 0; }
};
