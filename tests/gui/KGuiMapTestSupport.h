#pragma once
// Helpers of the tests of the map, item editor, curve and image windows: muscles placed in
// a document, curve values, mouse drags and what a picture or a captured file holds.

#include <QFile>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <vector>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "document/CPexaDoc.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"

// Runs command with every file chooser answered with path (empty: Cancel); how many
// choosers it opened.
inline size_t kWithFile(const QString& path, const std::function<void()>& command) {
    KFileScript files(path);
    command();
    return files.requests.size();
}

// Runs command with every modal dialog run through drive.
inline void kWithDialogs(std::function<int(QDialog&)> drive, const std::function<void()>& command) {
    KDialogScript dialogs(std::move(drive));
    command();
}

// The main window at the size with a new document, on the screen; false when either fails.
inline bool kShowWithNewDocument(CMainFrame& frame, QSize size = {900, 700}) {
    frame.resize(size);
    if (!frame.processCommandLine({QStringLiteral("quorl")})) {
        return false;
    }
    frame.show();
    return QTest::qWaitForWindowExposed(&frame);
}

// Adds a muscle of the type, with its default shape, to a layer of the document.
inline KBdlMuscle* kAddMuscle(CPexaDoc& doc, int layer, int type, const char* name = "(new)") {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->name = name;
    KBdlMuscle* raw = m.get();
    doc.addMuscleToLayer(doc.layerAt(layer), m);
    return raw;
}

// Adds a muscle of the type filling the UV rectangle (u0, v0) - (u1, v1).
inline KBdlMuscle* kAddMuscle(CPexaDoc& doc, int layer, int type, double u0, double v0, double u1,
                              double v1, const char* name = "(new)") {
    KBdlMuscle* m = kAddMuscle(doc, layer, type, name);
    m->setFromRect(u0, v0, u1, v1);
    return m;
}

// The y values (or the x values) of a curve's control points, in order.
inline std::vector<double> kCurveYs(const KBdlCurve& c, bool xInstead = false) {
    std::vector<double> out;
    for (int i = 0; i < c.count(); ++i) {
        const KVertex& p = c.points()[size_t(i)];
        out.push_back(xInstead ? p.x : p.y);
    }
    return out;
}

inline std::vector<double> kCurveXs(const KBdlCurve& c) {
    return kCurveYs(c, true);
}

// A drag with the left button: pressed at from, moved to to and released there.
inline void kDrag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers releaseMods = {}) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, releaseMods, to);
}

// How many pixels of the picture have the colour.
inline int kCountColour(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += img.pixelColor(x, y) == c;
        }
    }
    return n;
}

// Whether some pixel of the picture has a colour that is no shade of grey.
inline bool kHasColouredPixel(const QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if (qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) {
                return true;
            }
        }
    }
    return false;
}

// How many of the picture's pixels, every step-th in both directions, differ from those
// of the uncompressed 24-bit TGA file at path (bottom row first, blue, green, red); -1 when
// the file cannot be read, is not such a TGA file or is not the picture's size.
inline int kTgaPixelsDiffering(const QString& path, const QImage& shown, int step = 1) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray bytes = file.readAll();
    const int w = shown.width();
    const int h = shown.height();
    if (bytes.size() != 18 + w * h * 3 || bytes[2] != 2 || bytes[16] != 24) {
        return -1;
    }
    int differing = 0;
    for (int y = 0; y < h; y += step) {
        for (int x = 0; x < w; x += step) {
            const QRgb c = shown.pixel(x, y);
            const auto* px =
                reinterpret_cast<const uchar*>(bytes.constData()) + 18 + ((h - 1 - y) * w + x) * 3;
            differing += px[0] != qBlue(c) || px[1] != qGreen(c) || px[2] != qRed(c);
        }
    }
    return differing;
}
