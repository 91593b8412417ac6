#include "document/KDocumentSnapshot.h"

#include "document/CPexaDoc.h"
#include "document/KCoreClasses.h"
#include "image/KImageMapTga.h"
#include "platform/KArchive.h"

namespace {

std::unique_ptr<KImageMap> copyImage(const KImageMap& image) {
    if (const auto* tga = dynamic_cast<const KImageMapTga*>(&image)) {
        return std::make_unique<KImageMapTga>(*tga);
    }
    return std::make_unique<KImageMap>(image);
}

bool sameTga(const KImageMapTga& a, const KImageMapTga& b) {
    return a.width() == b.width() && a.height() == b.height() && a.pixelDepth() == b.pixelDepth() &&
           a.imageType() == b.imageType() && a.colorMapType() == b.colorMapType() &&
           a.colorMapFirst() == b.colorMapFirst() && a.colorMapLength() == b.colorMapLength() &&
           a.colorMapEntrySize() == b.colorMapEntrySize() && a.xOrigin() == b.xOrigin() &&
           a.yOrigin() == b.yOrigin() && a.descriptor() == b.descriptor() &&
           a.imageId() == b.imageId() && a.loadStatus == b.loadStatus && a.pixels() == b.pixels() &&
           a.colorMap() == b.colorMap();
}

bool sameImagePointer(const std::shared_ptr<const KImageMap>& a,
                      const std::shared_ptr<const KImageMap>& b) {
    if (!a || !b) {
        return !a && !b;
    }
    return a == b || kSameImage(*a, *b);
}

} // namespace

bool kSameImage(const KImageMap& a, const KImageMap& b) {
    if (a.name != b.name || a.pixelDepthOption != b.pixelDepthOption ||
        a.changedSinceLoad != b.changedSinceLoad) {
        return false;
    }
    const auto* ta = dynamic_cast<const KImageMapTga*>(&a);
    const auto* tb = dynamic_cast<const KImageMapTga*>(&b);
    if (!ta || !tb) {
        return !ta && !tb;
    }
    return sameTga(*ta, *tb);
}

std::shared_ptr<const KDocumentSnapshot>
KDocumentSnapshot::take(CPexaDoc& doc, const KDocumentSnapshot* previous) {
    KRegisterCoreClasses();
    auto snapshot = std::make_shared<KDocumentSnapshot>();
    KArchive ar;
    doc.writeContent(ar, false);
    snapshot->content_ = ar.bytes();
    snapshot->meshOption_ = doc.meshOption;
    snapshot->images_.reserve(doc.layers.size());
    for (size_t i = 0; i < doc.layers.size(); ++i) {
        const KImageMap* image = doc.layers[i]->getImageMap();
        std::shared_ptr<const KImageMap> kept;
        if (image && previous && i < previous->images_.size() && previous->images_[i] &&
            kSameImage(*image, *previous->images_[i])) {
            kept = previous->images_[i];
        } else if (image) {
            kept = copyImage(*image);
        }
        snapshot->images_.push_back(std::move(kept));
    }
    return snapshot;
}

bool KDocumentSnapshot::restore(CPexaDoc& doc) const {
    KRegisterCoreClasses();
    // The preview settings belong to the preview window; they survive the restore.
    const KPreviewState preview = doc.preview;
    const int32_t shadingType = doc.previewShadingType;
    const int32_t layerMode = doc.previewLayerMode;
    const std::vector<int32_t> previewLayers = doc.previewLayers;

    doc.updateAllViews(CPexaDoc::HintReplacing);
    KArchive ar(content_);
    bool ok = true;
    try {
        doc.readContent(ar, false);
    } catch (const KArchiveError&) {
        ok = false;
    }
    doc.preview = preview;
    doc.previewShadingType = shadingType;
    doc.previewLayerMode = layerMode;
    doc.previewLayers = previewLayers;
    doc.meshOption = meshOption_;
    for (size_t i = 0; i < doc.layers.size() && i < images_.size(); ++i) {
        if (images_[i]) {
            KBdlLayer& layer = *doc.layers[i];
            layer.imageMap = copyImage(*images_[i]);
            layer.missingImageName.clear();
        }
    }
    doc.updateAllViews(CPexaDoc::HintReplaced);
    doc.rebuildGrid();
    return ok;
}

bool KDocumentSnapshot::sameState(const KDocumentSnapshot& other) const {
    if (content_ != other.content_ || meshOption_ != other.meshOption_ ||
        images_.size() != other.images_.size()) {
        return false;
    }
    for (size_t i = 0; i < images_.size(); ++i) {
        if (!sameImagePointer(images_[i], other.images_[i])) {
            return false;
        }
    }
    return true;
}
