// Snapshots of a document's state as undo and redo use them: every kind of change comes
// back bit for bit, images follow what is in memory (not their files) and are shared
// while unchanged, the preview settings stay, and the views hear the replacement.

#include <gtest/gtest.h>

#include <functional>

#include "document/KDocumentSnapshot.h"
#include "document_test_support.h"
#include "image/KImageMapTga.h"
#include "model/KBdlMuscle.h"
#include "platform/KDocumentBase.h"
#include "platform/KScriptedUi.h"

using namespace doctest;

namespace {

// A document with two muscles and an image on its first layer.
std::unique_ptr<CPexaDoc> modelDocument() {
    auto doc = smallDocument();
    for (int type : {int(KBdlMuscle::Linear), int(KBdlMuscle::Point)}) {
        auto m = std::make_unique<KBdlMuscle>(type);
        m->setFromRect(0.2, 0.3, 0.6, 0.7);
        doc->addMuscleToLayer(doc->layerAt(1), m);
    }
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(8, KImageMap::OptionGray8);
    image->resize(4, 2);
    for (int x = 0; x < 4; ++x) {
        image->setHeight(x, 0, x / 4.0);
    }
    image->name = "skin.tga";
    std::unique_ptr<KImageMap> map = std::move(image);
    doc->layerAt(0)->setImageMap(map);
    doc->setModified(false);
    return doc;
}

const KImageMapTga& imageOf(const CPexaDoc& doc, int layer) {
    return dynamic_cast<const KImageMapTga&>(*doc.layerAt(layer)->getImageMap());
}

struct Change {
    const char* name;
    std::function<void(CPexaDoc&)> apply;
};

const Change kChanges[] = {
    {"move a muscle", [](CPexaDoc& d) { d.muscleAt(1, 0)->offsetU += 0.125f; }},
    {"delete a muscle", [](CPexaDoc& d) { d.removeMuscle(d.muscleAt(1, 1)); }},
    {"add a muscle",
     [](CPexaDoc& d) {
         auto m = std::make_unique<KBdlMuscle>(KBdlMuscle::Orbital);
         d.addMuscleToLayer(d.layerAt(2), m);
     }},
    {"edit a muscle curve", [](CPexaDoc& d) { d.muscleAt(1, 0)->center.parse("< 0, 0.9 >"); }},
    {"layer properties",
     [](CPexaDoc& d) {
         d.layerAt(2)->name = "Skin";
         d.layerAt(2)->scale = 0.5;
     }},
    {"define layers", [](CPexaDoc& d) { d.layers.erase(d.layers.begin() + 2); }},
    {"anatomy",
     [](CPexaDoc& d) {
         d.bodyPart.lengths.parse("< 0.2, 0.5, 0.2 >, < 0.1, 0.5, 0.1 >");
         d.bodyPart.bendsOn = 1;
         d.bodyPart.ensureJoints();
     }},
    {"mesh properties",
     [](CPexaDoc& d) {
         d.uResolution = 7;
         d.meshOption = 1;
         d.rebuildGrid();
     }},
    {"flip an image",
     [](CPexaDoc& d) {
         d.layerAt(0)->getImageMap()->flipHorizontal();
         d.layerAt(0)->getImageMap()->changedSinceLoad = true;
     }},
    {"release an image", [](CPexaDoc& d) { d.layerAt(0)->releaseImageMap(); }},
};

// Records the hints the views are sent.
struct HintLog : KViewObserver {
    std::vector<int> hints;
    void onUpdate(int hint, KPersistent*) override { hints.push_back(hint); }
};

} // namespace

TEST(DocumentSnapshot, EveryChangeIsUndoneAndRedoneBitForBit) {
    for (const Change& c : kChanges) {
        SCOPED_TRACE(c.name);
        auto doc = modelDocument();
        const std::vector<uint8_t> beforeBytes = bytesOf(*doc);
        const std::vector<uint8_t> beforePixels = imageOf(*doc, 0).pixels();
        const int32_t beforeOption = doc->meshOption;
        auto before = KDocumentSnapshot::take(*doc, nullptr);

        c.apply(*doc);
        auto after = KDocumentSnapshot::take(*doc, before.get());
        ASSERT_FALSE(after->sameState(*before));
        const std::vector<uint8_t> afterBytes = bytesOf(*doc);

        ASSERT_TRUE(before->restore(*doc));
        EXPECT_EQ(bytesOf(*doc), beforeBytes);
        EXPECT_EQ(doc->meshOption, beforeOption);
        EXPECT_EQ(imageOf(*doc, 0).pixels(), beforePixels);
        EXPECT_FALSE(imageOf(*doc, 0).changedSinceLoad);
        EXPECT_TRUE(KDocumentSnapshot::take(*doc, nullptr)->sameState(*before));

        ASSERT_TRUE(after->restore(*doc));
        EXPECT_EQ(bytesOf(*doc), afterBytes);
        EXPECT_TRUE(KDocumentSnapshot::take(*doc, nullptr)->sameState(*after));
    }
}

TEST(DocumentSnapshot, UnchangedImagesAreSharedAndChangedOnesKeptApart) {
    auto doc = modelDocument();
    auto first = KDocumentSnapshot::take(*doc, nullptr);
    doc->muscleAt(1, 0)->offsetV = 0.25f;
    auto second = KDocumentSnapshot::take(*doc, first.get());
    EXPECT_EQ(second->images()[0], first->images()[0]);

    doc->layerAt(0)->getImageMap()->flipVertical();
    auto third = KDocumentSnapshot::take(*doc, second.get());
    EXPECT_NE(third->images()[0], second->images()[0]);
    EXPECT_FALSE(third->sameState(*second));

    // The snapshot holds a copy: changing the live image afterwards does not reach it.
    const std::vector<uint8_t> kept =
        dynamic_cast<const KImageMapTga&>(*third->images()[0]).pixels();
    doc->layerAt(0)->getImageMap()->flipHorizontal();
    EXPECT_EQ(dynamic_cast<const KImageMapTga&>(*third->images()[0]).pixels(), kept);
}

TEST(DocumentSnapshot, RestoreKeepsPreviewSettingsAndOpensNoFiles) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = modelDocument();
    // A layer naming an image file that is not there: a restore must not look for it.
    doc->layerAt(2)->missingImageName = "nowhere/missing.tga";
    auto state = KDocumentSnapshot::take(*doc, nullptr);
    const float height = doc->muscleAt(1, 0)->height;
    doc->preview.rotate[1] = 33.0f;
    doc->previewShadingType = 1;
    doc->previewLayers = {0, 2};
    // Preview settings alone are no change of the document.
    EXPECT_TRUE(KDocumentSnapshot::take(*doc, nullptr)->sameState(*state));
    doc->muscleAt(1, 0)->height = 3.0f;

    ASSERT_TRUE(state->restore(*doc));
    EXPECT_EQ(doc->muscleAt(1, 0)->height, height);
    EXPECT_EQ(doc->preview.rotate[1], 33.0f);
    EXPECT_EQ(doc->previewShadingType, 1);
    EXPECT_EQ(doc->previewLayers, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(doc->layerAt(2)->missingImageName, "nowhere/missing.tga");
    EXPECT_EQ(doc->layerAt(0)->getImageMap()->name, "skin.tga");
    EXPECT_TRUE(ui.messages().empty());
}

TEST(DocumentSnapshot, ViewsHearTheReplacementBeforeAndAfter) {
    auto doc = modelDocument();
    auto state = KDocumentSnapshot::take(*doc, nullptr);
    HintLog log;
    doc->addObserver(&log);
    KBdlMuscle* old = doc->muscleAt(1, 0);
    old->offsetU = 0.5f;
    ASSERT_TRUE(state->restore(*doc));
    doc->removeObserver(&log);
    EXPECT_EQ(log.hints, (std::vector<int>{CPexaDoc::HintReplacing, CPexaDoc::HintReplaced,
                                           CPexaDoc::HintAll}));
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->muscleAt(1, 0)->offsetU, 0.0f);
}
