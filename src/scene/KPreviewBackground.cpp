#include "scene/KPreviewBackground.h"

#include <new>

#include "image/KImageMapTga.h"
#include "platform/KUi.h"

bool KPreviewBackground::load() {
    KImageMapTga image(file);
    if (!image.hasPixels()) {
        // A file that could not be read is reported; either way the background goes off.
        if (image.loadStatus != KImageMapTga::LoadOk) {
            kUi().message("Import of TGA texture map failed!", KUi::Icon::Error);
        }
        drop();
        file = "(none)";
        mode = Off;
        return false;
    }
    const int w = image.width();
    const int h = image.height();
    if (!usePixelMap && (!isPowerOfTwo(w) || !isPowerOfTwo(h))) {
        const std::string text = "This image map has the wrong dimensions (" + std::to_string(w) +
                                 " x " + std::to_string(h) + ")" +
                                 "\nTo display as a background textured plane?" +
                                 "\n\nDo you wish to display as a pixel map?";
        if (!kUi().askOkCancel(text, true)) {
            drop();
            return false;
        }
        usePixelMap = 1;
    }
    std::vector<uint8_t> rgb;
    try {
        rgb.resize(size_t(w) * size_t(h) * 3);
    } catch (const std::bad_alloc&) {
        kUi().message("Failed to create OpenGL texture map!\n(not enough memory)",
                      KUi::Icon::Error);
        drop();
        mode = Off;
        return false;
    }
    size_t at = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = image.displayColor(x, y);
            rgb[at++] = uint8_t(c & 0xFF);
            rgb[at++] = uint8_t((c >> 8) & 0xFF);
            rgb[at++] = uint8_t((c >> 16) & 0xFF);
        }
    }
    pixels = std::move(rgb);
    width = w;
    height = h;
    return true;
}
