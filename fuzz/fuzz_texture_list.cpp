// Texture list files.
#include <cstdint>
#include <string_view>

#include "document/KTextureList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    KTextureList list = KTextureList::defaults();
    if (list.fromText(text) == KTextureList::ReadStatus::Ok) {
        (void)list.toText();
        (void)list.textureName(3);
    }
    return 0;
}
