// The UV map view: its geometry and mapping, zoom steps and text, the items it builds
// from the document and how they are styled, its title and layer selection, the status
// panes of its frame, and what the grid really puts on the screen.
#include <QtTest>

#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>

#include "KGuiTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "document/CPexaDoc.h"
#include "edit/KStatusPanes.h"
#include "image/KImageMapTga.h"
#include "model/KBdlMuscle.h"
#include "views/CPexaView.h"
#include "views/KMapItem.h"
#include "views/KUvMapLayout.h"

namespace {

KUvMapLayout layoutFor(int u, int v) {
    KUvMapLayout l;
    l.grid = KGridInfo{u, v, 1.0f, 1.0f, 1.0f};
    l.update();
    return l;
}

KBdlMuscle* addMuscle(CPexaDoc& doc, int layer, int type, double u0, double v0, double u1,
                      double v1) {
    auto m = std::make_unique<KBdlMuscle>(type);
    m->setFromRect(u0, v0, u1, v1);
    KBdlMuscle* raw = m.get();
    doc.addMuscleToLayer(doc.layerAt(layer), m);
    return raw;
}

// The main window at 900 x 700 with a new document, on the screen.
bool showWithNewDocument(CMainFrame& frame) {
    frame.resize(900, 700);
    if (!frame.processCommandLine({QStringLiteral("quorl")})) {
        return false;
    }
    frame.show();
    return QTest::qWaitForWindowExposed(&frame);
}

} // namespace

class TestUvView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void defaultGridGeometry() {
        const KUvMapLayout l = layoutFor(50, 50);
        QCOMPARE(l.cellWidth(), 6);
        QCOMPARE(l.totalWidth(), 331);
        const auto r = l.mapRect(200, 200); // smaller client: no centring
        QCOMPARE(r.left, 15);
        QCOMPARE(r.right, 316);
        // A wider and taller client centres the map (integer halves).
        const auto c = l.mapRect(340, 400);
        QCOMPARE(c.left, 15 + 4);
        QCOMPARE(c.top, 15 + 34);
    }

    void mappingBothWays() {
        const auto r = layoutFor(50, 50).mapRect(0, 0);
        QCOMPARE(KUvMapLayout::windowToUv(r, r.left, r.bottom), QPointF(0, 0));
        QCOMPARE(KUvMapLayout::windowToUv(r, r.right, r.top), QPointF(1, 1));
        QCOMPARE(KUvMapLayout::uvToWindow(r, 0.5, 0.25), QPointF(165.5, 316 - 75.25));
        const QPointF back = KUvMapLayout::windowToUv(r, 165.5, 240.75);
        QCOMPARE(back, QPointF(0.5, 0.25));
    }

    void zoomStepsCellsAndText() {
        float z = 1.0f;
        const float in[] = {1.5f, 2.0f, 2.5f};
        for (float expected : in) {
            z = KUvMapLayout::zoomedIn(z);
            QCOMPARE(z, expected);
        }
        z = 1.0f;
        const float out[] = {0.5f, 0.25f, 0.125f};
        for (float expected : out) {
            z = KUvMapLayout::zoomedOut(z);
            QCOMPARE(z, expected);
        }
        QCOMPARE(KUvMapLayout::zoomedIn(0.25f), 0.5f);
        QCOMPARE(KUvMapLayout::zoomText(0.5f), QStringLiteral("50.000 %"));
        QCOMPARE(KUvMapLayout::zoomText(1.5f), QStringLiteral(" 150 %"));

        KUvMapLayout l = layoutFor(50, 50);
        l.settings.zoom = 0.1f;
        l.update();
        QCOMPARE(l.cellWidth(), 1);
        QCOMPARE(l.totalWidth(), 50 + 31);
        l.settings.zoom = 2.5f;
        l.update();
        QCOMPARE(l.cellWidth(), 15);
    }

    void drawingRatioAndScalingsShapeTheCells() {
        KUvMapLayout l = layoutFor(50, 50);
        l.settings.setRatios(2.0f, 1.0f);
        l.update();
        QCOMPARE(l.cellWidth(), 6);
        QCOMPARE(l.cellHeight(), 12);
        l.settings.setRatios(0.0f, -3.0f); // both become 1
        QCOMPARE(l.settings.aspect, 1.0f);
        // The anatomy's length and the V/U scaling stretch V too.
        l.grid.anatomyLength = 1.5f;
        l.grid.vScaling = 2.0f;
        l.update();
        QCOMPARE(l.cellHeight(), 18);
    }

    void paneEdges() {
        // Wide bar: the last pane ends at the right end, panes 1 and 2 as wide as their texts.
        auto wide = kStatusPaneEdges(800, {60, 120, 70}, 250, 30);
        QCOMPARE(wide, (std::vector<int>{610, 730, 800}));
        // Narrow bar: the texts decide the extent.
        auto fit = kStatusPaneEdges(100, {60, 120, 70}, 250, 30);
        QCOMPARE(fit, (std::vector<int>{90, 210, 280}));
        // Too narrow for pane texts: fallbacks 20 and 10 instead of negative edges.
        auto tight = kStatusPaneEdges(0, {60, 120, 70}, 40, 30);
        QCOMPARE(tight, (std::vector<int>{10, 20, 70}));
        auto two = kStatusPaneEdges(0, {60, 200}, 10, 20);
        QCOMPARE(two, (std::vector<int>{10, 30}));
    }

    void itemsFollowTheDocumentAndTheSwitches() {
        CPexaDoc doc;
        KBdlMuscle* a = addMuscle(doc, 0, KBdlMuscle::Linear, 0.2, 0.2, 0.4, 0.8);
        KBdlMuscle* b = addMuscle(doc, 1, KBdlMuscle::Orbital, 0.5, 0.5, 0.9, 0.7);
        KBdlMuscle* c = addMuscle(doc, 2, KBdlMuscle::Point, 0.1, 0.1, 0.3, 0.3);
        const auto r = layoutFor(50, 50).mapRect(0, 0);
        KUvMapSettings s;
        auto items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(items[0].muscle, a);
        QCOMPARE(items[2].muscle, c);
        // A linear muscle's outline has 2n + 3 points; its box encloses the rectangle.
        QCOMPARE(items[0].outline.size(), 2 * items[0].centerLine.size() + 3);
        const QRect box = items[0].box;
        QVERIFY(box.left() >= 15 + 60 - 1 && box.right() <= 15 + 121);
        QVERIFY(items[0].contains(QPoint(15 + 90, 316 - 150)));

        // Layer selection.
        items = kBuildMapItems(doc, {1}, s, r);
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items[0].muscle, b);

        // Inactive muscle: left out unless "Inactive Items", then dotted.
        b->active = 0;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(items.size(), size_t(2));
        s.showInactiveItems = true;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(kMapItemStyle(doc, items[1], false, false).pen, Qt::DotLine);
        QVERIFY(kMapItemStyle(doc, items[0], false, false).fillWhite);
        // Transparent drawing.
        QCOMPARE(kMapItemStyle(doc, items[0], false, true).pen, Qt::DashDotDotLine);
        QCOMPARE(kMapItemStyle(doc, items[1], true, true).pen, Qt::DashDotDotLine);

        // Inactive layer: left out unless "Inactive Layers".
        doc.layerAt(2)->active = 0;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(items.size(), size_t(2));
        s.showInactiveLayers = true;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(kMapItemStyle(doc, items[2], false, false).pen, Qt::DotLine);

        // The colour comes from the muscle's texture, else the layer's.
        a->textureIndex = 3;
        QCOMPARE(kMapItemStyle(doc, items[0], false, false).color, doc.textureColor(3));
        doc.layerAt(1)->textureIndex = 5;
        QCOMPARE(kMapItemStyle(doc, items[1], false, false).color, doc.textureColor(5));
    }

    void aCompoundMuscleHasNoRegion() {
        CPexaDoc doc;
        addMuscle(doc, 0, KBdlMuscle::Compound, 0.2, 0.2, 0.4, 0.8);
        const auto items =
            kBuildMapItems(doc, {}, KUvMapSettings{}, layoutFor(50, 50).mapRect(0, 0));
        QCOMPARE(items.size(), size_t(1));
        QVERIFY(!items[0].hasRegion());
        QCOMPARE(items[0].box.left(), -1);
    }

    void viewInItsFrame() {
        CMainFrame frame;
        QVERIFY(showWithNewDocument(frame));
        CChildFrame* child = frame.documents().activeFrame();
        CPexaView* view = child->view();
        CPexaDoc& doc = view->document();

        // Zoom commands through the main frame's actions.
        frame.action("zoomIn")->trigger();
        QCOMPARE(view->settings().zoom, 1.5f);
        QCOMPARE(child->paneText(2), QStringLiteral(" 150 %"));
        frame.action("zoomReset")->trigger();
        frame.action("zoomOut")->trigger();
        QCOMPARE(child->paneText(2), QStringLiteral("50.000 %"));
        view->setZoom(1.0f);

        // The zoom pane is as wide as its sample text and ends at the bar's right end.
        QStatusBar* bar = child->paneBar();
        const auto& edges = child->paneEdges();
        const QMargins m = bar->contentsMargins();
        QCOMPARE(edges.back(), bar->width() - m.left() - m.right());
        QCOMPARE(edges[2] - edges[1],
                 QFontMetrics(bar->font()).horizontalAdvance(QStringLiteral("-9999%     ")));

        // Titles and layer selection.
        view->setLayerSelection({1, 2});
        QCOMPARE(view->titleText(), QStringLiteral("Quorl1 - L1: Exterior Muscles, ..."));
        QCOMPARE(doc.currentItem, CPexaDoc::ItemFirstLayer + 1);
        QCOMPARE(doc.exportLayerSelection, (std::vector<int32_t>{1, 2}));
        view->setLayerSelection({});

        // A grid change reaches the view through the document's update.
        doc.uResolution = 12;
        doc.rebuildGrid();
        QCOMPARE(view->layout().grid.uCount, 12);

        // Items are rebuilt from the document on paint.
        addMuscle(doc, 0, KBdlMuscle::Linear, 0.2, 0.2, 0.4, 0.8);
        doc.documentChanged();
        view->viewport()->repaint();
        QCOMPARE(view->items().size(), size_t(1));
        QVERIFY(child->isWindowModified());
    }

    // However narrow the window, the panes lie side by side inside the bar: the message
    // pane gives way first, then the UV pane; the zoom pane stays whole while it fits.
    void panesNeverOverlapInANarrowWindow() {
        CMainFrame frame;
        QVERIFY(showWithNewDocument(frame));
        CChildFrame* child = frame.documents().activeFrame();
        child->showNormal();
        KStatusPaneBar* bar = child->paneBar();
        const QFontMetrics fm(bar->font());
        const int zoomWidth = fm.horizontalAdvance(QStringLiteral("-9999%     "));
        const int uvWidth = fm.horizontalAdvance(QStringLiteral("uv: 9.9999, 9.9999   "));
        child->setPaneText(0, QStringLiteral("Exterior Muscles: a muscle with a long name"));
        child->setPaneText(1, QStringLiteral("uv: 0.500, 0.500"));
        const QList<QLabel*> panes = bar->findChildren<QLabel*>();
        for (int width : {700, 260, 180, 120, 60}) {
            child->resize(width, 300);
            QCoreApplication::processEvents();
            QVERIFY2(bar->width() < width, qPrintable(QString::number(width)));
            std::vector<QRect> shown;
            for (int i = 0; i < panes.size(); ++i) {
                QLabel* pane = panes[i];
                if (!pane->isVisible() || pane->width() == 0) {
                    continue;
                }
                const QRect r(pane->mapTo(bar, QPoint(0, 0)), pane->size());
                QVERIFY2(bar->rect().contains(r),
                         qPrintable(QStringLiteral("%1: pane %2").arg(width).arg(i)));
                for (const QRect& other : shown) {
                    QVERIFY2(!r.intersects(other),
                             qPrintable(QStringLiteral("%1: pane %2").arg(width).arg(i)));
                }
                shown.push_back(r);
            }
            const int inside = panes[2]->parentWidget()->width();
            QCOMPARE(panes[2]->width(), std::min(zoomWidth, inside));
            QCOMPARE(panes[1]->width(), std::clamp(inside - zoomWidth, 0, uvWidth));
        }
    }

    void gridLinesEveryTickStep() {
        CMainFrame frame;
        QVERIFY(showWithNewDocument(frame));
        CPexaView* view = frame.activeView();
        CPexaDoc& doc = view->document();
        doc.uResolution = 12;
        doc.vResolution = 12;
        doc.rebuildGrid();
        KUvMapSettings s = view->settings();
        s.tickStep = 5;
        s.showLegend = false;
        view->setSettings(s);
        const QImage shot = view->viewport()->grab().toImage();
        const auto r = view->mapRect();
        const int midY = (r.top + r.bottom) / 2 + 1;
        const QColor grey(192, 192, 192);
        for (int i = 1; i < 12; ++i) {
            const QColor at = shot.pixelColor(r.left + i * 6, midY);
            if (i % 5 == 0) {
                QCOMPARE(at, grey);
            } else {
                QCOMPARE(at, QColor(Qt::white));
            }
        }
        // The border still closes the rectangle on both sides.
        QCOMPARE(shot.pixelColor(r.left, midY), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(r.right, midY), QColor(Qt::black));
    }

    void backgroundComesFromTheLastLayerWithAnImage() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaView* view = frame.activeView();
        CPexaDoc& doc = view->document();
        auto makeImage = [](uint32_t bottomColor) {
            auto image = std::make_unique<KImageMapTga>();
            image->setFormat(24, KImageMap::OptionGray24);
            image->resize(4, 3);
            for (int x = 0; x < 4; ++x) {
                for (int y = 0; y < 3; ++y) {
                    image->setColor(x, y, y == 0 ? bottomColor : 0x000000u);
                }
            }
            return image;
        };
        doc.layerAt(0)->imageMap = makeImage(0xFFFFFFu);
        doc.layerAt(1)->imageMap = makeImage(0x808080u);
        auto shown = [](const KImageMap* image, int x, int y) {
            const uint32_t c = static_cast<const KImageMapTga*>(image)->displayColor(x, y);
            return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
        };
        const QColor grey = shown(doc.layerAt(1)->imageMap.get(), 1, 0);
        const QColor white = shown(doc.layerAt(0)->imageMap.get(), 1, 0);
        const QColor black = shown(doc.layerAt(0)->imageMap.get(), 1, 2);
        QVERIFY(grey != white && grey != black);
        KUvMapSettings s = view->settings();
        s.showBackground = true;
        view->setSettings(s);
        QImage bg = view->backgroundImage();
        // Image row 0 is the bitmap's bottom row; the last layer with an image wins.
        QCOMPARE(bg.pixelColor(1, 2), grey);
        QCOMPARE(bg.pixelColor(1, 0), black);
        // In selection order the last selected layer with an image wins.
        view->setLayerSelection({1, 0});
        QCOMPARE(view->backgroundImage().pixelColor(1, 2), white);
        // A new window on the same document shares it.
    }

    void contextMenuOnRightButtonRelease() {
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CPexaView* view = frame.activeView();
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QVERIFY(!view->findChild<QMenu*>());
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = view->findChild<QMenu*>();
        QVERIFY(menu);
        QMenu* zoom = menu->actions()[3]->menu();
        zoom->actions()[0]->trigger();
        QCOMPARE(view->settings().zoom, 1.5f);
        menu->close();
    }

    void selectLayersWithoutLayersSaysSo() {
        KTestUi ui;
        CMainFrame frame;
        QVERIFY(frame.processCommandLine({QStringLiteral("quorl")}));
        CPexaDoc* doc = frame.activeDocument();
        auto taken = doc->takeLayers();
        frame.activeView()->selectLayers();
        QCOMPARE(ui.messages()[0], std::string("There are no User layer's to select!."));
        doc->restoreLayers(std::move(taken));
    }
};

QTEST_MAIN(TestUvView)
#include "tst_uvview.moc"
