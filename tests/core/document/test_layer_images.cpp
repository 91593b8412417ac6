// Layer image files: the document loads the images its layers name once the whole file
// has been read, finds relative names beside the document, and keeps the name of an image
// it cannot open so that saving does not lose the reference.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "document/KDocumentFile.h"
#include "document_test_support.h"
#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "platform/KScriptedUi.h"

namespace fs = std::filesystem;
using namespace doctest;

namespace {

struct Folder {
    fs::path path =
        fs::temp_directory_path() / ("quorl-layer-images-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path / "elsewhere"); }
    ~Folder() { fs::remove_all(path); }
};

// Writes a 2 x 2 grey image to path and returns a layer that names it as name.
std::unique_ptr<KBdlLayer> layerWithImage(const fs::path& path, const std::string& name) {
    auto img = std::make_unique<KImageMapTga>();
    img->setFormat(8, KImageMap::OptionGray8);
    img->resize(2, 2);
    EXPECT_EQ(img->save(path.string()), 0);
    img->name = name;
    std::unique_ptr<KImageMap> map = std::move(img);
    auto layer = std::make_unique<KBdlLayer>();
    layer->setImageMap(map);
    return layer;
}

std::string imageName(const CPexaDoc& doc) {
    const KImageMap* map = doc.layers.back()->getImageMap();
    return map ? map->name : std::string("(none)");
}

} // namespace

TEST(LayerImages, FoundBesideTheDocumentOrByTheirPathAndKeptWhenMissing) {
    struct Case {
        const char* what;
        bool relativeName;
        bool fileThere;
        const char* openedFrom; // folder the document is opened from, under the temp folder
    };
    const Case cases[] = {
        {"relative name beside the document", true, true, ""},
        {"relative name, document moved away", true, false, "elsewhere"},
        {"absolute name", false, true, "elsewhere"},
        {"absolute name, file removed", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder folder;
        KScriptedUi ui;
        KUiScope scope(ui);
        const fs::path image = folder.path / "skin.tga";
        const std::string stored = c.relativeName ? "skin.tga" : image.string();
        auto doc = smallDocument();
        doc->layers.push_back(layerWithImage(image, stored));
        const std::vector<uint8_t> saved = bytesOf(*doc);
        if (!c.fileThere) {
            fs::remove(image);
        }

        const fs::path docPath = folder.path / c.openedFrom / "doc.qrz";
        {
            FILE* f = std::fopen(docPath.c_str(), "wb");
            ASSERT_TRUE(f);
            std::fwrite(saved.data(), 1, saved.size(), f);
            std::fclose(f);
        }
        std::string error;
        auto back = kOpenDocument(docPath.string(), &error);
        ASSERT_TRUE(back) << error;
        if (c.fileThere) {
            EXPECT_EQ(imageName(*back), stored);
            EXPECT_TRUE(ui.messages().empty());
        } else {
            EXPECT_EQ(imageName(*back), "(none)");
            EXPECT_EQ(ui.messages(),
                      std::vector<std::string>{"Failed to open Layer image map:\n\n" + stored});
            // Saving without the image writes the same reference again; releasing the
            // image on purpose drops it.
            EXPECT_EQ(bytesOf(*back), saved);
            back->layers.back()->releaseImageMap();
            EXPECT_NE(bytesOf(*back), saved);
        }
    }
}

TEST(LayerImages, ADamagedDocumentOpensNoImage) {
    Folder folder;
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = smallDocument();
    const fs::path image = folder.path / "gone.tga";
    doc->layers.push_back(layerWithImage(image, image.string()));
    std::vector<uint8_t> bytes = bytesOf(*doc);
    fs::remove(image);
    bytes.resize(bytes.size() - 4);
    std::string error;
    EXPECT_FALSE(kLoadDocumentBytes(bytes, "cut", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
}
