// quorl-cli: new, image, convert and textures.

#include "cli/CliCommands.h"

#include <cstdio>
#include <filesystem>

#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "document/KDocumentFile.h"
#include "image/KImageMapTga.h"

namespace cli {

namespace {

int usageError(CliArgs& args) {
    std::fprintf(stderr, "quorl-cli: %s\n", args.error().c_str());
    return Usage;
}

std::unique_ptr<CPexaDoc> open(const std::string& path, int& status) {
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kOpenDocument(path, &error);
    if (!doc) {
        std::fprintf(stderr, "quorl-cli: %s\n", error.c_str());
        status = BadInput;
    }
    return doc;
}

int save(CPexaDoc& doc, const std::string& path) {
    std::string error;
    if (!kSaveDocument(doc, path, &error)) {
        std::fprintf(stderr, "quorl-cli: %s\n", error.c_str());
        return WriteFailed;
    }
    return Ok;
}

std::optional<int32_t> shapeId(const std::string& name) {
    if (name == "planar") {
        return CPexaDoc::Planar;
    }
    if (name == "conic") {
        return CPexaDoc::Conic;
    }
    if (name == "spheric") {
        return CPexaDoc::Spheric;
    }
    if (name == "disc") {
        return CPexaDoc::Disc;
    }
    return std::nullopt;
}

} // namespace

int cmdNew(CliArgs& args) {
    CPexaDoc doc;
    if (auto shape = args.value("--shape")) {
        const auto id = shapeId(*shape);
        if (!id) {
            args.fail("--shape must be planar, conic, spheric or disc");
        } else {
            doc.baseShape = *id;
        }
    }
    if (auto res = args.values("--res", 2)) {
        const auto u = args.toInt((*res)[0], "--res U");
        const auto v = args.toInt((*res)[1], "--res V");
        if (u && v) {
            if (*u < 1 || *u > 512 || *v < 1 || *v > 512) {
                args.fail("--res values must be between 1 and 512");
            } else {
                doc.uResolution = *u;
                doc.vResolution = *v;
                doc.bodyPart.setDocumentDefaults(*u, *v);
            }
        }
    }
    const auto path = args.positional();
    if (!path) {
        args.fail("new needs the name of the document to write");
    }
    if (!args.finish()) {
        return usageError(args);
    }
    doc.rebuildGrid();
    return save(doc, *path);
}

int cmdImage(CliArgs& args) {
    KDisplacementImageSpec spec;
    const auto out = args.value("-o");
    if (auto size = args.values("--size", 2)) {
        const auto w = args.toInt((*size)[0], "--size W");
        const auto h = args.toInt((*size)[1], "--size H");
        if (w && h) {
            if (*w < 1 || *w > 512 || *h < 1 || *h > 512) {
                args.fail("--size values must be between 1 and 512");
            }
            spec.width = *w;
            spec.height = *h;
        }
    }
    if (auto layers = args.value("--layers")) {
        if (auto list = args.toIntList(*layers, "--layers")) {
            spec.layers = *list;
        }
    }
    if (auto scale = args.value("--scale")) {
        if (auto s = args.toDouble(*scale, "--scale")) {
            spec.scale = float(*s);
        }
    }
    const auto path = args.positional();
    if (!path) {
        args.fail("image needs a document file");
    }
    if (!out) {
        args.fail("image needs -o OUT.tga");
    }
    if (!args.finish()) {
        return usageError(args);
    }
    int status = Ok;
    std::unique_ptr<CPexaDoc> doc = open(*path, status);
    if (!doc) {
        return status;
    }
    for (int index : spec.layers) {
        if (!doc->layerAt(index)) {
            std::fprintf(stderr, "quorl-cli: the document has no layer %d\n", index);
            return Usage;
        }
    }
    KImageMapTga image;
    kBuildDisplacementImage(*doc, spec, image);
    if (image.save(*out) != KImageMapTga::SaveOk) {
        std::fprintf(stderr, "quorl-cli: cannot write \"%s\"\n", out->c_str());
        return WriteFailed;
    }
    return Ok;
}

int cmdConvert(CliArgs& args) {
    const auto in = args.positional();
    const auto out = args.positional();
    if (!in || !out) {
        args.fail("convert needs IN.qrz and OUT.qrz");
    }
    if (!args.finish()) {
        return usageError(args);
    }
    int status = Ok;
    std::unique_ptr<CPexaDoc> doc = open(*in, status);
    return doc ? save(*doc, *out) : status;
}

int cmdTextures(CliArgs& args) {
    const auto action = args.positional();
    const auto path = args.positional();
    if (!action || !path || (*action != "write" && *action != "check")) {
        args.fail("textures needs \"write OUT.qtl\" or \"check IN.qtl\"");
    }
    if (!args.finish()) {
        return usageError(args);
    }
    if (*action == "write") {
        return KTextureList::defaults().saveFile(*path) ? Ok : WriteFailed;
    }
    KTextureList list;
    if (!list.loadFile(*path)) {
        return BadInput;
    }
    std::printf("%zu textures\n", list.entries.size());
    for (const KTexture& t : list.entries) {
        const uint32_t c = t.packedDiffuse(); // red in the low byte
        std::printf("  %d: %s  diffuse rgb %u,%u,%u\n", t.index, t.name.c_str(), c & 0xFF,
                    (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
    return Ok;
}

} // namespace cli
