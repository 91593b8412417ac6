// The document's grids hold only what they need: the samples come with the first
// calculation (opening or describing a document at the largest resolution allocates
// nothing), and a muscle's item mesh is never larger than the muscle dialog allows.
#include <gtest/gtest.h>

#include <tuple>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "mesh/KMeshGrid.h"
#include "model/KBdlMuscle.h"
#include "platform/KScriptedUi.h"

TEST(GridAllocation, SamplesComeWithTheFirstCalculation) {
    CPexaDoc doc;
    doc.uResolution = CPexaDoc::kMaxResolution;
    doc.vResolution = CPexaDoc::kMaxResolution;
    std::string error;
    auto back = kLoadDocumentBytes(kDocumentBytes(doc), "large", &error);
    ASSERT_TRUE(back) << error;
    ASSERT_TRUE(back->meshGrid);
    EXPECT_EQ(back->meshGrid->uCount(), CPexaDoc::kMaxResolution + 1);
    EXPECT_FALSE(back->meshGrid->hasObjectPoints());
    EXPECT_FALSE(back->meshGrid->hasPositions());

    ASSERT_TRUE(back->computeMesh());
    EXPECT_TRUE(back->meshGrid->hasObjectPoints());
    EXPECT_TRUE(back->meshGrid->hasPositions());
}

TEST(GridAllocation, PlanningRefusesWhatCouldNeverBeAllocated) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KMeshGrid grid;
    EXPECT_EQ(grid.plan(0, 5), 1);
    EXPECT_EQ(grid.allocateObjectPoints(), 1); // no samples, nothing to say
    EXPECT_TRUE(ui.messages().empty());

    EXPECT_EQ(grid.plan(int32_t(KMeshGrid::kMaxSamples), 2), 1);
    EXPECT_EQ(grid.sampleCount(), 0u);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{
                                 "Memory Error creating mesh grid! Try using smaller mesh sizes!"});
}

TEST(GridAllocation, AMuscleFromAFileIsMeshedAtMost513SamplesASide) {
    CPexaDoc doc;
    auto muscle = std::make_unique<KBdlMuscle>(KBdlMuscle::Point);
    muscle->resolutionV = 262144; // the dialog never gives more than 512
    doc.layers[1]->muscles.push_back(std::move(muscle));
    std::string error;
    auto back = kLoadDocumentBytes(kDocumentBytes(doc), "hostile", &error);
    ASSERT_TRUE(back) << error;
    const KItemMeshList& items = back->ensureItemMeshes(false);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(std::tuple(items[0]->uCount(), items[0]->vCount()), std::tuple(13, 513));
    // The stored value stays as the file has it.
    EXPECT_EQ(back->layers[1]->muscles[0]->resolutionV, 262144);
}
