#pragma once
// Capturing what a window shows as a 24-bit TGA image: the pixels are copied row by
// row from the top, with a callback after each row for progress, and the image is
// flipped before it is written so that the file's first row is the window's bottom row.

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

class KImageMapTga;
class QFontMetrics;

// Copies shown into a new 24-bit image (rows top first). Null, with the message shown,
// when the image cannot be made or has no pixels. rowDone(y, height) runs after row y.
std::unique_ptr<KImageMapTga> kCaptureImage(const QImage& shown,
                                            const std::function<void(int, int)>& rowDone);

// The progress text after row y of height: "Capturing line %i of %i", or "%i/%i" when
// the long form with 999 and 999 is wider than paneWidth in the given font.
QString kCaptureProgressText(int y, int height, const QFontMetrics& font, int paneWidth);

// Flips the captured image so that its first row is the bottom row and writes it.
// False (with a message) when the file cannot be written.
bool kSaveCapture(KImageMapTga& image, const QString& path);
