// Layer image files: the document loads the images its layers name once the whole file
// has been read, finds relative names beside the document, and keeps the name of an image
// it cannot open so that saving does not lose the reference.

#include <gtest/gtest.h>

#include <filesystem>

#include "document/KDocumentFile.h"
#include "document_test_support.h"
#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "platform/KScriptedUi.h"
#include "support/KTestFiles.h"

namespace fs = std::filesystem;
using namespace doctest;

namespace {

// Writes a 2 x 2 grey image to path and adds a layer that names it as name.
void addLayerWithImage(CPexaDoc& doc, const fs::path& path, const std::string& name) {
    auto img = std::make_unique<KImageMapTga>();
    img->setFormat(8, KImageMap::OptionGray8);
    img->resize(2, 2);
    EXPECT_EQ(img->save(path.string()), 0);
    img->name = name;
    std::unique_ptr<KImageMap> map = std::move(img);
    doc.layers.push_back(std::make_unique<KBdlLayer>());
    doc.layers.back()->setImageMap(map);
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
        KTempDir folder("layer-images");
        fs::create_directories(folder.file("elsewhere"));
        KScriptedUi ui;
        KUiScope scope(ui);
        const fs::path image = folder.file("skin.tga");
        const std::string stored = c.relativeName ? "skin.tga" : image.string();
        auto doc = smallDocument();
        addLayerWithImage(*doc, image, stored);
        const std::vector<uint8_t> saved = bytesOf(*doc);
        if (!c.fileThere) {
            fs::remove(image);
        }
        const fs::path docPath = folder.path() / c.openedFrom / "doc.qrz";
        std::ofstream(docPath, std::ios::binary) << std::string(saved.begin(), saved.end());
        std::string error;
        auto back = kOpenDocument(docPath.string(), &error);
        ASSERT_TRUE(back) << error;
        const KImageMap* map = back->layers.back()->getImageMap();
        EXPECT_EQ(map ? map->name : "(none)", c.fileThere ? stored : "(none)");
        EXPECT_EQ(ui.messages(), c.fileThere ? std::vector<std::string>{}
                                             : std::vector<std::string>{
                                                   "Failed to open Layer image map:\n\n" + stored});
        // Saving without the image writes the same reference again; releasing the image
        // on purpose drops it.
        EXPECT_EQ(bytesOf(*back), saved);
        back->layers.back()->releaseImageMap();
        EXPECT_NE(bytesOf(*back), saved);
    }
}

TEST(LayerImages, ADamagedDocumentOpensNoImage) {
    KTempDir folder("layer-images");
    KScriptedUi ui;
    KUiScope scope(ui);
    auto doc = smallDocument();
    const fs::path image = folder.file("gone.tga");
    addLayerWithImage(*doc, image, image.string());
    std::vector<uint8_t> bytes = bytesOf(*doc);
    fs::remove(image);
    bytes.resize(bytes.size() - 4);
    std::string error;
    EXPECT_FALSE(kLoadDocumentBytes(bytes, "cut", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
}
