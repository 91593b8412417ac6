// The document: a new document's content, the recalc policy and its hints, the grid,
// the item meshes, lookups, selections and the muscle and image operations.

#include <gtest/gtest.h>

#include <tuple>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "document/KExportSelectionLock.h"
#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"
#include "support/KTestFiles.h"

namespace {

struct HintRecorder : KViewObserver {
    void onUpdate(int hint, KPersistent* object) override { hints.emplace_back(hint, object); }
    std::vector<std::pair<int, KPersistent*>> hints;
};

std::unique_ptr<KBdlMuscle> muscle(int type) {
    return std::make_unique<KBdlMuscle>(type);
}

} // namespace

TEST(Document, SampleCountsFollowResolutionAndClip) {
    EXPECT_EQ(CPexaDoc::sampleCount(50, 0.0, 1.0), 51);
    EXPECT_EQ(CPexaDoc::sampleCount(50, 0.0, 0.5), 27);
    EXPECT_EQ(CPexaDoc::sampleCount(20, 0.5, 1.0), 11);
    // Values from a hostile file stay within what a grid can hold.
    EXPECT_EQ(CPexaDoc::sampleCount(50, 1.0, 0.0), 1);
    EXPECT_EQ(CPexaDoc::sampleCount(50, std::nan(""), 1.0), 1);
    EXPECT_EQ(CPexaDoc::sampleCount(2000000000, 0.0, 1.0), 513);
}

TEST(Document, CalculateUvOnClippedRanges) {
    CPexaDoc doc;
    doc.clip = {0.0, 0.5, 0.25, 0.75};
    doc.rebuildGrid();
    ASSERT_EQ(doc.meshGrid->uCount(), 27);
    ASSERT_EQ(doc.meshGrid->vCount(), 27);
    EXPECT_EQ(doc.meshStale, 1);
    EXPECT_EQ(doc.calculateUV(), 0);
    EXPECT_EQ(doc.meshStale, 0);
    const auto p = doc.meshGrid->objectPoints();
    EXPECT_EQ(p[0], KVertex(0.0, 0.5, 0.25));
    EXPECT_EQ(p[doc.meshGrid->index(26, 26)], KVertex(0.5, 0.5, 0.75));
    EXPECT_TRUE(doc.computeMesh());
    EXPECT_TRUE(doc.meshGrid->hasPositions());

    KScriptedUi ui;
    KUiScope scope(ui);
    doc.meshGrid.reset();
    EXPECT_EQ(doc.calculateUV(), 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"There is no existing mesh to calculate!"});
}

// Auto sends the hint, then everything; Manual sends only the hint and recalculates on
// demand; On Activate sends the hint; an unknown mode tells nobody.
TEST(DocumentHints, EachRecalcModeSendsWhatItShould) {
    using Hints = std::vector<std::pair<int, KPersistent*>>;
    CPexaDoc doc;
    HintRecorder view;
    doc.addObserver(&view);
    doc.documentChanged();
    KBdlLayer* layer = doc.layers[1].get();
    doc.itemChanged(CPexaDoc::HintLayer, layer);
    EXPECT_EQ(view.hints, (Hints{{0, nullptr}, {2, layer}, {0, nullptr}}));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.meshStale, 1);

    doc.recalcMode = CPexaDoc::RecalcManual;
    doc.calculateUV();
    view.hints.clear();
    std::unique_ptr<KBdlMuscle> m = muscle(KBdlMuscle::Linear);
    KBdlMuscle* raw = m.get();
    doc.addMuscleToLayer(nullptr, m);
    doc.documentChanged(); // nothing is sent in Manual mode
    EXPECT_TRUE(view.hints.empty());
    doc.itemChanged(CPexaDoc::HintMuscle, raw);
    EXPECT_EQ(doc.meshStale, 1);
    EXPECT_EQ(view.hints, (Hints{{3, raw}}));
    doc.recalcNow();
    EXPECT_EQ(view.hints, (Hints{{3, raw}, {0, nullptr}}));
    EXPECT_EQ(doc.recalcMode, CPexaDoc::RecalcManual);

    doc.recalcMode = CPexaDoc::RecalcOnActivate;
    doc.itemChanged(CPexaDoc::HintLayer, layer);
    EXPECT_EQ(view.hints.size(), 3u);
    doc.recalcMode = 7;
    doc.itemChanged(CPexaDoc::HintLayer, layer);
    EXPECT_EQ(view.hints.size(), 3u);
}

TEST(DocumentItems, BuiltLazilyUpdatedInPlaceAndDiscardedOnStructure) {
    CPexaDoc doc;
    std::unique_ptr<KBdlMuscle> a = muscle(KBdlMuscle::Linear);
    std::unique_ptr<KBdlMuscle> b = muscle(KBdlMuscle::Point);
    KBdlMuscle* first = a.get();
    doc.addMuscleToLayer(doc.layers[0].get(), a);
    doc.addMuscleToLayer(doc.layers[1].get(), b);
    EXPECT_TRUE(doc.itemMeshes.empty());
    KItemMeshList& items = doc.ensureItemMeshes(true);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0]->hasPositions());
    EXPECT_TRUE(items[0]->hasNormals());
    const KMeshGrid* kept = items[0].get();

    first->resolutionU = 9;
    doc.itemChanged(CPexaDoc::HintMuscle, first);
    ASSERT_EQ(doc.itemMeshes.size(), 2u);
    EXPECT_EQ(doc.itemMeshes[0].get(), kept); // updated in place
    EXPECT_EQ(doc.itemMeshes[0]->uCount(), 10);
    EXPECT_EQ(doc.itemMeshes[0]->getFlags() & KMeshGrid::RecomputePositions, 0u);

    doc.itemChanged(CPexaDoc::HintLayer, doc.layers[0].get());
    EXPECT_TRUE(doc.itemMeshes.empty());
    doc.ensureItemMeshes();
    EXPECT_EQ(doc.itemMeshes.size(), 2u);
    doc.documentChanged();
    EXPECT_TRUE(doc.itemMeshes.empty());
}

TEST(DocumentLookups, FallbackTextsAndTextureRules) {
    CPexaDoc doc;
    std::unique_ptr<KBdlMuscle> m = muscle(KBdlMuscle::Orbital);
    KBdlMuscle* raw = m.get();
    doc.addMuscleToLayer(doc.layers[2].get(), m);
    EXPECT_EQ(doc.muscleName(2, 1), "(unknown)");
    EXPECT_EQ(doc.muscleName(7, 0), "(bad layer id)");
    EXPECT_EQ(doc.layerMenuLabel(-1), "bad layer id");
    EXPECT_EQ(doc.muscleAt(2, 0), raw);

    // The muscle's own texture, else its layer's, else the document's.
    KBdlLayer* layer = doc.layers[2].get();
    doc.defaultTextureIndex = 4;
    EXPECT_EQ(doc.textureIndexFor(layer, raw), 4);
    layer->textureIndex = 6;
    EXPECT_EQ(doc.textureIndexFor(layer, raw), 6);
    raw->textureIndex = 2;
    EXPECT_EQ(doc.textureIndexFor(layer, raw), 2);
    doc.textures.entries.clear();
    EXPECT_EQ(doc.textureColor(1), 0x00FF00u);

    KGridInfo info;
    doc.scalingU = 2.0;
    doc.fillGridInfo(info);
    EXPECT_EQ(info.uScaling, 2.0f);
    EXPECT_EQ(info.anatomyLength, 1.0f); // "< 0.25, 1, 0.25 >": one bone of length 1
}

TEST(DocumentSelections, ExportFilterAndLock) {
    CPexaDoc doc;
    doc.setExportLayerSelection({1});
    // Skinned: every layer passes whatever is selected.
    EXPECT_TRUE(doc.layerPassesExportFilter(0));
    doc.meshType = CPexaDoc::Layered;
    EXPECT_FALSE(doc.layerPassesExportFilter(0));
    EXPECT_TRUE(doc.layerPassesExportFilter(1));
    {
        // Locks nest: the selection stays locked until the outermost one goes.
        const KExportSelectionLock outer(doc);
        { const KExportSelectionLock inner(doc); }
        doc.setExportLayerSelection({});
        EXPECT_EQ(doc.exportLayerSelection, std::vector<int32_t>{1});
    }
    EXPECT_FALSE(doc.exportSelectionLocked());
    doc.setExportLayerSelection({});
    EXPECT_TRUE(doc.layerPassesExportFilter(0));
    doc.setPreviewLayerSelection({0, 2}, 1, 1);
    EXPECT_EQ(doc.previewLayers, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(doc.previewShadingType, 1);
}

TEST(DocumentMuscles, AddAndRemove) {
    KScriptedUi ui;
    KUiScope scope(ui);
    CPexaDoc doc;
    std::unique_ptr<KBdlMuscle> m = muscle(KBdlMuscle::Point);
    KBdlMuscle* raw = m.get();
    EXPECT_EQ(doc.addMuscleToLayer(nullptr, m), doc.layers[0].get());
    EXPECT_FALSE(m);
    KBdlLayer stranger;
    std::unique_ptr<KBdlMuscle> other = muscle(KBdlMuscle::Linear);
    EXPECT_EQ(doc.addMuscleToLayer(&stranger, other), nullptr);
    EXPECT_TRUE(other); // not taken
    EXPECT_TRUE(doc.removeMuscle(raw));
    EXPECT_FALSE(doc.removeMuscle(other.get()));
    EXPECT_TRUE(doc.layers[0]->muscles.empty());

    KSurfaceHeight::LayerList taken = doc.takeLayers();
    EXPECT_TRUE(doc.layers.empty());
    EXPECT_EQ(doc.addMuscleToLayer(nullptr, other), nullptr);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"You must have at least one layer"});
    taken.pop_back();
    doc.restoreLayers(std::move(taken));
    EXPECT_EQ(doc.layers.size(), 2u);
}

TEST(DocumentLayerMenu, SlotsAndMoreLayers) {
    CPexaDoc doc;
    EXPECT_EQ(doc.layerSlotText(0), "Bone Surfaces");
    EXPECT_EQ(doc.layerSlotText(3), "(unused)");
    EXPECT_TRUE(doc.layerSlotChecked(0));
    while (doc.layers.size() < 16) {
        doc.layers.push_back(std::make_unique<KBdlLayer>());
    }
    EXPECT_TRUE(doc.moreLayersEnabled());
    // The current layer when it is beyond the slots, else the first layer beyond them.
    doc.currentItem = 3 + 15;
    EXPECT_EQ(doc.moreLayersPreselection(), 15);
    doc.currentItem = 2;
    EXPECT_EQ(doc.moreLayersPreselection(), 15);
}

TEST(DocumentImport, QuestionsMessagesAndAttachment) {
    const KTempDir dir("import-ärger");
    const std::string path = dir.file("relief.tga").string();
    KImageMapTga img;
    img.setFormat(8, KImageMap::OptionGray8);
    img.resize(4, 3);
    ASSERT_EQ(img.save(path), 0);

    KScriptedUi ui;
    KUiScope scope(ui);
    CPexaDoc doc;
    doc.currentItem = CPexaDoc::ItemShape;
    ui.answer(false); // the "different layer" question: Cancel
    EXPECT_FALSE(doc.importImage(0, path));
    EXPECT_EQ(doc.layers[0]->getImageMap(), nullptr);

    ui.answer(true);
    EXPECT_FALSE(doc.importImage(-1, path)); // 3 + k = 2: the Shape item
    EXPECT_EQ(ui.messages().back(), "Cannot attach an image map to the Shape layer.");

    doc.currentItem = 3;
    EXPECT_FALSE(doc.importImage(0, dir.file("missing.tga").string()));
    EXPECT_EQ(ui.messages().back(), "Import TGA failed!");

    doc.setModified(false);
    EXPECT_TRUE(doc.importImage(0, path));
    EXPECT_NE(doc.layers[0]->getImageMap(), nullptr);
    EXPECT_EQ(doc.imageResolutionU, 4);
    EXPECT_EQ(doc.imageResolutionV, 3);
    EXPECT_TRUE(doc.isModified());

    ui.answer(true); // different layer: OK
    EXPECT_FALSE(doc.importImage(7, path));
    EXPECT_EQ(ui.messages().back(), "Can't locate layer: (7) Discarding image map!");
}

TEST(DocumentLimits, ObjectCountAndResolutionAreBounded) {
    KScriptedUi ui;
    KUiScope scope(ui);
    // A layer list of 100001 empty layers is refused before it is built up.
    CPexaDoc big;
    big.layers.clear();
    for (int i = 0; i < 100001; ++i) {
        big.layers.push_back(std::make_unique<KBdlLayer>());
    }
    std::string error;
    EXPECT_EQ(kLoadDocumentBytes(kDocumentBytes(big), "big", &error), nullptr);
    EXPECT_NE(error.find("more than 100000 objects"), std::string::npos) << error;

    // A resolution beyond 512 is brought into range, with a warning.
    CPexaDoc wide;
    wide.uResolution = 5000;
    auto opened = kLoadDocumentBytes(kDocumentBytes(wide), "wide", &error);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->uResolution, 512);
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(
        ui.messages().back(),
        "The document's grid resolution (5000 x 50) is outside 1 to 512; it is shown as 512 x 50.");
}

TEST(DocumentLimits, ClipRangeOutsideTheSquareIsMendedWithAWarning) {
    KScriptedUi ui;
    KUiScope scope(ui);
    std::string error;
    // A clip range inside the square loads as stored and says nothing.
    CPexaDoc inside;
    inside.clip = KClipRange{0.25, 0.75, 0.0, 0.5};
    auto same = kLoadDocumentBytes(kDocumentBytes(inside), "inside", &error);
    ASSERT_TRUE(same) << error;
    EXPECT_EQ(std::tuple(same->clip.uFrom, same->clip.vTo), std::tuple(0.25, 0.5));
    EXPECT_TRUE(ui.messages().empty());

    // Ends past the square and a NaN are changed, and the user is told how.
    CPexaDoc outside;
    outside.clip = KClipRange{-0.5, 0.5, std::nan(""), 2.0};
    auto mended = kLoadDocumentBytes(kDocumentBytes(outside), "outside", &error);
    ASSERT_TRUE(mended) << error;
    EXPECT_GE(mended->clip.uFrom, 0.0);
    EXPECT_LE(mended->clip.vTo, 1.0);
    EXPECT_FALSE(std::isnan(mended->clip.vFrom));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].rfind("The document's clip range (u -0.5 to 0.5, v nan to 2) is "
                                     "not a range inside 0 to 1; it is shown as u ",
                                     0),
              0u)
        << ui.messages()[0];
}
