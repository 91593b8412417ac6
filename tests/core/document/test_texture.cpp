// Texture entries, the default list and the texture list file.

#include <gtest/gtest.h>

#include <filesystem>

#include "document/KTextureList.h"
#include "platform/KFile.h"
#include "platform/KScriptedUi.h"
#include "support/KTestFiles.h"

namespace fs = std::filesystem;

TEST(Texture, PackedColoursFactorsAndTextRecord) {
    KTexture t(0, "two words", 0xFFFFFF);
    t.ambientFactor = 0.5f;
    EXPECT_EQ(t.packedAmbient(), 0x7F7F7Fu);
    t.setSpecular(0x102030);
    EXPECT_EQ(t.packedSpecular(), 0x102030u);
    EXPECT_EQ(t.specular.w, 1.0); // alpha kept
    EXPECT_EQ(KTexture::scaled({0.5, 1, 0.25, 0.7}, 2.0f), KVertex(1, 2, 0.5, 0.7));
    std::string out;
    KTexture(0, "two words", 0x0000FF).writeText(out);
    EXPECT_EQ(out, "\ntwo_words \n\t1 1 0 0 0 \n\t1 1 0 0 1 \n\t1 1 0 0 1 \n\t1 0 0 0 1 \n"
                   "\t1 0 0 0 1 128\n");
}

TEST(TextureList, DefaultsAndLookups) {
    KTextureList list = KTextureList::defaults();
    ASSERT_EQ(list.entries.size(), 11u);
    EXPECT_EQ(list.textureName(10), "texBlack");
    EXPECT_EQ(list.textureName(-1), "texDefault");
    EXPECT_EQ(list.textureAt(4)->packedDiffuse(), 0x00FFFFu); // yellow: red and green
    list.entries.clear();
    EXPECT_EQ(list.textureAt(0), nullptr);
    EXPECT_EQ(list.textureName(0), "(unknown)");
}

TEST(TextureList, FileRoundTrip) {
    KTextureList list = KTextureList::defaults();
    list.entries[2].name = "leaf green";
    list.entries[2].shininess = 12.5f;
    list.entries[2].useSpecular = true;
    list.entries[2].emission = {0.1, 0.2, 0.3, 0.4};
    const std::string text = list.toText();
    EXPECT_EQ(text.rfind("QuorlTexList 1.00.00\n11\n", 0), 0u);
    KTextureList back;
    ASSERT_EQ(back.fromText(text), KTextureList::ReadStatus::Ok);
    ASSERT_EQ(back.entries.size(), 11u);
    EXPECT_EQ(back.entries[2].name, "leaf_green");
    EXPECT_EQ(back.entries[2].shininess, 12.5f);
    EXPECT_TRUE(back.entries[2].useSpecular);
    EXPECT_EQ(back.entries[2].emission, KVertex(0.1, 0.2, 0.3, 0.4));
    EXPECT_EQ(back.entries[10].index, 10);
    EXPECT_EQ(back.toText(), KTextureList(back).toText());
}

TEST(TextureList, RefusesOtherFilesAndKeepsTheList) {
    KTextureList list = KTextureList::defaults();
    EXPECT_EQ(list.fromText("SomethingElse 1.00.00 0"), KTextureList::ReadStatus::NotATextureList);
    EXPECT_EQ(list.fromText("QuorlTexList 2.00.00 0"), KTextureList::ReadStatus::BadVersion);
    EXPECT_EQ(list.entries.size(), 11u);
    EXPECT_EQ(list.fromText("QuorlTexList 1.00.00 0"), KTextureList::ReadStatus::Ok);
    EXPECT_TRUE(list.entries.empty());
}

TEST(TextureList, ShortFilesKeepWhatWasRead) {
    KTextureList list;
    // A huge count with one and a half entries: no empty entries are invented.
    const std::string text =
        "QuorlTexList 1.00.00 2000000000\n"
        "first 1 0 1 0 1\n 0.5 1 1 1 1\n 1 1 1 1 1\n 1 0 0 0 1\n 1 0 0 0 1 64\n"
        "second 0 1";
    ASSERT_EQ(list.fromText(text), KTextureList::ReadStatus::Ok);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].name, "first");
    EXPECT_EQ(list.entries[0].ambientFactor, 0.5f);
    EXPECT_TRUE(list.entries[0].useEmission);
    EXPECT_EQ(list.entries[1].name, "second");
    EXPECT_FALSE(list.entries[1].useAmbient);
    EXPECT_TRUE(list.entries[1].useDiffuse);
    // Fields never reached keep the values of a new entry with colour 0.
    EXPECT_EQ(list.entries[1].diffuse, KVertex(0, 0, 0, 1));
    EXPECT_EQ(list.entries[1].shininess, 128.0f);
    // Long names are cut to 83 characters.
    KTextureList longName;
    longName.fromText("QuorlTexList 1.00.00 1 " + std::string(100, 'n'));
    EXPECT_EQ(longName.entries[0].name.size(), 83u);
}

TEST(TextureList, SaveAndLoadFilesWithMessages) {
    KScriptedUi ui;
    KUiScope scope(ui);
    const KTempDir temp("textures-ünï");
    const fs::path& dir = temp.path();
    const std::string path = (dir / "list.qtl").string();
    KTextureList list = KTextureList::defaults();
    ASSERT_TRUE(list.saveFile(path));
    KTextureList back;
    ASSERT_TRUE(back.loadFile(path));
    EXPECT_EQ(back.toText(), list.toText());

    kWriteFileAtomic(path, "Nope", 4, nullptr);
    EXPECT_FALSE(back.loadFile(path));
    EXPECT_FALSE(back.loadFile((dir / "missing.qtl").string()));
    EXPECT_FALSE(list.saveFile((dir / "no" / "such" / "dir.qtl").string()));
    // The program's text, then the path and what the system said.
    EXPECT_EQ(ui.messages(),
              (std::vector<std::string>{
                  "File is not a Quorl Texture List!",
                  "Couldn't create export file!\nCannot open \"" + (dir / "missing.qtl").string() +
                      "\": No such file or directory",
                  "Couldn't create export file!\n\"" + (dir / "no" / "such" / "dir.qtl").string() +
                      "\": No such file or directory"}));
    EXPECT_EQ(back.entries.size(), 11u);
}

TEST(TextureList, UnsavedChangesUntilSavedOrLoaded) {
    KScriptedUi ui;
    KUiScope scope(ui);
    const KTempDir temp("unsaved");
    const fs::path& dir = temp.path();
    const std::string path = (dir / "list.qtl").string();

    KTextureList list = KTextureList::defaults();
    EXPECT_FALSE(list.hasUnsavedChanges());
    KTextureList recoloured = list;
    recoloured.entries[0].setDiffuse(0x102030);
    EXPECT_TRUE(KTextureList(recoloured).hasUnsavedChanges()); // a copy keeps what was saved
    KTextureList longer = list;
    longer.entries.emplace_back();
    EXPECT_TRUE(longer.hasUnsavedChanges());

    // An edit undone by hand is no change; saving or loading a file makes the list saved.
    list.entries[3].name = "sea";
    list.entries[3].name = "texBlue";
    EXPECT_FALSE(list.hasUnsavedChanges());
    list.entries[3].name = "sea";
    ASSERT_TRUE(list.saveFile(path));
    EXPECT_FALSE(list.hasUnsavedChanges());
    KTextureList other = KTextureList::defaults();
    other.entries.resize(2);
    ASSERT_TRUE(other.loadFile(path));
    EXPECT_FALSE(other.hasUnsavedChanges());
    EXPECT_EQ(other.textureName(3), "sea");
    // A failed save or load leaves the changes unsaved.
    other.entries[1].name = "moss";
    EXPECT_FALSE(other.saveFile((dir / "no" / "such.qtl").string()));
    EXPECT_TRUE(other.hasUnsavedChanges());
    EXPECT_FALSE(other.loadFile((dir / "missing.qtl").string()));
    EXPECT_TRUE(other.hasUnsavedChanges());
}
