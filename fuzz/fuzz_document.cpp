// Document files: arbitrary bytes opened the way a file is opened. A document that
// opens must save, and what it saves must open again.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "platform/KScriptedUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KScriptedUi ui; // messages (the conversion notice, missing images) are only recorded
    KUiScope scope(ui);
    std::string error;
    std::unique_ptr<CPexaDoc> doc =
        kLoadDocumentBytes(std::vector<uint8_t>(data, data + size), "fuzz input", &error);
    if (!doc) {
        if (error.empty()) {
            std::abort(); // a failure must say why
        }
        return 0;
    }
    std::vector<uint8_t> saved = kDocumentBytes(*doc);
    if (!kLoadDocumentBytes(std::move(saved), "saved fuzz input", &error)) {
        std::abort();
    }
    return 0;
}
