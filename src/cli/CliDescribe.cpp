// What quorl-cli info prints: a description of a document, as text or JSON.

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "cli/CliCommands.h"
#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "platform/KNumberText.h"

namespace cli {

namespace {

std::string shapeName(int32_t shape) {
    switch (shape) {
    case CPexaDoc::Planar:
        return "planar";
    case CPexaDoc::Conic:
        return "conic";
    case CPexaDoc::Spheric:
        return "spheric";
    case CPexaDoc::Disc:
        return "disc";
    default:
        break;
    }
    if (shape >= 100 && shape <= 103) {
        return "superquadric";
    }
    return "other (" + std::to_string(shape) + ")";
}

// The bend type as the anatomy sheet names it: "Type 2" is the stored value 1 and every
// other value bends as "Type1".
int bendTypeNumber(const KBdlBodyPart& b) {
    return b.bendType == 1 ? 2 : 1;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string num(double v) {
    // JSON has no NaN or infinity; a hostile file may hold them.
    return std::isfinite(v) ? kFormatGeneral(v) : "null";
}

struct ImageFacts {
    std::string file;
    int width = 0;
    int height = 0;
};

ImageFacts imageFacts(const KBdlLayer& layer) {
    ImageFacts f;
    if (const KImageMap* map = layer.getImageMap()) {
        f.file = map->name;
        if (const auto* tga = dynamic_cast<const KImageMapTga*>(map)) {
            f.width = tga->width();
            f.height = tga->height();
        }
    }
    return f;
}

// printf into a string; only integers and texts go through it (reals are formatted
// with kFormatGeneral), so the locale cannot change the output.
[[gnu::format(printf, 2, 3)]] void appendf(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        const size_t at = out.size();
        out.resize(at + size_t(n) + 1);
        std::vsnprintf(out.data() + at, size_t(n) + 1, format, args);
        out.resize(at + size_t(n));
    }
    va_end(args);
}

std::string describeText(const CPexaDoc& doc, int version) {
    std::string out;
    appendf(out, "format version: %d\n", version);
    appendf(out, "name: %s\n", doc.objectName.c_str());
    appendf(out, "description: %s\n", doc.description.c_str());
    appendf(out, "grid: %d x %d cells, %d x %d samples, clip u %s..%s v %s..%s\n", doc.uResolution,
            doc.vResolution, doc.meshGrid ? doc.meshGrid->uCount() : 0,
            doc.meshGrid ? doc.meshGrid->vCount() : 0, num(doc.clip.uFrom).c_str(),
            num(doc.clip.uTo).c_str(), num(doc.clip.vFrom).c_str(), num(doc.clip.vTo).c_str());
    appendf(out, "shape: %s, scaling u %s v %s height %s, mesh type %s\n",
            shapeName(doc.baseShape).c_str(), num(doc.scalingU).c_str(), num(doc.scalingV).c_str(),
            num(doc.scalingHeight).c_str(),
            doc.meshType == CPexaDoc::Layered ? "layered" : "skinned");
    const KBdlBodyPart& b = doc.bodyPart;
    appendf(out, "anatomy: %d segments, total length %s, bends %s (type %d), curvature %s\n",
            b.lengths.count(), num(b.totalLength()).c_str(), b.bendsOn ? "on" : "off",
            bendTypeNumber(b), b.curvatureOn ? "on" : "off");
    appendf(out, "  lengths: %s\n  joint bends: %s\n", b.lengths.getString().c_str(),
            b.jointBends.getString().c_str());
    appendf(out, "layers: %zu\n", doc.layers.size());
    for (size_t k = 0; k < doc.layers.size(); ++k) {
        const KBdlLayer& layer = *doc.layers[k];
        appendf(out, "  %zu: %s%s%s, scale %s, %zu muscles\n", k, layer.name.c_str(),
                layer.active ? "" : " (inactive)", layer.physical ? "" : " (not physical)",
                num(layer.scale).c_str(), layer.muscles.size());
        for (const auto& m : layer.muscles) {
            appendf(out, "     - %s: %s, height %s%s\n", m->name.c_str(),
                    KBdlMuscle::typeName(m->muscleType).c_str(), num(m->height).c_str(),
                    m->active ? "" : " (inactive)");
        }
        const ImageFacts img = imageFacts(layer);
        if (!img.file.empty()) {
            appendf(out, "     image: %s (%d x %d)%s\n", img.file.c_str(), img.width, img.height,
                    layer.backgroundOnly ? ", background only" : "");
        }
    }
    appendf(out, "textures: %zu\n", doc.textures.entries.size());
    for (const KTexture& t : doc.textures.entries) {
        appendf(out, "  %d: %s\n", t.index, t.name.c_str());
    }
    return out;
}

std::string describeJson(const CPexaDoc& doc, int version) {
    std::string o = "{\n";
    o += "  \"formatVersion\": " + std::to_string(version) + ",\n";
    o += "  \"name\": " + jsonString(doc.objectName) + ",\n";
    o += "  \"description\": " + jsonString(doc.description) + ",\n";
    o += "  \"grid\": {\"uResolution\": " + std::to_string(doc.uResolution) +
         ", \"vResolution\": " + std::to_string(doc.vResolution) +
         ", \"uSamples\": " + std::to_string(doc.meshGrid ? doc.meshGrid->uCount() : 0) +
         ", \"vSamples\": " + std::to_string(doc.meshGrid ? doc.meshGrid->vCount() : 0) +
         ", \"clip\": [" + num(doc.clip.uFrom) + ", " + num(doc.clip.uTo) + ", " +
         num(doc.clip.vFrom) + ", " + num(doc.clip.vTo) + "]},\n";
    o += "  \"shape\": " + jsonString(shapeName(doc.baseShape)) +
         ", \"shapeId\": " + std::to_string(doc.baseShape) + ",\n";
    o += "  \"scaling\": [" + num(doc.scalingU) + ", " + num(doc.scalingV) + ", " +
         num(doc.scalingHeight) + "],\n";
    o +=
        "  \"meshType\": " + jsonString(doc.meshType == CPexaDoc::Layered ? "layered" : "skinned") +
        ",\n";
    const KBdlBodyPart& b = doc.bodyPart;
    o += "  \"anatomy\": {\"segments\": " + std::to_string(b.lengths.count()) +
         ", \"totalLength\": " + num(b.totalLength()) +
         ", \"bends\": " + (b.bendsOn ? "true" : "false") +
         ", \"bendType\": " + std::to_string(bendTypeNumber(b)) +
         ", \"curvature\": " + (b.curvatureOn ? "true" : "false") +
         ", \"lengths\": " + jsonString(b.lengths.getString()) +
         ", \"jointBends\": " + jsonString(b.jointBends.getString()) + "},\n";
    o += "  \"layers\": [";
    for (size_t k = 0; k < doc.layers.size(); ++k) {
        const KBdlLayer& layer = *doc.layers[k];
        o += k ? ",\n    " : "\n    ";
        o += "{\"name\": " + jsonString(layer.name) +
             ", \"active\": " + (layer.active ? "true" : "false") +
             ", \"physical\": " + (layer.physical ? "true" : "false") +
             ", \"scale\": " + num(layer.scale) + ", \"muscles\": [";
        for (size_t m = 0; m < layer.muscles.size(); ++m) {
            const KBdlMuscle& mu = *layer.muscles[m];
            o += m ? ", " : "";
            o += "{\"name\": " + jsonString(mu.name) +
                 ", \"type\": " + jsonString(KBdlMuscle::typeName(mu.muscleType)) +
                 ", \"height\": " + num(mu.height) +
                 ", \"active\": " + (mu.active ? "true" : "false") + "}";
        }
        o += "]";
        const ImageFacts img = imageFacts(layer);
        if (!img.file.empty()) {
            o += ", \"image\": {\"file\": " + jsonString(img.file) +
                 ", \"width\": " + std::to_string(img.width) +
                 ", \"height\": " + std::to_string(img.height) + "}";
        }
        o += "}";
    }
    o += "\n  ],\n  \"textures\": [";
    for (size_t i = 0; i < doc.textures.entries.size(); ++i) {
        o += (i ? ", " : "") + jsonString(doc.textures.entries[i].name);
    }
    o += "]\n}\n";
    return o;
}

} // namespace

std::string describeDocument(const CPexaDoc& doc, int version, bool json) {
    return json ? describeJson(doc, version) : describeText(doc, version);
}

} // namespace cli
