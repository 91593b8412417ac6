// The interface through which the core talks to the user.

#include <gtest/gtest.h>

#include <tuple>

#include "platform/KScriptedUi.h"
#include "platform/KUi.h"

// The scripted interface's recording and play-back is what every other core test relies
// on; here are the parts those tests do not reach.

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
    EXPECT_EQ(
        std::tuple(inner.messages(), outer.messages()),
        std::tuple(std::vector<std::string>{"to inner"}, std::vector<std::string>{"to outer"}));
    EXPECT_NE(&kUi(), &outer);
}

TEST(Ui, ProgressAndWaitCursorAreBalanced) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.cancelProgressAt(50);
    {
        KWaitCursor wait;
        KProgress progress("Exporting");
        progress.position(10);
        EXPECT_FALSE(progress.cancelled());
        progress.position(50);
        EXPECT_TRUE(progress.cancelled());
    }
    EXPECT_EQ(std::tuple(ui.waitDepth, ui.progressDepth), std::tuple(0, 0));
    EXPECT_EQ(ui.positions, (std::vector<int>{10, 50}));
}

// The console answers every question with its default (a pixel depth with the preset)
// and says so on standard error.
TEST(Ui, ConsoleUiAnswersWithTheDefault) {
    const std::array<bool, 9> enabled{true, false, false, true, true, true, true, true, false};
    KConsoleUi console;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(console.askYesNo("Replace it?", true));
    EXPECT_FALSE(console.askOkCancel("Continue?", false));
    console.message("Saved.", KUi::Icon::Information);
    EXPECT_EQ(console.askPixelDepth(5, enabled), 5);
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* said : {"Replace it?", "answered: Yes", "answered: Cancel", "Saved.",
                             "Image Pixel Depth", "answered: 5"}) {
        EXPECT_NE(err.find(said), std::string::npos) << said;
    }
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
    EXPECT_EQ(std::tuple(width, center), std::tuple(0.2, 0.5));
}
