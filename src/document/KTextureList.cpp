#include "document/KTextureList.h"

#include "platform/KFile.h"
#include "platform/KUi.h"

#include <utility>

namespace {

constexpr uint32_t packBgr(uint32_t blue, uint32_t green, uint32_t red) {
    return red | (green << 8) | (blue << 16);
}

// Far more entries than anyone keeps; bounds the work a hostile count can ask for.
constexpr uint64_t kMaxTextureFileBytes = uint64_t(64) << 20;

constexpr const char* kMsgCannotCreate = "Couldn't create export file!";

KTextureList buildDefaults() {
    struct Def {
        const char* name;
        uint32_t color;
    };
    static const Def defs[] = {
        {"texDefault", packBgr(0x60, 0x80, 0x41)},  {"texRed", packBgr(0x00, 0x00, 0xFF)},
        {"texGreen", packBgr(0x00, 0xFF, 0x00)},    {"texBlue", packBgr(0xFF, 0x00, 0x00)},
        {"texYellow", packBgr(0x00, 0xFF, 0xFF)},   {"texCyan", packBgr(0xFF, 0xFF, 0x00)},
        {"texMagenta", packBgr(0xFF, 0x00, 0xFF)},  {"texWhite", packBgr(0xFF, 0xFF, 0xFF)},
        {"texDarkGray", packBgr(0x7F, 0x7F, 0x7F)}, {"texLightGray", packBgr(0xBE, 0xBE, 0xBE)},
        {"texBlack", packBgr(0x00, 0x00, 0x00)},
    };
    KTextureList list;
    int32_t i = 0;
    for (const Def& d : defs) {
        list.entries.emplace_back(i++, d.name, d.color);
    }
    list.markSaved();
    return list;
}

} // namespace

KTextureList KTextureList::defaults() {
    // Built once: every new or opened document starts from a copy, and formatting the
    // saved text each time cost as much as reading a small document.
    static const KTextureList list = buildDefaults();
    return list;
}

const KTexture* KTextureList::textureAt(int index) const {
    if (entries.empty()) {
        return nullptr;
    }
    if (index < 0 || size_t(index) >= entries.size()) {
        return &entries.front();
    }
    return &entries[size_t(index)];
}

KTexture* KTextureList::textureAt(int index) {
    return const_cast<KTexture*>(std::as_const(*this).textureAt(index));
}

std::string KTextureList::textureName(int index) const {
    const KTexture* t = textureAt(index);
    return t ? t->name : "(unknown)";
}

std::string KTextureList::toText() const {
    std::string out = std::string(kHeader) + " " + kVersion + "\n";
    out += std::to_string(entries.size());
    out += '\n';
    for (const KTexture& t : entries) {
        t.writeText(out);
    }
    return out;
}

KTextureList::ReadStatus KTextureList::fromText(std::string_view text) {
    KTextReader in(text);
    std::string token;
    if (!in.next(token) || token != kHeader) {
        return ReadStatus::NotATextureList;
    }
    if (!in.next(token) || token != kVersion) {
        return ReadStatus::BadVersion;
    }
    int64_t count = 0;
    in.nextInt(count);
    entries.clear();
    for (int64_t i = 0; i < count; ++i) {
        // A file that ends early keeps the entries read so far, the last one with the
        // values of a new entry where its fields are missing; no empty entries follow.
        KTextReader probe = in;
        if (!probe.next(token)) {
            break;
        }
        KTexture t(int32_t(i), "(bad load)", 0);
        t.readText(in);
        entries.push_back(std::move(t));
    }
    return ReadStatus::Ok;
}

bool KTextureList::saveFile(const std::string& path) {
    const std::string text = toText();
    std::string reason;
    if (!kWriteFileAtomic(path, text.data(), text.size(), &reason)) {
        kUi().message(std::string(kMsgCannotCreate) + "\n" + reason, KUi::Icon::Error);
        return false;
    }
    savedText_ = text;
    return true;
}

bool KTextureList::loadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!kReadFile(path, bytes, &reason, kMaxTextureFileBytes)) {
        // The program has always used this text for a file it cannot open, too; the
        // second line says what really happened.
        kUi().message(std::string(kMsgCannotCreate) + "\n" + reason, KUi::Icon::Error);
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    switch (fromText(text)) {
    case ReadStatus::NotATextureList:
        kUi().message("File is not a Quorl Texture List!", KUi::Icon::Error);
        return false;
    case ReadStatus::BadVersion:
        kUi().message("Invalid version number in Texture List!", KUi::Icon::Error);
        return false;
    case ReadStatus::Ok:
        break;
    }
    markSaved();
    return true;
}
