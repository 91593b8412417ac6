#include "cli/CliArgs.h"

#include <charconv>

#include "platform/KNumberText.h"

CliArgs::CliArgs(int argc, char** argv, int first) {
    for (int i = first; i < argc; ++i) {
        words_.emplace_back(argv[i]);
    }
    used_.assign(words_.size(), false);
}

void CliArgs::fail(const std::string& message) {
    if (error_.empty()) {
        error_ = message;
    }
}

bool CliArgs::flag(const std::string& name) {
    bool found = false;
    for (size_t i = 0; i < words_.size(); ++i) {
        if (!used_[i] && words_[i] == name) {
            used_[i] = true;
            found = true;
        }
    }
    return found;
}

std::optional<std::vector<std::string>> CliArgs::values(const std::string& name, int count) {
    for (size_t i = 0; i < words_.size(); ++i) {
        if (used_[i] || words_[i] != name) {
            continue;
        }
        used_[i] = true;
        std::vector<std::string> out;
        for (int k = 1; k <= count; ++k) {
            if (i + size_t(k) >= words_.size() || used_[i + size_t(k)]) {
                fail(name + " needs " + std::to_string(count) +
                     (count == 1 ? " value" : " values"));
                return std::nullopt;
            }
            used_[i + size_t(k)] = true;
            out.push_back(words_[i + size_t(k)]);
        }
        return out;
    }
    return std::nullopt;
}

std::optional<std::string> CliArgs::value(const std::string& name) {
    auto v = values(name, 1);
    if (!v) {
        return std::nullopt;
    }
    return v->front();
}

std::optional<std::string> CliArgs::positional() {
    for (size_t i = 0; i < words_.size(); ++i) {
        if (!used_[i] && (words_[i].empty() || words_[i][0] != '-' || words_[i] == "-")) {
            used_[i] = true;
            return words_[i];
        }
    }
    return std::nullopt;
}

bool CliArgs::finish() {
    for (size_t i = 0; i < words_.size(); ++i) {
        if (!used_[i]) {
            fail((words_[i].rfind("--", 0) == 0 ? "unknown option " : "unexpected argument ") +
                 words_[i]);
        }
    }
    return !failed();
}

std::optional<int> CliArgs::toInt(const std::string& text, const std::string& what) {
    int v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        fail(what + " must be a whole number, not \"" + text + "\"");
        return std::nullopt;
    }
    return v;
}

std::optional<double> CliArgs::toDouble(const std::string& text, const std::string& what) {
    size_t used = 0;
    const double v = kParseDouble(text, &used);
    if (text.empty() || used != text.size()) {
        fail(what + " must be a number, not \"" + text + "\"");
        return std::nullopt;
    }
    return v;
}

std::optional<std::vector<int>> CliArgs::toIntList(const std::string& text,
                                                   const std::string& what) {
    std::vector<int> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        auto v = toInt(item, what);
        if (!v) {
            return std::nullopt;
        }
        out.push_back(*v);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return out;
}
