#pragma once
// Helpers of the document, export and preview tests: files read whole, a one-colour TGA
// image, a main window with a new document, and the real modal dialog acted on once the
// event loop shows it. Brings the Qt Test and widget headers these tests share.

#include <functional>
#include <memory>

#include "KGuiTestSupport.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"

// The whole file, or nothing when it cannot be read.
inline QByteArray kSlurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes the bytes as the whole file; whether all of them were written.
inline bool kWriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Writes a w x h TGA of one colour (0xBBGGRR) at the given depth; the path, or nothing when
// it could not be written.
inline QString kWriteFlatTga(const QString& path, int w, int h, uint32_t color = 0,
                             int depth = 24) {
    KImageMapTga image;
    image.setFormat(depth, depth == 8 ? KImageMap::OptionGray8 : KImageMap::OptionGray24);
    image.resize(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setColor(x, y, color);
        }
    }
    return image.save(path.toStdString()) == KImageMapTga::SaveOk ? path : QString();
}

// The main window started as the program starts without a file: one new document.
inline bool kStartNew(CMainFrame& frame) {
    return frame.processCommandLine({QStringLiteral("quorl")});
}

// The titles of the frame's documents, in order.
inline QStringList kDocumentTitles(CMainFrame& frame) {
    QStringList titles;
    for (CPexaDoc* doc : frame.documents().documents()) {
        titles << frame.documents().title(doc);
    }
    return titles;
}

// The menu of the menu bar with the given text ("&Window"), or null.
inline QMenu* kMenuBarMenu(CMainFrame& frame, const QString& text) {
    for (QAction* a : frame.menuBar()->actions()) {
        if (a->menu() && a->text() == text) {
            return a->menu();
        }
    }
    return nullptr;
}

// Calls act with the modal dialog of type D once the event loop shows it. The flag tells
// whether such a dialog was seen, so a test fails when none came up.
template <class D>
std::shared_ptr<bool> kWhenModal(std::function<void(D&)> act) {
    auto seen = std::make_shared<bool>(false);
    QTimer::singleShot(0, [seen, act = std::move(act)] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            *seen = true;
            act(*dialog);
        }
    });
    return seen;
}
