// Progress and Cancel: where the question is asked, what a confirmed cancel still writes,
// and that the file is closed and in place afterwards.

#include <gtest/gtest.h>

#include "export/KExport.h"
#include "export/KExportJob.h"
#include "export_test_support.h"
#include "platform/KScriptedUi.h"

using namespace exporttest;

namespace {

struct Outcome {
    KExportResult result;
    std::string text;
};

Outcome run(CPexaDoc& doc, KExportFormat format, const std::string& name) {
    KTempDir dir("cancel");
    const auto path = dir.file(name);
    Outcome r{kExport(doc, format, path.string()), {}};
    r.text = kSlurp(path);
    return r;
}

const std::vector<std::string> kOneQuestion{"Are you sure you want to Cancel?"};

} // namespace

TEST(ExportProgress, SkinnedRowsDriveTheBar) {
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = makeDoc();
    run(*doc, KExportFormat::PovMesh, "p.inc");
    ASSERT_EQ(ui.positions.size(), 50u);
    EXPECT_EQ(ui.positions[0], 0);
    EXPECT_EQ(ui.positions[25], 25); // a quarter after half of the rows
    EXPECT_EQ(ui.positions[49], 96);
    EXPECT_EQ(ui.progressDepth, 0);
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_GE(ui.waitCount, 1);
}

// A confirmed cancel of a Skinned export stops after the row it came in (the bar reached
// 25 after half of the rows of the default document: the question follows row 27) and
// still closes what the file opened, with the writer's cancel comment.
TEST(ExportCancel, SkinnedWritersStopAfterTheRowAndCloseTheFile) {
    struct Case {
        KExportFormat format;
        int cancelAt; // 25: the default document, 0: a 2 x 2 grid
        const char* tail;
    };
    const Case cases[] = {
        {KExportFormat::PovMesh, 25, " }\n\t}\n"},
        {KExportFormat::Raw, 25, " \n\n"},
        {KExportFormat::PovMesh2, 0, "\n\t\t}\n\n// (** user canceled export operation **)\n"},
        {KExportFormat::Obj, 0, "\nv 1 1 0.5\n\n# (** user canceled export operation **)\n"},
        {KExportFormat::Rib, 0, "\t]\n\n# * export cancelled by user *\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        KScriptedUi ui;
        KUiScope scope(ui);
        ui.cancelProgressAt(c.cancelAt);
        ui.answer(true);
        auto doc = c.cancelAt == 0 ? makeDoc(1, 1) : makeDoc();
        const Outcome r = run(*doc, c.format, "s.file");
        EXPECT_TRUE(r.result.written);
        EXPECT_TRUE(r.result.cancelled);
        EXPECT_EQ(ui.questions(), kOneQuestion);
        EXPECT_TRUE(r.text.ends_with(c.tail))
            << r.text.substr(r.text.size() > 100 ? r.text.size() - 100 : 0);
        EXPECT_EQ(countOf(r.text, "vStep"), c.cancelAt == 0 ? 0u : 27u);
        EXPECT_EQ(r.text.find("AttributeEnd"), std::string::npos);
        EXPECT_EQ(ui.progressDepth, 0);
    }
}

TEST(ExportCancel, AnsweringNoGoesOn) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.cancelProgressAt(25);
    for (int k = 0; k < 24; ++k) {
        ui.answer(false);
    }
    auto doc = makeDoc();
    const Outcome r = run(*doc, KExportFormat::PovMesh, "n.inc");
    EXPECT_FALSE(r.result.cancelled);
    EXPECT_EQ(ui.questions().size(), 24u); // once after each row from the 27th on
    EXPECT_EQ(ui.unansweredQuestions, 0);
    kExpectGolden("export/default_flat.inc", r.text);
}

TEST(ExportCancel, LayeredWritersCloseWhatTheyOpened) {
    struct Case {
        KExportFormat format;
        const char* tail;
        const char* absent;
    };
    const Case cases[] = {
        {KExportFormat::PovMesh,
         "  \t// (end of muscle)\n\n#declare Quorl01 = union {\n\tobject {Quorl0001}\n\t}\n",
         "Quorl0002"},
        {KExportFormat::PovMesh2,
         "\n// (** user canceled export operation **)\n\n#declare Quorl01 = union {\n\n\t}\t// "
         "end of union(ed) mesh2 object\n\n// (** user canceled export operation **)\n",
         "face_indices"},
        {KExportFormat::Obj,
         "\n# (** user canceled export operation **)\n\n# end of mesh objects\n", "\nf "},
        {KExportFormat::Rib,
         "\"P\"\n\t[\n\t0.2 0.1 -0.5 \n\t0.6 0.1 -0.5 \n\t0.2 0.5 -0.5 \n\t0.6 0.5 -0.5 \n\t]\n"
         "\nAttributeEnd  #end (untitled)\n\n# * export cancelled by user *\n",
         "Quorl0002"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        KScriptedUi ui;
        KUiScope scope(ui);
        ui.cancelProgressAt(0);
        ui.answer(true);
        auto doc = makeLayeredDoc();
        if (c.format == KExportFormat::Rib) {
            // The first check of the mesh writer comes after its counts; let it go on to the
            // vertices, where the bar reaches 100.
            ui.cancelProgressAt(100);
        }
        const Outcome r = run(*doc, c.format, "l.file");
        EXPECT_TRUE(r.result.written);
        EXPECT_TRUE(r.result.cancelled);
        EXPECT_EQ(ui.questions(), kOneQuestion);
        EXPECT_TRUE(r.text.ends_with(c.tail))
            << r.text.substr(r.text.size() > 300 ? r.text.size() - 300 : 0);
        EXPECT_EQ(r.text.find(c.absent), std::string::npos);
        EXPECT_EQ(ui.progressDepth, 0);
    }
}
