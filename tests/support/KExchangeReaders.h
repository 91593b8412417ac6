#pragma once
// Readers for the exchange formats the tests check: a small JSON reader, the chunks of
// a glTF binary file and its accessors, binary STL facets and PLY headers.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
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
        while (at_ < s_.size() && std::strchr(" \t\r\n", s_[at_]) && s_[at_] != '\0') {
            ++at_;
        }
    }
    bool take(char c) {
        blanks();
        if (at_ < s_.size() && s_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    Json fail() {
        ok_ = false;
        at_ = s_.size();
        return {};
    }
    std::string str() {
        std::string out;
        ++at_; // the opening quote
        while (at_ < s_.size() && s_[at_] != '"') {
            const auto c = static_cast<unsigned char>(s_[at_]);
            if (c < 0x20) {
                ok_ = false;
            }
            if (c == '\\') {
                ++at_;
                if (at_ >= s_.size()) {
                    break;
                }
                const char e = s_[at_];
                if (e == 'u') {
                    if (at_ + 4 >= s_.size()) {
                        ok_ = false;
                        break;
                    }
                    const unsigned cp = unsigned(std::stoul(s_.substr(at_ + 1, 4), nullptr, 16));
                    at_ += 4;
                    if (cp < 0x80) {
                        out += char(cp);
                    } else {
                        out += '?';
                    }
                } else if (std::strchr("\"\\/", e)) {
                    out += e;
                } else if (e == 'n') {
                    out += '\n';
                } else if (e == 't') {
                    out += '\t';
                } else {
                    ok_ = false;
                }
            } else {
                out += char(c);
            }
            ++at_;
        }
        if (at_ >= s_.size()) {
            ok_ = false;
        }
        ++at_;
        return out;
    }
    Json value() {
        blanks();
        if (at_ >= s_.size()) {
            return fail();
        }
        Json v;
        const char c = s_[at_];
        if (c == '{') {
            ++at_;
            v.kind = Json::Object;
            if (take('}')) {
                return v;
            }
            do {
                blanks();
                if (at_ >= s_.size() || s_[at_] != '"') {
                    return fail();
                }
                std::string key = str();
                if (!take(':')) {
                    return fail();
                }
                v.fields[key] = value();
            } while (take(','));
            if (!take('}')) {
                return fail();
            }
        } else if (c == '[') {
            ++at_;
            v.kind = Json::Array;
            if (take(']')) {
                return v;
            }
            do {
                v.items.push_back(value());
            } while (take(','));
            if (!take(']')) {
                return fail();
            }
        } else if (c == '"') {
            v.kind = Json::String;
            v.text = str();
        } else if (s_.compare(at_, 4, "true") == 0 || s_.compare(at_, 5, "false") == 0) {
            v.kind = Json::Bool;
            v.boolean = s_[at_] == 't';
            at_ += v.boolean ? 4 : 5;
        } else if (s_.compare(at_, 4, "null") == 0) {
            at_ += 4;
        } else {
            size_t used = 0;
            try {
                v.number = std::stod(s_.substr(at_, 40), &used);
            } catch (...) {
                return fail();
            }
            if (used == 0) {
                return fail();
            }
            v.kind = Json::Number;
            at_ += used;
        }
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
        const size_t comps = type == "VEC3" ? 3 : type == "VEC2" ? 2 : 1;
        const size_t count = size_t(acc["count"].integer());
        if (offset + 4 * comps * count > bin.size()) {
            ADD_FAILURE() << "accessor " << a << " runs past the buffer";
            return out;
        }
        for (size_t k = 0; k < comps * count; ++k) {
            const size_t at = offset + 4 * k;
            out.push_back(acc["componentType"].integer() == 5126 ? double(f32At(bin, at))
                                                                 : double(u32At(bin, at)));
        }
        return out;
    }
};

inline Glb parseGlb(const std::string& file) {
    Glb g;
    if (file.size() < 20 || u32At(file, 0) != 0x46546C67 || u32At(file, 4) != 2 ||
        u32At(file, 8) != file.size()) {
        ADD_FAILURE() << "bad glb header";
        return g;
    }
    const size_t jsonLength = u32At(file, 12);
    if (u32At(file, 16) != 0x4E4F534A || jsonLength % 4 != 0 || 20 + jsonLength > file.size()) {
        ADD_FAILURE() << "bad JSON chunk";
        return g;
    }
    bool ok = false;
    const std::string text = file.substr(20, jsonLength);
    g.json = JsonReader(text).parse(ok);
    if (!ok) {
        ADD_FAILURE() << "JSON chunk does not parse: " << text.substr(0, 400);
        return g;
    }
    size_t at = 20 + jsonLength;
    if (at < file.size()) {
        const size_t binLength = u32At(file, at);
        if (file.size() != at + 8 + binLength || u32At(file, at + 4) != 0x004E4942 ||
            binLength % 4 != 0) {
            ADD_FAILURE() << "bad BIN chunk";
            return g;
        }
        g.bin = file.substr(at + 8, binLength);
    }
    g.ok = true;
    return g;
}

} // namespace exchangetest
