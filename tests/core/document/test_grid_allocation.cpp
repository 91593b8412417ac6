// The document's grid holds its samples only once the surface is calculated: opening,
// reading or describing a document at the largest resolution allocates nothing.
#include <gtest/gtest.h>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "mesh/KMeshGrid.h"
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
