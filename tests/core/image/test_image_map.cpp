// Image maps in memory: format and size, heights and colours by pixel depth option,
// sampling, flips and the pixel depth question.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

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
    const Case cases[] = {{0, 6, 24},  {0, 9, 32},  {0, 2, 16},  {0, 0, 8},  {-3, -1, 8},
                          {32, 0, 32}, {15, 4, 15}, {12, 5, 24}, {300, 0, 8}};
    for (const Case& c : cases) {
        KImageMapTga img = makeImage(24, 4, 3, 3);
        img.setFormat(c.depth, c.option);
        EXPECT_EQ(img.pixelDepth(), c.expected) << c.depth << "/" << c.option;
        // The pixels are gone.
        EXPECT_EQ(std::tuple(img.pixelDepthOption, img.hasPixels(), img.width(), img.imageType()),
                  std::tuple(c.option, false, 0, 0));
    }
}

TEST(ImageMap, ResizeAllocatesZeroPixelsAndPicksTheType) {
    for (int depth : {8, 15, 16, 24, 32}) {
        KImageMapTga img = makeImage(depth, 4, 5, 3);
        EXPECT_EQ(std::tuple(img.width(), img.height(), img.imageType()),
                  std::tuple(5, 3, depth < 9 ? 3 : 2));
        EXPECT_EQ(img.pixels(), Bytes(size_t(5 * 3 * (depth == 15 ? 2 : depth / 8)), 0)) << depth;
    }
    KImageMapTga img = makeImage(8, 0, 4, 4);
    // Sizes a TGA header cannot hold leave an empty image. So does releasing the pixels.
    for (auto [w, h] : {std::pair{-1, 4}, {4, -1}, {65536, 1}, {1, 70000}, {0, 0}}) {
        img.resize(w, h);
        if (w == 0) {
            img.resize(3, 2);
            img.releasePixels();
        }
        EXPECT_EQ(std::tuple(img.hasPixels(), img.width(), img.height(), img.imageType()),
                  std::tuple(false, 0, 0, 0))
            << w << " x " << h;
    }
}

// ---- heights by depth and option

TEST(ImageMapHeights, EightAndSixteenBitsIgnoreTheOption) {
    KImageMapTga img = makeImage(8, 0, 2, 1);
    img.setHeight(0, 0, 1.0);
    img.setHeight(1, 0, 0.5);
    EXPECT_EQ(img.pixels(), (Bytes{255, 127}));
    img.setPixelDepthOption(7);
    EXPECT_EQ(img.pixelValue(0, 0), 255 * 256);
    img.setHeight(0, 0, -0.5); // not clamped: trunc(-127.5) = -127, stored as its low byte
    EXPECT_EQ(img.pixels(), (Bytes{129, 127}));

    for (int depth : {15, 16}) {
        KImageMapTga wide = makeImage(depth, 3, 2, 1);
        wide.setHeight(0, 0, 1.0);
        wide.setHeight(1, 0, 0.5);
        // 65535 and 32767, high byte first
        EXPECT_EQ(wide.pixels(), (Bytes{255, 255, 127, 255}));
        wide.setPixelDepthOption(4);
        EXPECT_EQ(std::tuple(wide.pixelValue(1, 0), wide.sample(1, 0)), std::tuple(32767, 32767));
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
        {4, 0.5, {127, 127, 127}, 127 * 256},
        // g = 255: red 76, green 150, blue 28; value trunc(trunc(3 + 88.5) + 22.8) * 256.
        {5, 1.0, {28, 150, 76}, 113 * 256},
        {6, 0.5, {0, 0xFF, 0x7F}, 32767},
        {7, 0.5, {0xFF, 0xFF, 0x7F}, 0x7FFFFF},
        {8, 1.0, {0, 0, 0}, 0},
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
            EXPECT_EQ(img.pixels(), expected) << depth << " option " << c.option;
            EXPECT_EQ(img.pixelValue(0, 0), c.pixelValue) << depth << " option " << c.option;
        }
    }
}

TEST(ImageMapHeights, GammaValueWeighsTheChannels) {
    KImageMapTga img = makeImage(24, 5, 1, 1);
    img.setColor(0, 0, 0x0A141E); // red 30, green 20, blue 10
    // Gamma: trunc(trunc(trunc(1.1) + 11.8) + 9) = 21.
    for (auto [option, value] : {std::pair{5, 21 * 256}, {4, 10 * 256}, {6, 30 * 256 + 20}}) {
        img.setPixelDepthOption(option);
        EXPECT_EQ(img.pixelValue(0, 0), value) << option;
    }
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
    EXPECT_EQ(img.pixels(), Bytes(6, 0));
}

// ---- colours

TEST(ImageMapColours, SetColourStoresBlueGreenRedOnlyInTrueColour) {
    for (auto [depth, bytes] : {std::pair{24, Bytes{0x33, 0x22, 0x11}},
                                {32, Bytes{0x33, 0x22, 0x11, 0}},
                                {8, Bytes{0}}}) {
        KImageMapTga img = makeImage(depth, 7, 1, 1);
        img.setColor(0, 0, 0x332211);
        EXPECT_EQ(img.pixels(), bytes) << depth;
    }
}

TEST(ImageMapColours, DisplayColourByDepthAndOption) {
    KImageMapTga rgb = makeImage(24, 7, 1, 1);
    rgb.setColor(0, 0, 0x0A64C8); // red 200, green 100, blue 10
    KImageMapTga gray = makeImage(8, 0, 1, 1);
    gray.setHeight(0, 0, 0.5);
    KImageMapTga wide = makeImage(16, 3, 1, 1);
    wide.setHeight(0, 0, double(0x7C1F) / 65535 + 1e-9); // red 31, green 0, blue 31
    EXPECT_EQ(wide.pixels(), (Bytes{0x7C, 0x1F}));
    const struct {
        KImageMapTga& img;
        int option;
        uint32_t colour;
    } cases[] = {
        {rgb, 7, 0x0A64C8},
        {rgb, 3, 0x00640A},  // first byte (blue) as red, second (green) as green
        {rgb, 4, 0xC8C8C8},  // grey of red
        {rgb, 5, 0x787878},  // grey of trunc(0.3 * 200 + 0.59 * 100 + 0.11 * 10) = 120
        {rgb, 6, 0x0060C8},  // blue removed, green 100 & 0xF0 = 96
        {gray, 0, 0x7F7F7F}, // no second byte in an 8-bit pixel:
        {gray, 3, 0x00007F},
        {wide, 7, 0x1F001F}, // the 5-bit fields, unscaled
        {wide, 4, 0x1F1F1F},
    };
    for (const auto& c : cases) {
        c.img.setPixelDepthOption(c.option);
        EXPECT_EQ(c.img.displayColor(0, 0), c.colour)
            << c.img.pixelDepth() << " bits, option " << c.option;
    }
}

// ---- sampling

TEST(ImageMapSample, NearestPixelBelowTheScaledCoordinates) {
    KImageMapTga img = makeImage(8, 0, 4, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            img.setHeight(x, y, (y * 4 + x + 1) / 255.0 + 1e-9);
        }
    }
    // Between pixels: trunc(3 * 0.5) = 1, trunc(2 * 0.74) = 1; trunc(3 * 0.99) = 2.
    // Outside [0, 1] clamps to the border; NaN reads as 0.
    const struct {
        double u, v;
        int x, y;
    } cases[] = {{0, 0, 0, 0},       {1, 1, 3, 2},  {0.5, 0.74, 1, 1},
                 {0.99, 0.49, 2, 0}, {-2, 7, 0, 2}, {std::nan(""), std::nan(""), 0, 0}};
    for (const auto& c : cases) {
        const int want = (c.y * 4 + c.x + 1) * 256;
        EXPECT_EQ(img.sample(c.u, c.v), want) << c.u << ", " << c.v;
        // Filtered and unfiltered are the same lookup.
        EXPECT_EQ(std::tuple(img.value(c.u, c.v), img.value(c.u, c.v, true)),
                  std::tuple(want, want));
        EXPECT_EQ(img.filteredValue(c.u, c.v), want);
    }
}

TEST(ImageMapSample, EveryOptionGivesSixteenBitSamples) {
    KImageMapTga img = makeImage(24, 7, 2, 1);
    img.setHeight(0, 0, 1.0);
    img.setHeight(1, 0, 0.5);
    EXPECT_EQ(std::tuple(img.pixelValue(0, 0), img.sample(0, 0), img.sample(1, 0)),
              std::tuple(0xFFFFFF, 65535, 0x7FFF));
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
    img.flipVertical();
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(img.displayColor(k % 3, k / 3), colour(2 - k % 3, 2 - k / 3)) << k;
    }
    // Even sizes swap every pixel; each flip runs along its own axis.
    KImageMapTga even = makeImage(16, 3, 2, 2);
    even.setHeight(0, 0, 1.0);
    even.flipHorizontal();
    EXPECT_EQ(std::tuple(even.pixelValue(1, 0), even.pixelValue(0, 0)), std::tuple(65535, 0));
    even.flipVertical();
    EXPECT_EQ(std::tuple(even.pixelValue(1, 1), even.pixelValue(1, 0)), std::tuple(65535, 0));
}

// ---- the pixel depth question
// (Tuples of calls with side effects are braced: a braced list is evaluated left to right.)

TEST(ImageMapPixelDepth, ChoicesAreRestrictedByDepth) {
    // The enabled choices as digits 0..8, and the preset for a given option.
    const struct {
        int depth;
        const char* enabled;
        int option, preset;
    } cases[] = {{8, "0", 6, 0},     {16, "3", 6, 3},      {24, "4567", 6, 6},
                 {32, "4567", 4, 4}, {15, "034567", 5, 5}, {0, "034567", 6, 6}};
    for (const auto& c : cases) {
        std::string enabled;
        const auto choices = KImageMap::enabledPixelDepthChoices(c.depth);
        for (size_t i = 0; i < choices.size(); ++i) {
            enabled += choices[i] ? std::to_string(i) : "";
        }
        EXPECT_EQ(enabled, c.enabled) << c.depth;
        EXPECT_EQ(KImageMap::presetPixelDepthChoice(c.depth, c.option), c.preset) << c.depth;
    }
}

TEST(ImageMapPixelDepth, AskStoresTheAnswerAndCancelKeepsTheOption) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KImageMapTga img = makeImage(24, 6, 1, 1);
    ui.answerPixelDepth(7);
    EXPECT_EQ((std::tuple{img.askPixelDepthOption(), img.pixelDepthOption}), std::tuple(0, 7));
    ASSERT_EQ(ui.pixelDepthQuestions.size(), 1u);
    EXPECT_EQ(ui.pixelDepthQuestions[0].preset, 6);
    for (int cancel : {-1, 9}) { // no such choice as 9: treated as Cancel
        ui.answerPixelDepth(cancel);
        EXPECT_EQ((std::tuple{img.askPixelDepthOption(), img.pixelDepthOption}), std::tuple(1, 7));
    }

    // Unrestricted, as the image view asks: an 8-bit image offers everything usable,
    // preset on "Gray" (8 Bit); the 16-bit choices become "88".
    KImageMapTga gray = makeImage(8, 4, 1, 1);
    ui.answerPixelDepth(2);
    EXPECT_EQ((std::tuple{gray.askPixelDepthOption(false), gray.pixelDepthOption}),
              std::tuple(0, 3));
    EXPECT_EQ(ui.pixelDepthQuestions[3].preset, 0);
    EXPECT_EQ(ui.pixelDepthQuestions[3].enabled, KImageMap::enabledPixelDepthChoices(0));
}
