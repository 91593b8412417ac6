#include "cli/CliHelp.h"

#include <CLI/CLI.hpp>

#include <sstream>

namespace cli {

namespace {

struct CommandHelp {
    const char* name;
    const char* summary; // one line in the command list
    const char* usage;
    const char* intro; // before the options
    const char* notes; // after the options; may be empty
};

const CommandHelp kHelp[] = {
    {"new", "write a new default document",
     "quorl-cli new FILE.qrz [--shape planar|conic|spheric|disc] [--res U V]",
     "Writes a new default document: the default anatomy, three user layers and a\n"
     "U x V grid (default 50 x 50, each 1 to 512) on the chosen base shape (default conic).\n",
     ""},
    {"info", "describe a document", "quorl-cli info FILE.qrz [--json]",
     "Describes a document: the format version read, name, description, grid, base\n"
     "shape, anatomy, layers with their muscles and images, and textures.\n",
     ""},
    {"export",
     "export a document's mesh (POV-Ray, mesh2, OBJ, RIB, df3, RAW, UDO, ASCII, glTF, STL, PLY)",
     "quorl-cli export FILE.qrz [--format FORMAT] -o OUT [options]",
     "Formats: pov (POV-Ray mesh), mesh2 (MegaPOV mesh2), obj, rib, df3, raw, udo, ascii,\n"
     "gltf (glTF 2.0 binary .glb), stl, ply.\n"
     "Without --format the format follows OUT's extension: .inc pov, .obj obj, .rib rib,\n"
     ".df3 df3, .raw raw, .udo udo, .txt ascii, .glb gltf, .stl stl, .ply ply (for mesh2,\n"
     "give --format mesh2).\n"
     "Options default to the document's own settings.\n",
     "-o - writes to standard output (give --format then). An OUT that is the document\n"
     "itself is refused. A Layered export of a document without muscles writes nothing\n"
     "and exits with status 4.\n"},
    {"image", "write a document's displacement as a TGA image",
     "quorl-cli image FILE.qrz -o OUT.tga [--size W H] [--layers 0,2] [--scale S]",
     "Writes the displacement of the chosen user layers (default: the whole surface)\n"
     "as an 8-bit grey TGA image of W x H pixels (default 100 x 100, each 1 to 512).\n",
     "An OUT.tga that is the document itself is refused.\n"},
    {"convert", "rewrite a document in the current format", "quorl-cli convert IN.qrz OUT.qrz",
     "Reads a document of any readable version and writes it in the current format.\n"
     "OUT.qrz may be IN.qrz itself: the file is replaced only once the new one is\n"
     "complete.\n",
     ""},
    {"textures", "write or check a texture list file",
     "quorl-cli textures write OUT.qtl\n"
     "       quorl-cli textures check IN.qtl",
     "write: saves the default texture list. check: reads a texture list and lists it.\n", ""},
    {"demo", "build a sample object and write it in every format", "quorl-cli demo OUTDIR",
     "Builds a sample limb with muscles on three layers, a bend and an image layer, and\n"
     "writes it to OUTDIR as a document and in every export format. The document refers\n"
     "to its image by the bare file name, so the folder can be moved.\n",
     ""},
};

const CommandHelp* helpOf(const std::string& name) {
    for (const CommandHelp& h : kHelp) {
        if (name == h.name) {
            return &h;
        }
    }
    return nullptr;
}

class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter() {
        column_width(26);
        label("Positionals", "Arguments");
    }

    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        (void)name;
        (void)mode;
        std::ostringstream out;
        const CommandHelp* help = helpOf(app->get_name());
        if (!app->get_parent() || !help) {
            out << "Usage: quorl-cli <command> [arguments]\n";
            out << make_groups(app, CLI::AppFormatMode::Normal);
            out << make_subcommands(app, CLI::AppFormatMode::Normal);
            out << '\n' << programNotes();
            return out.str();
        }
        out << "Usage: " << help->usage << "\n\n" << help->intro;
        out << make_positionals(app);
        out << make_groups(app, CLI::AppFormatMode::Normal);
        if (*help->notes) {
            out << '\n' << help->notes;
        }
        return out.str();
    }

    // The value's placeholder only ("U V", "FORMAT"); the usage line and the
    // descriptions say what is required and what the defaults are.
    std::string make_option_opts(const CLI::Option* opt) const override {
        if (opt->get_positional() || opt->get_type_size() == 0 || opt->get_type_name().empty()) {
            return {};
        }
        // CLI11 appends its validators' descriptions after a colon; the descriptions
        // already say what is accepted.
        const std::string name = opt->get_type_name();
        return " " + name.substr(0, name.find(':'));
    }
};

} // namespace

CLI::App* addSubcommand(CLI::App& parent, const std::string& name) {
    const CommandHelp* help = helpOf(name);
    CLI::App* sub = parent.add_subcommand(name, help ? help->summary : "");
    sub->group("Commands");
    return sub;
}

std::shared_ptr<CLI::Formatter> makeHelpFormatter() {
    return std::make_shared<HelpFormatter>();
}

const char* programNotes() {
    return "quorl-cli <command> --help (or quorl-cli help <command>) describes a command;\n"
           "quorl-cli --version prints the version. Exit status: 0 done, 1 bad usage,\n"
           "2 unreadable input, 3 failed write, 4 nothing to export.\n";
}

} // namespace cli
