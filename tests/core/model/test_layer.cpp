// Layers: how muscles and an image combine, image ownership, and storage by schema.

#include <gtest/gtest.h>

#include <tuple>

#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "model/KModelClasses.h"
#include "platform/KScriptedUi.h"
#include "support/KArchiveWrite.h"

namespace {

std::unique_ptr<KBdlMuscle> pointMuscle(float height, float u = 0.5f) {
    auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Point);
    m->height = height;
    m->offsetU = u - 0.5f;
    return m;
}

// A one-pixel 8-bit grey image whose every sample is value (0..255 → 0..65535).
std::unique_ptr<KImageMap> flatImage(int grey, const std::string& name = "flat.tga") {
    auto img = std::make_unique<KImageMapTga>();
    img->setFormat(8, KImageMap::OptionGray8);
    img->resize(2, 2);
    for (int k = 0; k < 4; ++k) {
        img->setHeight(k % 2, k / 2, grey / 255.0);
    }
    img->name = name;
    return img;
}

} // namespace

TEST(Layer, HighestBumpAndDeepestDentWin) {
    KBdlLayer layer;
    layer.muscles.push_back(pointMuscle(0.25f));
    layer.muscles.push_back(pointMuscle(0.25f)); // overlaps exactly
    EXPECT_DOUBLE_EQ(layer.displacement(0.5, 0.5), 0.25);
    layer.muscles.push_back(pointMuscle(-0.1f));
    EXPECT_NEAR(layer.displacement(0.5, 0.5), 0.15, 1e-7);
    layer.scale = 2.0;
    EXPECT_NEAR(layer.displacement(0.5, 0.5), 0.3, 1e-6);
    layer.prepare(); // the prepared path gives the same values
    EXPECT_EQ(layer.displacementPrepared(0.5, 0.5), layer.displacement(0.5, 0.5));
    layer.active = 0;
    EXPECT_EQ(layer.displacement(0.5, 0.5), 0.0);
}

TEST(Layer, ImageTermScalesWithImageAndLayer) {
    KBdlLayer layer;
    std::unique_ptr<KImageMap> img = flatImage(255);
    const double sample = 255 * 256; // 8-bit grey 255 gives 255·256
    ASSERT_EQ(layer.setImageMap(img), 0);
    EXPECT_FALSE(img);
    layer.scale = 2.0;
    EXPECT_DOUBLE_EQ(layer.displacement(0.3, 0.3), 2.0 * sample / 65535.0);
    layer.imageScale = 0.5f;
    EXPECT_DOUBLE_EQ(layer.displacement(0.3, 0.3), sample / 65535.0);
    layer.backgroundOnly = 1;
    EXPECT_EQ(std::tuple(layer.isBackgroundImage(), layer.displacement(0.3, 0.3)),
              std::tuple(1, 0.0));
    layer.releaseImageMap();
    EXPECT_EQ(std::tuple(layer.getImageMap(), layer.isBackgroundImage()), std::tuple(nullptr, 0));
}

TEST(Layer, ReplacingAnImageAsksFirst) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KBdlLayer layer;
    std::unique_ptr<KImageMap> first = flatImage(10, "first.tga");
    layer.setImageMap(first);
    std::unique_ptr<KImageMap> second = flatImage(20, "second.tga");
    ui.answer(false);
    EXPECT_EQ(layer.setImageMap(second), 1);
    EXPECT_TRUE(second); // still the caller's
    EXPECT_EQ(layer.getImageMap()->name, "first.tga");
    ui.answer(true);
    EXPECT_EQ((std::tuple{layer.setImageMap(second), layer.getImageMap()->name}),
              std::tuple(0, "second.tga"));
    EXPECT_EQ(ui.questions(), std::vector<std::string>(2, KBdlLayer::kReplaceImageQuestion));
}

TEST(LayerStorage, RoundTripWithMusclesAndNoImageAndEveryTruncation) {
    KRegisterModelClasses();
    KBdlLayer layer;
    std::tie(layer.name, layer.description, layer.physical, layer.scale) =
        std::tuple("Exterior Muscles", "arms", 0, 1.5);
    std::tie(layer.textureIndex, layer.textureName, layer.imageScale) =
        std::tuple(4, "skin", 0.75f);
    layer.muscles.push_back(pointMuscle(0.3f));
    layer.muscles.push_back(std::make_unique<KBdlMuscle>(KBdlMuscle::Orbital));
    KArchive out;
    out.writeObject(&layer);
    KArchive in(out.bytes());
    auto back = in.readOwned<KBdlLayer>();
    ASSERT_TRUE(back);
    EXPECT_EQ(in.remaining(), 0u);
    // Every field above differs from a new layer's: storing the copy gives the same bytes.
    KArchive again;
    again.writeObject(back.get());
    EXPECT_EQ(again.bytes(), out.bytes());
    EXPECT_EQ(std::tuple(back->getMuscle(2), back->indexOf(back->muscles[1].get())),
              std::tuple(nullptr, 1));
    kExpectEveryPrefixFails(out.bytes(), [](KArchive& a) { a.readOwned<KBdlLayer>(); });
}

TEST(LayerStorage, OlderSchemas) {
    KRegisterModelClasses();
    KBdlMuscle muscle(KBdlMuscle::Point);
    // Schema 1: muscles first, then name, description, physical, active.
    KArchive one;
    kWriteClassHeader(one, "KBdlLayer", 1);
    one.writeCount(1);
    one.writeObject(&muscle);
    kWriteFields(one, "old", "desc", 0, 1);
    KArchive in1(one.bytes());
    auto layer1 = in1.readOwned<KBdlLayer>();
    ASSERT_TRUE(layer1);
    EXPECT_EQ(std::tuple(layer1->name, layer1->physical, layer1->muscles.size(), layer1->scale),
              std::tuple("old", 0, 1u, 1.0));

    // Schema 4: a file name that is ignored, a texture index, no texture name.
    KArchive four;
    kWriteClassHeader(four, "KBdlLayer", 4);
    kWriteFields(four, "four", "", 1, 0, 2.0, 1, 0.5f, "/nowhere/ignored.tga", 7);
    four.writeCount(0);
    KArchive in4(four.bytes());
    KScriptedUi ui;
    KUiScope scope(ui);
    auto layer4 = in4.readOwned<KBdlLayer>();
    ASSERT_TRUE(layer4);
    EXPECT_EQ(std::tuple(layer4->active, layer4->scale, layer4->textureIndex),
              std::tuple(0, 2.0, 7));
    EXPECT_EQ(layer4->getImageMap(), nullptr);
    EXPECT_TRUE(ui.messages().empty());
}
