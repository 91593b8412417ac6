// quorl-cli export and demo.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>

#include "cli/CliCommands.h"
#include "cli/CliHelp.h"
#include "cli/CliSupport.h"
#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "document/KSampleObjects.h"
#include "export/KExport.h"
#include "export/KExportJob.h"
#include "image/KImageMapTga.h"

namespace fs = std::filesystem;

namespace cli {

namespace {

struct FormatName {
    const char* name;
    KExportFormat format;
    const char* extension; // the output extension that picks the format, if any
};

const FormatName kFormats[] = {
    {"pov", KExportFormat::PovMesh, ".inc"}, {"mesh2", KExportFormat::PovMesh2, nullptr},
    {"obj", KExportFormat::Obj, ".obj"},     {"rib", KExportFormat::Rib, ".rib"},
    {"df3", KExportFormat::Df3, ".df3"},     {"raw", KExportFormat::Raw, ".raw"},
    {"udo", KExportFormat::Udo, ".udo"},     {"ascii", KExportFormat::Ascii, ".txt"},
    {"gltf", KExportFormat::Gltf, ".glb"},   {"stl", KExportFormat::Stl, ".stl"},
    {"ply", KExportFormat::Ply, ".ply"},
};

std::optional<KExportFormat> formatNamed(const std::string& name) {
    for (const FormatName& f : kFormats) {
        if (name == f.name) {
            return f.format;
        }
    }
    return std::nullopt;
}

const char* nameOf(KExportFormat format) {
    for (const FormatName& f : kFormats) {
        if (format == f.format) {
            return f.name;
        }
    }
    return "";
}

std::optional<KExportFormat> formatOfExtension(const std::string& out) {
    const std::string ext = fs::path(out).extension().string();
    for (const FormatName& f : kFormats) {
        if (f.extension && ext == f.extension) {
            return f.format;
        }
    }
    return std::nullopt;
}

// Options that only some formats read; given with another format they would be ignored
// silently, so they are refused.
struct FormatOption {
    const char* option;
    std::vector<KExportFormat> formats;
};

const FormatOption kFormatOptions[] = {
    {"--ascii", {KExportFormat::Stl, KExportFormat::Ply}},
    {"--subdivision", {KExportFormat::Rib}},
    {"--df3-size", {KExportFormat::Df3}},
    {"--density", {KExportFormat::Df3}},
    {"--grid-scale", {KExportFormat::Udo}},
    {"--include", {KExportFormat::Udo}},
    {"--per-vertex", {KExportFormat::PovMesh2}},
    {"--texture-names", {KExportFormat::PovMesh2, KExportFormat::Obj, KExportFormat::Raw}},
    {"--invert-normals", {KExportFormat::Obj, KExportFormat::Ply}},
    {"--reverse-winding", {KExportFormat::Obj, KExportFormat::Stl, KExportFormat::Ply}},
    {"--no-mirror-z", {KExportFormat::Obj, KExportFormat::Stl, KExportFormat::Ply}},
};

// What the export options say beyond the document's own settings.
struct ExportArgs {
    std::string input;
    std::string out;
    std::string format;
    bool layered = false;
    std::string layers;
    bool normals = false;
    bool uv = false;
    bool itemUv = false;
    bool noItemUv = false;
    bool textureNames = false;
    bool perVertex = false;
    bool invertNormals = false;
    bool reverseWinding = false;
    bool noMirrorZ = false;
    bool ascii = false;
    bool subdivision = false;
    std::vector<int> df3Size;
    std::string density;
    std::vector<int> gridScale;
    std::string include;
    int meshOption = -1;
};

// The format named by --format, else the one of the output's extension; a message when
// neither tells.
std::optional<KExportFormat> chooseFormat(const ExportArgs& a, std::string& error) {
    if (!a.format.empty()) {
        if (auto f = formatNamed(a.format)) {
            return f;
        }
        error = "unknown format \"" + a.format +
                "\" (pov, mesh2, obj, rib, df3, raw, udo, ascii, gltf, stl or ply)";
        return std::nullopt;
    }
    if (auto f = formatOfExtension(a.out)) {
        return f;
    }
    error = a.out == "-" ? "export to standard output needs --format"
                         : "cannot tell the format from \"" + a.out + "\"; give --format";
    return std::nullopt;
}

std::string optionNotForFormat(const CLI::App& command, KExportFormat format) {
    for (const FormatOption& o : kFormatOptions) {
        if (command.get_option(o.option)->count() == 0) {
            continue;
        }
        bool applies = false;
        std::string names;
        for (size_t k = 0; k < o.formats.size(); ++k) {
            applies = applies || o.formats[k] == format;
            names += (k == 0 ? "" : k + 1 == o.formats.size() ? " or " : ", ");
            names += nameOf(o.formats[k]);
        }
        if (!applies) {
            return std::string(o.option) + " goes with --format " + names + ", not " +
                   nameOf(format);
        }
    }
    return {};
}

// Puts the options into the document the way the export dialogs do.
void applyOptions(const ExportArgs& a, CPexaDoc& doc, KExportFormat format) {
    KExportFlags& f = doc.exportFlags;
    if (a.layered) {
        doc.meshType = CPexaDoc::Layered;
    }
    if (!a.layers.empty()) {
        const std::vector<int> list = *parseIntList(a.layers);
        doc.setExportLayerSelection(std::vector<int32_t>(list.begin(), list.end()));
    }
    f.normals = a.normals ? 1 : f.normals;
    if (a.itemUv || a.noItemUv) {
        f.useItemUv = a.itemUv ? 1 : 0;
        doc.feoPMedia.useItemUvw = f.useItemUv;
    }
    f.includeTextureNames = a.textureNames ? 1 : f.includeTextureNames;
    f.perVertex = a.perVertex ? 1 : f.perVertex;
    f.invertNormals = a.invertNormals ? 1 : f.invertNormals;
    f.reverseWinding = a.reverseWinding ? 1 : f.reverseWinding;
    f.mirrorZ = a.noMirrorZ ? 0 : f.mirrorZ;
    if (a.subdivision) {
        doc.feoRib.meshType = KFeoRib::SubdivisionSurface;
    }
    if (a.df3Size.size() == 3) {
        doc.feoPMedia.sizeX = a.df3Size[0];
        doc.feoPMedia.sizeY = a.df3Size[1];
        doc.feoPMedia.sizeZ = a.df3Size[2];
    }
    const char* densities[] = {"base", "u", "v", "w"};
    for (int k = 0; k < 4; ++k) {
        if (a.density == densities[k]) {
            doc.feoPMedia.densitySource = k;
        }
    }
    if (a.gridScale.size() == 2) {
        doc.feoMegaPov.uGridScale = a.gridScale[0];
        doc.feoMegaPov.vGridScale = a.gridScale[1];
    }
    if (a.meshOption >= 0) {
        doc.meshOption = a.meshOption;
    }
    // As the export dialogs do: uv from the item meshes in Layered mode with item uv on;
    // df3 always takes its u, v, w, from the items when "Use Item uvw" is on.
    if (format == KExportFormat::Df3) {
        f.uv = doc.feoPMedia.useItemUvw ? 2 : 1;
    } else if (a.uv) {
        f.uv = doc.meshType == CPexaDoc::Layered && f.useItemUv ? 2 : 1;
    }
}

int runExport(CPexaDoc& doc, KExportFormat format, const std::string& out, KExportOptions extra) {
    if (format == KExportFormat::Udo && extra.udoIncludeFile.empty()) {
        extra.udoIncludeFile = fs::path(out).replace_extension(".inc").filename().string();
    }
    const int before = problemsShown();
    const KExportResult r = kExport(doc, format, out, extra);
    if (r.nothingToExport) {
        return NothingToExport;
    }
    if (!r.written) {
        // The core shows why; a reason it did not show is shown here.
        showUnlessShown(before, "cannot write \"" + out + "\": " + r.error);
        return WriteFailed;
    }
    return Ok;
}

int runExportCommand(const CLI::App& command, const ExportArgs& a) {
    std::string error;
    const std::optional<KExportFormat> format = chooseFormat(a, error);
    if (!format) {
        return usageError(error);
    }
    if (const std::string wrong = optionNotForFormat(command, *format); !wrong.empty()) {
        return usageError(wrong);
    }
    if (const int refused = refuseOutputOverInput(a.input, a.out)) {
        return refused;
    }
    int status = Ok;
    std::unique_ptr<CPexaDoc> doc = openDocument(a.input, status);
    if (!doc) {
        return status;
    }
    applyOptions(a, *doc, *format);
    if (!a.layers.empty()) {
        if (doc->meshType != CPexaDoc::Layered) {
            return usageError("--layers goes with --layered (a Skinned export takes every layer)");
        }
        if (const std::string missing = missingLayers(*doc, *parseIntList(a.layers));
            !missing.empty()) {
            return usageError(missing);
        }
    }
    // Checked before the output is opened, so that an old file of that name stays as it is.
    if (doc->meshType == CPexaDoc::Layered && doc->ensureItemMeshes(false).empty()) {
        showError(kMsgNoItems);
        return NothingToExport;
    }
    KExportOptions extra;
    extra.ascii = a.ascii;
    extra.udoIncludeFile = a.include;
    return runExport(*doc, *format, a.out, extra);
}

int runDemo(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    const fs::path root = fs::absolute(dir, ec);
    const std::string relief = "limb-relief.tga";
    std::string error;
    std::unique_ptr<CPexaDoc> doc = kMakeLimbObject((root / relief).string(), &error);
    if (!doc) {
        showError(error);
        return WriteFailed;
    }
    // The document names its image as the examples do, by the bare name that
    // is found beside the document, so the folder can be moved or copied.
    for (auto& layer : doc->layers) {
        if (KImageMap* image = layer->getImageMap()) {
            image->name = relief;
        }
    }
    const fs::path docPath = root / "limb.qrz";
    if (saveDocument(*doc, docPath.string()) != Ok) {
        return WriteFailed;
    }
    std::vector<std::string> written = {docPath.string(), (root / relief).string()};
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
        KExportOptions extra;
        extra.udoIncludeFile = "limb.inc";
        const std::string out = (root / o.file).string();
        if (runExport(*doc, o.format, out, extra) != Ok) {
            return WriteFailed;
        }
        written.push_back(out);
    }
    KImageMapTga image;
    KDisplacementImageRequest request;
    request.width = 256;
    request.height = 256;
    kBuildDisplacementImage(*doc, request, image);
    const std::string imagePath = (root / "limb-displacement.tga").string();
    const int before = problemsShown();
    std::string reason;
    if (image.save(imagePath, &reason) != KImageMapTga::SaveOk) {
        showUnlessShown(before, reason);
        return WriteFailed;
    }
    written.push_back(imagePath);
    std::printf("Built a sample limb and wrote:\n");
    for (const std::string& w : written) {
        std::printf("  %s\n", w.c_str());
    }
    return Ok;
}

} // namespace

Command addExportCommand(CLI::App& parent) {
    auto a = std::make_shared<ExportArgs>();
    CLI::App* sub = addSubcommand(parent, "export");
    sub->add_option("FILE.qrz", a->input, "the document to export")->required();
    sub->add_option("--format", a->format, "the format (default: from OUT's extension)")
        ->type_name("FORMAT");
    sub->add_option("-o", a->out, "the file to write; - for standard output")
        ->type_name("OUT")
        ->required();
    sub->add_flag("--layered", a->layered, "one mesh per muscle instead of one for the object");
    sub->add_option("--layers", a->layers, "only these user layers (with --layered)")
        ->type_name("0,2")
        ->check(layerListValidator());
    sub->add_flag("--normals", a->normals, "write normals (smooth triangles in POV-Ray; gltf too)");
    sub->add_flag("--uv", a->uv, "write texture coordinates");
    CLI::Option* itemUv =
        sub->add_flag("--item-uv", a->itemUv, "take uv from the muscles' own meshes");
    sub->add_flag("--no-item-uv", a->noItemUv, "take uv from the object's grid")->excludes(itemUv);
    sub->add_flag("--texture-names", a->textureNames, "write texture names (mesh2, obj, raw)");
    sub->add_flag("--per-vertex", a->perVertex, "texture per vertex (mesh2)");
    sub->add_flag("--invert-normals", a->invertNormals,
                  "point the normals the other way (obj, ply)");
    sub->add_flag("--reverse-winding", a->reverseWinding,
                  "write each face's corners in the opposite order (obj, stl, ply)");
    sub->add_flag("--no-mirror-z", a->noMirrorZ,
                  "keep z as it is (obj, stl, ply; gltf always mirrors z)");
    sub->add_flag("--ascii", a->ascii, "the text form of stl and ply instead of binary");
    sub->add_flag("--subdivision", a->subdivision, "RIB subdivision surface instead of polygons");
    sub->add_option("--df3-size", a->df3Size, "df3 voxel map size (2 to 100 each)")
        ->type_name("X Y Z")
        ->expected(3)
        ->check(CLI::Range(2, 100));
    sub->add_option("--density", a->density, "df3 density source")
        ->type_name("base|u|v|w")
        ->check(CLI::IsMember({"base", "u", "v", "w"}));
    sub->add_option("--grid-scale", a->gridScale, "UDO grid scales (1 to 20)")
        ->type_name("SU SV")
        ->expected(2)
        ->check(CLI::Range(1, 20));
    sub->add_option("--include", a->include, "the include file a UDO file names (default: OUT.inc)")
        ->type_name("NAME");
    sub->add_option("--mesh-option", a->meshOption,
                    "mesh option index for this run: 0, or 1 (\"u 50\")")
        ->type_name("N")
        ->check(CLI::Range(0, 1));
    return {sub, [a, sub] { return runExportCommand(*sub, *a); }};
}

Command addDemoCommand(CLI::App& parent) {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub = addSubcommand(parent, "demo");
    sub->add_option("OUTDIR", *dir, "the folder to write to (made when missing)")->required();
    return {sub, [dir] { return runDemo(*dir); }};
}

} // namespace cli
