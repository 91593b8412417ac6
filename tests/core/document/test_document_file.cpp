// Document files: what a save writes, that load gives the same document back, and that
// opening and saving go through files safely.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/document/document_test_support.h"
#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"
#include "support/KTestFiles.h"

namespace fs = std::filesystem;
using namespace doctest;

namespace {

class HintRecorder : public KViewObserver {
public:
    explicit HintRecorder(CPexaDoc& doc) : doc_(doc) {}
    void onUpdate(int hint, KPersistent*) override {
        hints.push_back(hint);
        if (hint == CPexaDoc::HintStoring) {
            // What a preview does on hint 4: copy its state into the document.
            doc_.preview.fieldOfView = 33.0f;
        }
    }
    std::vector<int> hints;

private:
    CPexaDoc& doc_;
};

// A document that differs from a new one in every part a file holds.
std::unique_ptr<CPexaDoc> richDocument(const fs::path& imagePath) {
    auto doc = smallDocument();
    doc->objectName = "Torso";
    doc->description = "A test object";
    doc->scalingU = 2.0;
    doc->scalingHeight = 0.5;
    doc->clip = {0.25, 0.75, 0.0, 0.5};
    doc->baseShape = CPexaDoc::Spheric;
    doc->meshType = CPexaDoc::Layered;
    doc->imageResolutionU = 64;
    doc->reserved = 9;
    doc->interpolateHeights = 1;
    doc->currentItem = 4;
    KBdlBodyPart& b = doc->bodyPart;
    b.bendsOn = b.curvatureOn = b.bendType = 1;
    b.bendScale = 0.5f;
    b.jointBends.parse("< 10, 20, 0 >");
    b.boneCurvature.parse("< 0.1, 0, 0.2 >");
    b.superQuad.exponent1 = 3.0f;
    const int32_t types[] = {KBdlMuscle::Linear, KBdlMuscle::Orbital, KBdlMuscle::Point,
                             KBdlMuscle::Compound};
    for (int k = 0; k < 4; ++k) {
        auto m = std::make_unique<KBdlMuscle>(types[k]);
        m->name = "muscle " + std::to_string(k);
        m->height = 0.125f;
        m->offsetU = 0.1f;
        m->textureIndex = 2;
        doc->layers[size_t(k % 2)]->muscles.push_back(std::move(m));
    }
    doc->layers[1]->scale = 0.75;
    doc->layers[1]->textureName = "Skin";
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(8, KImageMap::OptionGray8);
    image->resize(2, 2);
    image->setHeight(1, 1, 0.5);
    EXPECT_EQ(image->save(imagePath.string()), KImageMapTga::SaveOk);
    image->name = imagePath.string();
    std::unique_ptr<KImageMap> map = std::move(image);
    EXPECT_EQ(doc->layers[2]->setImageMap(map), 0);
    doc->layers[2]->imageScale = 0.5f;
    doc->feoPMedia.sizeX = 20;
    doc->feoPMedia.baseValue = 0.5f;
    doc->preview.rotate[1] = 45.0f;
    doc->preview.delay = 50;
    doc->preview.leftHanded = 0;
    doc->setPreviewLayerSelection({0, 2}, 1, 1);
    return doc;
}

} // namespace

// The stored form of a new document without layers, field by field as in
// tests/data/document/new_document.qrz: "QRLM" most significant byte first, stored
// little-endian, version 10, the preview block, the texts, scalings, clip ranges and
// grid fields, the body part, an empty layer list (a 16-bit zero count), the df3 options
// and the preview selection.
TEST(DocumentFile, StoreWritesMagicVersionAndNewDocumentDefaults) {
    KRegisterCoreClasses();
    CPexaDoc doc;
    doc.layers.clear();
    const std::vector<uint8_t> b = bytesOf(doc);
    kExpectGolden("document/new_document.qrz", std::string(b.begin(), b.end()));
    // Read back: no layers, and saving again gives the same bytes.
    auto back = loadOk(b);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->layers.empty());
    EXPECT_EQ(bytesOf(*back), b);
}

TEST(DocumentFile, StoreTellsTheViewsFirst) {
    auto doc = smallDocument();
    HintRecorder view(*doc);
    doc->addObserver(&view);
    const std::vector<uint8_t> b = bytesOf(*doc);
    doc->removeObserver(&view);
    EXPECT_EQ(view.hints, std::vector<int>{CPexaDoc::HintStoring});
    auto back = loadOk(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->preview.fieldOfView, 33.0f); // the view's value made it into the file
}

TEST(DocumentFile, RichDocumentRoundTripsByteForByte) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KTempDir dir("docfile");
    auto doc = richDocument(dir.file("relief-Höhe.tga"));
    const std::vector<uint8_t> first = bytesOf(*doc);
    int version = 0;
    auto back = loadOk(first, &version);
    ASSERT_TRUE(back);
    EXPECT_EQ(version, 10);
    EXPECT_EQ(bytesOf(*back), first);
    EXPECT_TRUE(ui.messages().empty());

    // Storing the loaded document gives the same bytes, so nothing read is lost; these
    // fields show that what was written is what was set.
    EXPECT_EQ(std::tuple(back->objectName, back->clip.uFrom, back->clip.vTo, back->meshType,
                         back->reserved, back->currentItem),
              std::tuple("Torso", 0.25, 0.5, CPexaDoc::Layered, 9, 4));
    ASSERT_EQ(back->layers.size(), 3u);
    ASSERT_EQ(back->layers[1]->muscles.size(), 2u);
    EXPECT_EQ(back->layers[1]->muscles[1]->muscleType, KBdlMuscle::Compound);
    ASSERT_TRUE(back->layers[2]->getImageMap());
    EXPECT_EQ(back->layers[2]->getImageMap()->name, doc->layers[2]->getImageMap()->name);
    EXPECT_EQ(back->layers[2]->getImageMap()->value(1.0, 1.0),
              doc->layers[2]->getImageMap()->value(1.0, 1.0));
    EXPECT_EQ(back->bodyPart.jointBends.getString(), doc->bodyPart.jointBends.getString());
    EXPECT_EQ(std::tuple(back->bodyPart.superQuad.exponent1, back->feoPMedia.sizeX,
                         back->preview.rotate[1], back->previewShadingType, back->previewLayerMode),
              std::tuple(3.0f, 20, 45.0f, 1, 1));
    EXPECT_EQ(back->previewLayers, (std::vector<int32_t>{0, 2}));
    // The grid follows the loaded resolution and clip ranges: U samples 1 to 4, V 0 to 2.
    ASSERT_TRUE(back->meshGrid);
    EXPECT_EQ(back->meshGrid->uCount(), 4);
    EXPECT_EQ(back->meshGrid->vCount(), 3);
    EXPECT_TRUE(back->computeMesh());
}

TEST(DocumentFile, SaveAndOpenThroughFiles) {
    KScriptedUi ui;
    KUiScope scope(ui);
    KTempDir dir("docfile");
    auto doc = smallDocument();
    doc->objectName = "Saved";
    doc->setModified(true);
    const std::string path = dir.file("Körper.qrz").string();
    std::string error;
    ASSERT_TRUE(kSaveDocument(*doc, path, &error)) << error;
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->pathName(), path);
    const std::vector<uint8_t> saved = bytesOf(*doc);
    EXPECT_EQ(kSlurp(path), std::string(saved.begin(), saved.end()));
    EXPECT_EQ(kFilesIn(dir.path()), 1u); // no temporary file left behind

    int version = 0;
    auto opened = kOpenDocument(path, &error, &version);
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(version, 10);
    EXPECT_EQ(opened->objectName, "Saved");
    EXPECT_EQ(opened->pathName(), path);
    EXPECT_FALSE(opened->isModified());
}

TEST(DocumentFile, FailedSaveLeavesTheOldFileAlone) {
    KTempDir dir("docfile");
    auto doc = smallDocument();
    std::string error;

    // A target whose folder does not exist.
    doc->setModified(true);
    EXPECT_FALSE(kSaveDocument(*doc, dir.file("no-such-folder/a.qrz").string(), &error));
    EXPECT_NE(error.find("a.qrz"), std::string::npos);
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(doc->pathName().empty());

    // A target that is a folder with a file in it: the rename fails, and the folder and
    // its content are what they were.
    const fs::path folder = dir.file("old.qrz");
    fs::create_directories(folder);
    std::ofstream(folder / "inner") << "old";
    EXPECT_FALSE(kSaveDocument(*doc, folder.string(), &error));
    EXPECT_NE(error.find("old.qrz"), std::string::npos);
    EXPECT_EQ(kSlurp(folder / "inner"), "old");
    EXPECT_EQ(kFilesIn(dir.path()), 1u); // the temporary file is gone
    EXPECT_TRUE(doc->isModified());

    // Saving over an existing document replaces it only on success.
    std::ofstream(dir.file("doc.qrz")) << "old";
    ASSERT_TRUE(kSaveDocument(*doc, dir.file("doc.qrz").string(), &error)) << error;
    const std::vector<uint8_t> saved = bytesOf(*doc);
    EXPECT_EQ(kSlurp(dir.file("doc.qrz")), std::string(saved.begin(), saved.end()));
}
