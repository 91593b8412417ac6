// Document files: arbitrary bytes opened the way a file is opened, and nothing more, so
// the fuzzer spends its time on what a damaged file can reach. A failure must say why.
// Saving, reopening, computing and exporting what opens is fuzz_document_export's job.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "platform/KScriptedUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KScriptedUi ui; // messages (the conversion notice, resolution warnings) are only recorded
    KUiScope scope(ui);
    std::string error;
    if (!kLoadDocumentBytes(std::vector<uint8_t>(data, data + size), "fuzz input", &error) &&
        error.empty()) {
        std::abort();
    }
    return 0;
}
