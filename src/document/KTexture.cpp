#include "document/KTexture.h"

#include <cmath>

#include "platform/KNumberText.h"

K_IMPLEMENT_SERIAL(KTexture, KObject, 1, true)

KTexture::KTexture() : KTexture(0, "(unknown)", 0x808080) {}

KTexture::KTexture(int32_t idx, std::string_view nm, uint32_t packed)
    : index(idx), name(nm), packedColor(packed) {
    reset();
    setAmbient(packed);
    setDiffuse(packed);
}

void KTexture::reset() {
    ambient = {0.2, 0.2, 0.2, 1.0};
    diffuse = {0.8, 0.8, 0.8, 1.0};
    specular = {0, 0, 0, 1.0};
    emission = {0, 0, 0, 1.0};
}

void KTexture::setFromPacked(KVertex& color, uint32_t packed) {
    color.x = double(packed & 0xFF) / 255.0;
    color.y = double((packed >> 8) & 0xFF) / 255.0;
    color.z = double((packed >> 16) & 0xFF) / 255.0;
}

uint32_t KTexture::packColor(const KVertex& color, float factor) {
    auto byte = [factor](double c) {
        const double v = std::trunc(double(factor) * c * 255.0);
        // The low byte of the integer, as a C cast to int would give for in-range values;
        // out-of-range and non-finite values are clamped rather than undefined.
        if (!(v > -2147483648.0 && v < 2147483648.0)) {
            return uint32_t(0);
        }
        return uint32_t(int32_t(v)) & 0xFFu;
    };
    return byte(color.x) | (byte(color.y) << 8) | (byte(color.z) << 16);
}

KVertex KTexture::scaled(const KVertex& color, float factor) {
    return {color.x * factor, color.y * factor, color.z * factor, color.w};
}

namespace {

void appendColorLine(std::string& out, float factor, const KVertex& c) {
    out += '\t';
    for (double v : {double(factor), c.x, c.y, c.z, c.w}) {
        kAppendGeneral(out, v);
        out += ' ';
    }
}

} // namespace

void KTexture::writeText(std::string& out) const {
    out += '\n';
    for (char ch : name) {
        out += ch == ' ' ? '_' : ch;
    }
    out += " \n\t";
    for (bool sw : {useAmbient, useDiffuse, useEmission, useShininess, useSpecular}) {
        out += sw ? "1 " : "0 ";
    }
    out += '\n';
    appendColorLine(out, ambientFactor, ambient);
    out += '\n';
    appendColorLine(out, diffuseFactor, diffuse);
    out += '\n';
    appendColorLine(out, emissionFactor, emission);
    out += '\n';
    appendColorLine(out, specularFactor, specular);
    kAppendGeneral(out, shininess);
    out += '\n';
}

void KTexture::readText(KTextReader& in) {
    std::string token;
    if (!in.next(token)) {
        return;
    }
    name = token.substr(0, kMaxNameLength);
    for (bool* sw : {&useAmbient, &useDiffuse, &useEmission, &useShininess, &useSpecular}) {
        int64_t v = 0;
        if (!in.nextInt(v)) {
            return;
        }
        *sw = v != 0;
    }
    struct Block {
        float* factor;
        KVertex* color;
    };
    for (Block b : {Block{&ambientFactor, &ambient}, Block{&diffuseFactor, &diffuse},
                    Block{&emissionFactor, &emission}, Block{&specularFactor, &specular}}) {
        double f = 0;
        if (!in.nextDouble(f)) {
            return;
        }
        *b.factor = float(f);
        for (double* c : {&b.color->x, &b.color->y, &b.color->z, &b.color->w}) {
            if (!in.nextDouble(*c)) {
                return;
            }
        }
    }
    double s = 0;
    if (in.nextDouble(s)) {
        shininess = float(s);
    }
}

bool KTextReader::next(std::string& token) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (pos_ < text_.size() && blank(text_[pos_])) {
        ++pos_;
    }
    if (pos_ >= text_.size()) {
        return false;
    }
    const size_t start = pos_;
    while (pos_ < text_.size() && !blank(text_[pos_])) {
        ++pos_;
    }
    token.assign(text_.substr(start, pos_ - start));
    return true;
}

bool KTextReader::nextDouble(double& v) {
    std::string token;
    if (!next(token)) {
        return false;
    }
    v = kParseDouble(token);
    return true;
}

bool KTextReader::nextInt(int64_t& v) {
    double d = 0;
    if (!nextDouble(d)) {
        return false;
    }
    v = std::isfinite(d) && std::fabs(d) < 9.0e18 ? int64_t(d) : 0;
    return true;
}
