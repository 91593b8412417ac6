#include "document/KDisplacementImage.h"

#include <algorithm>
#include <cmath>

#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "platform/KUi.h"

bool kBuildDisplacementImage(CPexaDoc& doc, const KDisplacementImageRequest& request,
                             KImageMapTga& image) {
    KWaitCursor wait;
    const int width = std::clamp(request.width, 1, 512);
    const int height = std::clamp(request.height, 1, 512);
    if (!image.hasPixels()) {
        image.setFormat(8, KImageMap::OptionGray8);
    }
    image.resize(width, height);

    // The selected layers, stopping at the first index that names no layer.
    std::vector<const KBdlLayer*> chosen;
    for (int index : request.layers) {
        const KBdlLayer* layer = doc.layerAt(index);
        if (!layer) {
            break;
        }
        chosen.push_back(layer);
    }
    const KSurfaceHeight surface(&doc.bodyPart, doc.layers);

    KProgress progress("Building Displacement Image Map...");
    progress.status("Building Displacement Image Map...");
    bool cancelled = false;
    for (int y = 0; y < height && !cancelled; ++y) {
        const double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            double value = 0.0;
            if (request.layers.empty()) {
                value = surface.height(u, v);
            } else {
                for (const KBdlLayer* layer : chosen) {
                    value += layer->displacementPrepared(u, v);
                }
            }
            // The pixels hold heights 0 to 1; outside that range they would keep only the
            // low bits and a peak above 1 would show dark. Heights beyond it show white
            // (or black below 0).
            image.setHeight(x, y, std::clamp(request.scale * value, 0.0, 1.0));
        }
        if (progress.cancelled() && kUi().askYesNo("Are you sure you want to Cancel?", false)) {
            cancelled = true;
            break;
        }
        const double done = double(y) / height;
        progress.position(int(std::trunc(done * done * 100.0)));
    }
    if (!cancelled) {
        progress.position(100);
    }
    return !cancelled;
}
