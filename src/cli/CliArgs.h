#pragma once
// A small command-line reader: positional words and --options, with the errors a user
// needs to see.

#include <optional>
#include <string>
#include <vector>

class CliArgs {
public:
    CliArgs(int argc, char** argv, int first);

    // True (and consumed) when the flag is present.
    bool flag(const std::string& name);
    // The value after --name (consumed), or nullopt when absent. A missing value is an
    // error.
    std::optional<std::string> value(const std::string& name);
    // count values after --name.
    std::optional<std::vector<std::string>> values(const std::string& name, int count);
    // The next positional word (consumed), or nullopt.
    std::optional<std::string> positional();

    // Anything not consumed is an error; call after reading everything.
    bool finish();
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    void fail(const std::string& message);

    // Converters that record an error for bad numbers.
    std::optional<int> toInt(const std::string& text, const std::string& what);
    std::optional<double> toDouble(const std::string& text, const std::string& what);
    // "0,2,5" → {0, 2, 5}
    std::optional<std::vector<int>> toIntList(const std::string& text, const std::string& what);

private:
    std::vector<std::string> words_;
    std::vector<bool> used_;
    std::string error_;
};
