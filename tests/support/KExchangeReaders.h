#pragma once
// Readers for the exchange formats the tests check: a small strict JSON reader and the
// chunks of a glTF binary file with its accessors.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace exchangetest {

// A JSON value: null, bool, number, string, array or object.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    const Json& operator[](const std::string& key) const {
        static const Json none;
        const auto f = fields.find(key);
        return f == fields.end() ? none : f->second;
    }
    const Json& operator[](size_t k) const {
        static const Json none;
        return k < items.size() ? items[k] : none;
    }
    bool has(const std::string& key) const { return fields.count(key) != 0; }
    long long integer() const { return static_cast<long long>(number); }
};

// Parses strict JSON; ok is false on any error (trailing bytes included, apart from
// blanks).
class JsonReader {
public:
    explicit JsonReader(const std::string& text) : s_(text) {}
    Json parse(bool& ok) {
        Json v = value();
        blanks();
        ok = ok_ && at_ == s_.size();
        return v;
    }

private:
    void blanks() {
        while (at_ < s_.size() && s_[at_] != '\0' && std::strchr(" \t\r\n", s_[at_])) {
            ++at_;
        }
    }
    bool take(char c) {
        blanks();
        const bool there = at_ < s_.size() && s_[at_] == c;
        at_ += there ? 1 : 0;
        return there;
    }
    Json fail() {
        ok_ = false;
        at_ = s_.size();
        return {};
    }
    // A string from its opening quote on; control characters and unknown escapes fail.
    std::string str() {
        static const char escapes[] = "\"\\/bfnrt";
        std::string out;
        while (++at_ < s_.size() && s_[at_] != '"') {
            const auto c = static_cast<unsigned char>(s_[at_]);
            ok_ = ok_ && c >= 0x20;
            if (c != '\\') {
                out += char(c);
                continue;
            }
            const char e = ++at_ < s_.size() ? s_[at_] : '\0';
            const char* plain = e == '\0' ? nullptr : std::strchr(escapes, e);
            if (e == 'u' && at_ + 4 < s_.size()) {
                const unsigned cp = unsigned(std::stoul(s_.substr(at_ + 1, 4), nullptr, 16));
                out += cp < 0x80 ? char(cp) : '?';
                at_ += 4;
            } else if (plain) {
                out += "\"\\/\b\f\n\r\t"[plain - escapes];
            } else {
                ok_ = false;
            }
        }
        ok_ = ok_ && at_ < s_.size();
        ++at_;
        return out;
    }
    Json value() {
        blanks();
        Json v;
        if (at_ >= s_.size()) {
            return fail();
        }
        if (take('{')) {
            v.kind = Json::Object;
            if (take('}')) {
                return v;
            }
            do {
                if (!take('"')) {
                    return fail();
                }
                --at_;
                const std::string key = str();
                if (!take(':')) {
                    return fail();
                }
                v.fields[key] = value();
            } while (take(','));
            return take('}') ? v : fail();
        }
        if (take('[')) {
            v.kind = Json::Array;
            if (take(']')) {
                return v;
            }
            do {
                v.items.push_back(value());
            } while (take(','));
            return take(']') ? v : fail();
        }
        if (s_[at_] == '"') {
            v.kind = Json::String;
            v.text = str();
            return v;
        }
        for (const std::string word : {"true", "false", "null"}) {
            if (s_.compare(at_, word.size(), word) == 0) {
                at_ += word.size();
                v.kind = word == "null" ? Json::Null : Json::Bool;
                v.boolean = word == "true";
                return v;
            }
        }
        size_t used = 0;
        try {
            v.number = std::stod(s_.substr(at_, 40), &used);
        } catch (...) {
            return fail();
        }
        v.kind = Json::Number;
        at_ += used;
        return v;
    }

    const std::string& s_;
    size_t at_ = 0;
    bool ok_ = true;
};

inline uint32_t u32At(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k) {
        v = (v << 8) | static_cast<unsigned char>(b[at + size_t(k)]);
    }
    return v;
}

inline float f32At(const std::string& b, size_t at) {
    const uint32_t bits = u32At(b, at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A glTF binary file split into its JSON and binary chunks, with the header checked.
struct Glb {
    bool ok = false;
    Json json;
    std::string bin;

    // The values of accessor a: count x components floats (or indices as floats).
    std::vector<double> read(int a) const {
        std::vector<double> out;
        const Json& acc = json["accessors"][size_t(a)];
        const Json& view = json["bufferViews"][size_t(acc["bufferView"].integer())];
        const size_t offset = size_t(view["byteOffset"].integer());
        const std::string type = acc["type"].text;
        const size_t values = (type == "VEC3"   ? 3
                               : type == "VEC2" ? 2
                                                : 1) *
                              size_t(acc["count"].integer());
        if (offset + 4 * values > bin.size()) {
            ADD_FAILURE() << "accessor " << a << " runs past the buffer";
            return out;
        }
        const bool floats = acc["componentType"].integer() == 5126;
        for (size_t at = offset; at < offset + 4 * values; at += 4) {
            out.push_back(floats ? double(f32At(bin, at)) : double(u32At(bin, at)));
        }
        return out;
    }
};

// The header, the JSON chunk and the binary chunk checked; a failure is reported.
inline Glb parseGlb(const std::string& file) {
    Glb g;
    const size_t jsonLength = file.size() < 20 ? 0 : u32At(file, 12);
    if (file.size() < 20 || u32At(file, 0) != 0x46546C67 || u32At(file, 4) != 2 ||
        u32At(file, 8) != file.size() || u32At(file, 16) != 0x4E4F534A || jsonLength % 4 != 0 ||
        20 + jsonLength > file.size()) {
        ADD_FAILURE() << "bad glb header or JSON chunk";
        return g;
    }
    bool ok = false;
    const std::string text = file.substr(20, jsonLength);
    g.json = JsonReader(text).parse(ok);
    const size_t at = 20 + jsonLength;
    const size_t binLength = at + 8 <= file.size() ? u32At(file, at) : 0;
    if (!ok) {
        ADD_FAILURE() << "JSON chunk does not parse: " << text.substr(0, 400);
    } else if (at < file.size() && (file.size() != at + 8 + binLength ||
                                    u32At(file, at + 4) != 0x004E4942 || binLength % 4 != 0)) {
        ADD_FAILURE() << "bad BIN chunk";
    } else {
        g.bin = at < file.size() ? file.substr(at + 8, binLength) : "";
        g.ok = true;
    }
    return g;
}

} // namespace exchangetest
