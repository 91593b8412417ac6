#pragma once
// One state of a document for undo and redo: everything its file holds except the 3D
// preview's settings (they follow the preview window, not the edits), the mesh option,
// and each layer's image as it is in memory (an image flipped in memory differs from its
// file). An image that did not change since the previous snapshot is shared with it, so
// a long history holds each version of an image once.

#include <cstdint>
#include <memory>
#include <vector>

class CPexaDoc;
class KImageMap;

class KDocumentSnapshot {
public:
    // The document's state now. previous (the snapshot taken before, when there is
    // one) lends the images that are still the same.
    static std::shared_ptr<const KDocumentSnapshot> take(CPexaDoc& doc,
                                                         const KDocumentSnapshot* previous);

    // Puts the document back into this state. The views hear HintReplacing before the
    // layers, muscles and anatomy curves are replaced and HintReplaced after; then the
    // grid is rebuilt and the document reports a change (hint 0 in Auto mode). The
    // preview settings and everything outside the file (texture list, recalc mode,
    // export options) stay as they are. False when the state could not be read back,
    // which would be a fault of this program; the document then holds what was read.
    bool restore(CPexaDoc& doc) const;

    // Whether both describe the same document (images compared by content).
    bool sameState(const KDocumentSnapshot& other) const;

    // The bytes of the document's content as kept here.
    const std::vector<uint8_t>& content() const { return content_; }
    // The layer images, one entry per layer (null for a layer without one).
    const std::vector<std::shared_ptr<const KImageMap>>& images() const { return images_; }

private:
    std::vector<uint8_t> content_;
    int32_t meshOption_ = 0;
    std::vector<std::shared_ptr<const KImageMap>> images_;
};

// Whether two images hold the same pixels, format and name.
bool kSameImage(const KImageMap& a, const KImageMap& b);
