// Damaged and hostile document files: every failure is an error text and no document;
// values that would make an absurd grid are brought back into range.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/document/document_test_support.h"
#include "platform/KScriptedUi.h"

using namespace doctest;

namespace {

bool fails(std::vector<uint8_t> bytes, std::string* error = nullptr) {
    std::string text;
    auto doc = kLoadDocumentBytes(std::move(bytes), "broken.qrz", &text);
    if (error) {
        *error = text;
    }
    return !doc && !text.empty();
}

// Offset of the layer list's count in a saved document: the body part read back from
// the bytes tells where it ends.
size_t layerListOffset(const std::vector<uint8_t>& bytes) {
    KArchive ar(bytes);
    ar.seek(8 + 4 * 18); // magic, version, the preview block
    ar.readString();
    ar.readString();
    ar.seek(ar.position() + 7 * 8 + 9 * 4);
    ar.setObjectSchema(10);
    KBdlBodyPart part;
    part.serialize(ar);
    return ar.position();
}

void putInt32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
    }
}

} // namespace

TEST(DocumentMalformed, EveryTruncationFailsCleanly) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = smallDocument();
    doc->layers[0]->muscles.push_back(std::make_unique<KBdlMuscle>(KBdlMuscle::Orbital));
    doc->setPreviewLayerSelection({0, 1}, 2, 1);
    const std::vector<uint8_t> full = bytesOf(*doc);
    ASSERT_TRUE(loadOk(full));
    for (size_t n = 0; n < full.size(); ++n) {
        std::string error;
        ASSERT_TRUE(fails({full.begin(), full.begin() + std::ptrdiff_t(n)}, &error))
            << "prefix of " << n << " bytes loaded";
        ASSERT_NE(error.find("broken.qrz"), std::string::npos);
    }
    // Trailing bytes after a complete document are ignored.
    std::vector<uint8_t> longer = full;
    longer.insert(longer.end(), {1, 2, 3});
    EXPECT_TRUE(loadOk(longer));
}

TEST(DocumentMalformed, UnknownClassAndBadReferencesFail) {
    auto doc = smallDocument();
    doc->layers.resize(1);
    const std::vector<uint8_t> good = bytesOf(*doc);
    const size_t at = layerListOffset(good);
    ASSERT_EQ(good[at], 1); // one layer
    ASSERT_EQ(good[at + 2], 0xFF);
    ASSERT_EQ(good[at + 3], 0xFF); // introduced with its class

    // The class name changed to one nobody knows.
    std::vector<uint8_t> unknown = good;
    const size_t name = at + 2 + 2 + 2 + 2;
    ASSERT_EQ(unknown[name], 'K');
    unknown[name + 1] = 'X';
    std::string error;
    EXPECT_TRUE(fails(unknown, &error));
    EXPECT_NE(error.find("KXdlLayer"), std::string::npos) << error;

    // A list of two layers where the second refers back to the first: the layer's object
    // index is 2 (its class is 1), and a back reference is the bare index, stored before
    // the df3 options and the selection.
    std::vector<uint8_t> bytes = good;
    bytes[at] = 2;
    const size_t afterLayer = bytes.size() - (4 * 7 + 4 * 3);
    bytes.insert(bytes.begin() + std::ptrdiff_t(afterLayer), {2, 0});
    EXPECT_TRUE(fails(bytes, &error));
    EXPECT_NE(error.find("stored twice"), std::string::npos) << error;

    // A reference to an index that was never handed out.
    bytes[afterLayer] = 9;
    EXPECT_TRUE(fails(bytes, &error));
    EXPECT_EQ(error.find("stored twice"), std::string::npos) << error;

    // A class that is not a layer in the layer list.
    KArchive wrong;
    KFeoPMedia media;
    wrong.writeObject(&media);
    std::vector<uint8_t> notLayer(good.begin(), good.begin() + std::ptrdiff_t(at));
    notLayer.push_back(1);
    notLayer.push_back(0);
    notLayer.insert(notLayer.end(), wrong.bytes().begin(), wrong.bytes().end());
    notLayer.insert(notLayer.end(), good.end() - (4 * 7 + 4 * 3), good.end());
    EXPECT_TRUE(fails(notLayer, &error));
    EXPECT_NE(error.find("KFeoPMedia"), std::string::npos) << error;
}

TEST(DocumentMalformed, HugeCountsFailBeforeAllocating) {
    auto doc = smallDocument();
    doc->layers.clear();
    const std::vector<uint8_t> good = bytesOf(*doc);
    const size_t at = layerListOffset(good);

    // A layer count of 0xFFFF + 32-bit 0x7FFFFFFF.
    std::vector<uint8_t> layers(good.begin(), good.begin() + std::ptrdiff_t(at));
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}) {
        layers.push_back(b);
    }
    layers.insert(layers.end(), good.begin() + std::ptrdiff_t(at) + 2, good.end());
    EXPECT_TRUE(fails(layers));

    // A preview selection count far beyond the bytes left.
    std::vector<uint8_t> selection = good;
    putInt32(selection, selection.size() - 4, 0x7FFFFFFF);
    std::string error;
    EXPECT_TRUE(fails(selection, &error));
    EXPECT_NE(error.find("preview layer"), std::string::npos) << error;
}

TEST(DocumentMalformed, OutOfRangeResolutionsAndClipRangesGiveAUsableGrid) {
    struct Case {
        int32_t u, v;
        double uFrom, uTo, vFrom, vTo;
        int32_t nu, nv;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c : {
             Case{0, -7, 0, 1, 0, 1, 2, 2},                  // resolutions up to 1
             Case{100000, 2000000000, 0, 1, 0, 1, 513, 513}, // down to 512
             Case{10, 10, nan, 1, 0, nan, 11, 11},           // NaN: the whole square
             Case{10, 10, 0.8, 0.2, 0, inf, 11, 11},         // inverted, infinite
             Case{10, 10, -1e308, 1e308, -5, 0.5, 11, 7},    // pulled onto the square
         }) {
        SCOPED_TRACE(std::to_string(c.u) + " x " + std::to_string(c.v) + ", U to " +
                     std::to_string(c.nu));
        auto doc = smallDocument();
        doc->uResolution = c.u;
        doc->vResolution = c.v;
        doc->clip = {c.uFrom, c.uTo, c.vFrom, c.vTo};
        auto back = loadOk(bytesOf(*doc));
        ASSERT_TRUE(back);
        EXPECT_GE(back->uResolution, 1);
        EXPECT_LE(back->uResolution, CPexaDoc::kMaxResolution);
        ASSERT_TRUE(back->meshGrid);
        EXPECT_EQ(back->meshGrid->uCount(), c.nu);
        EXPECT_EQ(back->meshGrid->vCount(), c.nv);
        EXPECT_TRUE(back->computeMesh());
        // Every sampled point is a number.
        for (const KVertex& p : back->meshGrid->objectPoints()) {
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        }
    }
}
