// The UV map view: its geometry and mapping, zoom steps and text, the items it builds
// from the document and how they are styled, its title and layer selection, the status
// panes of its frame, and what the grid really puts on the screen.
#include <QtTest>

#include <QtWidgets>

#include "KGuiMapTestSupport.h"
#include "KGuiTestSupport.h"
#include "edit/KStatusPanes.h"
#include "image/KImageMapTga.h"
#include "views/KMapItem.h"
#include "views/KUvMapLayout.h"

namespace {

KUvMapLayout layoutFor(int u, int v) {
    KUvMapLayout l;
    l.grid = KGridInfo{u, v, 1.0f, 1.0f, 1.0f};
    l.update();
    return l;
}

// A 4 x 3 image whose bottom row has the colour and the rest is black.
std::unique_ptr<KImageMapTga> imageWithBottomRow(uint32_t bottomColor) {
    auto image = std::make_unique<KImageMapTga>();
    image->setFormat(24, KImageMap::OptionGray24);
    image->resize(4, 3);
    for (int x = 0; x < 4; ++x) {
        for (int y = 0; y < 3; ++y) {
            image->setColor(x, y, y == 0 ? bottomColor : 0x000000u);
        }
    }
    return image;
}

// The colour an image's pixel is shown in.
QColor shownColour(const KImageMap* image, int x, int y) {
    const uint32_t c = static_cast<const KImageMapTga*>(image)->displayColor(x, y);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

class TestUvView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kUseTestSettings(); }

    void gridGeometryAndMapping() {
        const KUvMapLayout l = layoutFor(50, 50);
        QCOMPARE(l.cellWidth(), 6);
        QCOMPARE(l.totalWidth(), 331);
        const auto r = l.mapRect(200, 200); // smaller client: no centring
        QCOMPARE(std::pair(r.left, r.right), std::pair(15, 316));
        // A wider and taller client centres the map (integer halves).
        const auto c = l.mapRect(340, 400);
        QCOMPARE(std::pair(c.left, c.top), std::pair(15 + 4, 15 + 34));

        const auto m = l.mapRect(0, 0);
        QCOMPARE(KUvMapLayout::windowToUv(m, m.left, m.bottom), QPointF(0, 0));
        QCOMPARE(KUvMapLayout::windowToUv(m, m.right, m.top), QPointF(1, 1));
        QCOMPARE(KUvMapLayout::uvToWindow(m, 0.5, 0.25), QPointF(165.5, 316 - 75.25));
        QCOMPARE(KUvMapLayout::windowToUv(m, 165.5, 240.75), QPointF(0.5, 0.25));
    }

    void zoomStepsCellsAndText() {
        // Each step from the zoom before it.
        float in = 1.0f;
        float out = 1.0f;
        for (const auto& [zoomedIn, zoomedOut] :
             {std::pair{1.5f, 0.5f}, {2.0f, 0.25f}, {2.5f, 0.125f}}) {
            in = KUvMapLayout::zoomedIn(in);
            out = KUvMapLayout::zoomedOut(out);
            QCOMPARE(std::pair(in, out), std::pair(zoomedIn, zoomedOut));
        }
        QCOMPARE(KUvMapLayout::zoomedIn(0.25f), 0.5f);
        QCOMPARE(KUvMapLayout::zoomText(0.5f), QStringLiteral("50.000 %"));
        QCOMPARE(KUvMapLayout::zoomText(1.5f), QStringLiteral(" 150 %"));

        // The zoom, the cells' width and the map's total width.
        KUvMapLayout l = layoutFor(50, 50);
        for (const auto& [zoom, cell, total] :
             {std::tuple{0.1f, 1, 50 + 31}, {2.5f, 15, 50 * 15 + 31}}) {
            l.settings.zoom = zoom;
            l.update();
            QCOMPARE(std::pair(l.cellWidth(), l.totalWidth()), std::pair(cell, total));
        }
    }

    void drawingRatioAndScalingsShapeTheCells() {
        KUvMapLayout l = layoutFor(50, 50);
        l.settings.setRatios(2.0f, 1.0f);
        l.update();
        QCOMPARE(std::pair(l.cellWidth(), l.cellHeight()), std::pair(6, 12));
        l.settings.setRatios(0.0f, -3.0f); // both become 1
        QCOMPARE(l.settings.aspect, 1.0f);
        // The anatomy's length and the V/U scaling stretch V too.
        l.grid.anatomyLength = 1.5f;
        l.grid.vScaling = 2.0f;
        l.update();
        QCOMPARE(l.cellHeight(), 18);
    }

    void paneEdges() {
        // Wide bar: the last pane ends at the right end, panes 1 and 2 as wide as their
        // texts. Narrow bar: the texts decide the extent. Too narrow for pane texts:
        // fallbacks 20 and 10 instead of negative edges.
        QCOMPARE(kStatusPaneEdges(800, {60, 120, 70}, 250, 30), (std::vector<int>{610, 730, 800}));
        QCOMPARE(kStatusPaneEdges(100, {60, 120, 70}, 250, 30), (std::vector<int>{90, 210, 280}));
        QCOMPARE(kStatusPaneEdges(0, {60, 120, 70}, 40, 30), (std::vector<int>{10, 20, 70}));
        QCOMPARE(kStatusPaneEdges(0, {60, 200}, 10, 20), (std::vector<int>{10, 30}));
    }

    void itemsFollowTheDocumentAndTheSwitches() {
        CPexaDoc doc;
        KBdlMuscle* a = kAddMuscle(doc, 0, KBdlMuscle::Linear, 0.2, 0.2, 0.4, 0.8);
        KBdlMuscle* b = kAddMuscle(doc, 1, KBdlMuscle::Orbital, 0.5, 0.5, 0.9, 0.7);
        KBdlMuscle* c = kAddMuscle(doc, 2, KBdlMuscle::Point, 0.1, 0.1, 0.3, 0.3);
        const auto r = layoutFor(50, 50).mapRect(0, 0);
        KUvMapSettings s;
        const auto muscles = [&](std::vector<int32_t> layers = {}) {
            std::vector<KBdlMuscle*> out;
            for (const KMapItem& item : kBuildMapItems(doc, layers, s, r)) {
                out.push_back(item.muscle);
            }
            return out;
        };
        using Muscles = std::vector<KBdlMuscle*>;
        auto items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(muscles(), (Muscles{a, b, c}));
        // A linear muscle's outline has 2n + 3 points; its box encloses the rectangle.
        QCOMPARE(items[0].outline.size(), 2 * items[0].centerLine.size() + 3);
        const QRect box = items[0].box;
        QVERIFY(box.left() >= 15 + 60 - 1 && box.right() <= 15 + 121);
        QVERIFY(items[0].contains(QPoint(15 + 90, 316 - 150)));
        // Layer selection.
        QCOMPARE(muscles({1}), Muscles{b});

        // Inactive muscle: left out unless "Inactive Items", then dotted; transparent
        // drawing dashes every item.
        b->active = 0;
        QCOMPARE(muscles(), (Muscles{a, c}));
        s.showInactiveItems = true;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(muscles(), (Muscles{a, b, c}));
        QCOMPARE(kMapItemStyle(doc, items[1], false, false).pen, Qt::DotLine);
        QVERIFY(kMapItemStyle(doc, items[0], false, false).fillWhite);
        QCOMPARE(kMapItemStyle(doc, items[0], false, true).pen, Qt::DashDotDotLine);
        QCOMPARE(kMapItemStyle(doc, items[1], true, true).pen, Qt::DashDotDotLine);

        // Inactive layer: left out unless "Inactive Layers", then dotted.
        doc.layerAt(2)->active = 0;
        QCOMPARE(muscles(), (Muscles{a, b}));
        s.showInactiveLayers = true;
        items = kBuildMapItems(doc, {}, s, r);
        QCOMPARE(muscles(), (Muscles{a, b, c}));
        QCOMPARE(kMapItemStyle(doc, items[2], false, false).pen, Qt::DotLine);

        // The colour comes from the muscle's texture, else the layer's.
        a->textureIndex = 3;
        QCOMPARE(kMapItemStyle(doc, items[0], false, false).color, doc.textureColor(3));
        doc.layerAt(1)->textureIndex = 5;
        QCOMPARE(kMapItemStyle(doc, items[1], false, false).color, doc.textureColor(5));

        // A compound muscle has no region and no box.
        CPexaDoc compound;
        kAddMuscle(compound, 0, KBdlMuscle::Compound, 0.2, 0.2, 0.4, 0.8);
        items = kBuildMapItems(compound, {}, KUvMapSettings{}, r);
        QCOMPARE(items.size(), size_t(1));
        QVERIFY(!items[0].hasRegion());
        QCOMPARE(items[0].box.left(), -1);
    }

    void viewInItsFrame() {
        KTestUi ui;
        CMainFrame frame;
        QVERIFY(kShowWithNewDocument(frame));
        CChildFrame* child = frame.documents().activeFrame();
        CPexaView* view = child->view();
        CPexaDoc& doc = view->document();

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
        kAddMuscle(doc, 0, KBdlMuscle::Linear, 0.2, 0.2, 0.4, 0.8);
        doc.documentChanged();
        view->viewport()->repaint();
        QCOMPARE(view->items().size(), size_t(1));
        QVERIFY(child->isWindowModified());

        // The context menu opens on the right button's release.
        QTest::mousePress(view->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QVERIFY(!view->findChild<QMenu*>());
        QTest::mouseRelease(view->viewport(), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = view->findChild<QMenu*>();
        QVERIFY(menu);
        menu->actions()[3]->menu()->actions()[0]->trigger(); // Zoom, In
        QCOMPARE(view->settings().zoom, 1.5f);
        menu->close();
    }

    // However narrow the window, the panes lie side by side inside the bar: the message
    // pane gives way first, then the UV pane; the zoom pane stays whole while it fits.
    void panesNeverOverlapInANarrowWindow() {
        CMainFrame frame;
        QVERIFY(kShowWithNewDocument(frame));
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
                if (!panes[i]->isVisible() || panes[i]->width() == 0) {
                    continue;
                }
                const QRect r(panes[i]->mapTo(bar, QPoint(0, 0)), panes[i]->size());
                const QString where = QStringLiteral("%1: pane %2").arg(width).arg(i);
                QVERIFY2(bar->rect().contains(r), qPrintable(where));
                for (const QRect& other : shown) {
                    QVERIFY2(!r.intersects(other), qPrintable(where));
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
        QVERIFY(kShowWithNewDocument(frame));
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
        for (int i = 1; i < 12; ++i) {
            const QColor line = i % 5 == 0 ? QColor(192, 192, 192) : QColor(Qt::white);
            QCOMPARE(shot.pixelColor(r.left + i * 6, midY), line);
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
        doc.layerAt(0)->imageMap = imageWithBottomRow(0xFFFFFFu);
        doc.layerAt(1)->imageMap = imageWithBottomRow(0x808080u);
        const QColor grey = shownColour(doc.layerAt(1)->imageMap.get(), 1, 0);
        const QColor white = shownColour(doc.layerAt(0)->imageMap.get(), 1, 0);
        const QColor black = shownColour(doc.layerAt(0)->imageMap.get(), 1, 2);
        QVERIFY(grey != white && grey != black);
        KUvMapSettings s = view->settings();
        s.showBackground = true;
        view->setSettings(s);
        // Image row 0 is the bitmap's bottom row; the last layer with an image wins.
        QCOMPARE(view->backgroundImage().pixelColor(1, 2), grey);
        QCOMPARE(view->backgroundImage().pixelColor(1, 0), black);
        // In selection order the last selected layer with an image wins.
        view->setLayerSelection({1, 0});
        QCOMPARE(view->backgroundImage().pixelColor(1, 2), white);
    }
};

QTEST_MAIN(TestUvView)
#include "tst_uvview.moc"
