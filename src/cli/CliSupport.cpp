#include "cli/CliSupport.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

#include "cli/CliCommands.h"
#include "cli/CliUi.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "platform/KNumberText.h"

namespace cli {

void showError(const std::string& message) {
    std::fprintf(stderr, "quorl-cli: %s\n", message.c_str());
}

int usageError(const std::string& message) {
    showError(message);
    return Usage;
}

int problemsShown() {
    const auto* ui = dynamic_cast<const CliUi*>(&kUi());
    return ui ? ui->problems : 0;
}

void showUnlessShown(int before, const std::string& message) {
    if (problemsShown() == before) {
        showError(message);
    }
}

std::unique_ptr<CPexaDoc> openDocument(const std::string& path, int& status) {
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kOpenDocument(path, &error);
    if (!doc) {
        showError(error);
        status = BadInput;
    }
    return doc;
}

int saveDocument(CPexaDoc& doc, const std::string& path) {
    const int before = problemsShown();
    std::string error;
    if (!kSaveDocument(doc, path, &error)) {
        showUnlessShown(before, error);
        return WriteFailed;
    }
    return Ok;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int refuseOutputOverInput(const std::string& input, const std::string& out) {
    if (out != "-" && sameFile(input, out)) {
        return usageError("the output \"" + out + "\" is the document \"" + input +
                          "\" itself; choose another file");
    }
    return Ok;
}

std::optional<std::vector<int>> parseIntList(const std::string& text) {
    std::vector<int> out;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        int v = 0;
        const auto r = std::from_chars(text.data() + start, text.data() + end, v);
        if (start == end || r.ec != std::errc() || r.ptr != text.data() + end) {
            return std::nullopt;
        }
        out.push_back(v);
        if (comma == std::string::npos) {
            return out;
        }
        start = comma + 1;
    }
}

CLI::Validator layerListValidator() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return parseIntList(text)
                       ? std::string()
                       : "\"" + text + "\" is not a list of layer numbers such as 0,2";
        },
        "LIST");
}

CLI::Validator finiteRangeValidator(double low, double high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            size_t used = 0;
            const double v = kParseDouble(text, &used);
            if (text.empty() || used != text.size() || !std::isfinite(v) || v < low || v > high) {
                return "\"" + text + "\" is not a number from " + kFormatGeneral(low) + " to " +
                       kFormatGeneral(high);
            }
            return std::string();
        },
        "NUMBER");
}

std::string missingLayers(const CPexaDoc& doc, const std::vector<int>& layers) {
    for (int index : layers) {
        if (!doc.layerAt(index)) {
            return "the document has no layer " + std::to_string(index) + " (it has " +
                   std::to_string(doc.layers.size()) + ", numbered from 0)";
        }
    }
    return {};
}

} // namespace cli
