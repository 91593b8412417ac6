// quorl-cli info.

#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/CliCommands.h"
#include "cli/CliHelp.h"
#include "cli/CliSupport.h"
#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"

namespace cli {

Command addInfoCommand(CLI::App& parent) {
    struct InfoArgs {
        std::string path;
        bool json = false;
    };
    auto a = std::make_shared<InfoArgs>();
    CLI::App* sub = addSubcommand(parent, "info");
    sub->add_option("FILE.qrz", a->path, "the document to describe")->required();
    sub->add_flag("--json", a->json, "write the description as JSON instead of text");
    return {sub, [a] {
                int version = 0;
                std::string error;
                std::unique_ptr<CPexaDoc> doc = kOpenDocument(a->path, &error, &version);
                if (!doc) {
                    showError(error);
                    return int(BadInput);
                }
                std::fputs(describeDocument(*doc, version, a->json).c_str(), stdout);
                return int(Ok);
            }};
}

} // namespace cli
