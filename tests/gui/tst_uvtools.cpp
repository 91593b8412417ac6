// The UV map view's tools driven with real mouse and key events: drawing muscles,
// selecting, the tracker, the keyboard walks, the item clipboard across documents,
// repeat, undo, view size, capture and the view's image import.
#include <QtTest>

#include <QtWidgets>
#include <map>

#include "KGuiMapTestSupport.h"
#include "KGuiTestSupport.h"
#include "app/CDocManager.h"
#include "app/KDocumentHistory.h"
#include "dialogs/KViewImportDlg.h"
#include "dialogs/KViewToolDialogs.h"
#include "image/KImageMapTga.h"
#include "model/KVertexList.h"
#include "views/KItemTracker.h"
#include "views/KMapItemTools.h"
#include "views/KViewCapture.h"

namespace {

using Doubles = std::vector<double>;

// A main window with one document whose map is exactly 100 x 100 pixels (33 samples
// of 3 pixels, plus the closing line), so that whole pixels are round UV values.
struct Fixture {
    KTestUi ui; // answers every message and question of the test
    CMainFrame frame;
    CPexaView* view = nullptr;
    CPexaDoc* doc = nullptr;

    // A window that does not come up fails the test here.
    Fixture() {
        frame.resize(1000, 760);
        frame.processCommandLine({QStringLiteral("quorl")});
        frame.show();
        const bool exposed = QTest::qWaitForWindowExposed(&frame);
        view = frame.activeView();
        doc = &view->document();
        setUp(view);
        QVERIFY(exposed);
    }

    static void setUp(CPexaView* v, int samples = 33, int cellSize = 3) {
        CPexaDoc& d = v->document();
        d.uResolution = samples;
        d.vResolution = samples;
        d.rebuildGrid();
        KUvMapSettings s = v->settings();
        s.cellSize = cellSize;
        v->setSettings(s);
        v->viewport()->repaint();
    }

    // Viewport position of a UV point.
    static QPoint at(CPexaView* v, double u, double vv) {
        const QPointF p = KUvMapLayout::uvToWindow(v->mapRect(), u, vv);
        return QPoint(qRound(p.x()), qRound(p.y())) - scroll(v);
    }
    static QPoint scroll(CPexaView* v) {
        return QPoint(v->horizontalScrollBar()->value(), v->verticalScrollBar()->value());
    }
    QPoint at(double u, double v) const { return at(view, u, v); }

    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers releaseMods = {}) {
        kDrag(view->viewport(), from, to, releaseMods);
    }
    void click(QPoint at) { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at); }
    // Presses the left button at from and moves to to, holding it.
    void hold(QPoint from, QPoint to) {
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), to);
    }
    // Escape during a drag, then the button released at to.
    void escapeAndRelease(QPoint to) {
        QTest::keyPress(view, Qt::Key_Escape);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, to);
    }
    void trigger(const char* action) { frame.action(action)->trigger(); }

    KBdlMuscle* addMuscle(int layer, int type, double u0, double v0, double u1, double v1,
                          const char* name = "(new)") {
        KBdlMuscle* m = kAddMuscle(*doc, layer, type, u0, v0, u1, v1, name);
        doc->documentChanged();
        view->viewport()->repaint();
        return m;
    }

    // Draws with the tool from one point to another; the last muscle of the layer after it.
    KBdlMuscle* draw(const char* tool, QPoint from, QPoint to, int layer = 0) {
        trigger(tool);
        drag(from, to);
        return lastMuscle(layer);
    }

    KBdlMuscle* lastMuscle(int layer) const {
        const auto& list = doc->layerAt(layer)->muscles;
        return list.empty() ? nullptr : list.back().get();
    }
};

void moveWithoutButtons(QWidget* w, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// Counts the document's updates by hint while it lives.
struct HintCounter : KViewObserver {
    explicit HintCounter(CPexaDoc& d) : doc(d) { doc.addObserver(this); }
    ~HintCounter() override { doc.removeObserver(this); }
    void onUpdate(int hint, KPersistent*) override { ++counts[hint]; }
    CPexaDoc& doc;
    std::map<int, int> counts;
};

bool near(double a, double b, double eps = 1e-6) {
    return std::abs(a - b) <= eps;
}

// The UV bounds of a muscle's outline: left/right in U, top/bottom the least/greatest V.
QRectF kOutlineBounds(KBdlMuscle& m) {
    KVertexList outline;
    m.sampleOutline(outline, false);
    double u0 = 1e9, u1 = -1e9, v0 = 1e9, v1 = -1e9;
    for (const KVertex& p : outline.vertices) {
        u0 = std::min(u0, p.x);
        u1 = std::max(u1, p.x);
        v0 = std::min(v0, p.y);
        v1 = std::max(v1, p.y);
    }
    return QRectF(QPointF(u0, v0), QPointF(u1, v1));
}

// What a file chooser was asked: title, filter, suffix, initial name, save or open.
QStringList asked(const KFileRequest& r) {
    return {r.title, r.filter, r.defaultSuffix, r.initialName, r.save ? "save" : "open"};
}

// Replaces one of the view's handlers while in scope.
template <class F>
struct ScopedHandler {
    ScopedHandler(F& slot, std::type_identity_t<F> replacement)
        : slot_(slot), saved_(std::exchange(slot, replacement)) {}
    ~ScopedHandler() { slot_ = saved_; }
    F& slot_;
    F saved_;
};

// Runs every dialog through fill (when set) and closes it with result, keeping the titles.
struct DialogFill {
    std::function<void(QDialog&)> fill;
    int result = QDialog::Accepted;
    QStringList titles;
    KDialogScript script{[this](QDialog& d) {
        titles << d.windowTitle();
        if (fill) {
            fill(d);
        }
        return result;
    }};
};

} // namespace

class TestUvTools : public QObject {
    Q_OBJECT

private slots:
    void pastedCopiesLieBesideTheOriginalInsideTheMap() {
        const struct {
            double u0, v0, u1, v1;
            double du, dv; // the expected move of the outline
        } cases[] = {
            {0.4, 0.4, 0.6, 0.6, kPasteShift, -kPasteShift},  // down and right
            {0.7, 0.4, 1.0, 0.6, -kPasteShift, -kPasteShift}, // at the right edge: left
            {0.4, 0.0, 0.6, 0.3, kPasteShift, kPasteShift},   // at the bottom: up
            {0.8, 0.0, 1.0, 0.2, -kPasteShift, kPasteShift},  // in the corner: up and left
        };
        for (int type :
             {int(KBdlMuscle::Linear), int(KBdlMuscle::Orbital), int(KBdlMuscle::Point)}) {
            for (const auto& c : cases) {
                KBdlMuscle m(type);
                m.setFromRect(c.u0, c.v0, c.u1, c.v1);
                const QRectF before = kOutlineBounds(m);
                KPasteDirection direction;
                kOffsetPastedMuscle(m, direction);
                const QRectF after = kOutlineBounds(m);
                const QString where =
                    QStringLiteral("type %1 at %2,%3").arg(type).arg(c.u0).arg(c.v0);
                QVERIFY2(near(after.left() - before.left(), c.du, 1e-5), qPrintable(where));
                QVERIFY2(near(after.top() - before.top(), c.dv, 1e-5), qPrintable(where));
                QVERIFY2(after.left() >= -1e-6 && after.right() <= 1 + 1e-6 &&
                             after.top() >= -1e-6 && after.bottom() <= 1 + 1e-6,
                         qPrintable(where));
            }
        }
    }

    void pastingNeverHidesAnItem() {
        Fixture f;
        KBdlMuscle* original = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.3, 0.5, 0.6, "band");
        const float u = original->offsetU;
        const float v = original->offsetV;
        f.view->selectItem(0);
        f.trigger("editCopy");
        // Each paste lands beside the one before: down and right.
        for (int k = 1; k <= 3; ++k) {
            f.trigger("editPaste");
            const KBdlMuscle* copy = f.lastMuscle(0);
            QVERIFY(copy != original);
            QVERIFY(near(copy->offsetU, u + k * kPasteShift, 1e-5));
            QVERIFY(near(copy->offsetV, v - k * kPasteShift, 1e-5));
        }
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(4));
        // A cut item comes back where it was: there is nothing there to hide.
        f.view->selectItem(0);
        f.trigger("editCut");
        f.trigger("editPaste");
        QCOMPARE(f.lastMuscle(0)->offsetU, u);
        QCOMPARE(f.lastMuscle(0)->offsetV, v);

        // Among copies in a corner the next one still finds a free place.
        KBdlMuscle corner(KBdlMuscle::Point);
        corner.setFromRect(0.85, 0.0, 1.0, 0.15);
        std::vector<std::unique_ptr<KBdlMuscle>> placed;
        std::vector<KBdlMuscle*> existing;
        for (int k = 0; k < 4; ++k) {
            auto next = std::make_unique<KBdlMuscle>(corner);
            kPlacePastedMuscle(*next, existing);
            const QRectF b = kOutlineBounds(*next);
            for (KBdlMuscle* other : existing) {
                QVERIFY(kOutlineBounds(*other) != b);
            }
            // Never farther past the map's edges than the original.
            const QRectF limit = QRectF(0, 0, 1, 1).united(kOutlineBounds(corner));
            QVERIFY(b.left() >= limit.left() - 1e-6 && b.right() <= limit.right() + 1e-6 &&
                    b.top() >= limit.top() - 1e-6 && b.bottom() <= limit.bottom() + 1e-6);
            existing.push_back(next.get());
            placed.push_back(std::move(next));
        }
    }

    void theWheelZoomsAboutThePointer() {
        Fixture f;
        Fixture::setUp(f.view, 33, 12); // a 400 pixel map: two notches make it scroll
        const auto wheel = [&f](QPoint at, int notches) {
            QWheelEvent e(at, f.view->viewport()->mapToGlobal(at), QPoint(),
                          QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
            QCoreApplication::sendEvent(f.view->viewport(), &e);
        };
        const auto uvAt = [&f](QPoint at) {
            return KUvMapLayout::windowToUv(f.view->mapRect(), at.x() + Fixture::scroll(f.view).x(),
                                            at.y() + Fixture::scroll(f.view).y());
        };
        // Each step keeps the map point under the pointer within a pixel, also once the
        // map is scrolled.
        for (const auto& [u, v, notches] :
             {std::tuple(0.3, 0.7, 2), std::tuple(0.8, 0.2, 3), std::tuple(0.5, 0.5, -1)}) {
            const QPoint at = f.at(u, v);
            const QPointF before = uvAt(at);
            const float zoom = f.view->settings().zoom;
            wheel(at, notches);
            QVERIFY(notches > 0 ? f.view->settings().zoom > zoom : f.view->settings().zoom < zoom);
            const QPointF after = uvAt(at);
            const double pixel = 1.0 / (f.view->mapRect().right - f.view->mapRect().left);
            QVERIFY(near(after.x(), before.x(), 1.5 * pixel) &&
                    near(after.y(), before.y(), 1.5 * pixel));
        }
        QCOMPARE(f.view->settings().zoom, 3.0f); // 1 -> 2 -> 3.5 -> 3: the usual steps
        // The wheel stops at its limits instead of making the map vanish or explode.
        wheel(f.at(0.5, 0.5), -40);
        QVERIFY(f.view->settings().zoom >= CPexaView::kMinWheelZoom);
        wheel(f.at(0.5, 0.5), 60);
        QVERIFY(f.view->settings().zoom <= CPexaView::kMaxWheelZoom);
    }

    void initTestCase() { kUseTestSettings(); }

    void dragsDrawMusclesWithTheirTools() {
        Fixture f;

        // Vertical over the whole map, from the top-left to the bottom-right corner.
        KBdlMuscle* linear = f.draw("toolVertical", f.at(0, 1), f.at(1, 0), 0);
        QVERIFY(linear);
        QCOMPARE(std::tuple(linear->muscleType, linear->begin, linear->end),
                 std::tuple(int32_t(KBdlMuscle::Linear), 0.0f, 1.0f));
        QCOMPARE(kCurveYs(linear->center), Doubles(3, 0.5));
        QCOMPARE(kCurveYs(linear->widthLo), Doubles(3, 0.5));
        // The new muscle is selected and the tool went back to the pointer.
        QCOMPARE(f.view->selectedMuscle(), linear);
        QCOMPARE(f.view->tool(), int(ToolPointer));
        QVERIFY(f.frame.action("toolPointer")->isChecked());

        // Point from UV (0.2, 0.4) to (0.6, 0.5), drawn backwards; Shift keeps the tool.
        f.trigger("toolPoint");
        f.drag(f.at(0.6, 0.4), f.at(0.2, 0.5), Qt::ShiftModifier);
        KBdlMuscle* point = f.lastMuscle(0); // the selected item's layer
        QCOMPARE(point->muscleType, int32_t(KBdlMuscle::Point));
        QVERIFY(near(point->center.points()[0].x, 0.40));
        QVERIFY(near(point->center.points()[0].y, 0.45));
        QCOMPARE(kCurveYs(point->widthLo), Doubles(5, 0.2));
        QCOMPARE(std::tuple(point->begin, point->end), std::tuple(1.0f, 4.0f));
        QCOMPARE(f.view->tool(), int(ToolPoint));
    }

    void fitToLineAsksForItsSettingsAndFollowsTheLine() {
        Fixture f;
        f.trigger("toolPoint");

        // Point and Fit to Line refuse each other.
        f.trigger("toolFitLine");
        QCOMPARE(
            f.ui.messages().back(),
            std::string("Point types require a bounding rectangle, and do not follow a line."));
        QCOMPARE(f.view->creationMethod(), int(FitToBounds));

        // Fit to Line asks for its settings.
        DialogFill dialogs;
        dialogs.fill = [](QDialog& d) { dynamic_cast<KLineItemDlg&>(d).widthEdit->setValue(0.3); };
        f.trigger("toolVertical");
        f.trigger("toolFitLine");
        QCOMPARE(dialogs.titles, QStringList{"Line Item Properties"});
        QCOMPARE(f.view->lineWidth(), 0.3);
        const size_t messages = f.ui.messages().size();
        f.trigger("toolPoint");
        QCOMPARE(f.ui.messages().size(), messages + 1);
        QCOMPARE(f.view->tool(), int(ToolVertical));

        // A line from (0.5, 0.9) to (0.3, 0.1) with one mid point.
        f.drag(f.at(0.5, 0.9), f.at(0.3, 0.1));
        KBdlMuscle* line = f.lastMuscle(0);
        QVERIFY(near(line->begin, 0.1) && near(line->end, 0.9));
        const auto& cp = line->center.points();
        QVERIFY(near(cp[0].x, 0.0) && near(cp[0].y, 0.3));
        QVERIFY(near(cp[1].x, 0.5) && near(cp[1].y, 0.4));
        QVERIFY(near(cp[2].x, 1.0) && near(cp[2].y, 0.5));
        QCOMPARE(kCurveYs(line->widthLo), Doubles(3, 0.15));
        QCOMPARE(f.view->tool(), int(ToolPointer));
    }

    void theTargetLayerAndTheZeroSizedRectangle() {
        Fixture f;
        // Nothing selected, layers 1 and 2 shown: the first shown layer takes it.
        f.view->setLayerSelection({1, 2});
        KBdlMuscle* orbital = f.draw("toolOrbital", f.at(0.1, 0.1), f.at(0.5, 0.3), 1);
        QVERIFY(near(orbital->begin, 0.1) && near(orbital->end, 0.5));

        // A muscle of layer 2 selected: the next one goes to layer 2.
        f.addMuscle(2, KBdlMuscle::Linear, 0.7, 0.6, 0.9, 0.9, "right");
        f.click(f.at(0.8, 0.75));
        QCOMPARE(f.view->selectedMuscle()->name, std::string("right"));
        f.trigger("toolVertical");
        f.drag(f.at(0.2, 0.6), f.at(0.3, 0.8));
        QCOMPARE(f.doc->layerAt(2)->muscles.size(), size_t(2));

        // A click without movement under Fit to Bounds asks for the item defaults.
        f.click(f.at(0.05, 0.95));
        f.trigger("toolVertical");
        f.ui.answerValues(true, {0.4, 0.25});
        f.click(f.at(0.5, 0.5));
        QCOMPARE(f.ui.valueDialogs[0].title, std::string("Create New Item - Default Values"));
        QCOMPARE(kCurveYs(f.lastMuscle(1)->center), Doubles(3, 0.25));

        // Without user layers the document refuses and nothing is left behind.
        auto taken = f.doc->takeLayers();
        f.trigger("toolVertical");
        f.drag(f.at(0.1, 0.1), f.at(0.4, 0.4));
        QCOMPARE(f.ui.messages().back(), std::string("You must have at least one layer"));
        QVERIFY(!f.view->selectedMuscle());
        f.doc->restoreLayers(std::move(taken));
    }

    void theRubberBandShowsWhileDragging() {
        Fixture f;
        f.trigger("toolVertical");
        // Clear of the grid lines (every 6 pixels) where the band is looked at.
        const QPoint from = f.at(0.11, 0.89);
        const QPoint to = f.at(0.6, 0.3);
        f.hold(from, to);
        QVERIFY(f.view->rubberBandActive());
        // The band inverts what is under it: white becomes black.
        QImage shot = f.view->viewport()->grab().toImage();
        const QPoint onTop(from.x() + 14, from.y());
        QCOMPARE(shot.pixelColor(onTop), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(onTop + QPoint(0, 14)), QColor(Qt::white));
        QVERIFY(kSaveScreenshot(shot, QStringLiteral("uvtools_rubberband.png")));
        // Escape ends the drag without a muscle.
        f.escapeAndRelease(to);
        QVERIFY(f.doc->layerAt(0)->muscles.empty());

        // Fit to Line shows a line from the press point instead.
        DialogFill dialogs;
        f.trigger("toolFitLine");
        f.hold(from, to);
        shot = f.view->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(from), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(onTop), QColor(Qt::white));
        QVERIFY(kSaveScreenshot(shot, QStringLiteral("uvtools_rubberline.png")));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1));
    }

    // The muscle follows a tracker drag. Moves that arrive together are shown together:
    // one change reaches the document (so the preview calculates once) with the muscle
    // where the last move puts it, and the release leaves it there, recorded for Undo
    // from where the drag began. Escape puts it back.
    void trackerDragShowsTheLatestPositionOnce() {
        Fixture f;
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        const QPoint c = f.at(0.4, 0.4);
        f.click(c);
        QCOMPARE(f.view->selectedMuscle(), m);
        const KBdlMuscle before(*m);
        const QRect box = f.view->tracker().rect();
        const auto offsets = [](const KBdlMuscle& x) { return std::tuple(x.offsetU, x.offsetV); };
        QWidget* port = f.view->viewport();
        KDocumentHistory& history = *f.frame.documents().historyOf(f.doc);
        for (const bool escape : {true, false}) {
            history.flush();
            const int steps = history.stack().count();
            HintCounter hints(*f.doc);
            port->repaint();
            QTest::mousePress(port, Qt::LeftButton, {}, c);
            QVERIFY(f.view->tracker().tracking());
            QPoint last = c;
            for (int k = 1; k <= 12; ++k) {
                last = c + QPoint(3 * k, -2 * k);
                QCoreApplication::postEvent(
                    port, new QMouseEvent(QEvent::MouseMove, last, port->mapToGlobal(last),
                                          Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
            }
            QCOMPARE(hints.counts[CPexaDoc::HintMuscle], 0);
            // The update runs on the turn after the moves: by then all of them are in.
            QTRY_COMPARE(hints.counts[CPexaDoc::HintMuscle], 1);
            QCoreApplication::processEvents();
            QCOMPARE(hints.counts[CPexaDoc::HintMuscle], 1);
            QCOMPARE(hints.counts[CPexaDoc::HintAll], 1);
            KBdlMuscle expected(before);
            expected.applyTrackerChange(kTrackerRecord(box, box.translated(last - c),
                                                       KItemTracker::kMove, f.view->mapRect()),
                                        KItemTracker::kMove);
            QVERIFY(offsets(expected) != offsets(before));
            QCOMPARE(offsets(*m), offsets(expected));
            // The positions shown on the way are no steps of their own.
            QCoreApplication::processEvents();
            QCOMPARE(history.stack().count(), steps);
            if (escape) {
                f.escapeAndRelease(last);
                QCOMPARE(offsets(*m), offsets(before));
                history.flush();
                QCOMPARE(history.stack().count(), steps);
            } else {
                QTest::mouseRelease(port, Qt::LeftButton, {}, last);
                QCoreApplication::processEvents();
                QCOMPARE(offsets(*m), offsets(expected));
                history.flush();
                QCOMPARE(history.stack().count(), steps + 1);
                // One undo takes the whole drag back (to a copy of the muscle).
                f.trigger("editUndo");
                QCOMPARE(offsets(*f.doc->muscleAt(0, 0)), offsets(before));
            }
        }
    }

    // A drag that ends other than by its release (a double click, the window closing, an
    // undo) leaves the muscle where it found it, and holds the history no longer.
    void aDragEndedOtherwiseTakesBackWhatItShowed() {
        Fixture f;
        f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        const auto offsets = [&] {
            const KBdlMuscle* now = f.doc->muscleAt(0, 0);
            return std::tuple(now->offsetU, now->offsetV);
        };
        const auto before = offsets();
        const auto dragWithoutRelease = [&](CPexaView* view) {
            QWidget* port = view->viewport();
            const QPoint c = f.at(view, 0.4, 0.4);
            QTest::mouseClick(port, Qt::LeftButton, {}, c);
            QTest::mousePress(port, Qt::LeftButton, {}, c);
            QTest::mouseMove(port, c + QPoint(20, 10));
            QCoreApplication::processEvents();
            return c + QPoint(20, 10);
        };
        const QPoint first = dragWithoutRelease(f.view);
        QVERIFY(offsets() != before);
        QVERIFY(f.doc->liveEditRunning());
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(offsets(), before);
        QVERIFY(!f.doc->liveEditRunning());

        f.trigger("windowNew");
        CPexaView* second = f.frame.activeView();
        QVERIFY(second && second != f.view);
        f.setUp(second);
        dragWithoutRelease(second);
        QVERIFY(offsets() != before);
        QMdiSubWindow* window = nullptr;
        for (QWidget* w = second; w && !window; w = w->parentWidget()) {
            window = qobject_cast<QMdiSubWindow*>(w);
        }
        QVERIFY(window);
        delete window;
        QCOMPARE(offsets(), before);
        QVERIFY(!f.doc->liveEditRunning());

        const QPoint last = dragWithoutRelease(f.view);
        QVERIFY(f.doc->liveEditRunning());
        f.trigger("editUndo"); // the muscles are replaced under the drag
        QVERIFY(!f.doc->liveEditRunning());
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, last);
        QCoreApplication::processEvents();
    }

    void theTrackerMovesResizesAndUndoRestores() {
        Fixture f;
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        const QPoint c = f.at(0.4, 0.4);
        f.click(c);
        QCOMPARE(f.view->selectedMuscle(), m);
        const QRect box = f.view->items()[0].box;
        // Undo brings back a copy of the muscle: it is found by its place.
        const auto shape = [&] {
            const KBdlMuscle* now = f.doc->muscleAt(0, 0);
            return std::tuple(now->offsetU, now->offsetV, now->widthLoScale, now->end);
        };
        const auto before = shape();
        KDocumentHistory& history = *f.frame.documents().historyOf(f.doc);
        history.flush();
        const int steps = history.stack().count();

        // A click on the box without movement changes nothing and records nothing.
        f.click(c);
        history.flush();
        QCOMPARE(history.stack().count(), steps);

        // Each drag: from where (the box, its right or top handle), by how much, and the
        // offsets U and V, the width scale and the end it leaves; Undo restores them all.
        const auto tracker = [&](int handle) {
            return f.view->tracker().handleRect(handle).center();
        };
        const double sx = double(box.width() + 20) / box.width();
        const auto [u0, v0, scale0, end0] = before;
        const std::tuple<std::function<QPoint()>, QPoint, double, double, double, double> drags[] =
            {{[&] { return c; }, QPoint(10, -20), 0.1, 0.2, scale0, end0},
             {[&] { return tracker(5); }, QPoint(20, 0), 0.1, v0, sx, end0},
             {[&] { return tracker(4); }, QPoint(0, -10), u0, v0, scale0, end0 + 0.1}};
        for (const auto& [from, by, u, v, scale, end] : drags) {
            f.view->viewport()->repaint();
            f.drag(from(), from() + by);
            const auto [du, dv, dscale, dend] = shape();
            QVERIFY(near(du, u) && near(dv, v) && near(dscale, scale) && near(dend, end));
            f.trigger("editUndo");
            QCOMPARE(shape(), before);
        }
        QCOMPARE(f.frame.action("editRedo")->text(), QStringLiteral("Redo Resize\tCtrl+Y"));
        // The move's Undo names it.
        f.drag(c, c + QPoint(10, 0));
        history.flush();
        QCOMPARE(f.frame.action("editUndo")->text(), QStringLiteral("Undo Move\tCtrl+Z"));
        f.trigger("editUndo");

        // The pointer shows what a drag from where it rests would do.
        f.view->viewport()->repaint();
        const std::pair<QPoint, Qt::CursorShape> cursors[] = {{tracker(0), Qt::SizeFDiagCursor},
                                                              {c, Qt::SizeAllCursor}};
        for (const auto& [at, cursor] : cursors) {
            moveWithoutButtons(f.view->viewport(), at);
            QCOMPARE(f.view->viewport()->cursor().shape(), cursor);
        }

        // Clicking beside every item drops the selection and hides the tracker.
        f.click(f.at(0.9, 0.9));
        QVERIFY(!f.view->selectedMuscle());
    }

    // The item pane follows a rename and a deletion at once, without a pointer move, in
    // every recalculation mode.
    void theItemPaneFollowsRenameAndDelete_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("automatic") << int(CPexaDoc::RecalcAuto);
        QTest::newRow("manual") << int(CPexaDoc::RecalcManual);
    }

    void theItemPaneFollowsRenameAndDelete() {
        QFETCH(int, mode);
        Fixture f;
        f.doc->recalcMode = mode;
        f.addMuscle(1, KBdlMuscle::Linear, 0.1, 0.2, 0.2, 0.6, "biceps");
        KBdlMuscle* triceps = f.addMuscle(1, KBdlMuscle::Linear, 0.5, 0.2, 0.6, 0.6, "triceps");
        CChildFrame* child = f.frame.documents().activeFrame();
        // The item under the pointer is named; away from it, the pointer's position.
        moveWithoutButtons(f.view->viewport(), f.at(0.15, 0.4));
        QCOMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: biceps"));
        const QPoint away = f.at(0.9, 0.9);
        const auto pointerText = [&] {
            const QPoint logical = away + Fixture::scroll(f.view);
            return QStringLiteral("MouseXY %1, %2").arg(logical.x()).arg(logical.y());
        };
        moveWithoutButtons(f.view->viewport(), away);
        QCOMPARE(child->paneText(0), pointerText());
        // A selected item is named wherever the pointer is.
        f.click(f.at(0.55, 0.4));
        moveWithoutButtons(f.view->viewport(), away);
        QCOMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: triceps"));
        // Renamed by a property dialog, which reports the change of the muscle.
        triceps->name = "forearm";
        f.doc->itemChanged(CPexaDoc::HintMuscle, triceps);
        QTRY_COMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: forearm"));
        // Delete selects the item before it.
        f.view->setFocus();
        QTest::keyClick(f.view, Qt::Key_Delete);
        QTRY_COMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: biceps"));
        // With nothing selected the pane names what lies under the pointer.
        QTest::keyClick(f.view, Qt::Key_Delete);
        QTRY_COMPARE(child->paneText(0), pointerText());
    }

    void keysWalkTheItemsOnRelease() {
        Fixture f;
        f.view->setFocus();
        // No items yet.
        QTest::keyRelease(f.view, Qt::Key_Tab);
        QCOMPARE(f.ui.messages().back(), std::string("There are no items to select"));
        // Layer groups: a b | c | d e
        KBdlMuscle* a = f.addMuscle(0, KBdlMuscle::Linear, 0.05, 0.1, 0.15, 0.3, "a");
        KBdlMuscle* b = f.addMuscle(0, KBdlMuscle::Linear, 0.25, 0.1, 0.35, 0.3, "b");
        KBdlMuscle* c = f.addMuscle(1, KBdlMuscle::Linear, 0.45, 0.1, 0.55, 0.3, "c");
        KBdlMuscle* d = f.addMuscle(2, KBdlMuscle::Linear, 0.65, 0.1, 0.75, 0.3, "d");
        KBdlMuscle* e = f.addMuscle(2, KBdlMuscle::Linear, 0.85, 0.1, 0.95, 0.3, "e");
        auto key = [&](Qt::Key k, Qt::KeyboardModifiers mods = {}) {
            QTest::keyRelease(f.view, k, mods);
            return f.view->selectedMuscle();
        };
        // Tab wraps both ways; Page Down and Page Up step through layers and stop at the
        // ends of the list; End and Home the layer's ends, with Ctrl the list's.
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, KBdlMuscle*> walk[] = {
            {Qt::Key_Tab, {}, a},      {Qt::Key_Tab, shift, e},   {Qt::Key_Tab, {}, a},
            {Qt::Key_PageDown, {}, c}, {Qt::Key_PageDown, {}, d}, {Qt::Key_PageDown, {}, e},
            {Qt::Key_PageUp, {}, c},   {Qt::Key_PageUp, {}, b},   {Qt::Key_PageUp, {}, a},
            {Qt::Key_End, {}, b},      {Qt::Key_Home, {}, a},     {Qt::Key_End, ctrl, e},
            {Qt::Key_Home, {}, d},     {Qt::Key_Home, ctrl, a}};
        for (const auto& [k, mods, selected] : walk) {
            QCOMPARE(key(k, mods), selected);
        }

        // E opens the selected muscle with the view's edit mode, without an undo record;
        // F11 opens the texture list editor.
        std::vector<std::pair<KBdlMuscle*, int>> opened;
        int textureLists = 0;
        {
            ScopedHandler edit(CPexaView::editItemHandler(),
                               [&](CPexaView&, KBdlMuscle& m, int mode) {
                                   opened.emplace_back(&m, mode);
                                   return false;
                               });
            ScopedHandler textures(CPexaView::textureListHandler(),
                                   [&](CPexaView&) { ++textureLists; });
            key(Qt::Key_E);
            f.view->setEditMode(1);
            key(Qt::Key_Tab);
            key(Qt::Key_E);
            key(Qt::Key_F11);
        }
        QCOMPARE(opened, (std::vector<std::pair<KBdlMuscle*, int>>{{a, 0}, {b, 1}}));
        QCOMPARE(textureLists, 1);

        // Delete cuts: the item before becomes selected, the clipboard holds a copy.
        key(Qt::Key_Delete);
        QCOMPARE(f.frame.itemClipboard()->name, std::string("b"));
        QCOMPARE(f.view->selectedMuscle(), a);
        // Cutting the first item leaves no selection.
        QCOMPARE(key(Qt::Key_Delete), nullptr);
        QCOMPARE(key(Qt::Key_Tab), c);
    }

    void theClipboardIsSharedByDocuments() {
        Fixture f;
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Orbital, 0.2, 0.3, 0.8, 0.5, "ring");
        m->offsetU = 0.125f;
        f.click(f.at(0.5, 0.4));
        f.trigger("editCopy");
        // The clipboard holds a copy, not the muscle.
        QVERIFY(f.frame.itemClipboard() != m);
        m->offsetU = 0.5f;

        // A second document takes it into its first layer.
        f.trigger("fileNew");
        CPexaView* second = f.frame.activeView();
        CPexaDoc& doc2 = second->document();
        f.trigger("editPaste");
        QCOMPARE(doc2.layerAt(0)->muscles.size(), size_t(1));
        KBdlMuscle* pasted = doc2.layerAt(0)->muscles[0].get();
        QCOMPARE(pasted->name, std::string("ring (copy)"));
        // Nothing lies there in this document: the copy keeps its place.
        QCOMPARE(pasted->offsetU, 0.125f);
        QCOMPARE(second->selectedMuscle(), pasted);
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1)); // the first is untouched
    }

    void repeatAddsOffsetAndMirroredCopies() {
        Fixture f;
        f.view->repeatItem();
        QCOMPARE(f.ui.messages().back(), std::string("You must select an item first."));
        KBdlMuscle* m = f.addMuscle(1, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6, "src");
        m->offsetU = 0.05f;
        m->offsetV = 0.02f;
        f.click(f.at(0.4, 0.4));

        // Three copies 0.1 apart in U; mirrored in U they alternate sides of the axis.
        bool mirror = false;
        DialogFill dialogs;
        dialogs.fill = [&](QDialog& d) {
            auto& r = dynamic_cast<KRepeatDlg&>(d);
            r.copiesEdit->setValue(3);
            r.offsetUEdit->setValue(0.1);
            r.mirrorUBox->setChecked(mirror);
        };
        const auto& list = f.doc->layerAt(1)->muscles;
        const Doubles offsets[] = {{0.15, 0.25, 0.35}, {-0.05 - 0.1, -0.05 + 0.2, -0.05 - 0.3}};
        for (mirror = false; const Doubles& expected : offsets) {
            const size_t first = list.size();
            f.trigger("toolRepeat");
            QCOMPARE(list.size(), first + 3);
            for (size_t i = 0; i < 3; ++i) {
                const KBdlMuscle& copy = *list[first + i];
                QCOMPARE(copy.name, "src (rpt: " + std::to_string(i + 1) + ")");
                QVERIFY2(near(copy.offsetU, expected[i]),
                         qPrintable(QString::number(copy.offsetU)));
                QCOMPARE(copy.mirrorU, int(mirror));
            }
            mirror = true;
        }

        // Cancel adds nothing.
        dialogs.result = QDialog::Rejected;
        f.trigger("toolRepeat");
        QCOMPARE(list.size(), size_t(7));
    }

    void editingOpensTheMuscleAndRecordsUndo() {
        Fixture f;
        std::vector<int> modes;
        ScopedHandler edit(CPexaView::editItemHandler(), [&](CPexaView&, KBdlMuscle& m, int mode) {
            modes.push_back(mode);
            m.height = 0.75f; // the dialog changed it
            return true;
        });
        f.view->modifyItem();
        f.view->editSplines();
        QCOMPARE(f.ui.messages(),
                 (std::vector<std::string>(2, "You must select an item to edit first.")));
        const float height = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6)->height;
        f.frame.documents().historyOf(f.doc)->flush(); // the new muscle is a step of its own
        f.click(f.at(0.4, 0.4));
        f.view->modifyItem();
        QCOMPARE(modes, std::vector<int>{1});
        f.trigger("editUndo");
        // Undo brings back a copy of the muscle in its place.
        KBdlMuscle* m = f.doc->muscleAt(0, 0);
        QCOMPARE(m->height, height);
        f.view->editSplines();
        QCOMPARE(modes, (std::vector<int>{1, 0}));

        // Double click: on nothing a message, on an item its editor with the edit mode.
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.9, 0.9));
        QCOMPARE(f.ui.messages().back(), std::string("LDblClick: No selected item."));
        f.view->setEditMode(1);
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QCOMPARE(f.view->selectedMuscle(), m);
        QCOMPARE(modes, (std::vector<int>{1, 0, 1}));
        // The release after the double click draws nothing with a creation tool.
        f.trigger("toolVertical");
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1));
    }

    // "Set View Size" gives the client area (or with the frame the whole window) exactly
    // the size asked for; F9 and "Capture View" write what it shows as a 24-bit TGA file.
    void viewSizeAndCapture() {
        Fixture f;
        f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        CChildFrame* child = f.frame.documents().activeFrame();
        child->showNormal();
        bool withFrame = false;
        QSize size(240, 180);
        DialogFill dialogs;
        dialogs.fill = [&](QDialog& d) {
            auto& s = dynamic_cast<KViewSizeDlg&>(d);
            s.includeFrameBox->setChecked(withFrame);
            s.widthEdit->setValue(size.width());
            s.heightEdit->setValue(size.height());
        };
        f.trigger("viewSetSize");
        QCOMPARE(f.view->viewport()->size(), size);
        QVERIFY(!f.view->includeFrame());

        // F9 captures the client area: the file's first row is its bottom row.
        QTemporaryDir dir;
        QString target = dir.filePath(QStringLiteral("view.tga"));
        KFileScript files([&](const KFileRequest&) { return target; });
        f.view->viewport()->repaint();
        const QImage shown = f.view->viewport()->grab().toImage();
        QTest::keyRelease(f.view, Qt::Key_F9);
        QCOMPARE(asked(files.requests.at(0)),
                 (QStringList{"Capture View", "TGA Files (*.tga)", "tga", "untitled.tga", "save"}));
        QCOMPARE(kTgaPixelsDiffering(target, shown), 0);
        // The muscle's outline is in the picture: some pixel is not grey.
        QVERIFY(kHasColouredPixel(shown)); // the muscle's outline

        // With the frame: the whole window. A cancelled file choice writes nothing.
        withFrame = true;
        size = QSize(420, 390);
        f.trigger("viewSetSize");
        QCOMPARE(child->size(), size);
        target = dir.filePath(QStringLiteral("frame.tga"));
        f.trigger("viewCapture");
        KImageMapTga framed(target.toStdString());
        QCOMPARE(QSize(framed.width(), framed.height()), size);
        target.clear();
        QFile::remove(dir.filePath(QStringLiteral("frame.tga")));
        f.view->captureView();
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("frame.tga"))));

        // A file that cannot be written is reported.
        target = dir.filePath(QStringLiteral("missing/dir/x.tga"));
        f.view->captureView();
        QCOMPARE(f.ui.messages().back(), "Failed to save the captured image!\n\"" +
                                             target.toStdString() +
                                             "\": No such file or directory");
    }

    void trackerEdgesNeverCollapse() {
        KItemTracker t;
        t.setRect(QRect(100, 100, 40, 20));
        // The right edge dragged over the left one flips the box.
        t.begin(5, QPoint(143, 110));
        t.moveTo(QPoint(43, 110));
        QCOMPARE(t.trackedRect(), QRect(40, 100, 60, 20));
        // Exactly onto it: one pixel remains.
        t.moveTo(QPoint(103, 110));
        QCOMPARE(t.trackedRect().width(), 1);
        t.cancel();
        QVERIFY(!t.tracking());
        QCOMPARE(t.rect(), QRect(100, 100, 40, 20));
        // A box without width keeps its scale across.
        const KUvMapLayout::MapRect map{0, 0, 100, 100};
        const KVertex r = kTrackerRecord(QRect(10, 10, 0, 30), QRect(10, 10, 20, 60), 2, map);
        QCOMPARE(std::tuple(r.x, r.y, r.z, r.w), std::tuple(1.0, 2.0, 0.2, -0.3));
    }

    void importImageIntoAShownLayer() {
        Fixture f;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bg.tga"));
        {
            KImageMapTga tga;
            tga.setFormat(24, KImageMap::OptionGray24);
            tga.resize(4, 3);
            tga.setColor(1, 0, 0x0000FFu);
            QCOMPARE(tga.save(path.toStdString()), int(KImageMapTga::SaveOk));
        }
        f.view->setLayerSelection({1, 2});

        DialogFill dialogs;
        dialogs.fill = [](QDialog& d) {
            auto& imp = dynamic_cast<KViewImportDlg&>(d);
            // Only the shown layers are listed, the current one first chosen.
            QCOMPARE(imp.layerList->count(), 2);
            imp.layerList->setCurrentRow(1);
            imp.backgroundBox->setChecked(true);
        };
        std::optional<KFileScript> files(std::in_place, path);
        f.ui.answer(true); // import into another layer than the current one
        f.trigger("fileImportTga");
        QCOMPARE(asked(files->requests.at(0)),
                 (QStringList{"Import Image", "TGA Files (*.tga)", "tga", "temp.tga", "open"}));
        KBdlLayer* layer = f.doc->layerAt(2);
        QVERIFY(layer->imageMap);
        QCOMPARE(layer->backgroundOnly, 1);
        QVERIFY(f.view->settings().showBackground);
        QCOMPARE(f.view->backgroundImage().size(), QSize(4, 3));

        // Without "Use as background only" the layer keeps displacing; a cancelled file
        // choice changes nothing.
        dialogs.fill = [](QDialog& d) {
            auto& imp = dynamic_cast<KViewImportDlg&>(d);
            imp.selectedOnlyBox->setChecked(false);
            imp.layerList->setCurrentRow(0);
        };
        f.ui.answer(true);
        f.view->importImage();
        QVERIFY(f.doc->layerAt(0)->imageMap);
        QCOMPARE(f.doc->layerAt(0)->backgroundOnly, 0);
        files.emplace(QString());
        f.doc->layerAt(1)->imageMap.reset();
        dialogs.fill = [](QDialog& d) {
            dynamic_cast<KViewImportDlg&>(d).layerList->setCurrentRow(0);
        };
        f.view->importImage();
        QVERIFY(!f.doc->layerAt(1)->imageMap);

        // Rows outside the listed layers give layer 0.
        QCOMPARE(KViewImportDlg::layerForRow(1, true, {1, 2}, 3), 2);
    }

    void dragsFollowTheScrollPosition() {
        Fixture f;
        // A map larger than the window, scrolled: 57 samples of 7 pixels, 400 across.
        Fixture::setUp(f.view, 57, 7);
        CChildFrame* child = f.frame.documents().activeFrame();
        child->showNormal();
        child->resize(300, 280);
        QVERIFY(f.view->horizontalScrollBar()->maximum() > 0);
        f.view->horizontalScrollBar()->setValue(40);
        f.view->verticalScrollBar()->setValue(f.view->verticalScrollBar()->maximum());
        KBdlMuscle* m = f.draw("toolVertical", f.at(0.2, 0.0), f.at(0.3, 0.25), 0);
        QVERIFY(near(m->begin, 0.0));
        QVERIFY2(near(m->end, 0.25), qPrintable(QString::number(m->end)));
        QVERIFY(near(m->center.points()[0].y, 0.25, 1e-9));
    }

    void screenshotsOfTheTools() {
        Fixture f;
        Fixture::setUp(f.view, 33, 6);
        f.addMuscle(0, KBdlMuscle::Linear, 0.2, 0.15, 0.35, 0.85, "a");
        f.addMuscle(1, KBdlMuscle::Orbital, 0.45, 0.6, 0.9, 0.8, "b");
        f.addMuscle(2, KBdlMuscle::Point, 0.55, 0.15, 0.8, 0.4, "c");
        const QPoint c = f.at(0.675, 0.7);
        f.click(c);
        f.view->viewport()->repaint();
        QImage selected = f.view->viewport()->grab().toImage();
        QVERIFY(kSaveScreenshot(selected, QStringLiteral("uvtools_selected.png")));
        // Handles are drawn in black outside the box.
        const QRect handle = f.view->tracker().handleRect(5);
        QCOMPARE(selected.pixelColor(handle.center() - Fixture::scroll(f.view)), QColor(Qt::black));

        // The tracker while its box is dragged: its dotted outline inverts what is under it.
        f.hold(c, c + QPoint(-40, -30));
        QVERIFY(kSaveScreenshot(*f.view, QStringLiteral("uvtools_tracking.png")));
        f.escapeAndRelease(c + QPoint(-40, -30));

        // A rubber band for a new muscle, and the whole window.
        f.trigger("toolOrbital");
        f.hold(f.at(0.1, 0.45), f.at(0.5, 0.55));
        QVERIFY(kSaveScreenshot(f.frame, QStringLiteral("uvtools_window.png")));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, f.at(0.5, 0.55));
        QCOMPARE(f.doc->layerAt(1)->muscles.size(), size_t(2));
    }
};

QTEST_MAIN(TestUvTools)
#include "tst_uvtools.moc"
