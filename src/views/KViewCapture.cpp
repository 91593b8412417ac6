#include "views/KViewCapture.h"

#include <QFontMetrics>

#include "image/KImageMapTga.h"
#include "platform/KUi.h"

std::unique_ptr<KImageMapTga> kCaptureImage(const QImage& shown,
                                            const std::function<void(int, int)>& rowDone) {
    const int w = shown.width();
    const int h = shown.height();
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(24, KImageMap::OptionGray24);
    image->resize(w, h);
    if (w <= 0 || h <= 0 || !image->hasPixels()) {
        kUi().message("Failed to image bitmap!", KUi::Icon::Error);
        return nullptr;
    }
    const QImage rgb = shown.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            const uint32_t packed =
                uint32_t(qRed(c)) | (uint32_t(qGreen(c)) << 8) | (uint32_t(qBlue(c)) << 16);
            // Row y of the window goes to row y of the image; the flip before saving
            // puts the window's bottom row first.
            image->setColor(x, y, packed);
        }
        if (rowDone) {
            rowDone(y, h);
        }
    }
    return image;
}

QString kCaptureProgressText(int y, int height, const QFontMetrics& font, int paneWidth) {
    const QString longForm = QStringLiteral("Capturing line %1 of %2");
    if (font.horizontalAdvance(longForm.arg(999).arg(999)) > paneWidth) {
        return QStringLiteral("%1/%2").arg(y).arg(height);
    }
    return longForm.arg(y).arg(height);
}

bool kSaveCapture(KImageMapTga& image, const QString& path) {
    image.flipVertical();
    std::string reason;
    if (image.save(path.toStdString(), &reason) != KImageMapTga::SaveOk) {
        kUi().message("Failed to save the captured image!\n" + reason, KUi::Icon::Error);
        return false;
    }
    return true;
}
