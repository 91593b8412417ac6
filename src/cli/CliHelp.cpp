#include <cstdio>
#include <string>

#include "cli/CliCommands.h"

namespace cli {

namespace {

struct Help {
    const char* command;
    const char* text;
};

const Help kHelp[] = {
    {"new",
     "Usage: quorl-cli new FILE.qrz [--shape planar|conic|spheric|disc] [--res U V]\n"
     "\n"
     "Writes a new default document: the default anatomy, three user layers and a\n"
     "U x V grid (default 50 x 50, each 1 to 512) on the chosen base shape (default conic).\n"},
    {"info", "Usage: quorl-cli info FILE.qrz [--json]\n"
             "\n"
             "Describes a document: the format version read, name, description, grid, base\n"
             "shape, anatomy, layers with their muscles and images, and textures.\n"},
    {"export",
     "Usage: quorl-cli export FILE.qrz --format FORMAT -o OUT [options]\n"
     "\n"
     "Formats: pov (POV-Ray mesh), mesh2 (MegaPOV mesh2), obj, rib, df3, raw, udo, ascii,\n"
     "gltf (glTF 2.0 binary .glb), stl, ply.\n"
     "Options default to the document's own settings:\n"
     "  --layered            one mesh per muscle instead of one for the object\n"
     "  --layers 0,2         only these user layers (with --layered)\n"
     "  --normals            write normals (smooth triangles in POV-Ray)\n"
     "  --uv                 write texture coordinates\n"
     "  --item-uv | --no-item-uv   take uv from the muscles' own meshes\n"
     "  --texture-names      write texture names\n"
     "  --per-vertex         texture per vertex (mesh2)\n"
     "  --invert-normals  --reverse-winding  --no-mirror-z\n"
     "                       (--no-mirror-z also for stl and ply; gltf always mirrors z)\n"
     "  --ascii              the text form of stl and ply instead of binary\n"
     "  --subdivision        RIB subdivision surface instead of polygons\n"
     "  --df3-size X Y Z     voxel map size (2 to 100 each)\n"
     "  --density base|u|v|w df3 density source\n"
     "  --grid-scale SU SV   UDO grid scales (1 to 20)\n"
     "  --include NAME       include file a UDO file refers to (default OUT with .inc)\n"
     "  --mesh-option N      mesh option index for this run (1 is \"u 50\")\n"
     "  --quiet              no progress bar\n"},
    {"image", "Usage: quorl-cli image FILE.qrz -o OUT.tga [--size W H] [--layers 0,2] [--scale S]\n"
              "\n"
              "Writes the displacement of the chosen user layers (default: the whole surface)\n"
              "as an 8-bit grey TGA image of W x H pixels (default 100 x 100, each 1 to 512).\n"},
    {"convert", "Usage: quorl-cli convert IN.qrz OUT.qrz\n"
                "\n"
                "Reads a document of any readable version and writes it in the current format.\n"},
    {"textures",
     "Usage: quorl-cli textures write OUT.qtl\n"
     "       quorl-cli textures check IN.qtl\n"
     "\n"
     "write: saves the default texture list. check: reads a texture list and lists it.\n"},
    {"demo", "Usage: quorl-cli demo OUTDIR\n"
             "\n"
             "Builds a sample limb with muscles on three layers, a bend and an image layer, and\n"
             "writes it to OUTDIR as a document and in every export format.\n"},
};

} // namespace

bool printHelp(const std::string& command) {
    for (const Help& h : kHelp) {
        if (command == h.command) {
            std::fputs(h.text, stdout);
            return true;
        }
    }
    return false;
}

void printUsage() {
    std::puts(
        "Usage: quorl-cli <command> [arguments]\n"
        "\n"
        "Commands:\n"
        "  new       write a new default document\n"
        "  info      describe a document\n"
        "  export    export a document's mesh (POV-Ray, mesh2, OBJ, RIB, df3, RAW, UDO, ASCII,\n"
        "            glTF, STL, PLY)\n"
        "  image     write a document's displacement as a TGA image\n"
        "  convert   rewrite a document in the current format\n"
        "  textures  write or check a texture list file\n"
        "  demo      build a sample object and write it in every format\n"
        "\n"
        "quorl-cli <command> --help describes a command; quorl-cli --version prints the\n"
        "version. Exit status: 0 done, 1 bad usage, 2 unreadable input, 3 failed write.");
}

} // namespace cli
