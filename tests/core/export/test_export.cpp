// The export writers' structure on small grids, the layer filter, progress and cancel,
// failures, and what an export leaves of the document.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <sstream>

#include "document/KExportSelectionLock.h"
#include "export/KExport.h"
#include "export/KExportJob.h"
#include "export/KExportWriters.h"
#include "export_test_support.h"
#include "mesh/KMeshGrid.h"
#include "platform/KNumberText.h"
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

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& head) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(head, 0) == 0) {
            out.push_back(line);
        }
    }
    return out;
}

} // namespace

TEST(ExportNames, ItemNamesAndRowProgress) {
    EXPECT_EQ(kExportItemName(1), "Quorl0001");
    EXPECT_EQ(kExportItemName(42), "Quorl0042");
    EXPECT_EQ(kExportItemName(12345), "Quorl12345");
    EXPECT_EQ(kRowProgress(0, 51), 0);
    EXPECT_EQ(kRowProgress(25, 51), 25);
    EXPECT_EQ(kRowProgress(49, 51), 96);
    EXPECT_EQ(kRowProgress(50, 51), 100);
}

TEST(ExportPov, OneCellGivesTwoTrianglesInCornerOrder) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    const std::string text = exportText(*doc, KExportFormat::PovMesh, "one.inc");
    const auto pos = doc->meshGrid->positions();
    auto corner = [&](int n) {
        std::string s = " < ";
        kAppendGeneral(s, pos[size_t(n)].x);
        s += ',';
        kAppendGeneral(s, pos[size_t(n)].y);
        s += ',';
        kAppendGeneral(s, pos[size_t(n)].z);
        return s + " >";
    };
    const std::string first =
        "\ttriangle {" + corner(0) + "," + corner(2) + "," + corner(3) + " }\n";
    const std::string second =
        "\ttriangle {" + corner(0) + "," + corner(3) + "," + corner(1) + " }\n";
    EXPECT_NE(text.find("// u polys: 1   v polys: 1\n"), std::string::npos);
    EXPECT_NE(text.find("\n\t// vStep: 0\n" + first + second + "\t}\n"), std::string::npos);
    EXPECT_EQ(countOf(text, "vStep"), 1u);
    EXPECT_EQ(countOf(text, "smooth_triangle"), 0u);

    doc->exportFlags.normals = 1; // smooth triangles follow the normals flag
    const std::string smooth = exportText(*doc, KExportFormat::PovMesh, "smooth.inc");
    EXPECT_EQ(countOf(smooth, "\tsmooth_triangle {"), 2u);
    EXPECT_EQ(countOf(smooth, "\ttriangle {"), 0u);
}

TEST(ExportPov, LayeredFollowsTheLayerSelection) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeLayeredDoc();
    const std::string text = exportText(*doc, KExportFormat::PovMesh, "layers.inc");
    EXPECT_EQ(countOf(text, "#declare Quorl000"), 2u);
    EXPECT_NE(text.find("union {\n\tobject {Quorl0001}\n\tobject {Quorl0002}\n\t}\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Left Out"), std::string::npos);

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

TEST(ExportMesh2, CountsLineBreaksAndTextureNames) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    std::string text = exportText(*doc, KExportFormat::PovMesh2, "m.inc");
    EXPECT_NE(text.find("\n\tvertex_vectors\t{ 4,\n\t\t< "), std::string::npos);
    EXPECT_NE(text.find(" >, \n\t\t< "), std::string::npos); // break after the third vertex
    EXPECT_NE(text.find("\n\tface_indices\t{ 2,\n\t\t<0, 2, 3>, \n\t\t<0, 3, 1>\n\t\t}\n"),
              std::string::npos);
    EXPECT_EQ(text.find("texture_list"), std::string::npos);
    EXPECT_EQ(text.find("uv_vectors"), std::string::npos);

    doc->exportFlags.uv = 1;
    text = exportText(*doc, KExportFormat::PovMesh2, "uv.inc");
    EXPECT_NE(text.find("uv_vectors"), std::string::npos);
    EXPECT_EQ(text.find("uv_mapping"), std::string::npos);

    // The face count equals the triples of the face block on a larger grid.
    doc = makeDoc(3, 2);
    text = exportText(*doc, KExportFormat::PovMesh2, "big.inc");
    const size_t faces = text.find("face_indices");
    ASSERT_NE(faces, std::string::npos);
    const std::string block = text.substr(faces, text.find("\t\t}\n", faces) - faces);
    EXPECT_NE(block.find("{ 12,"), std::string::npos);
    EXPECT_EQ(countOf(block, "<"), 12u);
}

TEST(ExportObj, CornersWindingAndRunningVertexNumbers) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    std::string text = exportText(*doc, KExportFormat::Obj, "one.obj");
    EXPECT_NE(text.find("\nf 1 4 3 \nf 1 2 4 \n"), std::string::npos);
    EXPECT_EQ(countOf(text, "\nvn "), 0u);
    EXPECT_EQ(countOf(text, "\nvt "), 0u);
    const auto v = linesStartingWith(text, "v ");
    ASSERT_EQ(v.size(), 4u);
    const auto pos = doc->meshGrid->positions();
    std::string z;
    kAppendGeneral(z, -pos[0].z);
    EXPECT_EQ(v[0].substr(v[0].rfind(' ') + 1), z); // mirror Z is on by default

    doc->exportFlags.normals = 1;
    doc->exportFlags.uv = 1;
    doc->exportFlags.reverseWinding = 1;
    text = exportText(*doc, KExportFormat::Obj, "all.obj");
    EXPECT_NE(text.find("\nf 1/1/1 3/3/3 4/4/4 \nf 1/1/1 4/4/4 2/2/2 \n"), std::string::npos);
    doc->exportFlags.uv = 0;
    text = exportText(*doc, KExportFormat::Obj, "n.obj");
    EXPECT_NE(text.find("\nf 1//1 3//3 4//4 \n"), std::string::npos);

    auto layered = makeLayeredDoc();
    text = exportText(*layered, KExportFormat::Obj, "layers.obj");
    // The second object (3 x 2 samples) starts at vertex 5, after the first one's four.
    EXPECT_NE(text.find("g Exterior_Muscles Bump_Two\n\ns off\n\n# face list: 4\nf 5 9 8 \n"),
              std::string::npos);
    EXPECT_NE(text.find("# (end of item: Bone_Surfaces Ridge_One )\n\n"), std::string::npos);
}

TEST(ExportRib, PolygonAndSubdivisionForms) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(1, 1);
    doc->exportFlags.useItemUv = 1;
    std::string text = exportText(*doc, KExportFormat::Rib, "pp.rib");
    EXPECT_NE(text.find("PointsPolygons \n\t[\n\t3 3 \n\t]\n\t[\n\t0 2 3 0 3 1 \n\t]\n"),
              std::string::npos);
    EXPECT_EQ(text.find("\"st\""), std::string::npos);
    EXPECT_EQ(doc->exportFlags.useItemUv, 1); // switched off only during the write

    doc->feoRib.meshType = KFeoRib::SubdivisionSurface;
    text = exportText(*doc, KExportFormat::Rib, "sd.rib");
    EXPECT_NE(text.find("SubdivisionMesh  \"catmull-clark\" \n\t[\n\t4 \n\t]\n\t[\n\t0 2 3 1 \n"),
              std::string::npos);

    auto layered = makeLayeredDoc();
    layered->setExportLayerSelection({});
    text = exportText(*layered, KExportFormat::Rib, "layers.rib");
    EXPECT_EQ(countOf(text, "\nAttributeBegin"), 4u);
    EXPECT_EQ(countOf(text, "\nAttributeEnd "), 4u);
}

TEST(ExportUdo, CountsEdgesAndIncludeName) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc(3, 2); // 4 x 3 samples
    KExportOptions extra;
    extra.udoIncludeFile = "shape.inc";
    std::string text = exportText(*doc, KExportFormat::Udo, "a.udo", extra);
    EXPECT_NE(text.find("IncludeFile 'shape.inc'\n"), std::string::npos);
    EXPECT_NE(text.find("[Quorl01:Vertices]\n12\n"), std::string::npos);
    // 3 x 2 inner samples with two edges each, 3 along the last row, 2 down the last column.
    EXPECT_NE(text.find("[Quorl01:Edges]\n17\n0 4\n0 1\n"), std::string::npos);

    TempDir dir("udo");
    ASSERT_TRUE(kExport(*doc, KExportFormat::Udo, dir.file("scene.udo").string()).written);
    EXPECT_NE(slurp(dir.file("scene.udo")).find("IncludeFile 'scene.inc'\n"), std::string::npos);

    doc->feoMegaPov.uGridScale = 2; // 4 samples: 4 / 2 + 1 kept
    doc->feoMegaPov.vGridScale = 2; // 3 samples: 3 / 2 + 1 + 1 kept
    text = exportText(*doc, KExportFormat::Udo, "b.udo", extra);
    EXPECT_NE(text.find("[Quorl01:Vertices]\n9\n"), std::string::npos);
    const size_t edges = text.find(":Edges]\n");
    ASSERT_NE(edges, std::string::npos);
    EXPECT_EQ(std::count(text.begin() + long(edges), text.end(), '\n'), 2 + 12);
}

TEST(ExportDf3, DensitiesClampingAndLength) {
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
    EXPECT_TRUE(doc->isModified());

    doc->feoPMedia.baseValue = 1.5f;
    bytes = exportText(*doc, KExportFormat::Df3, "b.df3");
    for (size_t k = 6; k < bytes.size(); ++k) {
        EXPECT_TRUE(uint8_t(bytes[k]) == 0 || uint8_t(bytes[k]) == 255) << k;
    }
    doc->feoPMedia.baseValue = -0.5f;
    bytes = exportText(*doc, KExportFormat::Df3, "c.df3");
    EXPECT_EQ(bytes.find_first_not_of('\0', 6), std::string::npos);

    // A planar 2 x 2 grid: only the sample at the box minimum lies inside; the others sit
    // on the far faces of the box and are left out.
    auto small = makeDoc(1, 1);
    bytes = exportText(*small, KExportFormat::Df3, "d.df3");
    ASSERT_EQ(bytes.size(), 1006u);
    EXPECT_EQ(uint8_t(bytes[6]), 63);
    EXPECT_EQ(bytes.find_first_not_of('\0', 7), std::string::npos);
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
