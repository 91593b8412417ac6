// The UV map view's tools driven with real mouse and key events: drawing muscles,
// selecting, the tracker, the keyboard walks, the item clipboard across documents,
// repeat, undo, view size, capture and the view's image import.
#include <QtTest>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QMdiArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "dialogs/KViewImportDlg.h"
#include "dialogs/KViewToolDialogs.h"
#include "document/CPexaDoc.h"
#include "image/KImageMapTga.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"
#include "views/KItemTracker.h"
#include "views/KMapItemTools.h"
#include "views/KViewCapture.h"

namespace {

// A main window with one document whose map is exactly 100 x 100 pixels (33 samples
// of 3 pixels, plus the closing line), so that whole pixels are round UV values.
struct Fixture {
    CMainFrame frame;
    CPexaView* view = nullptr;
    CPexaDoc* doc = nullptr;
    bool exposed = false;

    Fixture() {
        frame.resize(1000, 760);
        frame.processCommandLine({QStringLiteral("quorl")});
        frame.show();
        exposed = QTest::qWaitForWindowExposed(&frame);
        view = frame.activeView();
        doc = &view->document();
        setUp(view);
    }

    static void setUp(CPexaView* v) {
        CPexaDoc& d = v->document();
        d.uResolution = 33;
        d.vResolution = 33;
        d.rebuildGrid();
        KUvMapSettings s = v->settings();
        s.cellSize = 3;
        v->setSettings(s);
        v->viewport()->repaint();
    }

    // Viewport position of a UV point.
    static QPoint at(CPexaView* v, double u, double vv) {
        const QPointF p = KUvMapLayout::uvToWindow(v->mapRect(), u, vv);
        const QPoint scroll(v->horizontalScrollBar()->value(), v->verticalScrollBar()->value());
        return QPoint(qRound(p.x()), qRound(p.y())) - scroll;
    }
    QPoint at(double u, double v) const { return at(view, u, v); }

    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers releaseMods = {}) {
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->viewport(), (from + to) / 2);
        QTest::mouseMove(view->viewport(), to);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, releaseMods, to);
    }

    KBdlMuscle* addMuscle(int layer, int type, double u0, double v0, double u1, double v1,
                          const char* name = "(new)") {
        auto m = std::make_unique<KBdlMuscle>(type);
        m->setFromRect(u0, v0, u1, v1);
        m->name = name;
        KBdlMuscle* raw = m.get();
        doc->addMuscleToLayer(doc->layerAt(layer), m);
        doc->documentChanged();
        view->viewport()->repaint();
        return raw;
    }

    KBdlMuscle* lastMuscle(int layer) const {
        const auto& list = doc->layerAt(layer)->muscles;
        return list.empty() ? nullptr : list.back().get();
    }

    QString text(const char* action) const { return frame.action(action)->text(); }
    bool checked(const char* action) const { return frame.action(action)->isChecked(); }
};

void moveWithoutButtons(QWidget* w, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

std::vector<double> ys(const KBdlCurve& c) {
    std::vector<double> out;
    for (int i = 0; i < c.count(); ++i) {
        out.push_back(c.points()[size_t(i)].y);
    }
    return out;
}

bool near(double a, double b, double eps = 1e-6) {
    return std::abs(a - b) <= eps;
}

// A dialog runner that fills the view's dialogs as a user would, recording their titles.
struct DialogScript {
    QStringList titles;
    std::function<void(QDialog&)> fill;
    bool accept = true;
    // Answers every dialog from now until the script goes.
    void install() {
        installed_.emplace([this](QDialog& d) {
            titles << d.windowTitle();
            if (fill) {
                fill(d);
            }
            return accept ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }
    std::optional<KDialogScript> installed_;
};

} // namespace

class TestUvTools : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void dragsDrawMusclesWithTheirTools() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);

        // Vertical over the whole map, from the top-left to the bottom-right corner.
        f.frame.action("toolVertical")->trigger();
        f.drag(f.at(0, 1), f.at(1, 0));
        KBdlMuscle* linear = f.lastMuscle(0);
        QVERIFY(linear);
        QCOMPARE(linear->muscleType, int32_t(KBdlMuscle::Linear));
        QCOMPARE(linear->begin, 0.0f);
        QCOMPARE(linear->end, 1.0f);
        QCOMPARE(ys(linear->center), (std::vector<double>{0.5, 0.5, 0.5}));
        QCOMPARE(ys(linear->widthLo), (std::vector<double>{0.5, 0.5, 0.5}));
        // The new muscle is selected and the tool went back to the pointer.
        QCOMPARE(f.view->selectedMuscle(), linear);
        QCOMPARE(f.view->tool(), int(ToolPointer));
        QVERIFY(f.checked("toolPointer"));

        // Point from UV (0.2, 0.4) to (0.6, 0.5), drawn backwards; Shift keeps the tool.
        f.frame.action("toolPoint")->trigger();
        f.drag(f.at(0.6, 0.4), f.at(0.2, 0.5), Qt::ShiftModifier);
        KBdlMuscle* point = f.lastMuscle(0); // the selected item's layer
        QCOMPARE(point->muscleType, int32_t(KBdlMuscle::Point));
        QVERIFY(near(point->center.points()[0].x, 0.40));
        QVERIFY(near(point->center.points()[0].y, 0.45));
        QCOMPARE(ys(point->widthLo), (std::vector<double>(5, 0.2)));
        QCOMPARE(point->begin, 1.0f);
        QCOMPARE(point->end, 4.0f);
        QCOMPARE(f.view->tool(), int(ToolPoint));
    }

    void fitToLineAsksForItsSettingsAndFollowsTheLine() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        f.frame.action("toolPoint")->trigger();

        // Point and Fit to Line refuse each other.
        f.frame.action("toolFitLine")->trigger();
        QCOMPARE(
            ui.messages().back(),
            std::string("Point types require a bounding rectangle, and do not follow a line."));
        QCOMPARE(f.view->creationMethod(), int(FitToBounds));

        // Fit to Line asks for its settings.
        DialogScript script;
        script.fill = [](QDialog& d) {
            auto& line = dynamic_cast<KLineItemDlg&>(d);
            line.widthEdit->setValue(0.3);
        };
        script.install();
        f.frame.action("toolVertical")->trigger();
        f.frame.action("toolFitLine")->trigger();
        QCOMPARE(script.titles, QStringList{"Line Item Properties"});
        QCOMPARE(f.view->lineWidth(), 0.3);
        const size_t messages = ui.messages().size();
        f.frame.action("toolPoint")->trigger();
        QCOMPARE(ui.messages().size(), messages + 1);
        QCOMPARE(f.view->tool(), int(ToolVertical));

        // A line from (0.5, 0.9) to (0.3, 0.1) with one mid point.
        f.drag(f.at(0.5, 0.9), f.at(0.3, 0.1));
        KBdlMuscle* line = f.lastMuscle(0);
        QVERIFY(near(line->begin, 0.1, 1e-6));
        QVERIFY(near(line->end, 0.9, 1e-6));
        const auto& cp = line->center.points();
        QVERIFY(near(cp[0].x, 0.0) && near(cp[0].y, 0.3));
        QVERIFY(near(cp[1].x, 0.5) && near(cp[1].y, 0.4));
        QVERIFY(near(cp[2].x, 1.0) && near(cp[2].y, 0.5));
        QCOMPARE(ys(line->widthLo), (std::vector<double>(3, 0.15)));
        QCOMPARE(f.view->tool(), int(ToolPointer));
    }

    void theTargetLayerAndTheZeroSizedRectangle() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        // Nothing selected, layers 1 and 2 shown: the first shown layer takes it.
        f.view->setLayerSelection({1, 2});
        f.frame.action("toolOrbital")->trigger();
        f.drag(f.at(0.1, 0.1), f.at(0.5, 0.3));
        KBdlMuscle* orbital = f.lastMuscle(1);
        QVERIFY(near(orbital->begin, 0.1) && near(orbital->end, 0.5));

        // A muscle of layer 2 selected: the next one goes to layer 2.
        f.addMuscle(2, KBdlMuscle::Linear, 0.7, 0.6, 0.9, 0.9, "right");
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.8, 0.75));
        QCOMPARE(f.view->selectedMuscle()->name, std::string("right"));
        f.frame.action("toolVertical")->trigger();
        f.drag(f.at(0.2, 0.6), f.at(0.3, 0.8));
        QCOMPARE(f.doc->layerAt(2)->muscles.size(), size_t(2));

        // A click without movement under Fit to Bounds asks for the item defaults.
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.05, 0.95));
        f.frame.action("toolVertical")->trigger();
        ui.answerValues(true, {0.4, 0.25});
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.5, 0.5));
        QCOMPARE(ui.valueDialogs[0].title, std::string("Create New Item - Default Values"));
        KBdlMuscle* defaults = f.lastMuscle(1);
        QCOMPARE(ys(defaults->center), (std::vector<double>(3, 0.25)));

        // Without user layers the document refuses and nothing is left behind.
        auto taken = f.doc->takeLayers();
        f.frame.action("toolVertical")->trigger();
        f.drag(f.at(0.1, 0.1), f.at(0.4, 0.4));
        QCOMPARE(ui.messages().back(), std::string("You must have at least one layer"));
        QVERIFY(!f.view->selectedMuscle());
        f.doc->restoreLayers(std::move(taken));
    }

    void theRubberBandShowsWhileDragging() {
        Fixture f;
        QVERIFY(f.exposed);
        f.frame.action("toolVertical")->trigger();
        // Clear of the grid lines (every 6 pixels) where the band is looked at.
        const QPoint from = f.at(0.11, 0.89);
        const QPoint to = f.at(0.6, 0.3);
        QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(f.view->viewport(), to);
        QVERIFY(f.view->rubberBandActive());
        // The band inverts what is under it: white becomes black.
        QImage shot = f.view->viewport()->grab().toImage();
        const QPoint onTop(from.x() + 14, from.y());
        const QPoint inside(from.x() + 14, from.y() + 14);
        QCOMPARE(shot.pixelColor(onTop), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(inside), QColor(Qt::white));
        QVERIFY(kSaveScreenshot(shot, QStringLiteral("uvtools_rubberband.png")));
        // Escape ends the drag without a muscle.
        QTest::keyPress(f.view, Qt::Key_Escape);
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, to);
        QVERIFY(f.doc->layerAt(0)->muscles.empty());

        // Fit to Line shows a line from the press point instead.
        DialogScript script;
        script.install();
        f.frame.action("toolFitLine")->trigger();
        QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(f.view->viewport(), to);
        shot = f.view->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(from), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(onTop), QColor(Qt::white));
        QVERIFY(kSaveScreenshot(shot, QStringLiteral("uvtools_rubberline.png")));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1));
    }

    void theTrackerMovesResizesAndUndoRestores() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QCOMPARE(f.view->selectedMuscle(), m);
        const QRect box = f.view->items()[0].box;
        const KBdlMuscle before(*m);

        // A click on the box without movement changes nothing and records nothing.
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QVERIFY(f.view->undoRecord().isEmpty());

        // Move by 10 pixels right and 20 up: offsets +0.1 and +0.2.
        const QPoint c = f.at(0.4, 0.4);
        f.drag(c, c + QPoint(10, -20));
        QVERIFY(near(m->offsetU, 0.1, 1e-6));
        QVERIFY(near(m->offsetV, 0.2, 1e-6));
        QCOMPARE(f.text("editUndo"), QStringLiteral("Undo Move\tCtrl+Z"));
        f.frame.action("editUndo")->trigger();
        QCOMPARE(m->offsetU, before.offsetU);
        QCOMPARE(m->offsetV, before.offsetV);
        QVERIFY(!f.frame.action("editUndo")->isEnabled());
        f.view->viewport()->repaint();

        // Escape during a drag leaves the muscle alone.
        QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, c);
        QTest::mouseMove(f.view->viewport(), c + QPoint(30, 0));
        QVERIFY(f.view->tracker().tracking());
        QTest::keyPress(f.view, Qt::Key_Escape);
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, c + QPoint(30, 0));
        QCOMPARE(m->offsetU, before.offsetU);
        QVERIFY(f.view->undoRecord().isEmpty());

        // The right handle: 20 pixels wider scales the width and moves the centre.
        const QRect right = f.view->tracker().handleRect(5);
        f.drag(right.center(), right.center() + QPoint(20, 0));
        const double sx = double(box.width() + 20) / box.width();
        QVERIFY(near(m->widthLoScale, sx, 1e-6));
        QVERIFY(near(m->offsetU, 0.1, 1e-6));
        f.frame.action("editUndo")->trigger();
        QCOMPARE(m->widthLoScale, before.widthLoScale);
        QCOMPARE(m->offsetU, before.offsetU);

        f.view->viewport()->repaint();
        // The top handle: 10 pixels higher lengthens the muscle by 0.1.
        const QRect top = f.view->tracker().handleRect(4);
        f.drag(top.center(), top.center() + QPoint(0, -10));
        QVERIFY(near(m->end, before.end + 0.1, 1e-6));
        f.frame.action("editUndo")->trigger();
        QCOMPARE(m->end, before.end);

        // The pointer shows what a drag from where it rests would do.
        f.view->viewport()->repaint();
        const std::pair<QPoint, Qt::CursorShape> cursors[] = {
            {f.view->tracker().handleRect(5).center(), Qt::SizeHorCursor},
            {f.view->tracker().handleRect(0).center(), Qt::SizeFDiagCursor},
            {c, Qt::SizeAllCursor},
            {f.at(0.9, 0.9), Qt::ArrowCursor}};
        for (const auto& [at, shape] : cursors) {
            moveWithoutButtons(f.view->viewport(), at);
            QCOMPARE(f.view->viewport()->cursor().shape(), shape);
        }

        // Clicking beside every item drops the selection and hides the tracker.
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.9, 0.9));
        QVERIFY(!f.view->selectedMuscle());
    }

    void statusPanesFollowThePointer() {
        Fixture f;
        QVERIFY(f.exposed);
        f.addMuscle(1, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6, "biceps");
        CChildFrame* child = f.frame.documents().activeFrame();
        moveWithoutButtons(f.view->viewport(), f.at(0.4, 0.4));
        QCOMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: biceps"));
        const QPoint away = f.at(0.9, 0.25);
        moveWithoutButtons(f.view->viewport(), away);
        const auto r = f.view->mapRect();
        QCOMPARE(child->paneText(0),
                 QStringLiteral("MouseXY %1, %2").arg(r.left + 90).arg(r.bottom - 25));
        // A selected item is named wherever the pointer is.
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        moveWithoutButtons(f.view->viewport(), away);
        QCOMPARE(child->paneText(0), QStringLiteral("Exterior Muscles: biceps"));
    }

    // The item pane follows a rename and a deletion at once, without a pointer move, in
    // every recalculation mode.
    void theItemPaneFollowsRenameAndDelete() {
        for (int mode : {int(CPexaDoc::RecalcAuto), int(CPexaDoc::RecalcManual)}) {
            Fixture f;
            QVERIFY(f.exposed);
            f.doc->recalcMode = mode;
            f.addMuscle(1, KBdlMuscle::Linear, 0.1, 0.2, 0.2, 0.6, "biceps");
            KBdlMuscle* triceps = f.addMuscle(1, KBdlMuscle::Linear, 0.5, 0.2, 0.6, 0.6, "triceps");
            CChildFrame* child = f.frame.documents().activeFrame();
            QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.55, 0.4));
            const QPoint away = f.at(0.9, 0.9);
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
            const QPoint logical = away + QPoint(f.view->horizontalScrollBar()->value(),
                                                 f.view->verticalScrollBar()->value());
            QTRY_COMPARE(child->paneText(0),
                         QStringLiteral("MouseXY %1, %2").arg(logical.x()).arg(logical.y()));
        }
    }

    void keysWalkTheItemsOnRelease() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        f.view->setFocus();
        // No items yet.
        QTest::keyRelease(f.view, Qt::Key_Tab);
        QCOMPARE(ui.messages().back(), std::string("There are no items to select"));
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
        QCOMPARE(key(Qt::Key_Tab), a);
        QCOMPARE(key(Qt::Key_Tab, Qt::ShiftModifier), e); // wraps backwards
        QCOMPARE(key(Qt::Key_Tab), a);                    // and forwards
        QCOMPARE(key(Qt::Key_PageDown), c);
        QCOMPARE(key(Qt::Key_PageDown), d);
        QCOMPARE(key(Qt::Key_PageDown), e); // the end of the list
        QCOMPARE(key(Qt::Key_PageUp), c);
        QCOMPARE(key(Qt::Key_PageUp), b);
        QCOMPARE(key(Qt::Key_PageUp), a); // the start of the list
        QCOMPARE(key(Qt::Key_End), b);
        QCOMPARE(key(Qt::Key_Home), a);
        QCOMPARE(key(Qt::Key_End, Qt::ControlModifier), e);
        QCOMPARE(key(Qt::Key_Home), d);
        QCOMPARE(key(Qt::Key_Home, Qt::ControlModifier), a);

        // E opens the selected muscle with the view's edit mode, without an undo record.
        std::vector<std::pair<KBdlMuscle*, int>> opened;
        auto saved = CPexaView::editItemHandler();
        CPexaView::editItemHandler() = [&](CPexaView&, KBdlMuscle& m, int mode) {
            opened.emplace_back(&m, mode);
            return false;
        };
        key(Qt::Key_E);
        f.view->setEditMode(1);
        QTest::keyRelease(f.view, Qt::Key_Tab);
        key(Qt::Key_E);
        CPexaView::editItemHandler() = saved;
        QCOMPARE(opened.size(), size_t(2));
        QVERIFY(opened[0] == std::make_pair(a, 0));
        QVERIFY(opened[1] == std::make_pair(b, 1));

        // F11 opens the texture list editor.
        int textureLists = 0;
        auto savedTextures = CPexaView::textureListHandler();
        CPexaView::textureListHandler() = [&](CPexaView&) { ++textureLists; };
        key(Qt::Key_F11);
        CPexaView::textureListHandler() = savedTextures;
        QCOMPARE(textureLists, 1);

        // Delete cuts: the item before becomes selected, the clipboard holds a copy.
        key(Qt::Key_Delete);
        QCOMPARE(f.frame.itemClipboard()->name, std::string("b"));
        QCOMPARE(f.view->selectedMuscle(), a);
        // Cutting the first item leaves no selection.
        key(Qt::Key_Delete);
        QVERIFY(!f.view->selectedMuscle());
        QCOMPARE(key(Qt::Key_Tab), c);
        (void)d;
    }

    void theClipboardIsSharedByDocuments() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Orbital, 0.2, 0.3, 0.8, 0.5, "ring");
        m->offsetU = 0.125f;
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.5, 0.4));
        f.frame.action("editCopy")->trigger();
        // The clipboard holds a copy, not the muscle.
        QVERIFY(f.frame.itemClipboard() != m);
        m->offsetU = 0.5f;

        // A second document takes it into its first layer.
        f.frame.action("fileNew")->trigger();
        CPexaView* second = f.frame.activeView();
        CPexaDoc& doc2 = second->document();
        f.frame.action("editPaste")->trigger();
        QCOMPARE(doc2.layerAt(0)->muscles.size(), size_t(1));
        KBdlMuscle* pasted = doc2.layerAt(0)->muscles[0].get();
        QCOMPARE(pasted->name, std::string("ring (copy)"));
        QCOMPARE(pasted->offsetU, 0.125f);
        QCOMPARE(second->selectedMuscle(), pasted);
        // Pasting again with the pasted item selected goes to its layer; with a layer
        // selection and nothing selected, to the first selected layer.
        second->selectItem(-1);
        second->setLayerSelection({2});
        f.frame.action("editPaste")->trigger();
        QCOMPARE(doc2.layerAt(2)->muscles.size(), size_t(1));
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1)); // the first is untouched
    }

    void undoNeverTouchesARemovedMuscle() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6, "gone");
        KBdlMuscle* other = f.addMuscle(0, KBdlMuscle::Linear, 0.7, 0.2, 0.9, 0.6, "stays");
        // A second window on the same document records a move of the same muscle.
        f.frame.action("windowNew")->trigger();
        CPexaView* second = f.frame.activeView();
        Fixture::setUp(second);
        QTest::mouseClick(second->viewport(), Qt::LeftButton, {}, Fixture::at(second, 0.4, 0.4));
        QCOMPARE(second->selectedMuscle(), m);
        const QPoint c = Fixture::at(second, 0.4, 0.4);
        QTest::mousePress(second->viewport(), Qt::LeftButton, {}, c);
        QTest::mouseMove(second->viewport(), c + QPoint(5, 0));
        QTest::mouseRelease(second->viewport(), Qt::LeftButton, {}, c + QPoint(5, 0));
        QCOMPARE(second->undoRecord().muscle, m);

        // The first window moves it too, then cuts it.
        f.frame.mdiArea()->setActiveSubWindow(f.frame.documents().framesOf(f.doc).front());
        f.view->viewport()->repaint();
        const QPoint c1 = f.at(0.45, 0.4);
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, c1);
        QCOMPARE(f.view->selectedMuscle(), m);
        f.drag(c1, c1 + QPoint(0, 5));
        // Manual recalc: no update reaches the views, the cut itself must tell them.
        f.doc->recalcMode = CPexaDoc::RecalcManual;
        f.frame.action("editCut")->trigger();
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1));
        // Both records are gone and Undo does nothing anywhere.
        QVERIFY(f.view->undoRecord().isEmpty());
        QVERIFY(second->undoRecord().isEmpty());
        const KBdlMuscle before(*other);
        f.view->undoEdit();
        second->undoEdit();
        QCOMPARE(other->offsetU, before.offsetU);

        // A muscle removed behind the view's back (no update reaches the view) is not
        // restored either.
        f.view->viewport()->repaint();
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.8, 0.4));
        const QPoint c2 = f.at(0.8, 0.4);
        f.drag(c2, c2 + QPoint(5, 0));
        QCOMPARE(f.view->undoRecord().muscle, other);
        f.doc->removeMuscle(other);
        f.doc->documentChanged();
        f.view->undoEdit();
        QVERIFY(f.view->undoRecord().isEmpty());
        QVERIFY(f.doc->layerAt(0)->muscles.empty());
    }

    void repeatAddsOffsetAndMirroredCopies() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        f.view->repeatItem();
        QCOMPARE(ui.messages().back(), std::string("You must select an item first."));
        KBdlMuscle* m = f.addMuscle(1, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6, "src");
        m->offsetU = 0.05f;
        m->offsetV = 0.02f;
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));

        DialogScript script;
        script.fill = [](QDialog& d) {
            auto& r = dynamic_cast<KRepeatDlg&>(d);
            r.copiesEdit->setValue(3);
            r.offsetUEdit->setValue(0.1);
        };
        script.install();
        f.frame.action("toolRepeat")->trigger();
        const auto& list = f.doc->layerAt(1)->muscles;
        QCOMPARE(list.size(), size_t(4));
        for (int i = 1; i <= 3; ++i) {
            const KBdlMuscle& copy = *list[size_t(i)];
            QCOMPARE(copy.name, "src (rpt: " + std::to_string(i) + ")");
            QVERIFY(near(copy.offsetU, 0.05 + 0.1 * i, 1e-6));
        }

        // Mirrored in U: the copies alternate sides of the axis.
        script.fill = [](QDialog& d) {
            auto& r = dynamic_cast<KRepeatDlg&>(d);
            r.copiesEdit->setValue(3);
            r.offsetUEdit->setValue(0.1);
            r.mirrorUBox->setChecked(true);
        };
        f.frame.action("toolRepeat")->trigger();
        QCOMPARE(list.size(), size_t(7));
        const double expected[3] = {-0.05 - 0.1, -0.05 + 0.2, -0.05 - 0.3};
        for (int i = 1; i <= 3; ++i) {
            const KBdlMuscle& copy = *list[size_t(3 + i)];
            QVERIFY2(near(copy.offsetU, expected[i - 1], 1e-6),
                     qPrintable(QString::number(copy.offsetU)));
            QCOMPARE(copy.mirrorU, 1);
        }

        // Cancel adds nothing.
        script.accept = false;
        f.frame.action("toolRepeat")->trigger();
        QCOMPARE(list.size(), size_t(7));
    }

    void editingOpensTheMuscleAndRecordsUndo() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        std::vector<int> modes;
        auto saved = CPexaView::editItemHandler();
        CPexaView::editItemHandler() = [&](CPexaView&, KBdlMuscle& m, int mode) {
            modes.push_back(mode);
            m.height = 0.75f; // the dialog changed it
            return true;
        };
        f.view->modifyItem();
        f.view->editSplines();
        QCOMPARE(ui.messages(),
                 (std::vector<std::string>(2, "You must select an item to edit first.")));
        KBdlMuscle* m = f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        const float height = m->height;
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        f.view->modifyItem();
        QCOMPARE(modes, std::vector<int>{1});
        f.frame.action("editUndo")->trigger();
        QCOMPARE(m->height, height);
        f.view->editSplines();
        QCOMPARE(modes, (std::vector<int>{1, 0}));

        // Double click: on nothing a message, on an item its editor with the edit mode.
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.9, 0.9));
        QCOMPARE(ui.messages().back(), std::string("LDblClick: No selected item."));
        f.view->setEditMode(1);
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QCOMPARE(f.view->selectedMuscle(), m);
        QCOMPARE(modes, (std::vector<int>{1, 0, 1}));
        // The release after the double click draws nothing with a creation tool.
        f.frame.action("toolVertical")->trigger();
        QTest::mouseDClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, f.at(0.4, 0.4));
        QCOMPARE(f.doc->layerAt(0)->muscles.size(), size_t(1));
        CPexaView::editItemHandler() = saved;
    }

    void viewSizeAndCaptureToATgaFile() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        CChildFrame* child = f.frame.documents().activeFrame();
        f.frame.mdiArea()->setActiveSubWindow(child);
        child->showNormal();

        // The client area gets exactly the size asked for.
        DialogScript script;
        script.fill = [&](QDialog& d) {
            auto& s = dynamic_cast<KViewSizeDlg&>(d);
            s.includeFrameBox->setChecked(false);
            s.widthEdit->setValue(240);
            s.heightEdit->setValue(180);
        };
        script.install();
        f.frame.action("viewSetSize")->trigger();
        QCOMPARE(f.view->viewport()->size(), QSize(240, 180));
        QVERIFY(!f.view->includeFrame());
    }

    void captureWritesWhatTheClientAreaShows() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
        f.addMuscle(0, KBdlMuscle::Linear, 0.3, 0.2, 0.5, 0.6);
        CChildFrame* child = f.frame.documents().activeFrame();
        child->showNormal();
        DialogScript script;
        script.fill = [](QDialog& d) {
            auto& s = dynamic_cast<KViewSizeDlg&>(d);
            s.includeFrameBox->setChecked(false);
            s.widthEdit->setValue(240);
            s.heightEdit->setValue(180);
        };
        script.install();
        f.frame.action("viewSetSize")->trigger();

        // F9 captures the client area.
        QTemporaryDir dir;
        QStringList asked;
        QString target = dir.filePath(QStringLiteral("view.tga"));
        KFileScript files([&](const KFileRequest& r) {
            asked << r.title << r.filter << r.defaultSuffix << r.initialName
                  << (r.save ? "save" : "open");
            return target;
        });
        f.view->viewport()->repaint();
        const QImage shown = f.view->viewport()->grab().toImage();
        QTest::keyRelease(f.view, Qt::Key_F9);
        QCOMPARE(asked,
                 (QStringList{"Capture View", "TGA Files (*.tga)", "tga", "untitled.tga", "save"}));
        // The file's first row is the window's bottom row, pixels blue, green, red.
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 18 + 240 * 180 * 3);
        QCOMPARE(int(bytes[2]), 2);
        QCOMPARE(int(bytes[16]), 24);
        int differing = 0;
        int coloured = 0;
        for (int y = 0; y < 180; ++y) {
            for (int x = 0; x < 240; ++x) {
                const QRgb c = shown.pixel(x, y);
                const auto* px = reinterpret_cast<const uchar*>(bytes.constData()) + 18 +
                                 ((179 - y) * 240 + x) * 3;
                differing += px[0] != qBlue(c) || px[1] != qGreen(c) || px[2] != qRed(c);
                coloured += qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
            }
        }
        QCOMPARE(differing, 0);
        QVERIFY(coloured > 0); // the muscle's outline

        // With the frame: the whole window. A cancelled file choice writes nothing.
        script.fill = [](QDialog& d) {
            auto& s = dynamic_cast<KViewSizeDlg&>(d);
            s.includeFrameBox->setChecked(true);
            s.widthEdit->setValue(420);
            s.heightEdit->setValue(390);
        };
        f.frame.action("viewSetSize")->trigger();
        QCOMPARE(child->size(), QSize(420, 390));
        target = dir.filePath(QStringLiteral("frame.tga"));
        f.frame.action("viewCapture")->trigger();
        KImageMapTga framed(target.toStdString());
        QCOMPARE(framed.width(), 420);
        QCOMPARE(framed.height(), 390);
        target.clear();
        QFile::remove(dir.filePath(QStringLiteral("frame.tga")));
        f.view->captureView();
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("frame.tga"))));

        // A file that cannot be written is reported.
        target = dir.filePath(QStringLiteral("missing/dir/x.tga"));
        f.view->captureView();
        QCOMPARE(ui.messages().back(), "Failed to save the captured image!\n\"" +
                                           target.toStdString() + "\": No such file or directory");
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
        QCOMPARE(r.x, 1.0);
        QCOMPARE(r.y, 2.0);
        QCOMPARE(r.z, 0.2);
        QCOMPARE(r.w, -0.3);
    }

    void theCaptureProgressTextFitsItsPane() {
        const QFontMetrics fm(QApplication::font());
        const int wide = fm.horizontalAdvance(QStringLiteral("Capturing line 999 of 999"));
        QCOMPARE(kCaptureProgressText(3, 40, fm, wide), QStringLiteral("Capturing line 3 of 40"));
        QCOMPARE(kCaptureProgressText(3, 40, fm, wide - 1), QStringLiteral("3/40"));
    }

    void importImageIntoAShownLayer() {
        KTestUi ui;
        Fixture f;
        QVERIFY(f.exposed);
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

        DialogScript script;
        script.fill = [](QDialog& d) {
            auto& imp = dynamic_cast<KViewImportDlg&>(d);
            // Only the shown layers are listed, the current one first chosen.
            QCOMPARE(imp.layerList->count(), 2);
            imp.layerList->setCurrentRow(1);
            imp.backgroundBox->setChecked(true);
        };
        script.install();
        QStringList asked;
        std::optional<KFileScript> files(std::in_place, [&](const KFileRequest& r) {
            asked << r.title << r.filter << r.defaultSuffix << r.initialName
                  << (r.save ? "save" : "open");
            return path;
        });
        ui.answer(true); // import into another layer than the current one
        f.frame.action("fileImportTga")->trigger();
        QCOMPARE(asked,
                 (QStringList{"Import Image", "TGA Files (*.tga)", "tga", "temp.tga", "open"}));
        KBdlLayer* layer = f.doc->layerAt(2);
        QVERIFY(layer->imageMap);
        QCOMPARE(layer->backgroundOnly, 1);
        QVERIFY(f.view->settings().showBackground);
        QCOMPARE(f.view->backgroundImage().size(), QSize(4, 3));

        // Without "Use as background only" the layer keeps displacing; a cancelled file
        // choice changes nothing.
        script.fill = [](QDialog& d) {
            auto& imp = dynamic_cast<KViewImportDlg&>(d);
            imp.selectedOnlyBox->setChecked(false);
            imp.layerList->setCurrentRow(0);
        };
        ui.answer(true);
        f.view->importImage();
        QVERIFY(f.doc->layerAt(0)->imageMap);
        QCOMPARE(f.doc->layerAt(0)->backgroundOnly, 0);
        files.emplace([](const KFileRequest&) { return QString(); });
        f.doc->layerAt(1)->imageMap.reset();
        script.fill = [](QDialog& d) {
            dynamic_cast<KViewImportDlg&>(d).layerList->setCurrentRow(0);
        };
        f.view->importImage();
        QVERIFY(!f.doc->layerAt(1)->imageMap);

        // Rows outside the listed layers give layer 0.
        QCOMPARE(KViewImportDlg::layerForRow(1, true, {1, 2}, 3), 2);
    }

    void dragsFollowTheScrollPosition() {
        Fixture f;
        QVERIFY(f.exposed);
        // A map larger than the window, scrolled: 57 samples of 7 pixels, 400 across.
        f.doc->uResolution = 57;
        f.doc->vResolution = 57;
        f.doc->rebuildGrid();
        KUvMapSettings s = f.view->settings();
        s.cellSize = 7;
        f.view->setSettings(s);
        CChildFrame* child = f.frame.documents().activeFrame();
        child->showNormal();
        child->resize(300, 280);
        QVERIFY(f.view->horizontalScrollBar()->maximum() > 0);
        f.view->horizontalScrollBar()->setValue(40);
        f.view->verticalScrollBar()->setValue(f.view->verticalScrollBar()->maximum());
        f.frame.action("toolVertical")->trigger();
        const QPoint from = f.at(0.2, 0.0);
        const QPoint to = f.at(0.3, 0.25);
        f.drag(from, to);
        KBdlMuscle* m = f.lastMuscle(0);
        QVERIFY(near(m->begin, 0.0, 1e-6));
        QVERIFY2(near(m->end, 0.25, 1e-6), qPrintable(QString::number(m->end)));
        QVERIFY(near(m->center.points()[0].y, 0.25, 1e-9));
    }

    void screenshotsOfTheTools() {
        Fixture f;
        QVERIFY(f.exposed);
        KUvMapSettings s = f.view->settings();
        s.cellSize = 6;
        f.view->setSettings(s);
        f.addMuscle(0, KBdlMuscle::Linear, 0.2, 0.15, 0.35, 0.85, "a");
        f.addMuscle(1, KBdlMuscle::Orbital, 0.45, 0.6, 0.9, 0.8, "b");
        f.addMuscle(2, KBdlMuscle::Point, 0.55, 0.15, 0.8, 0.4, "c");
        QTest::mouseClick(f.view->viewport(), Qt::LeftButton, {}, f.at(0.675, 0.7));
        f.view->viewport()->repaint();
        QImage selected = f.view->viewport()->grab().toImage();
        QVERIFY(kSaveScreenshot(selected, QStringLiteral("uvtools_selected.png")));
        // Handles are drawn in black outside the box.
        const QRect handle = f.view->tracker().handleRect(5);
        const QPoint scroll(f.view->horizontalScrollBar()->value(),
                            f.view->verticalScrollBar()->value());
        QCOMPARE(selected.pixelColor(handle.center() - scroll), QColor(Qt::black));

        // The tracker while its box is dragged.
        const QPoint c = f.at(0.675, 0.7);
        QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, c);
        QTest::mouseMove(f.view->viewport(), c + QPoint(-40, -30));
        QVERIFY(kSaveScreenshot(*f.view, QStringLiteral("uvtools_tracking.png")));
        QTest::keyPress(f.view, Qt::Key_Escape);
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, c + QPoint(-40, -30));

        // A rubber band for a new muscle, and the whole window.
        f.frame.action("toolOrbital")->trigger();
        QTest::mousePress(f.view->viewport(), Qt::LeftButton, {}, f.at(0.1, 0.45));
        QTest::mouseMove(f.view->viewport(), f.at(0.5, 0.55));
        QVERIFY(kSaveScreenshot(f.frame, QStringLiteral("uvtools_window.png")));
        QTest::mouseRelease(f.view->viewport(), Qt::LeftButton, {}, f.at(0.5, 0.55));
        QCOMPARE(f.doc->layerAt(1)->muscles.size(), size_t(2));
    }
};

QTEST_MAIN(TestUvTools)
#include "tst_uvtools.moc"
