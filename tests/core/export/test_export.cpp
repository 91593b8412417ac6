// The export writers beyond the golden files: options the golden cases leave out, the
// layer filter, progress texts, failures, and what an export leaves of the document.

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
    KTempDir dir("text");
    const KExportResult r = kExport(doc, format, dir.file(name).string(), extra);
    EXPECT_TRUE(r.written) << r.error;
    return kSlurp(dir.file(name));
}

class Export : public ::testing::Test {
protected:
    KScriptedUi ui_;
    KUiScope scope_{ui_};
};

} // namespace

// Row progress is checked through the bar in test_export_cancel.cpp.
TEST_F(Export, ItemNamesWidenBeyondFourDigits) {
    EXPECT_EQ(kExportItemName(42), "Quorl0042");
    EXPECT_EQ(kExportItemName(12345), "Quorl12345");
}

TEST_F(Export, PovLayeredFollowsTheLayerSelectionAndNamesTheItems) {
    auto doc = makeLayeredDoc();
    doc->setExportLayerSelection({}); // an empty selection exports every layer
    const std::string all = exportText(*doc, KExportFormat::PovMesh, "all.inc");
    EXPECT_EQ(countOf(all, "\tobject {Quorl000"), 3u);
    EXPECT_NE(all.find("// Muscle : 0  Left Out"), std::string::npos);
    EXPECT_NE(all.find("// Texture: 2\n\n\t// texGreen\n"), std::string::npos);
    EXPECT_TRUE(ui_.questions().empty());
    // Each item is named on the progress bar as it is written.
    std::vector<std::string> statuses;
    for (const auto& e : ui_.events) {
        if (e.kind == KScriptedUi::Event::Kind::ProgressStatus) {
            statuses.push_back(e.text);
        }
    }
    ASSERT_GE(statuses.size(), 3u);
    EXPECT_EQ(statuses[2], "Item: Exterior Muscles - Bump Two");
}

TEST_F(Export, OptionsTheGoldenFilesLeaveOut) {
    auto doc = makeDoc(1, 1);
    doc->exportFlags.normals = 1;
    const std::string smooth = exportText(*doc, KExportFormat::PovMesh, "smooth.inc");
    EXPECT_EQ(countOf(smooth, "\tsmooth_triangle {"), 2u);
    EXPECT_EQ(countOf(smooth, "\ttriangle {"), 0u);

    // Normals without uv leave the texture number out.
    doc->exportFlags.reverseWinding = 1;
    const std::string obj = exportText(*doc, KExportFormat::Obj, "n.obj");
    EXPECT_NE(obj.find("\nf 1//1 3//3 4//4 \nf 1//1 4//4 2//2 \n"), std::string::npos);

    // RIB leaves item uv out, switched off only during the write.
    doc->exportFlags.useItemUv = 1;
    EXPECT_EQ(exportText(*doc, KExportFormat::Rib, "pp.rib").find("\"st\""), std::string::npos);
    EXPECT_EQ(doc->exportFlags.useItemUv, 1);
    // Every layer is an attribute block.
    auto layered = makeLayeredDoc();
    layered->setExportLayerSelection({});
    const std::string rib = exportText(*layered, KExportFormat::Rib, "layers.rib");
    EXPECT_EQ(countOf(rib, "\nAttributeBegin"), 4u);
    EXPECT_EQ(countOf(rib, "\nAttributeEnd "), 4u);

    // The UDO file's include name defaults to the UDO file's own.
    EXPECT_NE(exportText(*doc, KExportFormat::Udo, "scene.udo").find("IncludeFile 'scene.inc'\n"),
              std::string::npos);
}

TEST_F(Export, Df3DensitiesAreClamped) {
    auto doc = makeDoc();
    doc->feoPMedia.sizeX = 7;
    doc->feoPMedia.sizeY = 5;
    doc->feoPMedia.sizeZ = 3;
    // The base value scaled to a byte, or 0 outside the object.
    const struct {
        float base;
        uint8_t inside;
    } cases[] = {{0.25f, 63}, {1.5f, 255}, {-0.5f, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base);
        doc->feoPMedia.baseValue = c.base;
        const std::string bytes = exportText(*doc, KExportFormat::Df3, "a.df3");
        ASSERT_EQ(bytes.size(), 6u + 7 * 5 * 3);
        EXPECT_EQ(bytes.substr(0, 6), std::string("\0\7\0\5\0\3", 6));
        size_t inside = 0;
        for (size_t k = 6; k < bytes.size(); ++k) {
            EXPECT_TRUE(bytes[k] == 0 || uint8_t(bytes[k]) == c.inside) << k;
            inside += uint8_t(bytes[k]) == c.inside;
        }
        EXPECT_GT(inside, 10u);
    }
}

TEST(ExportDf3, HostileSizesAreRefused) {
    for (int32_t size : {0, -3, 40000}) {
        KScriptedUi ui;
        KUiScope scope(ui);
        auto doc = makeDoc(1, 1);
        doc->feoPMedia.sizeY = size;
        KTempDir dir("df3bad");
        EXPECT_FALSE(kExport(*doc, KExportFormat::Df3, dir.file("x.df3").string()).written);
        EXPECT_TRUE(fs::is_empty(dir.path()));
        EXPECT_EQ(ui.messages(),
                  std::vector<std::string>{"Failed to create df3 voxel map! Not enough memory"});
    }
}

// Every writer, for every reason it cannot write, says so once, leaves no temporary file
// and keeps a file that was there. The text formats leave an empty file where there was
// none when there is nothing to export; an empty file of the binary exchange formats
// would be damaged, so they write nothing.
TEST(ExportFailure, EveryWriterReportsOnceAndLeavesNoStrayFile) {
    enum Reason { MissingFolder, Directory, NoMesh, NoItemsNewFile, NoItemsOldFile };
    for (KExportFormat format : kAllFormats) {
        const bool text = std::ranges::count(std::span(kAllFormats, 8), format) == 1;
        for (Reason reason : {MissingFolder, Directory, NoMesh, NoItemsNewFile, NoItemsOldFile}) {
            SCOPED_TRACE(std::string(kExportExtension(format)) + " reason " +
                         std::to_string(int(reason)));
            KScriptedUi ui;
            KUiScope scope(ui);
            KTempDir dir("fail");
            auto doc = makeDoc(1, 1);
            fs::path path = dir.file("target.file");
            std::string error = "There is no layer or muscle info to export!";
            size_t files = reason == NoItemsOldFile || (reason == NoItemsNewFile && text) ? 1 : 0;
            if (reason == MissingFolder) {
                path = dir.file("missing") / "out.file";
                error = "Couldn't create export file!\n\"" + path.string() +
                        "\": No such file or directory";
            } else if (reason == Directory) {
                doc = makeLayeredDoc(); // the Layered writers open their file themselves
                fs::create_directories(path);
                error = "Couldn't create export file!\n\"" + path.string() + "\": Is a directory";
                files = 1;
            } else if (reason == NoMesh) {
                // A grid without samples (as after an allocation that failed).
                doc->meshGrid = std::make_unique<KMeshGrid>();
                doc->meshStale = 0;
                error = "There is no mesh to export";
            } else {
                doc->meshType = CPexaDoc::Layered;
                EXPECT_FALSE(kHasExportItems(*doc));
            }
            if (reason == NoItemsOldFile) {
                std::ofstream(path) << "old";
            }
            const KExportResult r = kExport(*doc, format, path.string());
            EXPECT_EQ(r.written, reason == NoItemsNewFile && text);
            EXPECT_EQ(r.nothingToExport, reason >= NoItemsNewFile);
            EXPECT_EQ(r.error, error);
            EXPECT_EQ(ui.messages(), std::vector<std::string>{error});
            EXPECT_EQ(ui.progressDepth, 0);
            EXPECT_EQ(ui.waitDepth, 0);
            EXPECT_EQ(kFilesIn(dir.path()), files);
            if (reason >= NoItemsNewFile) {
                EXPECT_EQ(kSlurp(path), reason == NoItemsOldFile ? "old" : "");
            }
            if (reason == Directory) {
                EXPECT_TRUE(fs::is_empty(path));
            }
        }
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

// A Layered export keeps the document's grid, flags and layer choice. A write locks the
// layer choice while it runs, and leaves in place a lock its caller holds: the export
// command keeps the choice locked after the write, up to the UDO file.
TEST(ExportDocument, WriteKeepsTheDocumentAndLocksTheLayerChoice) {
    LockWatchUi ui;
    KUiScope scope(ui);
    auto doc = makeLayeredDoc();
    ui.doc = doc.get();
    doc->exportFlags.uv = 2;
    doc->exportFlags.normals = 1;
    const KMeshGrid* grid = doc->meshGrid.get();
    const int32_t nu = grid->uCount();
    const int32_t itemUv = doc->exportFlags.useItemUv;
    for (KExportFormat format : kAllFormats) {
        SCOPED_TRACE(kExportExtension(format));
        ui.lockedDuringWrite.clear();
        exportText(*doc, format, "alone.file");
        EXPECT_EQ(doc->meshGrid.get(), grid);
        EXPECT_EQ(doc->meshGrid->uCount(), nu);
        EXPECT_EQ(doc->exportFlags.uv, 2);
        EXPECT_EQ(doc->exportFlags.useItemUv, itemUv);
        EXPECT_EQ(doc->meshType, CPexaDoc::Layered);
        EXPECT_FALSE(ui.lockedDuringWrite.empty());
        EXPECT_EQ(std::ranges::count(ui.lockedDuringWrite, false), 0);
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
    EXPECT_EQ(doc->itemMeshes.size(), 3u);
}
