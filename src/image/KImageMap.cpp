#include "image/KImageMap.h"

#include "platform/KUi.h"

// Image maps are never written to archives (a layer stores the file name), so they have a
// class record for run-time tests but no factory.
K_IMPLEMENT_DYNAMIC(KImageMap, KObject, 0xFFFF, false)

int32_t KImageMap::pixelValue(int, int) const {
    return 0;
}

int32_t KImageMap::value(double, double, bool) const {
    return 0;
}

int32_t KImageMap::value(double u, double v) const {
    return value(u, v, false);
}

int32_t KImageMap::filteredValue(double u, double v) const {
    return value(u, v, true);
}

void KImageMap::flipHorizontal() {}

void KImageMap::flipVertical() {}

void KImageMap::setPixelDepthOption(int option) {
    pixelDepthOption = option;
}

int KImageMap::askPixelDepthOption() {
    return 0;
}

std::array<bool, KImageMap::kPixelDepthChoices> KImageMap::enabledPixelDepthChoices(int depth) {
    std::array<bool, kPixelDepthChoices> enabled{};
    enabled.fill(true);
    switch (depth) {
    case 8:
        enabled.fill(false);
        enabled[OptionGray8] = true;
        break;
    case 16:
        enabled.fill(false);
        enabled[Option88] = true;
        break;
    case 24:
    case 32:
        enabled[OptionGray8] = enabled[Option88] = false;
        break;
    default:
        break;
    }
    // 5-5-5, 5-6-5 and "xyz" give no usable height.
    enabled[Option555] = enabled[Option565] = enabled[OptionXyz] = false;
    return enabled;
}

int KImageMap::presetPixelDepthChoice(int depth, int option) {
    if (depth == 8) {
        return OptionGray8;
    }
    if (depth == 16) {
        return Option88;
    }
    return option;
}

int KImageMap::askPixelDepthOptionFor(int imageDepth, int restrictDepth) {
    const int choice = kUi().askPixelDepth(presetPixelDepthChoice(imageDepth, pixelDepthOption),
                                           enabledPixelDepthChoices(restrictDepth));
    if (choice < 0 || choice >= kPixelDepthChoices) {
        return 1;
    }
    setPixelDepthOption(choice == Option555 || choice == Option565 ? int(Option88) : choice);
    return 0;
}
