// TGA images: layer displacement maps come from any file a document names.
#include <cstdint>
#include <vector>

#include "image/KImageMapTga.h"
#include "platform/KScriptedUi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KScriptedUi ui; // the pixel depth question is answered with its preset
    KUiScope scope(ui);
    KImageMapTga image;
    if (image.loadBytes(std::vector<uint8_t>(data, data + size)) != KImageMapTga::LoadOk) {
        return 0;
    }
    // Every operation a loaded image offers must stay inside it.
    for (double u : {0.0, 0.37, 1.0}) {
        for (double v : {0.0, 0.61, 1.0}) {
            (void)image.value(u, v);
            (void)image.displayColor(int(u * image.width()), int(v * image.height()));
        }
    }
    image.flipHorizontal();
    image.flipVertical();
    (void)image.pixelValue(image.width() - 1, image.height() - 1);
    return 0;
}
