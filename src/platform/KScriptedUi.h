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
            Values, // a dialog of values; text is its title
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
    // Queues the answer to the next dialog of values: OK with the given values (in the
    // order the dialog lists them; missing ones keep their presets) or Cancel. A dialog
    // with nothing queued is cancelled and counted in unansweredQuestions.
    void answerValues(bool ok, std::vector<double> values = {}) {
        valueAnswers_.push_back({ok, std::move(values)});
    }
    // Makes progressCancelled report true once position reaches percent.
    void cancelProgressAt(int percent) { cancelAt_ = percent; }

    void message(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, bool defaultAnswer) override;
    bool askOkCancel(std::string_view text, bool defaultAnswer) override;
    // Recorded as a question with the dialog's title, "Image Pixel Depth".
    int askPixelDepth(int preset, const std::array<bool, 9>& enabled) override;
    bool askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                         double& centerPosition) override;
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
    // Texts of all questions (titles of dialogs of values), in order.
    std::vector<std::string> questions() const;

    struct PixelDepthQuestion {
        int preset;
        std::array<bool, 9> enabled;
    };
    // Every dialog of values that was shown: its title, note and preset values.
    struct ValueDialog {
        std::string title;
        std::string note;
        std::vector<double> presets;
    };
    std::vector<ValueDialog> valueDialogs;

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
    bool nextValues(std::vector<double*> fields);
    struct ValueAnswer {
        bool ok;
        std::vector<double> values;
    };
    std::deque<bool> answers_;
    std::deque<int> pixelDepthAnswers_;
    std::deque<ValueAnswer> valueAnswers_;
    int cancelAt_ = -1;
    int lastPosition_ = 0;
};
