// Image maps in memory: format and size, heights and colours by pixel depth option,
// sampling, flips and the pixel depth question.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"

namespace {

// An image of the given depth and option, width x height, all zero.
KImageMapTga makeImage(int depth, int option, int width, int height) {
    KImageMapTga img;
    img.setFormat(depth, option);
    img.resize(width, height);
    return img;
}

std::vector<uint8_t> pixelBytes(const KImageMapTga& img, int x, int y) {
    const int bpp = img.bytesPerPixel();
    const auto at = img.pixels().begin() + (y * img.width() + x) * bpp;
    return {at, at + bpp};
}

using Bytes = std::vector<uint8_t>;

} // namespace

// ---- construction, format and size

TEST(ImageMap, AnImageWithoutPixelsReadsAndWritesNothing) {
    KImageMapTga img;
    EXPECT_FALSE(img.hasPixels());
    img.setHeight(5, 5, 1.0);
    img.flipHorizontal();
    img.flipVertical();
    EXPECT_EQ(img.pixelValue(5, 5), 0);
    EXPECT_EQ(img.sample(0.5, 0.5), 0);
    EXPECT_EQ(img.displayColor(5, 5), 0u);
}

TEST(ImageMap, SetFormatTakesTheDepthOrDerivesItFromTheOption) {
    struct Case {
        int depth, option, expected;
    };
    const Case cases[] = {{0, 6, 24},  {0, 9, 32}, {0, 2, 16},  {0, 0, 8},  {-3, -1, 8},
                          {0, 1, 16},  {0, 3, 16}, {0, 4, 24},  {0, 8, 24}, {32, 0, 32},
                          {15, 4, 15}, {8, 7, 8},  {12, 5, 24}, {300, 0, 8}};
    for (const Case& c : cases) {
        KImageMapTga img = makeImage(24, 4, 3, 3);
        img.setFormat(c.depth, c.option);
        EXPECT_EQ(img.pixelDepth(), c.expected) << c.depth << "/" << c.option;
        EXPECT_EQ(img.pixelDepthOption, c.option);
        // The pixels are gone.
        EXPECT_FALSE(img.hasPixels());
        EXPECT_EQ(img.width(), 0);
        EXPECT_EQ(img.imageType(), 0);
    }
}

TEST(ImageMap, ResizeAllocatesZeroPixelsAndPicksTheType) {
    for (int depth : {8, 15, 16, 24, 32}) {
        KImageMapTga img = makeImage(depth, 4, 5, 3);
        EXPECT_EQ(img.width(), 5);
        EXPECT_EQ(img.height(), 3);
        EXPECT_EQ(img.imageType(), depth < 9 ? 3 : 2) << depth;
        ASSERT_EQ(img.pixels().size(), size_t(5 * 3 * (depth == 15 ? 2 : depth / 8)));
        for (uint8_t b : img.pixels()) {
            ASSERT_EQ(b, 0);
        }
    }
    KImageMapTga img = makeImage(8, 0, 4, 4);
    img.setHeight(1, 1, 1.0);
    img.resize(2, 2);
    EXPECT_EQ(img.pixelValue(1, 1), 0);
    // Sizes a TGA header cannot hold leave an empty image.
    for (auto [w, h] : {std::pair{-1, 4}, {4, -1}, {65536, 1}, {1, 70000}}) {
        img.resize(w, h);
        EXPECT_FALSE(img.hasPixels());
        EXPECT_EQ(img.width(), 0);
        EXPECT_EQ(img.height(), 0);
        EXPECT_EQ(img.imageType(), 0);
    }
    img.resize(3, 2);
    img.releasePixels();
    EXPECT_FALSE(img.hasPixels());
    EXPECT_EQ(img.width(), 0);
    EXPECT_EQ(img.imageType(), 0);
}

// ---- heights by depth and option

TEST(ImageMapHeights, EightAndSixteenBitsIgnoreTheOption) {
    KImageMapTga img = makeImage(8, 0, 2, 1);
    img.setHeight(0, 0, 1.0);
    img.setHeight(1, 0, 0.5);
    EXPECT_EQ(pixelBytes(img, 0, 0), Bytes{255});
    EXPECT_EQ(pixelBytes(img, 1, 0), Bytes{127});
    img.setPixelDepthOption(7);
    EXPECT_EQ(img.pixelValue(0, 0), 255 * 256);
    // Not clamped: the low byte of trunc(382.5) = 382.
    img.setHeight(0, 0, 1.5);
    EXPECT_EQ(pixelBytes(img, 0, 0), Bytes{126});
    img.setHeight(0, 0, -0.5); // trunc(-127.5) = -127, stored as its low byte
    EXPECT_EQ(pixelBytes(img, 0, 0), Bytes{129});

    for (int depth : {15, 16}) {
        KImageMapTga wide = makeImage(depth, 3, 2, 1);
        wide.setHeight(0, 0, 1.0);
        wide.setHeight(1, 0, 0.5);
        EXPECT_EQ(pixelBytes(wide, 0, 0), (Bytes{255, 255}));
        EXPECT_EQ(pixelBytes(wide, 1, 0), (Bytes{127, 255})); // 32767, high byte first
        wide.setPixelDepthOption(4);
        EXPECT_EQ(wide.pixelValue(1, 0), 32767);
        EXPECT_EQ(wide.sample(1, 0), 32767);
    }
}

TEST(ImageMapHeights, TrueColourFollowsTheOptionTable) {
    struct Case {
        int option;
        double value;
        Bytes bgr;
        int32_t pixelValue;
    };
    const Case cases[] = {
        {4, 1.0, {255, 255, 255}, 255 * 256},
        {4, 0.5, {127, 127, 127}, 127 * 256},
        // g = 255: red 76, green 150, blue 28; value trunc(trunc(3 + 88.5) + 22.8) * 256.
        {5, 1.0, {28, 150, 76}, 113 * 256},
        {6, 0.5, {0, 0xFF, 0x7F}, 32767},
        {6, 1.0, {0, 0xFF, 0xFF}, 65535},
        {7, 0.5, {0xFF, 0xFF, 0x7F}, 0x7FFFFF},
        {7, 1.0, {0xFF, 0xFF, 0xFF}, 0xFFFFFF},
        {8, 1.0, {0, 0, 0}, 0},
        {0, 1.0, {0, 0, 0}, 0},
        {3, 1.0, {0, 0, 0}, 0},
    };
    for (int depth : {24, 32}) {
        for (const Case& c : cases) {
            KImageMapTga img = makeImage(depth, c.option, 1, 1);
            if (depth == 32) {
                img.setColor(0, 0, 0); // alpha too, so the option's write can be seen
            }
            img.setHeight(0, 0, c.value);
            Bytes expected = c.bgr;
            if (depth == 32) {
                expected.push_back(0);
            }
            EXPECT_EQ(pixelBytes(img, 0, 0), expected) << depth << " option " << c.option;
            EXPECT_EQ(img.pixelValue(0, 0), c.pixelValue) << depth << " option " << c.option;
        }
    }
}

TEST(ImageMapHeights, GammaValueWeighsTheChannels) {
    KImageMapTga img = makeImage(24, 5, 1, 1);
    img.setColor(0, 0, 0x0A141E); // red 30, green 20, blue 10
    // trunc(trunc(trunc(1.1) + 11.8) + 9) = 21
    EXPECT_EQ(img.pixelValue(0, 0), 21 * 256);
    img.setPixelDepthOption(4);
    EXPECT_EQ(img.pixelValue(0, 0), 10 * 256);
    img.setPixelDepthOption(6);
    EXPECT_EQ(img.pixelValue(0, 0), 30 * 256 + 20);
    img.setPixelDepthOption(7);
    EXPECT_EQ(img.pixelValue(0, 0), 30 * 65536 + 20 * 256 + 10);
}

TEST(ImageMapHeights, NonFiniteAndHugeValuesAreHarmless) {
    for (int depth : {8, 16, 24}) {
        for (int option : {4, 5, 6, 7}) {
            KImageMapTga img = makeImage(depth, option, 1, 1);
            for (double v : {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(), -1e300, 1e300}) {
                img.setHeight(0, 0, v);
            }
            img.setHeight(0, 0, std::numeric_limits<double>::quiet_NaN());
            EXPECT_EQ(img.pixelValue(0, 0), 0) << depth << "/" << option;
        }
    }
}

TEST(ImageMapHeights, WritesOutsideTheImageAreIgnored) {
    KImageMapTga img = makeImage(8, 0, 3, 2);
    for (auto [x, y] : {std::pair{3, 0}, {-1, 0}, {0, 2}, {0, -1}, {4, 1}}) {
        img.setHeight(x, y, 1.0);
        img.setColor(x, y, 0xFFFFFF);
        EXPECT_EQ(img.pixelValue(x, y), 0);
    }
    for (uint8_t b : img.pixels()) {
        EXPECT_EQ(b, 0);
    }
}

// ---- colours

TEST(ImageMapColours, SetColourStoresBlueGreenRedOnlyInTrueColour) {
    KImageMapTga rgb = makeImage(24, 7, 1, 1);
    rgb.setColor(0, 0, 0x332211);
    EXPECT_EQ(pixelBytes(rgb, 0, 0), (Bytes{0x33, 0x22, 0x11}));
    EXPECT_EQ(rgb.displayColor(0, 0), 0x332211u);
    KImageMapTga rgba = makeImage(32, 7, 1, 1);
    rgba.setColor(0, 0, 0x332211);
    EXPECT_EQ(pixelBytes(rgba, 0, 0), (Bytes{0x33, 0x22, 0x11, 0}));
    KImageMapTga gray = makeImage(8, 0, 1, 1);
    gray.setColor(0, 0, 0x332211);
    EXPECT_EQ(pixelBytes(gray, 0, 0), Bytes{0});
}

TEST(ImageMapColours, DisplayColourByDepthAndOption) {
    KImageMapTga rgb = makeImage(24, 7, 1, 1);
    rgb.setColor(0, 0, 0x0A64C8); // red 200, green 100, blue 10
    const struct {
        int option;
        uint32_t colour;
    } trueColour[] = {
        {0, 0x0A64C8}, {7, 0x0A64C8}, {8, 0x0A64C8},
        {1, 0x0A64C8}, {3, 0x00640A}, // first byte (blue) as red, second (green) as green
        {4, 0xC8C8C8},                // grey of red
        {5, 0x787878},                // grey of trunc(0.3 * 200 + 0.59 * 100 + 0.11 * 10) = 120
        {6, 0x0060C8},                // blue removed, green 100 & 0xF0 = 96
    };
    for (const auto& c : trueColour) {
        rgb.setPixelDepthOption(c.option);
        EXPECT_EQ(rgb.displayColor(0, 0), c.colour) << "option " << c.option;
    }

    KImageMapTga gray = makeImage(8, 0, 1, 1);
    gray.setHeight(0, 0, 0.5);
    EXPECT_EQ(gray.displayColor(0, 0), 0x7F7F7Fu);
    gray.setPixelDepthOption(3);
    EXPECT_EQ(gray.displayColor(0, 0), 0x00007Fu); // no second byte in an 8-bit pixel

    KImageMapTga wide = makeImage(16, 3, 1, 1);
    wide.setHeight(0, 0, double(0x7C1F) / 65535 + 1e-9); // red 31, green 0, blue 31
    EXPECT_EQ(pixelBytes(wide, 0, 0), (Bytes{0x7C, 0x1F}));
    EXPECT_EQ(wide.displayColor(0, 0), 0x001F7Cu);
    wide.setPixelDepthOption(7);
    EXPECT_EQ(wide.displayColor(0, 0), 0x1F001Fu); // the 5-bit fields, unscaled
    wide.setPixelDepthOption(4);
    EXPECT_EQ(wide.displayColor(0, 0), 0x1F1F1Fu);
}

// ---- sampling

TEST(ImageMapSample, NearestPixelBelowTheScaledCoordinates) {
    KImageMapTga img = makeImage(8, 0, 4, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            img.setHeight(x, y, (y * 4 + x + 1) / 255.0 + 1e-9);
        }
    }
    auto at = [](int x, int y) { return (y * 4 + x + 1) * 256; };
    EXPECT_EQ(img.sample(0, 0), at(0, 0));
    EXPECT_EQ(img.sample(1, 0), at(3, 0));
    EXPECT_EQ(img.sample(0, 1), at(0, 2));
    EXPECT_EQ(img.sample(1, 1), at(3, 2));
    // Between pixels: trunc(3 * 0.5) = 1, trunc(2 * 0.74) = 1; trunc(3 * 0.99) = 2.
    EXPECT_EQ(img.sample(0.5, 0.74), at(1, 1));
    EXPECT_EQ(img.sample(0.99, 0.49), at(2, 0));
    EXPECT_EQ(img.sample(0.34, 0.5), at(1, 1));
    // Filtered and unfiltered are the same lookup.
    EXPECT_EQ(img.value(0.5, 0.74), at(1, 1));
    EXPECT_EQ(img.value(0.5, 0.74, true), at(1, 1));
    EXPECT_EQ(img.filteredValue(0.5, 0.74), at(1, 1));
    // Outside [0, 1] clamps to the border; NaN reads as 0.
    EXPECT_EQ(img.sample(-2, 7), at(0, 2));
    EXPECT_EQ(img.sample(std::nan(""), std::nan("")), at(0, 0));

    KImageMapTga three = makeImage(8, 0, 3, 3);
    three.setHeight(1, 1, 1.0);
    EXPECT_EQ(three.sample(0.5, 0.5), 255 * 256);
}

TEST(ImageMapSample, EveryOptionGivesSixteenBitSamples) {
    KImageMapTga img = makeImage(24, 7, 2, 1);
    img.setHeight(0, 0, 1.0);
    img.setHeight(1, 0, 0.5);
    EXPECT_EQ(img.pixelValue(0, 0), 0xFFFFFF);
    EXPECT_EQ(img.sample(0, 0), 65535);
    EXPECT_EQ(img.sample(1, 0), 0x7FFF);
    // The other options already give 16 bits.
    for (int option : {4, 5, 6}) {
        img.setPixelDepthOption(option);
        img.setHeight(0, 0, 1.0);
        EXPECT_EQ(img.sample(0, 0), img.pixelValue(0, 0));
    }
}

// ---- flips

TEST(ImageMapFlip, MirrorsRowsAndReversesRowOrderWholePixels) {
    KImageMapTga img = makeImage(24, 7, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            img.setColor(x, y, uint32_t(0x010203 * (y * 3 + x + 1)));
        }
    }
    auto colour = [](int x, int y) { return uint32_t(0x010203 * (y * 3 + x + 1)); };
    img.flipHorizontal();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(img.displayColor(x, y), colour(2 - x, y));
        }
    }
    img.flipHorizontal();
    img.flipVertical();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(img.displayColor(x, y), colour(x, 2 - y));
        }
    }
    // Even sizes swap every pixel.
    KImageMapTga even = makeImage(16, 3, 2, 2);
    even.setHeight(0, 0, 1.0);
    even.flipHorizontal();
    even.flipVertical();
    EXPECT_EQ(even.pixelValue(1, 1), 65535);
    EXPECT_EQ(even.pixelValue(0, 0), 0);
}

// ---- the pixel depth question

TEST(ImageMapPixelDepth, ChoicesAreRestrictedByDepth) {
    using Choices = std::array<bool, 9>;
    const Choices only0{true, false, false, false, false, false, false, false, false};
    const Choices only3{false, false, false, true, false, false, false, false, false};
    const Choices trueColour{false, false, false, false, true, true, true, true, false};
    const Choices any{true, false, false, true, true, true, true, true, false};
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(8), only0);
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(16), only3);
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(24), trueColour);
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(32), trueColour);
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(15), any);
    EXPECT_EQ(KImageMap::enabledPixelDepthChoices(0), any);
    EXPECT_EQ(KImageMap::presetPixelDepthChoice(8, 6), 0);
    EXPECT_EQ(KImageMap::presetPixelDepthChoice(16, 6), 3);
    EXPECT_EQ(KImageMap::presetPixelDepthChoice(24, 6), 6);
    EXPECT_EQ(KImageMap::presetPixelDepthChoice(15, 5), 5);
}

TEST(ImageMapPixelDepth, AskStoresTheAnswerAndCancelKeepsTheOption) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KImageMapTga img = makeImage(24, 6, 1, 1);
    ui.answerPixelDepth(7);
    EXPECT_EQ(img.askPixelDepthOption(), 0);
    EXPECT_EQ(img.pixelDepthOption, 7);
    ASSERT_EQ(ui.pixelDepthQuestions.size(), 1u);
    EXPECT_EQ(ui.pixelDepthQuestions[0].preset, 6);
    EXPECT_EQ(ui.pixelDepthQuestions[0].enabled, KImageMap::enabledPixelDepthChoices(24));

    ui.answerPixelDepth(-1);
    EXPECT_EQ(img.askPixelDepthOption(), 1);
    EXPECT_EQ(img.pixelDepthOption, 7);
    ui.answerPixelDepth(9); // no such choice: treated as Cancel
    EXPECT_EQ(img.askPixelDepthOption(), 1);
    EXPECT_EQ(img.pixelDepthOption, 7);

    // Unrestricted, as the image view asks: an 8-bit image offers everything usable,
    // preset on "Gray" (8 Bit); the 16-bit choices become "88".
    KImageMapTga gray = makeImage(8, 4, 1, 1);
    ui.answerPixelDepth(2);
    EXPECT_EQ(gray.askPixelDepthOption(false), 0);
    EXPECT_EQ(gray.pixelDepthOption, 3);
    EXPECT_EQ(ui.pixelDepthQuestions[3].preset, 0);
    EXPECT_EQ(ui.pixelDepthQuestions[3].enabled, KImageMap::enabledPixelDepthChoices(0));
    EXPECT_EQ(ui.questions(), std::vector<std::string>(4, "Image Pixel Depth"));
    EXPECT_EQ(ui.unansweredQuestions, 0);
}
