#include "cli/CliUi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

bool barWanted(bool quiet) {
    if (quiet) {
        return false;
    }
    const char* forced = std::getenv("QUORL_CLI_PROGRESS");
    return (forced && std::strcmp(forced, "1") == 0) || isatty(STDERR_FILENO);
}

} // namespace

CliUi::CliUi(bool quiet) : showBar_(barWanted(quiet)), quiet_(quiet) {}

void CliUi::message(std::string_view text, Icon icon) {
    if (icon != Icon::Information) {
        ++problems;
    }
    if (quiet_ && icon == Icon::Information) {
        return;
    }
    if (drawn_) {
        // A message starts on a line of its own, not after the bar.
        std::fputs("\n", stderr);
        drawn_ = false;
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
    // The writers report the start of their last row, not its end: a finished job shows
    // 100 % and the next output starts on a new line.
    if (drawn_) {
        percent_ = 100;
        draw();
        std::fputs("\n", stderr);
        drawn_ = false;
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
    drawn_ = true;
}
