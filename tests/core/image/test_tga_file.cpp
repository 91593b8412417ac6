// TGA files: every type and depth through save and load, colour maps, origins, the pixel
// depth question after a load, and files that are short, lie or are not supported.

#include <gtest/gtest.h>

#include <tuple>

#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"
#include "tga_test_support.h"

using namespace tgatest;

namespace {

class TgaFileTest : public testing::Test {
protected:
    // Writes the file and loads it; the pixel depth question (asked for colour images)
    // is answered with its preset.
    std::unique_ptr<KImageMapTga> load(const TgaFile& f, const std::string& name = "in.tga") {
        return loadBytes(f.bytes(), name);
    }
    std::unique_ptr<KImageMapTga> loadBytes(const std::vector<uint8_t>& bytes,
                                            const std::string& name = "in.tga") {
        writeBytes(dir / name, bytes);
        return std::make_unique<KImageMapTga>((dir / name).string());
    }

    KScriptedUi ui;
    KUiScope scope{ui};
    ScratchDir dir{"tga"};
};

TgaFile plainFile(int type, int depth, int width, int height) {
    TgaFile f;
    f.type = type;
    f.depth = depth;
    f.width = width;
    f.height = height;
    f.pixels = patternBytes(size_t(width * height * bytesPerPixel(depth)));
    return f;
}

// A 24-bit colour map of count entries starting at first, entry i = (i, 2i, 3i) as B, G, R.
void addColorMap(TgaFile& f, int first, int count) {
    f.colorMapType = 1;
    f.colorMapFirst = first;
    f.colorMapLength = count;
    f.colorMapBits = 24;
    f.colorMap.clear();
    for (int i = first; i < first + count; ++i) {
        for (int k = 1; k <= 3; ++k) {
            f.colorMap.push_back(uint8_t(i * k));
        }
    }
}

// Rows of a top-first pixel block in the opposite order.
std::vector<uint8_t> reversedRows(const std::vector<uint8_t>& px, int width, int height, int bpp) {
    std::vector<uint8_t> out;
    const size_t row = size_t(width * bpp);
    for (int r = height - 1; r >= 0; --r) {
        out.insert(out.end(), px.begin() + long(r * row), px.begin() + long((r + 1) * row));
    }
    return out;
}

} // namespace

// ---- round trips

// Saved files have no ID and no origins; everything else is saved as it was read.
TEST_F(TgaFileTest, EveryTypeAndDepthLoadsAndSavesTheSameBytes) {
    for (int type : {1, 2, 3}) {
        for (int depth : {8, 15, 16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << depth << " bits");
            TgaFile f = plainFile(type, depth, 7, 5);
            if (type == 1) {
                addColorMap(f, 0, 256);
            }
            std::tie(f.id, f.xOrigin, f.yOrigin) = std::tuple("made elsewhere", 40, 9);
            auto img = load(f);
            ASSERT_EQ(img->loadStatus, 0);
            EXPECT_EQ(std::tuple(img->width(), img->height(), img->pixelDepth(), img->imageType(),
                                 img->imageId(), img->xOrigin(), img->yOrigin()),
                      std::tuple(7, 5, depth, type, "made elsewhere", 40, 9));
            EXPECT_EQ(img->pixels(), f.pixels);
            ASSERT_EQ(img->save((dir / "out.tga").string()), 0);
            std::tie(f.id, f.xOrigin, f.yOrigin) = std::tuple("", 0, 0);
            EXPECT_EQ(readBytes(dir / "out.tga"), f.bytes());
            EXPECT_EQ(std::tuple(img->imageId(), img->xOrigin()), std::tuple("", 0));
            KImageMapTga back((dir / "out.tga").string());
            ASSERT_EQ(back.loadStatus, 0);
            EXPECT_EQ(back.pixels(), f.pixels);
        }
    }
}

// ---- colour maps

TEST_F(TgaFileTest, ColourMappedPixelsShowTheirEntries) {
    TgaFile f = plainFile(1, 8, 4, 1);
    addColorMap(f, 2, 3); // entries 2, 3 and 4
    f.pixels = {2, 4, 1, 200};
    auto img = load(f);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(std::tuple(img->pixelDepthOption, img->colorMapFirst(), img->colorMapLength()),
              std::tuple(0, 2, 3));
    // Entry 2 is blue 2, green 4, red 6; pixel 1 is below the first entry, 200 beyond the map.
    EXPECT_EQ(std::vector({img->displayColor(0, 0), img->displayColor(1, 0),
                           img->displayColor(2, 0), img->displayColor(3, 0)}),
              (std::vector<uint32_t>{0x020406, 0x04080C, 0, 0}));
    EXPECT_EQ(img->pixelValue(1, 0), 4 * 256);
    ASSERT_EQ(img->save((dir / "out.tga").string()), 0);
    EXPECT_EQ(readBytes(dir / "out.tga"), f.bytes());
}

TEST_F(TgaFileTest, SixteenAndThirtyTwoBitColourMapEntries) {
    TgaFile f = plainFile(1, 8, 2, 1);
    f.colorMapType = 1;
    f.colorMapLength = 2;
    f.colorMapBits = 16;
    f.colorMap = {0x1F, 0x7C, 0xE0, 0x03}; // 0x7C1F: red and blue full; 0x03E0: green full
    f.pixels = {0, 1};
    auto img = load(f);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(std::tuple(img->displayColor(0, 0), img->displayColor(1, 0)),
              std::tuple(0xFF00FFu, 0x00FF00u));

    f.colorMapBits = 32;
    f.colorMap = {10, 20, 30, 255, 40, 50, 60, 255};
    img = load(f);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(img->displayColor(1, 0), 0x28323Cu);
    ASSERT_EQ(img->save((dir / "out.tga").string()), 0);
    EXPECT_EQ(readBytes(dir / "out.tga"), f.bytes());
}

// ---- origins

TEST_F(TgaFileTest, TopLeftOriginIsHeldBottomRowFirstAndSavedBottomLeft) {
    TgaFile f = plainFile(2, 24, 3, 4);
    f.descriptor = 32;
    ui.answerPixelDepth(KImageMap::OptionRgb); // display colour = the pixel's colour
    auto img = load(f);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(img->descriptor(), 0);
    EXPECT_EQ(img->pixels(), reversedRows(f.pixels, 3, 4, 3));
    ASSERT_EQ(img->save((dir / "out.tga").string()), 0);
    TgaFile expected = f;
    expected.descriptor = 0;
    expected.pixels = reversedRows(f.pixels, 3, 4, 3);
    EXPECT_EQ(readBytes(dir / "out.tga"), expected.bytes());
}

TEST_F(TgaFileTest, RightToLeftFilesAreMirroredAndAlphaBitsKept) {
    TgaFile f = plainFile(2, 32, 3, 2);
    f.descriptor = 16 | 32 | 8;
    ui.answerPixelDepth(KImageMap::OptionRgb);
    auto img = load(f);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(img->descriptor(), 8);
    // File pixel (column c, stored row r) lands at image (2 - c, 1 - r).
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            const uint8_t* p = f.pixels.data() + (r * 3 + c) * 4;
            EXPECT_EQ(img->displayColor(2 - c, 1 - r), uint32_t(p[2] | p[1] << 8 | p[0] << 16));
        }
    }
    TgaFile mirrored = plainFile(3, 16, 3, 1);
    mirrored.descriptor = 16;
    img = load(mirrored);
    ASSERT_EQ(img->loadStatus, 0);
    EXPECT_EQ(img->pixelValue(0, 0), mirrored.pixels[4] * 256 + mirrored.pixels[5]);
    EXPECT_EQ(img->pixelValue(2, 0), mirrored.pixels[0] * 256 + mirrored.pixels[1]);
}

// ---- the pixel depth question after a load

TEST_F(TgaFileTest, OnlyColourImagesAskForThePixelDepthOption) {
    // Grey and 16-bit images take their only option without being asked (no answer queued:
    // -2); Cancel (-1) gives option 4.
    std::unique_ptr<KImageMapTga> img;
    for (auto [type, depth, answer, option] :
         {std::tuple{3, 8, -2, 0}, {2, 16, -2, 3}, {2, 24, 6, 6}, {2, 32, -1, 4}}) {
        if (answer != -2) {
            ui.answerPixelDepth(answer);
        }
        img = load(plainFile(type, depth, 2, 2));
        EXPECT_EQ(img->pixelDepthOption, option) << depth;
        EXPECT_EQ(ui.questions().size(), depth < 24 ? 0u : size_t(depth / 8 - 2)) << depth;
    }
    ASSERT_EQ(ui.pixelDepthQuestions.size(), 2u);
    EXPECT_EQ(ui.pixelDepthQuestions[1].preset, 4);

    // A reload starts from option 4 again.
    img->pixelDepthOption = 7;
    ui.answerPixelDepth(-1);
    EXPECT_EQ(img->load(), 0);
    EXPECT_EQ(img->pixelDepthOption, 4);
    // 15 bits asks without a restriction beyond the unusable choices.
    img = load(plainFile(2, 15, 2, 2));
    EXPECT_EQ(ui.pixelDepthQuestions.back().enabled, KImageMap::enabledPixelDepthChoices(0));
}

// ---- files that fail

TEST_F(TgaFileTest, RunLengthFilesAreReportedAndRefused) {
    for (int type : {9, 10, 11}) {
        auto img = load(plainFile(type, 24, 2, 2));
        EXPECT_EQ(std::tuple(img->loadStatus, img->hasPixels(), img->width()),
                  std::tuple(3, false, 0));
    }
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>(3, "RLE compressed image! Not currently implemented!"));
}

TEST_F(TgaFileTest, MalformedHeadersFailWithStatusThree) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    auto add = [&](const std::string& what, auto change) {
        TgaFile f = plainFile(2, 24, 4, 3);
        change(f);
        cases.emplace_back(what, f.bytes());
    };
    // Type 0 has no image data, 4 is unknown.
    for (int type : {0, 4, 33, 255}) {
        add("type " + std::to_string(type), [type](TgaFile& f) { f.type = type; });
    }
    for (int depth : {0, 1, 12, 48, 255}) {
        add("depth " + std::to_string(depth), [depth](TgaFile& f) { f.depth = depth; });
    }
    add("zero width", [](TgaFile& f) { f.width = 0; });
    add("zero height", [](TgaFile& f) { f.height = 0; });
    add("absurd size", [](TgaFile& f) { f.width = f.height = 65535; });
    add("more rows than data", [](TgaFile& f) { f.height = 4; });
    add("colour map overruns the file", [](TgaFile& f) {
        addColorMap(f, 0, 256);
        f.colorMapLength = 65535;
        f.pixels.clear();
    });
    add("colour map entry size 8", [](TgaFile& f) {
        addColorMap(f, 0, 4);
        f.colorMapBits = 8;
        f.colorMap.resize(4);
    });
    add("colour map entry size 0", [](TgaFile& f) {
        addColorMap(f, 0, 4);
        f.colorMapBits = 0;
        f.colorMap.clear();
    });
    add("id longer than the file", [](TgaFile& f) {
        f.pixels.clear();
        f.id = "x";
    });
    cases.back().second[0] = 200; // claims 200 bytes of ID; one is there
    for (const auto& [what, bytes] : cases) {
        auto img = loadBytes(bytes);
        EXPECT_EQ(std::tuple(img->loadStatus, img->hasPixels(), img->width(), img->height(),
                             img->imageType(), img->pixelValue(0, 0)),
                  std::tuple(3, false, 0, 0, 0, 0))
            << what;
        EXPECT_EQ(img->save((dir / "never.tga").string()), 3) << what;
    }
    EXPECT_FALSE(fs::exists(dir / "never.tga"));
    EXPECT_TRUE(ui.events.empty());
}

TEST_F(TgaFileTest, EveryTruncationOfAValidFileFailsCleanly) {
    TgaFile withMap = plainFile(1, 8, 5, 3);
    withMap.id = "id!";
    addColorMap(withMap, 1, 6);
    TgaFile wide = plainFile(2, 32, 4, 3);
    wide.descriptor = 32 | 8;
    TgaFile grey16 = plainFile(3, 16, 3, 3);
    for (const TgaFile& f : {withMap, wide, grey16}) {
        const std::vector<uint8_t> bytes = f.bytes();
        for (size_t n = 0; n < bytes.size(); ++n) {
            auto img = loadBytes({bytes.begin(), bytes.begin() + long(n)});
            ASSERT_EQ(std::tuple(img->loadStatus, img->hasPixels(), img->width()),
                      std::tuple(3, false, 0))
                << n << " of " << bytes.size() << " bytes";
        }
        ui.answerPixelDepth(-1);
        auto whole = loadBytes(bytes);
        EXPECT_EQ(whole->loadStatus, 0);
        // Bytes after the image (a footer) are ignored.
        std::vector<uint8_t> longer = bytes;
        longer.insert(longer.end(), 26, 'F');
        ui.answerPixelDepth(-1);
        EXPECT_EQ(loadBytes(longer)->loadStatus, 0);
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(TgaFileTest, MissingFilesAndFoldersFailAndAFailedReloadEmptiesTheImage) {
    KImageMapTga missing((dir / "nowhere.tga").string());
    EXPECT_EQ(std::tuple(missing.loadStatus, missing.name),
              std::tuple(3, (dir / "nowhere.tga").string()));
    EXPECT_EQ(KImageMapTga(dir.path().string()).loadStatus, 3); // a folder
    EXPECT_EQ(KImageMapTga().load(), 3);                        // no file name

    auto img = load(plainFile(1, 8, 3, 3), "a.tga");
    ASSERT_EQ(img->loadStatus, 0);
    writeBytes(dir / "a.tga", {1, 2, 3});
    EXPECT_EQ(img->load(), 3);
    EXPECT_EQ(
        std::tuple(img->hasPixels(), img->colorMap().empty(), img->width(), img->pixelDepthOption),
        std::tuple(false, true, 0, 4));
}

// ---- saving

TEST_F(TgaFileTest, SaveRefusesImagesWithoutPixelsAndKeepsTheOldFile) {
    const fs::path target = dir / "kept.tga";
    writeBytes(target, {'o', 'l', 'd'});
    KImageMapTga empty;
    EXPECT_EQ(empty.save(target.string()), 3);
    EXPECT_EQ(readBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    KImageMapTga released;
    released.resize(4, 4);
    released.releasePixels();
    EXPECT_EQ(released.save(target.string()), 3);
    EXPECT_EQ(dir.entryCount(), 1u); // no temporary file left behind

    KImageMapTga img;
    img.resize(2, 2);
    EXPECT_EQ(img.save((dir / "no-such-folder" / "x.tga").string()), 2);
    EXPECT_EQ(img.save(dir.path().string()), 2); // a folder cannot be replaced by a file
    ASSERT_EQ(img.save(target.string()), 0);
    EXPECT_EQ(readBytes(target).size(), 18u + 4u);
    EXPECT_EQ(dir.entryCount(), 1u);
}
