// Writes the seed corpora from files the project itself produces:
//   quorl_fuzz_seeds <fuzz/corpus folder>
// Run it again when a format changes; the replay tests then cover the new seeds.

#include <cstdio>
#include <filesystem>
#include <string>

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "document/KDocumentFile.h"
#include "document/KTextureList.h"
#include "image/KImageMapTga.h"
#include "model/KBdlCurve.h"
#include "model/KBdlSegment.h"
#include "model/KModelClasses.h"
#include "platform/KArchive.h"
#include "platform/KFile.h"

namespace fs = std::filesystem;

namespace {

bool writeSeed(const fs::path& dir, const std::string& name, const std::string& bytes) {
    fs::create_directories(dir);
    const fs::path p = dir / name;
    std::string error;
    if (!kWriteFileAtomic(p.string(), bytes.data(), bytes.size(), &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("wrote %s\n", p.c_str());
    return true;
}

std::string archiveSeed() {
    KBdlCurve curve("< 0, 0.10 >, < 0.50, 0.90 >, < 1.00, 0.10 >", 20, KBdlCurve::PolyLine);
    curve.texts[1] = std::string(300, 'x'); // a long string prefix
    KBdlSegment segment;
    segment.name = "femur";
    KArchive ar;
    ar.writeCount(5);
    ar.writeObject(&curve);
    ar.writeObject(&segment);
    ar.writeObject(nullptr);
    KBdlCurve second("< 0, 1 >, < 1, 0 >");
    ar.writeObject(&second);  // class by index
    ar.writeObject(&segment); // back reference
    return {ar.bytes().begin(), ar.bytes().end()};
}

std::string bytesText(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

// A new document on a small grid (the seeds stay small and load fast).
std::unique_ptr<CPexaDoc> smallDocument() {
    auto doc = std::make_unique<CPexaDoc>();
    doc->uResolution = 3;
    doc->vResolution = 2;
    doc->bodyPart.setDocumentDefaults(3, 2);
    doc->rebuildGrid();
    return doc;
}

// Muscles of every kind, bends and curvature on, a preview layer selection.
std::string documentWithMuscles() {
    auto doc = smallDocument();
    doc->objectName = "seed";
    int i = 0;
    for (int32_t type :
         {KBdlMuscle::Linear, KBdlMuscle::Orbital, KBdlMuscle::Point, KBdlMuscle::Compound}) {
        doc->layers[size_t(i++ % 3)]->muscles.push_back(std::make_unique<KBdlMuscle>(type));
    }
    doc->bodyPart.bendsOn = 1;
    doc->bodyPart.curvatureOn = 1;
    doc->bodyPart.jointBends.parse("< 10, 0, 0 >");
    doc->setPreviewLayerSelection({0, 2}, 2, 1);
    return bytesText(kDocumentBytes(*doc));
}

// Small images of every depth the program writes, each with a few different pixels.
bool writeTgaSeeds(const fs::path& dir) {
    bool ok = true;
    for (int depth : {8, 15, 16, 24, 32}) {
        KImageMapTga image;
        image.setFormat(depth, depth >= 24 ? KImageMap::OptionGray24 : KImageMap::OptionGray8);
        image.resize(3, 2);
        for (int x = 0; x < 3; ++x) {
            image.setHeight(x, 1, 0.3 * x);
        }
        fs::create_directories(dir);
        const fs::path p = dir / ("depth" + std::to_string(depth) + ".tga");
        if (image.save(p.string()) != KImageMapTga::SaveOk) {
            std::fprintf(stderr, "cannot write %s\n", p.c_str());
            ok = false;
        } else {
            std::printf("wrote %s\n", p.c_str());
        }
    }
    return ok;
}

// The muscles document behind every choice byte of the export target: each format,
// Skinned and Layered, binary and text.
bool writeExportSeeds(const fs::path& dir) {
    const std::string document = documentWithMuscles();
    bool ok = true;
    for (int choice = 0; choice < 256; ++choice) {
        if ((choice & 0x3F) > 10) {
            continue; // eleven formats
        }
        ok = writeSeed(dir, "choice" + std::to_string(choice) + ".bin",
                       std::string(1, char(choice)) + document) &&
             ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorl_fuzz_seeds <corpus folder>\n");
        return 2;
    }
    KRegisterModelClasses();
    const fs::path root(argv[1]);
    bool ok = writeSeed(root / "texture_list", "defaults.qtl", KTextureList::defaults().toText());
    ok = writeSeed(root / "archive", "curves_and_segments.bin", archiveSeed()) && ok;
    KRegisterCoreClasses();
    ok = writeSeed(root / "document", "new_small.qrz",
                   bytesText(kDocumentBytes(*smallDocument()))) &&
         ok;
    ok = writeSeed(root / "document", "muscles.qrz", documentWithMuscles()) && ok;
    auto empty = smallDocument();
    empty->layers.clear();
    ok = writeSeed(root / "document", "no_layers.qrz", bytesText(kDocumentBytes(*empty))) && ok;
    ok = writeExportSeeds(root / "document_export") && ok;
    ok = writeTgaSeeds(root / "tga") && ok;
    return ok ? 0 : 1;
}
