// The "Curve" window: the curve editor view driven with real mouse and key events, its
// context menu commands, its status panes, what it paints, and opening it from the
// main window.
#include <QtTest>

#include <QtWidgets>

#include "KGuiMapTestSupport.h"
#include "KGuiTestSupport.h"
#include "app/KChildFrames.h"
#include "dialogs/KCurveEditDlg.h"
#include "views/KViewCurve.h"

namespace {

using Ints = std::vector<int>;

// The view in its window, sized so the editing rectangle is 200 x 200 at (10, 10).
struct CurveWindow {
    KViewCurve* view = new KViewCurve;
    KFrameCurve frame{view};
    KCurveEditModel& model = view->model();
    KBdlCurve& curve = *view->curve();
    CurveWindow() {
        frame.show();
        view->setFixedSize(220, 220);
        frame.adjustSize();
        QCoreApplication::processEvents();
    }
    QPoint at(int i) const {
        const KVertex& v = model.snapshot()[size_t(i)];
        return QPoint(int(v.x), int(v.y));
    }
    // Whether the context menu's command with the text is enabled; runs it if so and run.
    bool menuCommand(const char* text, bool run = true) {
        std::unique_ptr<QMenu> menu(view->createContextMenu(view));
        QAction* action = kFindAction(menu.get(), QString::fromLatin1(text));
        if (action->isEnabled() && run) {
            action->trigger();
        }
        return action->isEnabled();
    }
};

} // namespace

class TestCurveEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void clickShiftClickMiddleClick() {
        CurveWindow w;
        // Left selects (Shift adds), middle toggles, a click on empty space clears.
        const std::tuple<Qt::MouseButton, Qt::KeyboardModifiers, QPoint, Ints> clicks[] = {
            {Qt::LeftButton, {}, w.at(1) + QPoint(3, 3), {1}},
            {Qt::LeftButton, Qt::ShiftModifier, w.at(3), {1, 3}},
            {Qt::LeftButton, {}, w.at(2), {2}},
            {Qt::MiddleButton, {}, w.at(4) + QPoint(-9, 0), {2, 4}},
            {Qt::MiddleButton, {}, w.at(2), {4}},
            {Qt::LeftButton, {}, QPoint(110, 150), {}}};
        for (const auto& [button, mods, at, selected] : clicks) {
            QTest::mouseClick(w.view, button, mods, at);
            QCOMPARE(w.model.selectedIndices(), selected);
        }
    }

    void keysOnRelease() {
        CurveWindow w;
        KBdlCurve& c = w.curve;
        w.model.setSelection({1, 2});
        // A key press alone does nothing; the release acts.
        QTest::keyPress(w.view, Qt::Key_Insert);
        QCOMPARE(c.count(), 5);
        QTest::keyRelease(w.view, Qt::Key_Insert);
        QCOMPARE(c.count(), 7);
        QCOMPARE(w.model.selectedIndices(), (Ints{2, 4}));
        QTest::keyRelease(w.view, Qt::Key_Delete);
        QCOMPARE(c.count(), 5);

        // The selection keys, each followed by the selection it leaves.
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, Ints> walk[] = {
            {Qt::Key_End, {}, {0}},
            {Qt::Key_PageUp, {}, {1}},
            {Qt::Key_Home, Qt::ShiftModifier, {1, 2, 3, 4}},
            {Qt::Key_PageDown, {}, {0, 1, 2, 3}},
            {Qt::Key_Home, Qt::ControlModifier, {4}},
            {Qt::Key_End, Qt::ShiftModifier, {0, 1, 2, 3, 4}}};
        QCOMPARE(w.model.selectedCount(), 0);
        for (const auto& [key, mods, selected] : walk) {
            QTest::keyRelease(w.view, key, mods);
            QCOMPARE(w.model.selectedIndices(), selected);
        }

        // Keypad steps: Ctrl 0.1, plain 0.01, Alt 0.001; the main keyboard's + is not it.
        // Each key is released with its modifiers, then the point's coordinate is checked.
        const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int, double> steps[] = {
            {Qt::Key_Plus, pad | Qt::ControlModifier, 3, 1.05},
            {Qt::Key_Minus, pad, 1, 1.04},
            {Qt::Key_Minus, pad | Qt::AltModifier, 1, 1.039},
            {Qt::Key_Plus, {}, 1, 1.039},
            {Qt::Key_Asterisk, pad, 1, 0.24},
            {Qt::Key_Slash, pad | Qt::ControlModifier, 1, 0.34}};
        w.model.setSelection({1});
        for (const auto& [key, mods, times, value] : steps) {
            for (int i = 0; i < times; ++i) {
                QTest::keyRelease(w.view, key, mods);
            }
            const bool spreads = key == Qt::Key_Asterisk || key == Qt::Key_Slash;
            QCOMPARE(spreads ? c.points()[1].x : c.points()[1].y, value);
        }

        // L levels to the lowest, H to the highest.
        w.model.setSelection({1, 3});
        QTest::keyRelease(w.view, Qt::Key_L);
        QCOMPARE(kCurveYs(c)[1], 0.75);
        QCOMPARE(kCurveYs(c)[3], 0.75);
        w.model.setSelection({1, 2});
        QTest::keyRelease(w.view, Qt::Key_H);
        QCOMPARE(kCurveYs(c)[2], 0.75);
    }

    void contextMenuCommands() {
        CurveWindow w;
        KBdlCurve& c = w.curve;
        QVERIFY(!w.menuCommand("&Equalize Points")); // nothing selected
        QVERIFY(w.menuCommand("Polyline"));
        QCOMPARE(c.basis, int(KBdlCurve::Polyline));
        // Equalize Average over 0.2 and 0.6 gives 0.4; Undo and Redo follow it.
        c.parse("< 0, 0.2 >, < 0.5, 0.6 >, < 1, 0.6 >");
        w.view->setCurve(&c);
        w.model.setSelection({0, 1});
        QVERIFY(w.menuCommand("&Average"));
        QCOMPARE(kCurveYs(c), (std::vector<double>{0.4, 0.4, 0.6}));
        QVERIFY(w.menuCommand("Undo"));
        QCOMPARE(kCurveYs(c), (std::vector<double>{0.2, 0.6, 0.6}));
        QVERIFY(w.menuCommand("Redo", false));
        QVERIFY(w.menuCommand("&Reverse Curve"));
        QCOMPARE(kCurveYs(c), (std::vector<double>{0.6, 0.6, 0.2}));
        QCOMPARE(w.model.selectedIndices(), (Ints{0}));
        QVERIFY(w.menuCommand("&Vertical"));
        QCOMPARE(w.model.drawDirection(), int(KCurveEditModel::Vertical));
    }

    void dialogsThroughTheirSeams() {
        CurveWindow w;
        KCurveEditModel::CurveValues shown;
        std::optional<KDialogScript> dialogs(std::in_place, [&shown](QDialog& d) {
            if (auto* curve = qobject_cast<KCurveEditDlg*>(&d)) {
                shown = curve->values();
                curve->points->setPlainText("< 0, 0.5 >, < 1, 0.5 >");
                curve->repeats->setValue(3);
            } else {
                dynamic_cast<KCurveEditingPropertiesDlg&>(d).pixels->setValue(7);
            }
            return int(QDialog::Accepted);
        });
        QSignalSpy edited(w.view, &KViewCurve::curveEdited);
        w.view->manualEdit();
        w.view->editingProperties();
        dialogs.reset();
        QCOMPARE(shown.resolution, 100);
        QCOMPARE(w.curve.count(), 2);
        QCOMPARE(w.curve.repeatCount, 3);
        QCOMPARE(w.model.dragThreshold(), 7);
        QCOMPARE(edited.count(), 1);
        QVERIFY(w.model.canUndo());
    }

    void curvePropertiesDialog() {
        KTestUi ui;
        KCurveEditModel::CurveValues v;
        v.basis = KBdlCurve::Bezier;
        v.indexType = KBdlCurve::Radial;
        v.controlString = "< 0, 0 >, < 1, 1 >";
        KCurveEditDlg dlg(v);
        KCurveEditModel::CurveValues out = dlg.values();
        QCOMPARE(out.basis, int(KBdlCurve::Spline));
        QCOMPARE(out.indexType, int(KBdlCurve::AxisX));
        dlg.points->setPlainText(QStringLiteral("< 0, 0 > < 1"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Rejected)); // stays open
        QCOMPARE(ui.messages(), std::vector<std::string>{
                                    KBdlCurve::parseMessage(KBdlCurve::ParseUnmatchedBraces)});
        dlg.points->setPlainText(QStringLiteral("< 0, 0 > < 1, 2 >"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void paintsSamplesAndSquares() {
        CurveWindow w;
        w.model.setSelection({2});
        const QImage img = w.view->grab().toImage();
        QVERIFY(kCountColour(img, Qt::red) > 100);
        QVERIFY(kCountColour(img, Qt::blue) > 100);
        QCOMPARE(kCountColour(img, QColor(0, 255, 0)), 16); // one selected square
        QVERIFY(kSaveScreenshot(w.frame, QStringLiteral("curve_window.png")));
    }
};

QTEST_MAIN(TestCurveEditor)
#include "tst_curveeditor.moc"
