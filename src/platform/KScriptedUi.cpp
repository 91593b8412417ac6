#include "platform/KScriptedUi.h"

void KScriptedUi::message(std::string_view text, Icon icon) {
    events.push_back({Event::Kind::Message, std::string(text)});
    icons.push_back(icon);
}

bool KScriptedUi::nextAnswer(bool defaultAnswer) {
    if (answers_.empty()) {
        ++unansweredQuestions;
        return defaultAnswer;
    }
    const bool a = answers_.front();
    answers_.pop_front();
    return a;
}

bool KScriptedUi::askYesNo(std::string_view text, bool defaultAnswer) {
    events.push_back({Event::Kind::YesNo, std::string(text)});
    return nextAnswer(defaultAnswer);
}

bool KScriptedUi::askOkCancel(std::string_view text, bool defaultAnswer) {
    events.push_back({Event::Kind::OkCancel, std::string(text)});
    return nextAnswer(defaultAnswer);
}

int KScriptedUi::askPixelDepth(int preset, const std::array<bool, 9>& enabled) {
    events.push_back({Event::Kind::PixelDepth, "Image Pixel Depth"});
    pixelDepthQuestions.push_back({preset, enabled});
    if (pixelDepthAnswers_.empty()) {
        ++unansweredQuestions;
        return preset;
    }
    const int a = pixelDepthAnswers_.front();
    pixelDepthAnswers_.pop_front();
    return a;
}

bool KScriptedUi::nextValues(std::vector<double*> fields) {
    if (valueAnswers_.empty()) {
        ++unansweredQuestions;
        return false;
    }
    const ValueAnswer a = valueAnswers_.front();
    valueAnswers_.pop_front();
    if (!a.ok) {
        return false;
    }
    for (size_t i = 0; i < fields.size() && i < a.values.size(); ++i) {
        *fields[i] = a.values[i];
    }
    return true;
}

bool KScriptedUi::askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                                  double& centerPosition) {
    events.push_back({Event::Kind::Values, std::string(title)});
    valueDialogs.push_back({std::string(title), std::string(note), {totalWidth, centerPosition}});
    return nextValues({&totalWidth, &centerPosition});
}

void KScriptedUi::progressBegin(std::string_view title) {
    ++progressDepth;
    lastPosition_ = 0;
    events.push_back({Event::Kind::ProgressBegin, std::string(title)});
}

void KScriptedUi::progressStatus(std::string_view text) {
    events.push_back({Event::Kind::ProgressStatus, std::string(text)});
}

void KScriptedUi::progressPosition(int percent) {
    positions.push_back(percent);
    lastPosition_ = percent;
}

bool KScriptedUi::progressCancelled() {
    return cancelAt_ >= 0 && lastPosition_ >= cancelAt_;
}

void KScriptedUi::progressEnd() {
    --progressDepth;
    events.push_back({Event::Kind::ProgressEnd, {}});
}

std::vector<std::string> KScriptedUi::messages() const {
    std::vector<std::string> out;
    for (const Event& e : events) {
        if (e.kind == Event::Kind::Message) {
            out.push_back(e.text);
        }
    }
    return out;
}

std::vector<std::string> KScriptedUi::questions() const {
    std::vector<std::string> out;
    for (const Event& e : events) {
        if (e.kind == Event::Kind::YesNo || e.kind == Event::Kind::OkCancel ||
            e.kind == Event::Kind::PixelDepth || e.kind == Event::Kind::Values) {
            out.push_back(e.text);
        }
    }
    return out;
}
