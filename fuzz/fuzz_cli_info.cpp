// quorl-cli info on arbitrary bytes: the document loader and both descriptions.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "document/KDocumentFile.h"
#include "platform/KScriptedUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KRegisterCoreClasses();
    KScriptedUi ui;
    KUiScope scope(ui);
    std::string error;
    int version = 0;
    auto doc =
        kLoadDocumentBytes(std::vector<uint8_t>(data, data + size), "fuzz input", &error, &version);
    if (doc) {
        (void)cli::describeDocument(*doc, version, false);
        (void)cli::describeDocument(*doc, version, true);
    }
    return 0;
}
