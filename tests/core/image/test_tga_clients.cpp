// TGA files against real readers and writers: ImageMagick (identify, convert) and netpbm
// (tgatoppm) must read what we write, and we must read what ImageMagick writes. The
// programs are found on PATH (scripts/install-deps installs them).
//
// ImageMagick keeps a TGA's rows as stored and only records the origin, so its pixels are
// compared after -auto-orient; tgatoppm honours the origin. Both take 16-bit pixels as
// little-endian 5-5-5 colour while ours hold a height high byte first, so 15- and 16-bit
// files are checked for size only.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"
#include "support/KPpm.h"
#include "support/KRunCommand.h"
#include "tga_test_support.h"

using namespace tgatest;

namespace {

// Runs a shell command; returns its exit status and what it wrote to stdout.
int run(const std::string& command, std::string* out = nullptr) {
    KCommandRun r = kRunCommand(command, false);
    if (out) {
        *out = std::move(r.output);
    }
    return r.status;
}

class TgaClientTest : public testing::Test {
protected:
    void SetUp() override {
        identify = kFindOnPath("identify");
        convert = kFindOnPath("convert");
        tgatoppm = kFindOnPath("tgatoppm");
        ASSERT_FALSE(identify.empty()) << "ImageMagick's identify is not on PATH (install-deps)";
        ASSERT_FALSE(convert.empty()) << "ImageMagick's convert is not on PATH (install-deps)";
        ASSERT_FALSE(tgatoppm.empty()) << "netpbm's tgatoppm is not on PATH (install-deps)";
        std::string version;
        run(kShellQuote(convert) + " -version 2>/dev/null", &version);
        ASSERT_NE(version.find("ImageMagick"), std::string::npos)
            << convert << " is not ImageMagick's convert";
    }

    // What ImageMagick's identify says about the file: "WxH|class and colour space|type".
    std::string identifyFile(const fs::path& file) {
        std::string out;
        const fs::path err = dir / "identify.err";
        EXPECT_EQ(run(kShellQuote(identify) + " -format '%wx%h|%r|%[type]' " + kShellQuote(file) +
                          " 2>" + kShellQuote(err),
                      &out),
                  0)
            << file;
        EXPECT_TRUE(readBytes(err).empty()) << "identify complained about " << file;
        return out;
    }

    KPpm netpbmPixels(const fs::path& file) {
        std::string out;
        KPpm ppm;
        const fs::path err = dir / "tgatoppm.err";
        EXPECT_EQ(
            run(kShellQuote(tgatoppm) + " " + kShellQuote(file) + " 2>" + kShellQuote(err), &out),
            0)
            << file;
        EXPECT_TRUE(kParsePpm(out, ppm)) << "tgatoppm gave no PPM for " << file;
        return ppm;
    }

    KPpm imageMagickPixels(const fs::path& file) {
        std::string out;
        KPpm ppm;
        EXPECT_EQ(run(kShellQuote(convert) + " " + kShellQuote(file) +
                          " -auto-orient -depth 8 ppm:- 2>" + kShellQuote(dir / "convert.err"),
                      &out),
                  0)
            << file;
        EXPECT_TRUE(kParsePpm(out, ppm)) << "convert gave no PPM for " << file;
        return ppm;
    }

    // The picture a reader decoded (top row first) shows our image (bottom row first).
    static void expectSamePicture(const KImageMapTga& img, const KPpm& ppm, const char* reader) {
        ASSERT_EQ(ppm.width, img.width()) << reader;
        ASSERT_EQ(ppm.height, img.height()) << reader;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                ASSERT_EQ(ppm.at(x, img.height() - 1 - y), img.displayColor(x, y))
                    << reader << " at " << x << "," << y;
            }
        }
    }

    std::string identify, convert, tgatoppm;
    KScriptedUi ui;
    KUiScope scope{ui};
    ScratchDir dir{"tga-clients"};
};

// A colour image with 320 different colours, so readers call it true colour.
KImageMapTga colourImage(int depth) {
    KImageMapTga img;
    img.setFormat(depth, KImageMap::OptionRgb);
    img.resize(20, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 20; ++x) {
            const uint32_t i = uint32_t(y * 20 + x);
            img.setColor(x, y, (i * 13 & 0xFF) | (i * 7 & 0xFF) << 8 | (i >> 2 & 0xFF) << 16);
        }
    }
    return img;
}

} // namespace

// A grey image, a colour-mapped one (loaded from a file made byte by byte), and an image
// of the given colour depth.
KImageMapTga greyImage() {
    KImageMapTga img;
    img.setFormat(8, KImageMap::OptionGray8);
    img.resize(7, 5);
    for (int k = 0; k < 35; ++k) {
        img.setHeight(k % 7, k / 7, k / 40.0);
    }
    return img;
}

KImageMapTga paletteImage(const ScratchDir& dir) {
    TgaFile f;
    std::tie(f.type, f.depth, f.width, f.height) = std::tuple(1, 8, 6, 4);
    std::tie(f.colorMapType, f.colorMapLength, f.colorMapBits) = std::tuple(1, 24, 24);
    f.colorMap = patternBytes(24 * 3, 5);
    for (int i = 0; i < 24; ++i) {
        f.pixels.push_back(uint8_t(23 - i));
    }
    writeBytes(dir / "made.tga", f.bytes());
    return KImageMapTga((dir / "made.tga").string());
}

// A 16-bit image holds a height, which readers take as colour: only its size is checked.
KImageMapTga sixteenBitImage(int depth) {
    KImageMapTga img;
    img.setFormat(depth, KImageMap::Option88);
    img.resize(9, 3);
    img.setHeight(4, 1, 0.75);
    return img;
}

TEST_F(TgaClientTest, FilesWeWriteAreReadByImageMagickAndNetpbm) {
    struct {
        const char* what;
        KImageMapTga img;
        const char* identified; // what identify says, or how it starts
    } cases[] = {
        {"grey", greyImage(), "7x5|DirectClass Gray |Grayscale"},
        {"24 bits", colourImage(24), "20x16|DirectClass sRGB |TrueColor"},
        {"32 bits", colourImage(32), "20x16|DirectClass sRGB Matte|"}, // the fourth byte is alpha
        {"colour map", paletteImage(dir), "6x4|PseudoClass sRGB |Palette"},
        {"15 bits", sixteenBitImage(15), "9x3|DirectClass sRGB |"},
        {"16 bits", sixteenBitImage(16), "9x3|DirectClass sRGB |"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.img.loadStatus, 0);
        const fs::path file = dir / "written.tga";
        ASSERT_EQ(c.img.save(file.string()), 0);
        const std::string said = identifyFile(file);
        EXPECT_EQ(said.rfind(c.identified, 0), 0u) << said;
        const KPpm netpbm = netpbmPixels(file);
        if (c.img.pixelDepth() < 24 && c.img.pixelDepth() > 8) {
            EXPECT_EQ(std::tuple(netpbm.width, netpbm.height), std::tuple(9, 3));
            continue;
        }
        expectSamePicture(c.img, netpbm, "tgatoppm");
        expectSamePicture(c.img, imageMagickPixels(file), "ImageMagick");
    }
}

// ---- files ImageMagick writes

namespace {

// The grey levels of the rows of a 7 x 5 "gradient:" image, whatever their order.
void expectGradientRows(const KImageMapTga& img) {
    std::vector<uint32_t> levels;
    for (int y = 0; y < img.height(); ++y) {
        const uint32_t level = img.displayColor(0, y) & 0xFF;
        for (int x = 0; x < img.width(); ++x) {
            ASSERT_EQ(img.displayColor(x, y), level * 0x010101u) << x << "," << y;
        }
        levels.push_back(level);
    }
    std::sort(levels.begin(), levels.end());
    EXPECT_EQ(levels, (std::vector<uint32_t>{0, 64, 128, 191, 255}));
}

} // namespace

TEST_F(TgaClientTest, ImageMagickFilesLoadWithTheRightPixels) {
    struct Case {
        const char* args;
        int type, depth, option;
    };
    const Case cases[] = {
        {"gradient: -type TrueColor", 2, 24, KImageMap::OptionRgb},
        {"gradient: -type Grayscale", 3, 8, KImageMap::OptionGray8},
        // ImageMagick stores a grey picture as true colour even when asked for a palette.
        {"gradient: -type Palette", 2, 24, KImageMap::OptionRgb},
        {"gradient:red-blue -type Palette", 1, 8, KImageMap::OptionGray8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const fs::path file = dir / "von-magick.tga";
        ASSERT_EQ(run(kShellQuote(convert) + " -size 7x5 " + c.args + " " + kShellQuote(file)), 0);
        if (c.depth >= 24) {
            ui.answerPixelDepth(KImageMap::OptionRgb);
        }
        KImageMapTga img(file.string());
        ASSERT_EQ(img.loadStatus, 0);
        EXPECT_EQ(std::tuple(img.imageType(), img.pixelDepth(), img.pixelDepthOption, img.width(),
                             img.height()),
                  std::tuple(c.type, c.depth, c.option, 7, 5));
        expectSamePicture(img, netpbmPixels(file), "tgatoppm");
        expectSamePicture(img, imageMagickPixels(file), "ImageMagick");
        if (c.type != 1) {
            expectGradientRows(img);
            // The ends of the gradient are the extreme heights.
            const int32_t bottom = img.sample(0.5, 0), top = img.sample(0.5, 1);
            EXPECT_EQ(std::min(bottom, top), 0);
            EXPECT_EQ(std::max(bottom, top), c.depth == 8 ? 255 * 256 : 65535);
        } else {
            // Red to blue through the colour map: the rows run from pure red to pure blue.
            std::vector<uint32_t> ends{img.displayColor(3, 0), img.displayColor(3, 4)};
            std::sort(ends.begin(), ends.end());
            EXPECT_EQ(ends, (std::vector<uint32_t>{0x0000FF, 0xFF0000}));
            EXPECT_GT(img.colorMapLength(), 1);
        }
    }
    EXPECT_EQ(ui.unansweredQuestions, 0);
}
