// The curve editor's editing logic without a window: picking and selecting points,
// dragging with pinning and clamping, the selection keys, insert, delete, equalize,
// nudge and spread, reversing, manual edit values and the edit history; and the item
// editor's position layout, its nearest-point rule and its moves.
#include <QtTest>

#include <cmath>
#include <functional>

#include "KGuiMapTestSupport.h"
#include "edit/KCurveEditModel.h"
#include "edit/KMdlPosModel.h"

namespace {

using Rect = KCurveEditModel::Rect;
using Ints = std::vector<int>;
using Doubles = std::vector<double>;
using Slot = KMdlPosModel;

// A 100 x 100 editing rectangle at (10, 10).
Rect rect100() {
    return Rect{10, 10, 110, 110};
}

KCurveEditModel::Change change(double fx, double fy, const Rect& r = rect100()) {
    KCurveEditModel::Change c;
    c.fx = fx;
    c.fy = fy;
    c.dx = int(std::lround(fx * r.width()));
    c.dy = int(std::lround(fy * r.height()));
    return c;
}

// A control point's x and y, compared within rounding.
QPointF xy(const KVertex& v) {
    return {v.x, v.y};
}

// Window positions are truncated to whole pixels: within one pixel.
bool near(double a, double b) {
    return std::abs(a - b) <= 1.0;
}

// Values that went through a pixel position: within 0.011.
bool close(double a, double b) {
    return std::abs(a - b) <= 0.011;
}

void model100(KCurveEditModel& m, KBdlCurve* curve = nullptr) {
    if (curve) {
        m.setCurve(curve);
    }
    m.setRect(rect100());
    m.rebuildSnapshot();
}

// The position model with the active curve chosen and one of its points selected.
void selectOn(KMdlPosModel& m, int curve, int point) {
    m.activate(curve, true);
    m.setSelection({point});
}

} // namespace

class TestCurveEditModel : public QObject {
    Q_OBJECT

private slots:
    void pickingAndSelection() {
        KCurveEditModel m;
        model100(m);
        // Point 1 (0.25, 0.75) lies at (35, 35); the pick square includes its left and
        // top edges and excludes the right and bottom ones.
        QCOMPARE(m.snapshot()[1].x, 35.0);
        const std::tuple<int, int, int> picks[] = {
            {44, 35, 1}, {45, 35, 1}, {25, 35, -1}, {35, 25, -1}, {70, 70, -1}};
        for (const auto& [x, y, index] : picks) {
            QCOMPARE(m.findControlPoint(x, y), index);
        }
        // Toggling beyond the last point changes nothing.
        m.toggle(5);
        m.toggle(-1);
        QCOMPARE(m.selectedCount(), 0);

        // Vertical: x runs up and y to the right.
        m.setDrawDirection(KCurveEditModel::Vertical);
        QCOMPARE(m.snapshot()[1].x, 85.0);
        QCOMPARE(m.snapshot()[1].y, 85.0);

        // Without a curve nothing is found and nothing happens.
        m.setCurve(nullptr);
        QCOMPARE(m.findControlPoint(35, 35), -1);
        QVERIFY(!m.moveSelection(change(0.1, 0.1)));
        QVERIFY(!m.undo());
    }

    void dragThreshold() {
        KCurveEditModel m;
        QVERIFY(m.isClick(0, 0));
        QVERIFY(!m.isClick(1, 0));
        m.setDragThreshold(5);
        QVERIFY(m.isClick(4, -4));
        QVERIFY(!m.isClick(5, 0));
        // Kept within 1 to 10 pixels.
        for (const auto& [asked, kept] : {std::pair{0, 1}, std::pair{11, 10}}) {
            m.setDragThreshold(asked);
            QCOMPARE(m.dragThreshold(), kept);
        }
    }

    void dragPinsEndsAndClamps() {
        KCurveEditModel m;
        model100(m);
        m.setSelection({0});
        // Sideways and up: the first point keeps x 0, only y changes.
        QVERIFY(m.moveSelection(change(0.3, -0.2)));
        QCOMPARE(xy(m.curve()->points()[0]), QPointF(0.0, 0.2));
        QCOMPARE(m.snapshot()[0].y, 90.0); // laid out again
        // Far above the rectangle: y stops at 1; the last point keeps x 1.
        m.setSelection({2, 4});
        QVERIFY(m.moveSelection(change(-0.7, -3.0)));
        QCOMPARE(kCurveYs(*m.curve())[2], 1.0);
        QCOMPARE(xy(m.curve()->points()[4]), QPointF(1.0, 1.0));
        // The string follows the points.
        QVERIFY(QString::fromStdString(m.curve()->getString()).startsWith("< 0.0000, 0.2000 >"));

        // Vertical: a drag to the right raises y, a drag up raises x.
        KCurveEditModel v;
        model100(v);
        v.setDrawDirection(KCurveEditModel::Vertical);
        v.setSelection({1});
        QVERIFY(v.moveSelection(change(0.1, -0.05)));
        QCOMPARE(xy(v.curve()->points()[1]), QPointF(0.30, 0.85));

        // Nothing selected: nothing moves and no step enters the history.
        KCurveEditModel n;
        model100(n);
        QVERIFY(!n.moveSelection(change(0.1, 0.1)));
        QCOMPARE(n.historySize(), 0);
    }

    void insertAndDelete() {
        KCurveEditModel m;
        model100(m);
        KBdlCurve before(*m.curve());
        m.setSelection({1, 2});
        QVERIFY(m.insertPoints(false));
        QCOMPARE(kCurveXs(*m.curve()), (Doubles{0, 0.25, 0.375, 0.5, 0.625, 0.75, 1}));
        // The new points lie on the curve as it was.
        QCOMPARE(kCurveYs(*m.curve())[2], std::round(before.value(0.375) * 1e4) / 1e4);
        QCOMPARE(m.selectedIndices(), (Ints{2, 4}));
        // Shift keeps the old points selected as well.
        m.setSelection({0});
        QVERIFY(m.insertPoints(true));
        QCOMPARE(m.curve()->count(), 8);
        QCOMPARE(m.selectedIndices(), (Ints{0, 1}));
        QCOMPARE(kCurveXs(*m.curve())[1], 0.125);
        // A selected last point has nothing after it.
        m.setSelection({7});
        QVERIFY(!m.insertPoints(false));
        QCOMPARE(m.curve()->count(), 8);

        const int steps = m.historySize();
        m.setSelection({1, 3, 5});
        QVERIFY(m.deleteSelected());
        QCOMPARE(m.curve()->count(), 5);
        QCOMPARE(m.historySize(), steps + 1);
        QVERIFY(!m.deleteSelected()); // nothing selected
        QVERIFY(m.undo());
        QCOMPARE(m.curve()->count(), 8);
    }

    void equalizeWithoutSelectionAndSpread() {
        KBdlCurve c("< 0, 0.2 >, < 0.5, 0.9 >, < 1, 0.6 >");
        KCurveEditModel m;
        model100(m, &c);
        // No selection: nothing to level, no division by zero, no history step.
        m.clearSelection();
        const int steps = m.historySize();
        QVERIFY(!m.equalize(KCurveEditModel::Average));
        QCOMPARE(m.historySize(), steps);

        // Spread: left of the middle moves left, the rest right, past the ends as well.
        m.setSelection({0, 1, 2});
        QVERIFY(m.spread(0.01));
        QCOMPARE(kCurveXs(c), (Doubles{-0.01, 0.51, 1.01}));
        QVERIFY(m.spread(-0.01));
        QCOMPARE(kCurveXs(c), (Doubles{0, 0.5, 1}));
    }

    void historyUndoRedo() {
        KBdlCurve c("< 0, 0 >, < 0.5, 0 >, < 1, 0 >");
        KCurveEditModel m;
        model100(m, &c);
        m.setSelection({1});
        QVERIFY(!m.canUndo());
        for (int i = 0; i < 3; ++i) {
            m.nudge(0.1);
        }
        QVERIFY(m.canUndo());
        // Each step: undo (false) or redo (true), and the middle point's height after it.
        const auto walk = [&](std::initializer_list<std::pair<bool, double>> steps) {
            for (const auto& [redo, y] : steps) {
                QVERIFY(redo ? m.redo() : m.undo());
                QCOMPARE(kCurveYs(c)[1], y);
            }
        };
        walk({{false, 0.2}, {true, 0.3}, {false, 0.2}, {false, 0.1}, {false, 0.0}, {true, 0.1}});
        // A new edit after an undo discards what could be redone.
        QVERIFY(m.equalize(KCurveEditModel::Highest));
        m.nudge(0.5);
        QCOMPARE(kCurveYs(c)[1], 0.6);
        // Back over the nudge, the equalize (which changed nothing) and the first nudge.
        walk({{false, 0.1}, {false, 0.1}, {false, 0.0}});
        // Attaching a curve starts a new history.
        m.setCurve(&c);
        QCOMPARE(m.historySize(), 0);
    }

    void reverseAndManualValues() {
        KBdlCurve c("< 0, 0.1 >, < 0.25, 0.5 >, < 1, 0.9 >");
        KCurveEditModel m;
        model100(m, &c);
        m.setSelection({1, 2});
        m.reverse();
        QCOMPARE(kCurveXs(c), (Doubles{0, 0.75, 1}));
        QCOMPARE(kCurveYs(c), (Doubles{0.9, 0.5, 0.1}));
        QCOMPARE(m.selectedIndices(), (Ints{0}));

        KCurveEditModel::CurveValues v = m.curveValues();
        QCOMPARE(v.controlString, c.getString());
        v.controlString = "< 0, 0 >, < 0.5, 1 >, < 0.8, 0.3 >, < 1, 0 >";
        v.indexType = KBdlCurve::Manual;
        v.basis = KBdlCurve::Polyline;
        v.repeatCount = 2;
        v.resolution = 30;
        v.auxiliary = 7;
        m.setSelection({2});
        QCOMPARE(m.applyCurveValues(v), int(KBdlCurve::ParseOk));
        QCOMPARE(c.count(), 4);
        QCOMPARE(c.indexType, int(KBdlCurve::PolyLine));
        QCOMPARE(c.basis, int(KBdlCurve::Polyline));
        QCOMPARE(m.selectedIndices(), (Ints{0}));
        // A string that does not parse changes nothing.
        v.controlString = "< 0, 0 >, < 1, 1";
        v.resolution = 5;
        QCOMPARE(m.applyCurveValues(v), int(KBdlCurve::ParseUnmatchedBraces));
        QCOMPARE(c.count(), 4);
        QVERIFY(m.undo());
        QCOMPARE(c.count(), 3);
    }

    // ---- the position view

    void positionLayoutAndPicking() {
        KBdlMuscle linear(KBdlMuscle::Linear);
        KMdlPosModel m;
        m.setRect(rect100());
        m.setItem(&linear);
        // Center 0.5, widths 0.1: Lo edge at across 0.4, Hi edge at 0.6; s runs up.
        QCOMPARE(m.slotSnapshot(Slot::Center)[0].x, 60.0);
        QCOMPARE(m.slotSnapshot(Slot::Lo)[1].x, 50.0);
        QCOMPARE(m.slotSnapshot(Slot::Hi)[2].x, 70.0);

        // The nearest point of the active curve wins at any distance.
        m.clearSelection();
        QCOMPARE(m.findControlPoint(62, 100), 0);
        // Nearer to a Lo point and within reach: the Lo curve becomes active, the old
        // selection and the history go.
        m.setSelection({1});
        m.nudge(0.0);
        QVERIFY(m.canUndo());
        QCOMPARE(m.findControlPoint(52, 62), 1);
        QCOMPARE(m.activeCurve(), int(Slot::Lo));
        // Each pick: where, the point found and the active curve after it.
        const auto picks = [&](std::initializer_list<std::tuple<int, int, int, int>> rows) {
            for (const auto& [x, y, index, active] : rows) {
                QCOMPARE(m.findControlPoint(x, y), index);
                QCOMPARE(m.activeCurve(), active);
            }
        };
        // Nearest on another curve but out of reach: -1, the active curve stays; the
        // active curve's nearest point counts at any distance. The Hi edge (lying exactly
        // at (70, 60)) is not picked while the width is symmetrical: the center point 10
        // pixels away is.
        picks({{75, 10, -1, Slot::Lo}, {35, 100, 0, Slot::Lo}, {70, 60, 1, Slot::Center}});
        linear.symmetricWidth = 0;
        m.setItem(&linear);
        QVERIFY(m.showsHi());
        // Hi when near, then at any distance while active; out of reach from Center.
        picks({{71, 61, 1, Slot::Hi}, {100, 61, 1, Slot::Hi}});
        m.activate(Slot::Center, true);
        picks({{95, 61, -1, Slot::Center}});

        // Orbital: s runs to the right, across up.
        KBdlMuscle orbital(KBdlMuscle::Orbital);
        m.setItem(&orbital);
        QCOMPARE(m.slotSnapshot(Slot::Lo)[0].x, 10.0);
        QCOMPARE(m.slotSnapshot(Slot::Center)[2].x, 110.0);
    }

    void positionMoves() {
        KBdlMuscle linear(KBdlMuscle::Linear);
        KMdlPosModel m;
        m.setRect(rect100());
        m.setItem(&linear);
        // Center point 1 to the right by 0.1: the center moves right.
        m.setSelection({1});
        QVERIFY(m.moveSelection(change(0.1, 0.0)));
        QCOMPARE(linear.center.points()[1].y, 0.6);
        // The Lo edge dragged to the right gets narrower (across mirrored); up by 0.1
        // moves it along the muscle (x of the curve).
        selectOn(m, Slot::Lo, 1);
        QVERIFY(m.moveSelection(change(0.05, 0.0)) && m.moveSelection(change(0.0, -0.1)));
        QCOMPARE(xy(linear.widthLo.points()[1]), QPointF(0.6, 0.05));

        // Orbital Lo: a drag down widens it.
        KBdlMuscle orbital(KBdlMuscle::Orbital);
        m.setItem(&orbital);
        selectOn(m, Slot::Lo, 1);
        QVERIFY(m.moveSelection(change(0.0, 0.1)));
        QCOMPARE(orbital.widthLo.points()[1].y, 0.2);

        // With the zoom on the point follows the pointer: Range 0.4..0.6 magnifies the
        // center five times, so a drag of 0.1 of the window moves it by 0.02.
        KBdlMuscle zoomed(KBdlMuscle::Linear);
        m.setItem(&zoomed);
        KMdlZoom z;
        z.rangeMin = 0.4;
        z.rangeMax = 0.6;
        z.scale = 2.0;
        m.setZoom(z);
        QCOMPARE(m.slotSnapshot(Slot::Center)[1].x, 60.0); // (0.5-0.4)/0.2 = 0.5
        m.setSelection({1});
        QVERIFY(m.moveSelection(change(0.1, 0.0)));
        QCOMPARE(zoomed.center.points()[1].y, 0.52);
        selectOn(m, Slot::Lo, 1);
        QVERIFY(m.moveSelection(change(0.1, 0.0))); // narrower by 0.1 * 0.2 / 2
        QCOMPARE(std::round(zoomed.widthLo.points()[1].y * 1e4) / 1e4, 0.09);
    }

    void pointMuscleLayoutAndMove() {
        KBdlMuscle point(KBdlMuscle::Point);
        KMdlPosModel m;
        m.setRect(rect100());
        m.setItem(&point);
        QCOMPARE(m.slotSnapshot(Slot::Center)[0].x, 60.0);
        // Lo point k at angle (-s - 0.25) turns: s = 0 straight down, s = 0.25 to the left.
        const auto& lo = m.slotSnapshot(Slot::Lo);
        QVERIFY(near(lo[0].x, 60) && near(lo[0].y, 70));
        QVERIFY(near(lo[1].x, 50) && near(lo[1].y, 60));

        // Dragging the point at s = 0.25 further left makes it wider, same angle.
        selectOn(m, Slot::Lo, 1);
        QVERIFY(m.moveSelection(change(-0.1, 0.0)));
        QVERIFY(close(point.widthLo.points()[1].x, 0.25));
        QVERIFY(close(point.widthLo.points()[1].y, 0.2));

        // A stretched muscle (begin 2): the layout halves the x offset, and the move
        // undoes it, so the point stays under the pointer.
        KBdlMuscle stretched(KBdlMuscle::Point);
        stretched.begin = 2.0f;
        m.setItem(&stretched);
        QVERIFY(near(m.slotSnapshot(Slot::Lo)[1].x, 55));
        selectOn(m, Slot::Lo, 1);
        QVERIFY(m.moveSelection(change(-0.05, 0.0)));
        QVERIFY(close(stretched.widthLo.points()[1].y, 0.2));
        QVERIFY(near(m.slotSnapshot(Slot::Lo)[1].x, 50));
        // A zero stretch would divide by zero: it counts as 1.
        stretched.begin = 0.0f;
        m.rebuildSnapshot();
        QVERIFY(near(m.slotSnapshot(Slot::Lo)[1].x, 40));

        // The centre moves freely, clamped to the unit square.
        selectOn(m, Slot::Center, 0);
        QVERIFY(m.moveSelection(change(0.8, -0.2)));
        QCOMPARE(xy(stretched.center.points()[0]), QPointF(1.0, 0.7));
    }
};

QTEST_APPLESS_MAIN(TestCurveEditModel)
#include "tst_curveeditmodel.moc"
