// quorl-cli export and demo.

#include <cstdio>
#include <filesystem>

#include "cli/CliCommands.h"
#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "document/KDocumentFile.h"
#include "document/KSampleObjects.h"
#include "export/KExport.h"
#include "image/KImageMapTga.h"

namespace fs = std::filesystem;

namespace cli {

namespace {

struct FormatName {
    const char* name;
    KExportFormat format;
};

const FormatName kFormats[] = {
    {"pov", KExportFormat::PovMesh}, {"mesh2", KExportFormat::PovMesh2},
    {"obj", KExportFormat::Obj},     {"rib", KExportFormat::Rib},
    {"df3", KExportFormat::Df3},     {"raw", KExportFormat::Raw},
    {"udo", KExportFormat::Udo},     {"ascii", KExportFormat::Ascii},
    {"gltf", KExportFormat::Gltf},   {"stl", KExportFormat::Stl},
    {"ply", KExportFormat::Ply},
};

std::optional<KExportFormat> formatNamed(const std::string& name) {
    for (const FormatName& f : kFormats) {
        if (name == f.name) {
            return f.format;
        }
    }
    return std::nullopt;
}

// What the export options say beyond the document's own settings.
struct ExportChoices {
    KExportFormat format = KExportFormat::Obj;
    std::string out;
    std::string input;
    KExportOptions extra;
};

// Reads the options into the document the way the export dialogs do.
void applyOptions(CliArgs& args, CPexaDoc& doc, ExportChoices& c) {
    KExportFlags& f = doc.exportFlags;
    if (args.flag("--layered")) {
        doc.meshType = CPexaDoc::Layered;
    }
    if (auto layers = args.value("--layers")) {
        if (auto list = args.toIntList(*layers, "--layers")) {
            doc.setExportLayerSelection(std::vector<int32_t>(list->begin(), list->end()));
        }
    }
    f.normals = args.flag("--normals") ? 1 : f.normals;
    const bool uv = args.flag("--uv");
    if (args.flag("--item-uv")) {
        f.useItemUv = 1;
        doc.feoPMedia.useItemUvw = 1;
    }
    if (args.flag("--no-item-uv")) {
        f.useItemUv = 0;
        doc.feoPMedia.useItemUvw = 0;
    }
    f.includeTextureNames = args.flag("--texture-names") ? 1 : f.includeTextureNames;
    f.perVertex = args.flag("--per-vertex") ? 1 : f.perVertex;
    f.invertNormals = args.flag("--invert-normals") ? 1 : f.invertNormals;
    f.reverseWinding = args.flag("--reverse-winding") ? 1 : f.reverseWinding;
    f.mirrorZ = args.flag("--no-mirror-z") ? 0 : f.mirrorZ;
    if (args.flag("--subdivision")) {
        doc.feoRib.meshType = KFeoRib::SubdivisionSurface;
    }
    if (auto size = args.values("--df3-size", 3)) {
        int32_t* fields[] = {&doc.feoPMedia.sizeX, &doc.feoPMedia.sizeY, &doc.feoPMedia.sizeZ};
        for (int k = 0; k < 3; ++k) {
            if (auto n = args.toInt((*size)[size_t(k)], "--df3-size")) {
                if (*n < 2 || *n > 100) {
                    args.fail("--df3-size values must be between 2 and 100");
                }
                *fields[k] = *n;
            }
        }
    }
    if (auto density = args.value("--density")) {
        const char* names[] = {"base", "u", "v", "w"};
        bool known = false;
        for (int k = 0; k < 4; ++k) {
            if (*density == names[k]) {
                doc.feoPMedia.densitySource = k;
                known = true;
            }
        }
        if (!known) {
            args.fail("--density must be base, u, v or w");
        }
    }
    if (auto scale = args.values("--grid-scale", 2)) {
        const auto su = args.toInt((*scale)[0], "--grid-scale");
        const auto sv = args.toInt((*scale)[1], "--grid-scale");
        if (su && sv) {
            if (*su < 1 || *su > 20 || *sv < 1 || *sv > 20) {
                args.fail("--grid-scale values must be between 1 and 20");
            }
            doc.feoMegaPov.uGridScale = *su;
            doc.feoMegaPov.vGridScale = *sv;
        }
    }
    if (args.flag("--ascii")) {
        if (c.format != KExportFormat::Stl && c.format != KExportFormat::Ply) {
            args.fail("--ascii goes with --format stl or ply");
        }
        c.extra.ascii = true;
    }
    if (auto include = args.value("--include")) {
        c.extra.udoIncludeFile = *include;
    }
    if (auto option = args.value("--mesh-option")) {
        if (auto n = args.toInt(*option, "--mesh-option")) {
            doc.meshOption = *n;
        }
    }
    // As the export dialogs do: uv from the item meshes in Layered mode with item uv on;
    // df3 always takes its u, v, w, from the items when "Use Item uvw" is on.
    if (c.format == KExportFormat::Df3) {
        f.uv = doc.feoPMedia.useItemUvw ? 2 : 1;
    } else if (uv) {
        f.uv = doc.meshType == CPexaDoc::Layered && f.useItemUv ? 2 : 1;
    }
}

int runExport(CPexaDoc& doc, const ExportChoices& c) {
    KExportOptions extra = c.extra;
    if (c.format == KExportFormat::Udo && extra.udoIncludeFile.empty()) {
        extra.udoIncludeFile = fs::path(c.out).replace_extension(".inc").filename().string();
    }
    const KExportResult r = kExport(doc, c.format, c.out, extra);
    if (!r.written) {
        std::fprintf(stderr, "quorl-cli: cannot write \"%s\": %s\n", c.out.c_str(),
                     r.error.c_str());
        return WriteFailed;
    }
    return Ok;
}

} // namespace

int cmdExport(CliArgs& args) {
    ExportChoices c;
    const auto format = args.value("--format");
    const auto out = args.value("-o");
    const auto input = args.positional();
    if (!format) {
        args.fail("export needs --format pov|mesh2|obj|rib|df3|raw|udo|ascii|gltf|stl|ply");
    } else if (auto f = formatNamed(*format)) {
        c.format = *f;
    } else {
        args.fail("unknown format \"" + *format + "\"");
    }
    if (!out) {
        args.fail("export needs -o OUT");
    }
    if (!input) {
        args.fail("export needs a document file");
    }
    if (args.failed()) {
        std::fprintf(stderr, "quorl-cli: %s\n", args.error().c_str());
        return Usage;
    }
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kOpenDocument(*input, &error);
    if (!doc) {
        std::fprintf(stderr, "quorl-cli: %s\n", error.c_str());
        return BadInput;
    }
    c.out = *out;
    applyOptions(args, *doc, c);
    if (!args.finish()) {
        std::fprintf(stderr, "quorl-cli: %s\n", args.error().c_str());
        return Usage;
    }
    return runExport(*doc, c);
}

int cmdDemo(CliArgs& args) {
    const auto dir = args.positional();
    if (!dir) {
        args.fail("demo needs a folder to write to");
    }
    if (!args.finish()) {
        std::fprintf(stderr, "quorl-cli: %s\n", args.error().c_str());
        return Usage;
    }
    std::error_code ec;
    fs::create_directories(*dir, ec);
    const fs::path root = fs::absolute(*dir, ec);
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kMakeLimbObject((root / "limb-relief.tga").string(), &error);
    if (!doc) {
        std::fprintf(stderr, "quorl-cli: %s\n", error.c_str());
        return WriteFailed;
    }
    const fs::path docPath = root / "limb.qrz";
    if (!kSaveDocument(*doc, docPath.string(), &error)) {
        std::fprintf(stderr, "quorl-cli: %s\n", error.c_str());
        return WriteFailed;
    }
    std::vector<std::string> written = {docPath.string(), (root / "limb-relief.tga").string()};
    doc->exportFlags.normals = 1;
    doc->exportFlags.uv = 1;
    struct Output {
        KExportFormat format;
        const char* file;
    };
    const Output outputs[] = {
        {KExportFormat::PovMesh, "limb.inc"}, {KExportFormat::PovMesh2, "limb-mesh2.inc"},
        {KExportFormat::Obj, "limb.obj"},     {KExportFormat::Rib, "limb.rib"},
        {KExportFormat::Df3, "limb.df3"},     {KExportFormat::Raw, "limb.raw"},
        {KExportFormat::Udo, "limb.udo"},     {KExportFormat::Ascii, "limb.txt"},
        {KExportFormat::Gltf, "limb.glb"},    {KExportFormat::Stl, "limb.stl"},
        {KExportFormat::Ply, "limb.ply"},
    };
    for (const Output& o : outputs) {
        ExportChoices c;
        c.format = o.format;
        c.out = (root / o.file).string();
        c.extra.udoIncludeFile = "limb.inc";
        if (runExport(*doc, c) != Ok) {
            return WriteFailed;
        }
        written.push_back(c.out);
    }
    KImageMapTga image;
    KDisplacementImageRequest request;
    request.width = 256;
    request.height = 256;
    kBuildDisplacementImage(*doc, request, image);
    const fs::path imagePath = root / "limb-displacement.tga";
    if (image.save(imagePath.string()) != KImageMapTga::SaveOk) {
        std::fprintf(stderr, "quorl-cli: cannot write \"%s\"\n", imagePath.c_str());
        return WriteFailed;
    }
    written.push_back(imagePath.string());
    std::printf("Built a sample limb and wrote:\n");
    for (const std::string& w : written) {
        std::printf("  %s\n", w.c_str());
    }
    return Ok;
}

} // namespace cli
