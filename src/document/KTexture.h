#pragma once
// One named surface material of the document's texture list: four colours with a factor
// each, a shininess, and five switches that say which of them are applied.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/KVertex.h"
#include "platform/KObject.h"

class KTextReader;

class KTexture : public KObject {
    K_DECLARE_SERIAL(KTexture)
public:
    // Colours hold r, g, b, alpha in x, y, z, w.
    KTexture();
    KTexture(int32_t index, std::string_view name, uint32_t packedColor);

    // r, g, b from a packed colour (red in the low byte) / 255; alpha is kept.
    void setAmbient(uint32_t packed) { setFromPacked(ambient, packed); }
    void setDiffuse(uint32_t packed) { setFromPacked(diffuse, packed); }
    void setSpecular(uint32_t packed) { setFromPacked(specular, packed); }
    void setEmission(uint32_t packed) { setFromPacked(emission, packed); }

    // For each of r, g, b: the low byte of trunc(factor × component × 255).
    uint32_t packedAmbient() const { return packColor(ambient, ambientFactor); }
    uint32_t packedDiffuse() const { return packColor(diffuse, diffuseFactor); }
    uint32_t packedSpecular() const { return packColor(specular, specularFactor); }
    uint32_t packedEmission() const { return packColor(emission, emissionFactor); }

    // r, g and b multiplied by the factor, alpha unchanged: what a material applies.
    static KVertex scaled(const KVertex& color, float factor);

    // The entry's record in a texture list file.
    void writeText(std::string& out) const;
    // Reads the record; stops quietly where the text ends, keeping the values not read.
    void readText(KTextReader& in);

    static constexpr size_t kMaxNameLength = 83;

    int32_t index = 0;
    std::string name = "(unknown)";
    uint32_t packedColor = 0x808080;
    KVertex ambient;
    KVertex diffuse;
    KVertex specular{0, 0, 0, 1.0};
    KVertex emission{0, 0, 0, 1.0};
    float shininess = 128.0f;
    float ambientFactor = 1.0f;
    float diffuseFactor = 1.0f;
    float specularFactor = 1.0f;
    float emissionFactor = 1.0f;
    bool useAmbient = true;
    bool useDiffuse = true;
    bool useSpecular = false;
    bool useEmission = false;
    bool useShininess = false;

private:
    static void setFromPacked(KVertex& color, uint32_t packed);
    static uint32_t packColor(const KVertex& color, float factor);
    void reset();
};

// Whitespace-separated tokens of a text file.
class KTextReader {
public:
    explicit KTextReader(std::string_view text) : text_(text) {}
    // The next token, or false at the end of the text.
    bool next(std::string& token);
    bool nextDouble(double& v);
    bool nextInt(int64_t& v);

private:
    std::string_view text_;
    size_t pos_ = 0;
};
