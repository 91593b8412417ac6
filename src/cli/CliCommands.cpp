// quorl-cli: new, image, convert and textures.

#include "cli/CliCommands.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <map>

#include "cli/CliHelp.h"
#include "cli/CliSupport.h"
#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "image/KImageMapTga.h"
#include "platform/KNumberText.h"

namespace cli {

namespace {

const std::map<std::string, int32_t> kShapes = {{"planar", CPexaDoc::Planar},
                                                {"conic", CPexaDoc::Conic},
                                                {"spheric", CPexaDoc::Spheric},
                                                {"disc", CPexaDoc::Disc}};

// The limit of --scale: far beyond what shows in 8 bits, short of overflowing a float.
constexpr double kMaxImageScale = 1e6;

struct NewArgs {
    std::string path;
    std::string shape;
    std::vector<int> res;
};

int runNew(const NewArgs& a) {
    CPexaDoc doc;
    if (!a.shape.empty()) {
        doc.baseShape = kShapes.at(a.shape);
    }
    if (a.res.size() == 2) {
        doc.uResolution = a.res[0];
        doc.vResolution = a.res[1];
        doc.bodyPart.setDocumentDefaults(a.res[0], a.res[1]);
    }
    doc.rebuildGrid();
    return saveDocument(doc, a.path);
}

struct ImageArgs {
    std::string input;
    std::string out;
    std::vector<int> size;
    std::string layers;
    std::string scale;
};

int runImage(const ImageArgs& a) {
    if (const int refused = refuseOutputOverInput(a.input, a.out)) {
        return refused;
    }
    KDisplacementImageRequest request;
    if (a.size.size() == 2) {
        request.width = a.size[0];
        request.height = a.size[1];
    }
    if (!a.layers.empty()) {
        request.layers = *parseIntList(a.layers);
    }
    if (!a.scale.empty()) {
        request.scale = float(kParseDouble(a.scale));
    }
    int status = Ok;
    std::unique_ptr<CPexaDoc> doc = openDocument(a.input, status);
    if (!doc) {
        return status;
    }
    if (const std::string missing = missingLayers(*doc, request.layers); !missing.empty()) {
        return usageError(missing);
    }
    KImageMapTga image;
    kBuildDisplacementImage(*doc, request, image);
    const int before = problemsShown();
    std::string reason;
    if (image.save(a.out, &reason) != KImageMapTga::SaveOk) {
        showUnlessShown(before, reason);
        return WriteFailed;
    }
    return Ok;
}

int runTextures(const std::string& action, const std::string& path) {
    if (action == "write") {
        return KTextureList::defaults().saveFile(path) ? Ok : WriteFailed;
    }
    KTextureList list;
    if (!list.loadFile(path)) {
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

} // namespace

Command addNewCommand(CLI::App& parent) {
    auto a = std::make_shared<NewArgs>();
    CLI::App* sub = addSubcommand(parent, "new");
    sub->add_option("FILE.qrz", a->path, "the document to write")->required();
    sub->add_option("--shape", a->shape, "the base shape the grid is laid on")
        ->type_name("planar|conic|spheric|disc")
        ->check(CLI::IsMember({"planar", "conic", "spheric", "disc"}));
    sub->add_option("--res", a->res, "the grid resolution across (U) and along (V), each 1 to 512")
        ->type_name("U V")
        ->expected(2)
        ->check(CLI::Range(1, 512));
    return {sub, [a] { return runNew(*a); }};
}

Command addImageCommand(CLI::App& parent) {
    auto a = std::make_shared<ImageArgs>();
    CLI::App* sub = addSubcommand(parent, "image");
    sub->add_option("FILE.qrz", a->input, "the document")->required();
    sub->add_option("-o", a->out, "the TGA image to write")->type_name("OUT.tga")->required();
    sub->add_option("--size", a->size, "the image size in pixels, each 1 to 512")
        ->type_name("W H")
        ->expected(2)
        ->check(CLI::Range(1, 512));
    sub->add_option("--layers", a->layers, "only these user layers, numbered from 0")
        ->type_name("0,2")
        ->check(layerListValidator());
    sub->add_option("--scale", a->scale,
                    "the factor on the displacement before it becomes grey\n"
                    "(-1e6 to 1e6, default 1)")
        ->type_name("S")
        ->check(finiteRangeValidator(-kMaxImageScale, kMaxImageScale));
    return {sub, [a] { return runImage(*a); }};
}

Command addConvertCommand(CLI::App& parent) {
    auto paths = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* sub = addSubcommand(parent, "convert");
    sub->add_option("IN.qrz", paths->first, "the document to read")->required();
    sub->add_option("OUT.qrz", paths->second, "the document to write")->required();
    return {sub, [paths] {
                int status = Ok;
                std::unique_ptr<CPexaDoc> doc = openDocument(paths->first, status);
                return doc ? saveDocument(*doc, paths->second) : status;
            }};
}

Command addTexturesCommand(CLI::App& parent) {
    auto words = std::make_shared<std::pair<std::string, std::string>>();
    CLI::App* sub = addSubcommand(parent, "textures");
    sub->add_option("ACTION", words->first, "write or check")
        ->required()
        ->check(CLI::IsMember({"write", "check"}));
    sub->add_option("FILE.qtl", words->second, "the texture list to write or read")->required();
    return {sub, [words] { return runTextures(words->first, words->second); }};
}

} // namespace cli
