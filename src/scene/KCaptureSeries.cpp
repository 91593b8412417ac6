#include "scene/KCaptureSeries.h"

#include <cstdio>

#include "image/KImageMapTga.h"

std::string KCaptureSeries::nextFileName() const {
    std::string number = "0000" + std::to_string(frameNumber());
    if (frameNumber() >= 0 && frameNumber() <= 999) {
        number = number.substr(number.size() - 3);
    } else {
        number = std::to_string(frameNumber());
    }
    return path + fileRoot + number + ".tga";
}

bool KCaptureSeries::advance() {
    current += 1;
    return startFrame + current > lastFrame;
}

void KCaptureSeries::applyEndChoice(int choice) {
    endChoice = choice;
    switch (choice) {
    case IncrementRange:
        startFrame += current;
        lastFrame += current;
        current = 0;
        break;
    case ResetCurrent:
        current = 0;
        break;
    default:
        break;
    }
}

std::string KCaptureSeries::frameStatus() const {
    return "Frame " + std::to_string(frameNumber()) + " of [" + std::to_string(startFrame) +
           " to " + std::to_string(lastFrame) + "]";
}

std::string KCaptureSeries::checkOptions(int start, int last, int currentShown) {
    if (start > last) {
        return "The Last frame must be greater then the Start Frame!";
    }
    if (currentShown < start || currentShown > last) {
        return "The Current frame must be between the Start and Last Frame's!";
    }
    return {};
}

void KCaptureSeries::setFromChosenFile(const std::string& chosen) {
    const size_t slash = chosen.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? chosen : chosen.substr(slash + 1);
    path = slash == std::string::npos ? std::string() : chosen.substr(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    fileRoot = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::unique_ptr<KImageMapTga> kCaptureImage(const uint8_t* rgba, int width, int height,
                                            size_t bytesPerLine) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(24, KImageMap::OptionGray24);
    image->resize(width, height);
    if (!image->hasPixels()) {
        return nullptr;
    }
    // Screen row y goes to image row y; the flip afterwards puts the top row at the top.
    for (int y = 0; y < height; ++y) {
        const uint8_t* line = rgba + size_t(y) * bytesPerLine;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = line + size_t(x) * 4;
            image->setColor(x, y, uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
        }
    }
    image->flipVertical();
    return image;
}
