#pragma once
// Shared by the undo tests: a main window with one document of a few muscles and a layer
// image, its undo history, the document's bytes, and the UV map view driven by mouse.

#include "KGuiMapTestSupport.h"
#include "KGuiTestKit.h"
#include "app/CDocManager.h"
#include "app/KDocumentHistory.h"
#include "document/KDocumentFile.h"
#include "views/CPexaView.h"

struct KUndoFixture {
    KTestUi ui; // answers every message and question of the test
    CMainFrame frame;
    CPexaView* view = nullptr;
    CPexaDoc* doc = nullptr;
    KDocumentHistory* history = nullptr;
    bool exposed = false;

    KUndoFixture() {
        frame.resize(1000, 760);
        kStartNew(frame);
        frame.show();
        exposed = QTest::qWaitForWindowExposed(&frame);
        view = frame.activeView();
        doc = &view->document();
        history = frame.documents().historyOf(doc);
        // A small grid keeps every step quick; the map is 100 x 100 pixels.
        doc->uResolution = 33;
        doc->vResolution = 33;
        doc->rebuildGrid();
        KUvMapSettings s = view->settings();
        s.cellSize = 3;
        view->setSettings(s);
        kAddMuscle(*doc, 0, KBdlMuscle::Linear, 0.1, 0.1, 0.3, 0.5, "first");
        kAddMuscle(*doc, 1, KBdlMuscle::Orbital, 0.5, 0.5, 0.9, 0.7, "second");
        kAddMuscle(*doc, 1, KBdlMuscle::Point, 0.6, 0.2, 0.8, 0.3, "third");
        auto image = std::make_unique<KImageMapTga>();
        image->setFormat(8, KImageMap::OptionGray8);
        image->resize(4, 3);
        for (int x = 0; x < 4; ++x) {
            image->setHeight(x, 1, x / 4.0);
        }
        image->name = "skin.tga";
        std::unique_ptr<KImageMap> map = std::move(image);
        doc->layerAt(2)->setImageMap(map);
        doc->documentChanged();
        settle();
        // The model is where the tests start: saved, nothing to undo.
        history->stack().clear();
        history->markSaved();
        view->viewport()->repaint();
    }

    // Lets the history record what the document reported.
    void settle() {
        QCoreApplication::processEvents();
        history->flush();
    }

    // The document's bytes followed by the pixels of its layer images, which the file
    // only names (a flip changes no byte of the file).
    std::vector<uint8_t> bytes() {
        std::vector<uint8_t> out = kDocumentBytes(*doc);
        for (const auto& layer : doc->layers) {
            if (auto* image = dynamic_cast<const KImageMapTga*>(layer->getImageMap())) {
                out.insert(out.end(), image->pixels().begin(), image->pixels().end());
            }
        }
        return out;
    }

    QPoint at(double u, double v) const {
        const QPointF p = KUvMapLayout::uvToWindow(view->mapRect(), u, v);
        return QPoint(qRound(p.x()), qRound(p.y())) -
               QPoint(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
    }
    void click(QPoint p) {
        view->viewport()->repaint();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, p);
    }
    void drag(QPoint from, QPoint to) {
        view->viewport()->repaint();
        kDrag(view->viewport(), from, to);
    }
    void trigger(const char* name) { frame.action(name)->trigger(); }
    QString text(const char* name) const { return frame.action(name)->text(); }
};

// Runs every modal dialog through fill and closes it with OK while in scope.
struct KFillDialogs {
    explicit KFillDialogs(std::function<void(QDialog&)> fill)
        : script([fill = std::move(fill)](QDialog& d) {
              fill(d);
              return int(QDialog::Accepted);
          }) {}
    KDialogScript script;
};
