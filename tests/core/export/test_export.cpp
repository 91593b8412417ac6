// The export writers beyond the golden files: options the golden cases leave out, the
// layer filter, progress, failures, and what an export leaves of the document.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>

#include "document/KExportSelectionLock.h"
#include "export/KExport.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "export_test_support.h"
#include "mesh/KMeshGrid.h"
#include "platform/KScriptedUi.h"

using namespace exporttest;

namespace {

std::string exportText(CPexaDoc& doc, KExportFormat format, const std::string& name,
                       const KExportOptions& extra = {}) {
    TempDir dir("text");
    const auto path = dir.file(name);
    const KExportResult r = kExport(doc, format, path.string(), extra);
    EXPECT_TRUE(r.written) << r.error;
    return slurp(path);
}

} // namespace

// Row progress is checked through the bar in test_export_cancel.cpp.
TEST(ExportNames, ItemNamesWidenBeyondFourDigits) {
    EXPECT_EQ(kExportItemName(42), "Quorl0042");
    EXPECT_EQ(kExportItemName(12345), "Quorl12345");
}

TEST(ExportPov, SmoothTrianglesFollowTheNormalsFlag) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    doc->exportFlags.normals = 1;
    const std::string smooth = exportText(*doc, KExportFormat::PovMesh, "smooth.inc");
    EXPECT_EQ(countOf(smooth, "\tsmooth_triangle {"), 2u);
    EXPECT_EQ(countOf(smooth, "\ttriangle {"), 0u);
}

TEST(ExportPov, LayeredFollowsTheLayerSelection) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeLayeredDoc();
    doc->setExportLayerSelection({}); // an empty selection exports every layer
    const std::string all = exportText(*doc, KExportFormat::PovMesh, "all.inc");
    EXPECT_EQ(countOf(all, "\tobject {Quorl000"), 3u);
    EXPECT_NE(all.find("// Muscle : 0  Left Out"), std::string::npos);
    EXPECT_NE(all.find("// Texture: 2\n\n\t// texGreen\n"), std::string::npos);

    const std::vector<std::string> questions = ui.questions();
    EXPECT_TRUE(questions.empty());
    std::vector<std::string> statuses;
    for (const auto& e : ui.events) {
        if (e.kind == KScriptedUi::Event::Kind::ProgressStatus) {
            statuses.push_back(e.text);
        }
    }
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(statuses[0].rfind("Exporting Layers: ", 0), 0u);
    EXPECT_EQ(statuses[0].substr(statuses[0].size() - 4), " ...");
    EXPECT_EQ(statuses[1], "Item: Bone Surfaces - Ridge One");
    EXPECT_EQ(statuses[2], "Item: Exterior Muscles - Bump Two");
}

TEST(ExportObj, NormalsWithoutUvLeaveTheTextureNumberOut) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    doc->exportFlags.normals = 1;
    doc->exportFlags.reverseWinding = 1;
    const std::string text = exportText(*doc, KExportFormat::Obj, "n.obj");
    EXPECT_NE(text.find("\nf 1//1 3//3 4//4 \nf 1//1 4//4 2//2 \n"), std::string::npos);
}

TEST(ExportRib, ItemUvIsLeftOutAndEveryLayerIsAnAttributeBlock) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    doc->exportFlags.useItemUv = 1;
    std::string text = exportText(*doc, KExportFormat::Rib, "pp.rib");
    EXPECT_EQ(text.find("\"st\""), std::string::npos);
    EXPECT_EQ(doc->exportFlags.useItemUv, 1); // switched off only during the write

    auto layered = makeLayeredDoc();
    layered->setExportLayerSelection({});
    text = exportText(*layered, KExportFormat::Rib, "layers.rib");
    EXPECT_EQ(countOf(text, "\nAttributeBegin"), 4u);
    EXPECT_EQ(countOf(text, "\nAttributeEnd "), 4u);
}

TEST(ExportUdo, IncludeNameDefaultsToTheUdoFilesOwn) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(3, 2);
    TempDir dir("udo");
    ASSERT_TRUE(kExport(*doc, KExportFormat::Udo, dir.file("scene.udo").string()).written);
    EXPECT_NE(slurp(dir.file("scene.udo")).find("IncludeFile 'scene.inc'\n"), std::string::npos);
}

TEST(ExportDf3, DensitiesAreClamped) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc();
    doc->feoPMedia.sizeX = 7;
    doc->feoPMedia.sizeY = 5;
    doc->feoPMedia.sizeZ = 3;
    std::string bytes = exportText(*doc, KExportFormat::Df3, "a.df3");
    ASSERT_EQ(bytes.size(), 6u + 7 * 5 * 3);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\0\7\0\5\0\3", 6));
    size_t touched = 0;
    for (size_t k = 6; k < bytes.size(); ++k) {
        const auto b = uint8_t(bytes[k]);
        EXPECT_TRUE(b == 0 || b == 63) << k;
        touched += b != 0;
    }
    EXPECT_GT(touched, 10u);

    doc->feoPMedia.baseValue = 1.5f;
    bytes = exportText(*doc, KExportFormat::Df3, "b.df3");
    for (size_t k = 6; k < bytes.size(); ++k) {
        EXPECT_TRUE(uint8_t(bytes[k]) == 0 || uint8_t(bytes[k]) == 255) << k;
    }
    doc->feoPMedia.baseValue = -0.5f;
    bytes = exportText(*doc, KExportFormat::Df3, "c.df3");
    EXPECT_EQ(bytes.find_first_not_of('\0', 6), std::string::npos);
}

TEST(ExportDf3, HostileSizesAreRefused) {
    for (int32_t size : {0, -3, 40000}) {
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = makeDoc(1, 1);
        doc->feoPMedia.sizeY = size;
        TempDir dir("df3bad");
        const KExportResult r = kExport(*doc, KExportFormat::Df3, dir.file("x.df3").string());
        EXPECT_FALSE(r.written);
        EXPECT_FALSE(fs::exists(dir.file("x.df3")));
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{"Failed to create df3 voxel map! Not enough memory"});
    }
}

TEST(ExportFailure, MissingFolderLeavesNothingAndReports) {
    for (KExportFormat format : kAllFormats) {
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = makeDoc(1, 1);
        TempDir dir("fail");
        const auto path = dir.file("missing") / "out.file";
        const KExportResult r = kExport(*doc, format, path.string());
        const std::string text =
            "Couldn't create export file!\n\"" + path.string() + "\": No such file or directory";
        EXPECT_FALSE(r.written);
        EXPECT_EQ(r.error, text);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{text});
        EXPECT_FALSE(fs::exists(dir.file("missing")));
        EXPECT_EQ(ui.progressDepth, 0);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST(ExportFailure, LayeredWithoutItemsKeepsAnOldFileAndLeavesANewOneEmpty) {
    for (KExportFormat format : kAllFormats) {
        // The text formats leave an empty file where there was none; an empty file of the
        // binary exchange formats would be damaged, so they write nothing.
        const bool leavesEmptyFile =
            std::ranges::find(std::span(kAllFormats, 8), format) != std::span(kAllFormats, 8).end();
        for (const bool oldFile : {true, false}) {
            KScriptedUi ui;
            KUiScope scope(ui);
            auto doc = makeDoc(1, 1);
            doc->meshType = CPexaDoc::Layered;
            EXPECT_FALSE(kHasExportItems(*doc));
            TempDir dir("noitems");
            const auto path = dir.file("target.file");
            if (oldFile) {
                std::ofstream(path) << "old";
            }
            const KExportResult r = kExport(*doc, format, path.string());
            const std::string what = kExportExtension(format) + std::string(oldFile ? " old" : "");
            EXPECT_TRUE(r.nothingToExport) << what;
            EXPECT_EQ(r.written, !oldFile && leavesEmptyFile) << what;
            EXPECT_EQ(r.error, "There is no layer or muscle info to export!") << what;
            EXPECT_EQ(ui.messages(),
                      std::vector<std::string>{"There is no layer or muscle info to export!"})
                << what;
            if (oldFile) {
                EXPECT_EQ(slurp(path), "old") << what;
            } else {
                EXPECT_EQ(fs::exists(path), leavesEmptyFile) << what;
                EXPECT_EQ(slurp(path), "") << what;
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
                      oldFile || leavesEmptyFile ? 1 : 0)
                << what;
        }
    }
}

TEST(ExportFailure, NoMeshIsReportedOnce) {
    // A grid without samples (as after an allocation that failed): the Skinned writers
    // have nothing to walk and say so.
    for (KExportFormat format : kAllFormats) {
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = makeDoc(1, 1);
        doc->meshGrid = std::make_unique<KMeshGrid>();
        doc->meshStale = 0;
        TempDir dir("nomesh");
        const KExportResult r = kExport(*doc, format, dir.file("x.file").string());
        EXPECT_FALSE(r.written) << kExportExtension(format);
        EXPECT_EQ(r.error, "There is no mesh to export") << kExportExtension(format);
        EXPECT_EQ(ui.messages(), std::vector<std::string>{"There is no mesh to export"})
            << kExportExtension(format);
        EXPECT_TRUE(fs::is_empty(dir.path())) << kExportExtension(format);
    }
}

TEST(ExportFailure, ItemsAreFoundWithoutBuildingThem) {
    auto doc = makeLayeredDoc();
    EXPECT_TRUE(kHasExportItems(*doc));
    EXPECT_TRUE(doc->itemMeshes.empty());
    for (auto& layer : doc->layers) {
        layer->active = 0;
    }
    EXPECT_FALSE(kHasExportItems(*doc));
    doc->layers[1]->active = 1;
    doc->layers[1]->muscles[0]->active = 0;
    EXPECT_FALSE(kHasExportItems(*doc));
    doc->layers[1]->muscles[0]->active = 1;
    EXPECT_TRUE(kHasExportItems(*doc));
}

TEST(ExportDocument, LayeredExportKeepsTheDocumentGridAndFlags) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeLayeredDoc();
    doc->exportFlags.uv = 2;
    doc->exportFlags.normals = 1;
    const KMeshGrid* grid = doc->meshGrid.get();
    const int32_t nu = grid->uCount();
    const KExportFlags before = doc->exportFlags;
    for (KExportFormat format : kAllFormats) {
        exportText(*doc, format, "any.file");
        EXPECT_EQ(doc->meshGrid.get(), grid);
        EXPECT_EQ(doc->meshGrid->uCount(), nu);
        EXPECT_EQ(doc->exportFlags.uv, before.uv);
        EXPECT_EQ(doc->exportFlags.useItemUv, before.useItemUv);
        EXPECT_EQ(doc->meshType, CPexaDoc::Layered);
        EXPECT_EQ(doc->exportLayerSelection, (std::vector<int32_t>{0, 1}));
    }
    EXPECT_EQ(doc->itemMeshes.size(), 3u);
}

// Records whether the document's export layer selection is locked when a writer shows
// the wait cursor (every write does).
struct LockWatchUi : KScriptedUi {
    const CPexaDoc* doc = nullptr;
    std::vector<bool> lockedDuringWrite;
    void beginWaitCursor() override {
        lockedDuringWrite.push_back(doc->exportSelectionLocked());
        KScriptedUi::beginWaitCursor();
    }
};

// A write locks the layer choice while it runs, and leaves in place a lock its caller
// holds: the export command keeps the choice locked after the write, up to the UDO file.
TEST(ExportDocument, WriteLocksTheLayerChoiceAndKeepsTheCallersLock) {
    LockWatchUi ui;
    KUiScope scope(ui);
    auto doc = makeLayeredDoc();
    ui.doc = doc.get();
    for (KExportFormat format : kAllFormats) {
        SCOPED_TRACE(kExportExtension(format));
        ui.lockedDuringWrite.clear();
        exportText(*doc, format, "alone.file");
        EXPECT_FALSE(ui.lockedDuringWrite.empty());
        EXPECT_EQ(std::count(ui.lockedDuringWrite.begin(), ui.lockedDuringWrite.end(), false), 0);
        EXPECT_FALSE(doc->exportSelectionLocked());
        {
            const KExportSelectionLock command(*doc);
            exportText(*doc, format, "inside.file");
            EXPECT_TRUE(doc->exportSelectionLocked());
            doc->setExportLayerSelection({});
            EXPECT_EQ(doc->exportLayerSelection, (std::vector<int32_t>{0, 1}));
        }
        EXPECT_FALSE(doc->exportSelectionLocked());
    }
}
