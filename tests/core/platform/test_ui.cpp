// The interface through which the core talks to the user.

#include <gtest/gtest.h>

#include "platform/KScriptedUi.h"
#include "platform/KUi.h"

TEST(Ui, ScriptedUiRecordsTextsAndPlaysBackAnswers) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.answer(false);
    ui.answer(true);
    kUi().message("first", KUi::Icon::Warning);
    EXPECT_FALSE(kUi().askYesNo("replace?", true));
    EXPECT_TRUE(kUi().askOkCancel("go on?", false));
    // Nothing queued: the default answer, counted.
    EXPECT_TRUE(kUi().askYesNo("again?", true));
    EXPECT_EQ(ui.unansweredQuestions, 1);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{"first"});
    EXPECT_EQ(ui.questions(), (std::vector<std::string>{"replace?", "go on?", "again?"}));
    EXPECT_EQ(ui.icons.front(), KUi::Icon::Warning);
}

TEST(Ui, ScopesRestoreThePreviousUi) {
    KScriptedUi outer, inner;
    {
        KUiScope a(outer);
        {
            KUiScope b(inner);
            kUi().message("to inner", KUi::Icon::Information);
        }
        kUi().message("to outer", KUi::Icon::Information);
    }
    EXPECT_EQ(inner.messages(), std::vector<std::string>{"to inner"});
    EXPECT_EQ(outer.messages(), std::vector<std::string>{"to outer"});
    EXPECT_NE(&kUi(), &outer);
}

TEST(Ui, ProgressAndWaitCursorAreBalanced) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.cancelProgressAt(50);
    {
        KWaitCursor wait;
        KProgress progress("Exporting");
        EXPECT_EQ(ui.waitDepth, 1);
        EXPECT_EQ(ui.progressDepth, 1);
        progress.position(10);
        EXPECT_FALSE(progress.cancelled());
        progress.position(50);
        EXPECT_TRUE(progress.cancelled());
    }
    EXPECT_EQ(ui.waitDepth, 0);
    EXPECT_EQ(ui.progressDepth, 0);
    EXPECT_EQ(ui.positions, (std::vector<int>{10, 50}));
}

TEST(Ui, ConsoleUiAnswersWithTheDefault) {
    KConsoleUi console;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(console.askYesNo("Replace it?", true));
    EXPECT_FALSE(console.askOkCancel("Continue?", false));
    console.message("Saved.", KUi::Icon::Information);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Replace it?"), std::string::npos);
    EXPECT_NE(err.find("answered: Yes"), std::string::npos);
    EXPECT_NE(err.find("answered: Cancel"), std::string::npos);
    EXPECT_NE(err.find("Saved."), std::string::npos);
}

TEST(Ui, PixelDepthQuestionDefaultsToThePreset) {
    const std::array<bool, 9> enabled{true, false, false, true, true, true, true, true, false};
    KConsoleUi console;
    testing::internal::CaptureStderr();
    EXPECT_EQ(console.askPixelDepth(5, enabled), 5);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Image Pixel Depth"), std::string::npos);
    EXPECT_NE(err.find("answered: 5"), std::string::npos);

    KScriptedUi ui;
    ui.answerPixelDepth(-1);
    EXPECT_EQ(ui.askPixelDepth(4, enabled), -1);
    EXPECT_EQ(ui.askPixelDepth(6, enabled), 6); // nothing queued
    EXPECT_EQ(ui.unansweredQuestions, 1);
    EXPECT_EQ(ui.questions(), std::vector<std::string>(2, "Image Pixel Depth"));
    ASSERT_EQ(ui.pixelDepthQuestions.size(), 2u);
    EXPECT_EQ(ui.pixelDepthQuestions[1].preset, 6);
    EXPECT_EQ(ui.pixelDepthQuestions[1].enabled, enabled);
}

TEST(Ui, ItemDefaultsDialog) {
    // A front end without the dialog cancels; the console keeps the presets and goes on.
    struct Minimal : KUi {
        void message(std::string_view, Icon) override {}
        bool askYesNo(std::string_view, bool d) override { return d; }
        bool askOkCancel(std::string_view, bool d) override { return d; }
    } minimal;
    double width = 0.2, center = 0.5;
    EXPECT_FALSE(minimal.askItemDefaults("title", "note", width, center));

    KConsoleUi console;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(console.askItemDefaults("Defaults", "note", width, center));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Defaults"), std::string::npos);
    EXPECT_EQ(width, 0.2);
    EXPECT_EQ(center, 0.5);

    // The scripted one plays back values, keeps presets it was not given, and cancels
    // a dialog nothing was queued for.
    KScriptedUi ui;
    ui.answerValues(true, {0.6});
    EXPECT_TRUE(ui.askItemDefaults("Defaults", "note", width, center));
    EXPECT_EQ(width, 0.6);
    EXPECT_EQ(center, 0.5);
    EXPECT_FALSE(ui.askItemDefaults("Again", "note", width, center));
    EXPECT_EQ(width, 0.6);
    EXPECT_EQ(ui.unansweredQuestions, 1);
    EXPECT_EQ(ui.questions(), (std::vector<std::string>{"Defaults", "Again"}));
    ASSERT_EQ(ui.valueDialogs.size(), 2u);
    EXPECT_EQ(ui.valueDialogs[1].presets, (std::vector<double>{0.6, 0.5}));
}
