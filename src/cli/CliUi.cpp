#include "cli/CliUi.h"

#include <cstdio>
#include <unistd.h>

CliUi::CliUi(bool quiet) : showBar_(!quiet && isatty(STDERR_FILENO)), quiet_(quiet) {}

void CliUi::message(std::string_view text, Icon icon) {
    if (icon != Icon::Information) {
        ++problems;
    }
    if (quiet_ && icon == Icon::Information) {
        return;
    }
    KConsoleUi::message(text, icon);
}

void CliUi::progressBegin(std::string_view title) {
    status_ = std::string(title);
    percent_ = -1;
}

void CliUi::progressStatus(std::string_view text) {
    status_ = std::string(text);
    draw();
}

void CliUi::progressPosition(int percent) {
    if (percent != percent_) {
        percent_ = percent;
        draw();
    }
}

void CliUi::progressEnd() {
    if (showBar_ && percent_ >= 0) {
        std::fputs("\n", stderr);
    }
    percent_ = -1;
}

void CliUi::draw() {
    if (!showBar_) {
        return;
    }
    const int p = percent_ < 0 ? 0 : percent_ > 100 ? 100 : percent_;
    const int filled = p * 30 / 100;
    std::string bar(size_t(filled), '#');
    bar.append(size_t(30 - filled), '.');
    std::string line = status_.substr(0, 40);
    std::fprintf(stderr, "\r[%s] %3d %% %-40s", bar.c_str(), p, line.c_str());
    std::fflush(stderr);
}
