#pragma once
// The document's ordered list of textures, its eleven defaults and the ".qtl" text file.

#include <string>
#include <string_view>
#include <vector>

#include "document/KTexture.h"

class KTextureList {
public:
    KTextureList() { markSaved(); }

    // The eleven entries of a new document.
    static KTextureList defaults();

    // None when the list is empty; else the entry at index, or the first entry when the
    // index is negative or past the end.
    const KTexture* textureAt(int index) const;
    KTexture* textureAt(int index);
    // The name of textureAt(index), or "(unknown)".
    std::string textureName(int index) const;

    // The whole texture list file.
    std::string toText() const;

    enum class ReadStatus { Ok, NotATextureList, BadVersion };
    // Replaces the entries with those of a texture list file. A wrong header or version
    // leaves the list unchanged. Entries the text does not reach are not created.
    ReadStatus fromText(std::string_view text);

    // Save and Load commands: write or read the file at path and report problems with
    // the program's messages, once, through kUi() (a file that cannot be written or read:
    // "Couldn't create export file!" and, on a second line, the path and the system's
    // reason). Return false when nothing was written or read. saveFile("-") writes to
    // standard output. Either marks the list saved when it succeeds.
    bool saveFile(const std::string& path);
    bool loadFile(const std::string& path);

    // The list is kept in texture list files only, never in a document: it has unsaved
    // changes when its entries differ from those it had when it was made (the defaults)
    // or last saved to or loaded from a file. Edits undone by hand count as no change.
    bool hasUnsavedChanges() const { return toText() != savedText_; }
    void markSaved() { savedText_ = toText(); }

    std::vector<KTexture> entries;

    static constexpr const char* kHeader = "QuorlTexList";
    static constexpr const char* kVersion = "1.00.00";

private:
    // The file text of the entries as last saved, loaded or made.
    std::string savedText_;
};
