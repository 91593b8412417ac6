#pragma once
// A KUi for tests: records everything the core shows and plays back queued answers.

#include <deque>
#include <string>
#include <vector>

#include "platform/KUi.h"

class KScriptedUi : public KUi {
public:
    struct Event {
        enum class Kind {
            Message,
            YesNo,
            OkCancel,
            PixelDepth,
            ProgressBegin,
            ProgressStatus,
            ProgressEnd
        };
        Kind kind;
        std::string text;
    };

    // Queues the answers to the next questions, in order. A question with nothing
    // queued gets its default answer and is counted in unansweredQuestions.
    void answer(bool yesOrOk) { answers_.push_back(yesOrOk); }
    // Queues the answers to the next "Image Pixel Depth" dialogs: an option, or -1 for
    // Cancel. Without one the dialog answers with its preset and is counted as above.
    void answerPixelDepth(int option) { pixelDepthAnswers_.push_back(option); }
    // Makes progressCancelled report true once position reaches percent.
    void cancelProgressAt(int percent) { cancelAt_ = percent; }

    void message(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, bool defaultAnswer) override;
    bool askOkCancel(std::string_view text, bool defaultAnswer) override;
    // Recorded as a question with the dialog's title, "Image Pixel Depth".
    int askPixelDepth(int preset, const std::array<bool, 9>& enabled) override;
    void beginWaitCursor() override {
        ++waitDepth;
        ++waitCount;
    }
    void endWaitCursor() override { --waitDepth; }
    void progressBegin(std::string_view title) override;
    void progressStatus(std::string_view text) override;
    void progressPosition(int percent) override;
    bool progressCancelled() override;
    void progressEnd() override;

    // Texts of all message boxes, in order.
    std::vector<std::string> messages() const;
    // Texts of all questions, in order.
    std::vector<std::string> questions() const;

    struct PixelDepthQuestion {
        int preset;
        std::array<bool, 9> enabled;
    };

    std::vector<Event> events;
    std::vector<PixelDepthQuestion> pixelDepthQuestions;
    std::vector<Icon> icons;
    std::vector<int> positions;
    int waitDepth = 0;
    int waitCount = 0;
    int progressDepth = 0;
    int unansweredQuestions = 0;

private:
    bool nextAnswer(bool defaultAnswer);
    std::deque<bool> answers_;
    std::deque<int> pixelDepthAnswers_;
    int cancelAt_ = -1;
    int lastPosition_ = 0;
};
