// The "Curve" window: the curve editor view driven with real mouse and key events, its
// context menu commands, its status panes, what it paints, and opening it from the
// main window.
#include <QtTest>

#include <QButtonGroup>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "KGuiTestSupport.h"
#include "app/KChildFrames.h"
#include "dialogs/KCurveEditDlg.h"
#include "document/CPexaDoc.h"
#include "views/KViewCurve.h"

namespace {

// The view in its window, sized so the editing rectangle is 200 x 200 at (10, 10).
struct CurveWindow {
    KViewCurve* view = new KViewCurve;
    KFrameCurve frame{view};
    CurveWindow() {
        frame.show();
        view->setFixedSize(220, 220);
        frame.adjustSize();
        QCoreApplication::processEvents();
    }
    QPoint at(int i) const {
        const KVertex& v = view->model().snapshot()[size_t(i)];
        return QPoint(int(v.x), int(v.y));
    }
};

std::vector<double> ys(const KBdlCurve& c) {
    std::vector<double> out;
    for (int i = 0; i < c.count(); ++i) {
        out.push_back(c.points()[size_t(i)].y);
    }
    return out;
}

void release(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyRelease(w, key, mods);
}

int countColour(const QImage& img, QColor c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            n += img.pixelColor(x, y) == c;
        }
    }
    return n;
}

} // namespace

class TestCurveEditor : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void hoverAndStatusPanes() {
        CurveWindow w;
        QCOMPARE(w.frame.paneText(1), QStringLiteral("pts: 5"));
        // Point 1 (0.25, 0.75) of the view's own curve is at (60, 60).
        QCOMPARE(w.at(1), QPoint(60, 60));
        QTest::mouseMove(w.view, QPoint(64, 57));
        QCOMPARE(w.frame.paneText(0), QStringLiteral("over CP 1"));
        QTest::mouseMove(w.view, QPoint(120, 150));
        QCOMPARE(w.frame.paneText(0), QStringLiteral("(curve message update)"));
    }

    void clickShiftClickMiddleClick() {
        CurveWindow w;
        KCurveEditModel& m = w.view->model();
        QTest::mouseClick(w.view, Qt::LeftButton, Qt::NoModifier, w.at(1) + QPoint(3, 3));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{1}));
        QTest::mouseClick(w.view, Qt::LeftButton, Qt::ShiftModifier, w.at(3));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{1, 3}));
        QTest::mouseClick(w.view, Qt::LeftButton, Qt::NoModifier, w.at(2));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{2}));
        QTest::mouseClick(w.view, Qt::MiddleButton, Qt::NoModifier, w.at(4) + QPoint(-9, 0));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{2, 4}));
        QTest::mouseClick(w.view, Qt::MiddleButton, Qt::NoModifier, w.at(2));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{4}));
        // Clicking empty space clears.
        QTest::mouseClick(w.view, Qt::LeftButton, Qt::NoModifier, QPoint(110, 150));
        QCOMPARE(m.selectedCount(), 0);
    }

    void dragWithThreshold() {
        CurveWindow w;
        KBdlCurve& c = *w.view->curve();
        QSignalSpy edited(w.view, &KViewCurve::curveEdited);
        QTest::mouseClick(w.view, Qt::LeftButton, Qt::NoModifier, w.at(0));
        // Drag the first point right and up by 40 pixels: only its y changes.
        const QPoint start = w.at(0);
        QTest::mousePress(w.view, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(w.view, start + QPoint(40, -40));
        QTest::mouseRelease(w.view, Qt::LeftButton, Qt::NoModifier, start + QPoint(40, -40));
        QCOMPARE(c.points()[0].x, 0.0);
        QCOMPARE(c.points()[0].y, 0.2);
        QCOMPARE(edited.count(), 1);
        QVERIFY(w.view->model().canUndo());

        // With a threshold of 5 a 4-pixel move is a click (it toggles, moves nothing).
        w.view->model().setDragThreshold(5);
        const QPoint p2 = w.at(2);
        QTest::mousePress(w.view, Qt::LeftButton, Qt::NoModifier, p2);
        QTest::mouseMove(w.view, p2 + QPoint(4, -4));
        QTest::mouseRelease(w.view, Qt::LeftButton, Qt::NoModifier, p2 + QPoint(4, -4));
        QCOMPARE(w.view->model().selectedIndices(), (std::vector<int>{2}));
        QCOMPARE(c.points()[2].y, 0.0);
        QCOMPARE(edited.count(), 1);
        // Dragged far above the rectangle it stops at 1.
        QTest::mousePress(w.view, Qt::LeftButton, Qt::NoModifier, p2);
        QTest::mouseMove(w.view, p2 + QPoint(0, -400));
        QTest::mouseRelease(w.view, Qt::LeftButton, Qt::NoModifier, p2 + QPoint(0, -400));
        QCOMPARE(c.points()[2].y, 1.0);
        QCOMPARE(edited.count(), 2);
    }

    void keysOnRelease() {
        CurveWindow w;
        KCurveEditModel& m = w.view->model();
        KBdlCurve& c = *w.view->curve();
        m.setSelection({1, 2});
        // A key press alone does nothing; the release acts.
        QTest::keyPress(w.view, Qt::Key_Insert);
        QCOMPARE(c.count(), 5);
        release(w.view, Qt::Key_Insert);
        QCOMPARE(c.count(), 7);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{2, 4}));
        release(w.view, Qt::Key_Delete);
        QCOMPARE(c.count(), 5);
        QCOMPARE(m.selectedCount(), 0);

        release(w.view, Qt::Key_End);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{0}));
        release(w.view, Qt::Key_PageUp);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{1}));
        release(w.view, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{1, 2, 3, 4}));
        release(w.view, Qt::Key_PageDown);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{0, 1, 2, 3}));
        release(w.view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(m.selectedIndices(), (std::vector<int>{4}));
        release(w.view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(m.selectedCount(), 5);

        // Keypad steps: Ctrl 0.1, plain 0.01, Alt 0.001; the main keyboard's + is not it.
        m.setSelection({1});
        release(w.view, Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier);
        release(w.view, Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier);
        release(w.view, Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier);
        QCOMPARE(c.points()[1].y, 1.05);
        release(w.view, Qt::Key_Minus, Qt::KeypadModifier);
        release(w.view, Qt::Key_Minus, Qt::KeypadModifier | Qt::AltModifier);
        QCOMPARE(c.points()[1].y, 1.039);
        release(w.view, Qt::Key_Plus);
        QCOMPARE(c.points()[1].y, 1.039);
        release(w.view, Qt::Key_Asterisk, Qt::KeypadModifier);
        QCOMPARE(c.points()[1].x, 0.24);
        release(w.view, Qt::Key_Slash, Qt::KeypadModifier | Qt::ControlModifier);
        QCOMPARE(c.points()[1].x, 0.34);

        m.setSelection({1, 3});
        release(w.view, Qt::Key_L);
        QCOMPARE(c.points()[3].y, 0.75);
        QCOMPARE(c.points()[1].y, 0.75);
        m.setSelection({1, 2});
        release(w.view, Qt::Key_H);
        QCOMPARE(c.points()[2].y, 0.75);
    }

    void contextMenuCommands() {
        CurveWindow w;
        KCurveEditModel& m = w.view->model();
        KBdlCurve& c = *w.view->curve();
        {
            std::unique_ptr<QMenu> menu(w.view->createContextMenu(w.view));
            QVERIFY(!kFindAction(menu.get(), "&Equalize Points")->isEnabled());
            kFindAction(menu.get(), "Polyline")->trigger();
        }
        QCOMPARE(c.basis, int(KBdlCurve::Polyline));
        // Equalize Average over 0.2 and 0.6 gives 0.4.
        c.parse("< 0, 0.2 >, < 0.5, 0.6 >, < 1, 0.6 >");
        w.view->setCurve(&c);
        m.setSelection({0, 1});
        {
            std::unique_ptr<QMenu> menu(w.view->createContextMenu(w.view));
            kFindAction(menu.get(), "&Average")->trigger();
        }
        QCOMPARE(ys(c), (std::vector<double>{0.4, 0.4, 0.6}));
        {
            std::unique_ptr<QMenu> menu(w.view->createContextMenu(w.view));
            QVERIFY(kFindAction(menu.get(), "Undo")->isEnabled());
            kFindAction(menu.get(), "Undo")->trigger();
        }
        QCOMPARE(ys(c), (std::vector<double>{0.2, 0.6, 0.6}));
        {
            std::unique_ptr<QMenu> menu(w.view->createContextMenu(w.view));
            QVERIFY(kFindAction(menu.get(), "Redo")->isEnabled());
            kFindAction(menu.get(), "&Reverse Curve")->trigger();
        }
        QCOMPARE(ys(c), (std::vector<double>{0.6, 0.6, 0.2}));
        QCOMPARE(m.selectedIndices(), (std::vector<int>{0}));
        {
            std::unique_ptr<QMenu> menu(w.view->createContextMenu(w.view));
            kFindAction(menu.get(), "&Vertical")->trigger();
        }
        QCOMPARE(m.drawDirection(), int(KCurveEditModel::Vertical));
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
        QCOMPARE(w.view->curve()->count(), 2);
        QCOMPARE(w.view->curve()->repeatCount, 3);
        QCOMPARE(w.view->model().dragThreshold(), 7);
        QCOMPARE(edited.count(), 1);
        QVERIFY(w.view->model().canUndo());
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
        QCOMPARE(ui.messages().size(), size_t(1));
        QCOMPARE(ui.messages()[0], KBdlCurve::parseMessage(KBdlCurve::ParseUnmatchedBraces));
        dlg.points->setPlainText(QStringLiteral("< 0, 0 > < 1, 2 >"));
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void paintsSamplesAndSquares() {
        CurveWindow w;
        w.view->model().setSelection({2});
        const QImage img = w.view->grab().toImage();
        QVERIFY(countColour(img, Qt::red) > 100);
        QVERIFY(countColour(img, Qt::blue) > 100);
        QCOMPARE(countColour(img, QColor(0, 255, 0)), 16); // one selected square
        QVERIFY(kSaveScreenshot(w.frame, QStringLiteral("curve_window.png")));
    }
};

QTEST_MAIN(TestCurveEditor)
#include "tst_curveeditor.moc"
