#pragma once
// The command line's KUi: messages on stderr, questions answered with their defaults,
// and a progress bar on stderr when it is a terminal (unless quiet). The environment
// variable QUORL_CLI_PROGRESS=1 draws the bar on any stderr, for logs and tests.

#include <string>

#include "platform/KUi.h"

class CliUi : public KConsoleUi {
public:
    explicit CliUi(bool quiet);
    void progressBegin(std::string_view title) override;
    void progressStatus(std::string_view text) override;
    void progressPosition(int percent) override;
    void progressEnd() override;
    void message(std::string_view text, Icon icon) override;

    // How many error and warning messages were shown.
    int problems = 0;

private:
    void draw();
    bool showBar_;
    bool quiet_;
    bool drawn_ = false; // the bar is on the current line of stderr
    std::string status_;
    int percent_ = -1;
};
