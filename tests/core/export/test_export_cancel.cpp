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
    TempDir dir("cancel");
    const auto path = dir.file(name);
    Outcome r{kExport(doc, format, path.string()), {}};
    r.text = slurp(path);
    return r;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
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

TEST(ExportCancel, SkinnedPovStopsAfterTheRowAndStaysClosed) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.cancelProgressAt(25);
    ui.answer(true);
    auto doc = makeDoc();
    const Outcome r = run(*doc, KExportFormat::PovMesh, "c.inc");
    EXPECT_TRUE(r.result.written);
    EXPECT_TRUE(r.result.cancelled);
    EXPECT_EQ(ui.questions(), kOneQuestion);
    EXPECT_EQ(countOf(r.text, "vStep"), 27u);
    EXPECT_TRUE(endsWith(r.text, " }\n\t}\n"));

    KScriptedUi raw;
    KUiScope rawScope(raw);
    raw.cancelProgressAt(25);
    raw.answer(true);
    const Outcome rr = run(*doc, KExportFormat::Raw, "c.raw");
    EXPECT_TRUE(rr.result.cancelled);
    EXPECT_EQ(countOf(rr.text, "vStep"), 27u);
    EXPECT_TRUE(endsWith(rr.text, " \n\n"));
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
    expectGolden("default_flat.inc", r.text);
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
        EXPECT_TRUE(endsWith(r.text, c.tail))
            << r.text.substr(r.text.size() > 300 ? r.text.size() - 300 : 0);
        EXPECT_EQ(r.text.find(c.absent), std::string::npos);
        EXPECT_EQ(ui.progressDepth, 0);
    }
}

TEST(ExportCancel, SkinnedWritersLeaveTheirCancelComment) {
    struct Case {
        KExportFormat format;
        const char* tail;
    };
    const Case cases[] = {
        {KExportFormat::PovMesh2, "\n\t\t}\n\n// (** user canceled export operation **)\n"},
        {KExportFormat::Obj, "\nv 1 1 0.5\n\n# (** user canceled export operation **)\n"},
        {KExportFormat::Rib, "\t]\n\n# * export cancelled by user *\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.format));
        KScriptedUi ui;
        KUiScope scope(ui);
        ui.cancelProgressAt(0);
        ui.answer(true);
        auto doc = makeDoc(1, 1);
        const Outcome r = run(*doc, c.format, "s.file");
        EXPECT_TRUE(r.result.cancelled);
        EXPECT_EQ(ui.questions(), kOneQuestion);
        EXPECT_TRUE(endsWith(r.text, c.tail)) << r.text;
        EXPECT_EQ(r.text.find("AttributeEnd"), std::string::npos);
    }
}
