#pragma once
// The abstract raster image: a name, a pixel depth option that says how a pixel gives a
// height, and the virtual operations every image map answers. The base answers each of
// them with a no-op that returns 0; KImageMapTga holds real pixels.

#include <array>
#include <cstdint>
#include <string>

#include "platform/KObject.h"

class KImageMap : public KObject {
    K_DECLARE_SERIAL(KImageMap)
public:
    // How a pixel becomes a height (and a display colour). 1, 2 and 8 are listed in the
    // "Image Pixel Depth" dialog but can never be chosen there.
    enum PixelDepthOption : int32_t {
        OptionGray8 = 0,    // 8-bit grey
        Option555 = 1,      // 16-bit 5-5-5 (never chosen; taken as 88)
        Option565 = 2,      // 16-bit 5-6-5 (never chosen; taken as 88)
        Option88 = 3,       // 16-bit value over two bytes, high byte first
        OptionGray24 = 4,   // the blue byte of a 24- or 32-bit pixel
        OptionGamma = 5,    // the luminance of a 24- or 32-bit pixel
        OptionRedGreen = 6, // 16-bit value in red (high) and green (low)
        OptionRgb = 7,      // 24-bit value in red, green and blue
        OptionXyz = 8       // no height
    };
    static constexpr int kPixelDepthChoices = 9;
    // The highest height sample (u, v) gives.
    static constexpr int32_t kMaxSample = 65535;

    KImageMap() = default;

    // Integer height of the pixel at column x, row y (row 0 is the bottom row).
    virtual int32_t pixelValue(int x, int y) const;
    // Height sample 0..kMaxSample at (u, v) in [0, 1]; filtered asks for smoothing.
    virtual int32_t value(double u, double v, bool filtered) const;
    virtual int32_t value(double u, double v) const;
    virtual int32_t filteredValue(double u, double v) const;
    // Mirrors every row / reverses the row order.
    virtual void flipHorizontal();
    virtual void flipVertical();
    // Stores the pixel depth option (0 to 8).
    virtual void setPixelDepthOption(int option);
    // Asks the user for the pixel depth option; 0 when answered with OK, 1 for Cancel.
    virtual int askPixelDepthOption();

    // Which choices of the "Image Pixel Depth" dialog can be picked for an image of this
    // depth; depth 0 means no restriction (only the never-usable choices are disabled).
    static std::array<bool, kPixelDepthChoices> enabledPixelDepthChoices(int depth);
    // The choice the dialog shows first for an image of this depth and option.
    static int presetPixelDepthChoice(int depth, int option);
    // Runs the dialog through kUi(). On OK stores the choice (1 and 2 become 3) with
    // setPixelDepthOption and returns 0; on Cancel (or a choice outside 0..8) changes
    // nothing and returns 1. restrictDepth 0 asks without a depth restriction.
    int askPixelDepthOptionFor(int imageDepth, int restrictDepth);

    std::string name = "(internal)";
    int32_t pixelDepthOption = OptionGray24;
    // Set when the pixels were changed in memory (a flip) and the file named by name does
    // not have the change yet. Never stored: the document refers to the file by name.
    bool changedSinceLoad = false;
};
