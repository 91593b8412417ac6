#include "document/KLayerImageFiles.h"

#include <filesystem>

#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "platform/KUi.h"

namespace {

std::unique_ptr<KImageMapTga> openImageFile(const std::string& fileName,
                                            const std::string& documentFolder) {
    const std::filesystem::path stored(fileName);
    if (stored.is_relative() && !documentFolder.empty()) {
        auto image = std::make_unique<KImageMapTga>(
            (std::filesystem::path(documentFolder) / stored).string());
        if (image->loadStatus == KImageMapTga::LoadOk) {
            image->name = fileName;
            return image;
        }
    }
    auto image = std::make_unique<KImageMapTga>(fileName);
    if (image->loadStatus != KImageMapTga::LoadOk) {
        return nullptr;
    }
    return image;
}

} // namespace

void kLoadLayerImageFiles(const std::vector<std::unique_ptr<KBdlLayer>>& layers,
                          const std::string& documentFolder) {
    for (const auto& layer : layers) {
        if (!layer || layer->getImageMap() || layer->missingImageName.empty()) {
            continue;
        }
        const std::string fileName = layer->missingImageName;
        std::unique_ptr<KImageMap> image = openImageFile(fileName, documentFolder);
        if (!image) {
            kUi().message("Failed to open Layer image map:\n\n" + fileName, KUi::Icon::Warning);
            continue;
        }
        if (layer->setImageMap(image) == 1) {
            kUi().message("Failed to bind image map to Layer:\n" + fileName, KUi::Icon::Warning);
        }
    }
}
