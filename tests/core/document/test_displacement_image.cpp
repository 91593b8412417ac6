// The displacement image: where it samples, what it sums, and cancelling.

#include <gtest/gtest.h>

#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"

namespace {

// The pixel value setHeight gives for a height, on an image like the built one.
int32_t pixelFor(double height) {
    KImageMapTga probe;
    probe.setFormat(8, KImageMap::OptionGray8);
    probe.resize(1, 1);
    probe.setHeight(0, 0, height);
    return probe.pixelValue(0, 0);
}

class DisplacementImage : public ::testing::Test {
protected:
    KScriptedUi ui;
    KUiScope scope{ui};
    CPexaDoc doc;
    KImageMapTga image;
    KDisplacementImageRequest request;
};

} // namespace

TEST_F(DisplacementImage, SamplesTheWholeSurfaceOrChosenLayers) {
    std::unique_ptr<KBdlMuscle> bump = std::make_unique<KBdlMuscle>(KBdlMuscle::Point);
    doc.addMuscleToLayer(doc.layers[1].get(), bump);

    request.width = 4;
    request.height = 4;
    ASSERT_TRUE(kBuildDisplacementImage(doc, request, image));
    ASSERT_EQ(image.width(), 4);
    EXPECT_EQ(image.pixelDepth(), 8);
    // Column 2, row 2 is (0.5, 0.5): bone surface 0.5 plus the bump 0.25. Column 0 is
    // u = 0, far from the bump.
    EXPECT_EQ(image.pixelValue(2, 2), pixelFor(0.75));
    EXPECT_EQ(image.pixelValue(0, 2), pixelFor(0.5));

    request.layers = {1};
    request.scale = 2.0f;
    ASSERT_TRUE(kBuildDisplacementImage(doc, request, image));
    EXPECT_EQ(image.pixelValue(2, 2), pixelFor(0.5)); // 2 × 0.25, no bone surface
    EXPECT_EQ(image.pixelValue(0, 2), pixelFor(0.0));

    // The sum stops at the first index that names no layer.
    request.layers = {1, 9, 1};
    ASSERT_TRUE(kBuildDisplacementImage(doc, request, image));
    EXPECT_EQ(image.pixelValue(2, 2), pixelFor(0.5));
    EXPECT_EQ(ui.positions.back(), 100);
}

TEST_F(DisplacementImage, CancelKeepsTheRowsBuilt) {
    request.width = 3;
    request.height = 10;
    ui.cancelProgressAt(25); // after half of the rows the bar shows 25
    ui.answer(true);
    EXPECT_FALSE(kBuildDisplacementImage(doc, request, image));
    EXPECT_EQ(ui.questions(), std::vector<std::string>{"Are you sure you want to Cancel?"});
    EXPECT_EQ(ui.positions.back(), 25);
    // The bar reached 25 after row 5; the question came after row 6, the next check.
    EXPECT_EQ(image.pixelValue(1, 6), pixelFor(0.5));
    EXPECT_EQ(image.pixelValue(1, 7), 0);
}

TEST_F(DisplacementImage, HeightsOutsideTheUnitRangeAreClamped) {
    request.width = 4;
    request.height = 4;
    // The whole surface is 0.5 at u = 0 (bone surface only): scaled by 3 it is 1.5 and
    // shows white, scaled by -1 it is -0.5 and shows black; scaled by 1.9 it is just
    // below 1 and keeps its value.
    const struct {
        float scale;
        int32_t expected;
    } cases[] = {{3.0f, pixelFor(1.0)}, {-1.0f, pixelFor(0.0)}, {1.9f, pixelFor(0.95)}};
    for (const auto& c : cases) {
        request.scale = c.scale;
        ASSERT_TRUE(kBuildDisplacementImage(doc, request, image));
        EXPECT_EQ(image.pixelValue(0, 2), c.expected) << "scale " << c.scale;
    }
    // A height above 1 shows white, not the dark grey of its low bits.
    request.scale = 3.0f;
    ASSERT_TRUE(kBuildDisplacementImage(doc, request, image));
    EXPECT_EQ(image.displayColor(0, 2), 0xFFFFFFu);
}
