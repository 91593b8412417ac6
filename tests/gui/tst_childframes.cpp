#include <QMdiArea>
#include <QSplitter>
#include <QtTest>

#include "app/KChildFrames.h"

class TestChildFrames : public QObject {
    Q_OBJECT
private slots:
    void previewFrameHasMessageAndAnimationPanes() {
        QMdiArea area;
        area.resize(900, 600);
        auto* frame = new KFrame3D(new QWidget);
        area.addSubWindow(frame);
        area.show();
        frame->resize(700, 400);
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        KStatusPaneBar* bar = frame->paneBar();
        QCOMPARE(bar->paneCount(), 2);
        const QMargins m = bar->contentsMargins();
        // The animation pane is exactly as wide as its sample and ends at the bar's right.
        QTRY_COMPARE(bar->paneEdges().back(), bar->width() - m.left() - m.right());
        const int sample =
            QFontMetrics(bar->font())
                .horizontalAdvance(QStringLiteral("Frame 9999 of 0000 to 0000      "));
        QCOMPARE(bar->paneEdges()[1] - bar->paneEdges()[0], sample);
    }

    void narrowCurveFrameKeepsItsPaneWidths() {
        QMdiArea area;
        area.resize(600, 400);
        auto* frame = new KFrameCurve(new QWidget);
        area.addSubWindow(frame);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        KStatusPaneBar* bar = frame->paneBar();
        QCOMPARE(bar->paneCount(), 3);
        bar->resize(5, bar->height());
        bar->layoutPanes();
        const auto& e = bar->paneEdges();
        // Too narrow for the panes: they keep their sample widths past the bar's end
        // rather than collapsing to negative widths.
        const QFontMetrics fm(bar->font());
        QCOMPARE(e[2] - e[1], fm.horizontalAdvance(QStringLiteral("rpts: 999   ")));
        QCOMPARE(e[1] - e[0], fm.horizontalAdvance(QStringLiteral("pts: 9999   ")));
        QVERIFY(e[0] >= 10);
    }

    void groupFrameFillsTheClientAreaWithTwoPlaceholders() {
        QMdiArea area;
        area.resize(800, 600);
        auto* frame = new KFrameQuorlG1;
        area.addSubWindow(frame);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        frame->fitInto(QSize(800, 600));
        QCOMPARE(frame->size(), QSize(794, 594));
        QSplitter* s = frame->splitter();
        QCOMPARE(s->count(), 2);
        QCOMPARE(static_cast<KViewDummy*>(s->widget(1))->title(),
                 QStringLiteral("Grid and 3D View(s)"));
        const QList<int> sizes = s->sizes();
        QVERIFY(qAbs(sizes[0] * 2 - sizes[1]) <= 2 + s->handleWidth());
    }
};

QTEST_MAIN(TestChildFrames)
#include "tst_childframes.moc"
