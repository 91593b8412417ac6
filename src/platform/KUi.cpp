#include "platform/KUi.h"

#include <cstdio>
#include <string>

namespace {

KConsoleUi& consoleUi() {
    static KConsoleUi instance;
    return instance;
}

KUi* current = nullptr;

const char* iconWord(KUi::Icon icon) {
    switch (icon) {
    case KUi::Icon::Warning:
        return "warning";
    case KUi::Icon::Error:
        return "error";
    case KUi::Icon::Information:
        break;
    }
    return "note";
}

void writeLine(std::string_view prefix, std::string_view text) {
    std::string line(prefix);
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace

KUi& kUi() {
    return current ? *current : consoleUi();
}

KUi* kSetUi(KUi* ui) {
    KUi* previous = current;
    current = ui;
    return previous;
}

void KConsoleUi::message(std::string_view text, Icon icon) {
    writeLine(std::string(iconWord(icon)) + ": ", text);
}

bool KConsoleUi::askYesNo(std::string_view text, bool defaultAnswer) {
    writeLine("question: ", text);
    writeLine("  answered: ", defaultAnswer ? "Yes" : "No");
    return defaultAnswer;
}

bool KConsoleUi::askOkCancel(std::string_view text, bool defaultAnswer) {
    writeLine("question: ", text);
    writeLine("  answered: ", defaultAnswer ? "OK" : "Cancel");
    return defaultAnswer;
}

int KUi::askPixelDepth(int preset, const std::array<bool, 9>& enabled) {
    (void)enabled;
    return preset;
}

int KConsoleUi::askPixelDepth(int preset, const std::array<bool, 9>& enabled) {
    (void)enabled;
    writeLine("question: ", "Image Pixel Depth");
    writeLine("  answered: ", std::to_string(preset));
    return preset;
}

bool KConsoleUi::askItemDefaults(std::string_view title, std::string_view note, double& totalWidth,
                                 double& centerPosition) {
    (void)note;
    (void)totalWidth;
    (void)centerPosition;
    writeLine("question: ", title);
    writeLine("  answered: ", "OK (preset values kept)");
    return true;
}

void KConsoleUi::progressStatus(std::string_view text) {
    if (verbose) {
        writeLine("", text);
    }
}
