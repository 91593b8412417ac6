// quorl-cli: the modeller's work without a window.

#include <cstdio>
#include <cstring>
#include <string>

#include "model/KBdlCurve.h"
#include "model/KModelClasses.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

namespace {

void printUsage() {
    std::puts("Usage: quorl-cli <command> [arguments]\n"
              "\n"
              "Commands:\n"
              "  demo              evaluate a sample profile curve and print its values\n"
              "  curve STRING [N]  parse a control-point string and print N+1 samples of it\n"
              "  version           print the version");
}

int printCurve(const std::string& text, int steps) {
    KBdlCurve curve;
    const int status = curve.parse(text);
    if (status != KBdlCurve::ParseOk && status != KBdlCurve::ParseFewVertices) {
        std::fprintf(stderr, "%s\n", KBdlCurve::parseMessage(status).c_str());
        return 1;
    }
    std::printf("curve: %s\n", curve.getString().c_str());
    std::printf("points: %d  knot total: %s\n", curve.count(),
                kFormatGeneral(curve.totalLength()).c_str());
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        std::printf("t=%s  value=%s\n", kFormatFixed(t, 3).c_str(),
                    kFormatGeneral(curve.value(t)).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    KRegisterModelClasses();
    KConsoleUi console;
    KUiScope scope(console);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage();
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    if (command == "version" || command == "--version") {
        std::printf("quorl-cli %s\n", QUORL_VERSION);
        return 0;
    }
    if (command == "demo") {
        return printCurve("< 0, 0.00 >, < 0.50, 1.00 >, < 1.00, 0.00 >", 10);
    }
    if (command == "curve" && argc >= 3) {
        const int steps = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 10;
        return printCurve(argv[2], steps);
    }
    std::fprintf(stderr, "quorl-cli: unknown command '%s'\n", command.c_str());
    printUsage();
    return 2;
}
