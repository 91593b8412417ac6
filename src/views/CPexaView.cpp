#include "views/CPexaView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "dialogs/KViewDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KAppServices.h"
#include "gui/KLayerNames.h"
#include "gui/KStatusPaneBar.h"
#include "gui/KViewHost.h"
#include "image/KImageMapTga.h"
#include "platform/KUi.h"
#include <QMdiSubWindow>

namespace {

QColor packedColor(uint32_t c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

// Truncation towards zero, as the map's points are drawn.
QPoint truncated(const QPointF& p) {
    return QPoint(int(p.x()), int(p.y()));
}

QPolygon truncated(const QPolygonF& poly) {
    QPolygon out;
    out.reserve(poly.size());
    for (const QPointF& p : poly) {
        out.append(truncated(p));
    }
    return out;
}

} // namespace

CPexaView::CPexaView(CPexaDoc& doc, KViewHost& frame, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), frame_(frame) {
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(pal);
    doc_.addObserver(this);
    auto* testing = new QAction(this);
    testing->setObjectName(QStringLiteral("exportTesting"));
    testing->setShortcut(Qt::Key_F12);
    testing->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(testing);
    connect(testing, &QAction::triggered, this, &CPexaView::exportTesting);
}

void CPexaView::exportTesting() {
    if (KAppServices* app = kAppServices(this)) {
        app->runExportTesting(doc_);
    }
}

CPexaView::~CPexaView() {
    doc_.removeObserver(this);
    // A window closed in the middle of a drag leaves the muscle where the drag found it.
    if (restoreDraggedMuscle()) {
        doc_.itemChanged(CPexaDoc::HintMuscle, selectedMuscle_);
    }
    doc_.setExportLayerSelection({});
}

void CPexaView::initialUpdate() {
    titleLayer_ = 0;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    doc_.fillGridInfo(layout_.grid);
    // The drawing ratio starts from the document's scalings.
    KUvMapSettings& s = layout_.settings;
    s.uRatio = layout_.grid.uScaling > 0 ? layout_.grid.uScaling : 1.0f;
    s.vRatio = layout_.grid.vScaling > 0 ? layout_.grid.vScaling : 1.0f;
    s.aspect = layout_.grid.uScaling == 0 ? 1.0f : s.uRatio / s.vRatio;
    refreshTitle();
    updateScrollSizes();
    writeZoomText();
}

void CPexaView::onUpdate(int hint, KPersistent*) {
    if (hint == CPexaDoc::HintReplacing) {
        // The muscles are about to be replaced by new objects: keep the selection by
        // position only, as a new muscle may even reuse an old one's address.
        replacedLayer_ = doc_.layerIndexOf(selectedLayer_);
        replacedMuscle_ = selectedLayer_ ? selectedLayer_->indexOf(selectedMuscle_) : -1;
        selectedLayer_ = nullptr;
        selectedMuscle_ = nullptr;
        items_.clear();
        tracker_.cancel();
        if (dragOriginal_) {
            dragOriginal_.reset(); // of a muscle that is being replaced
            doc_.releaseLiveEdit();
        }
        return;
    }
    if (hint == CPexaDoc::HintReplaced) {
        selectedLayer_ = doc_.layerAt(replacedLayer_);
        selectedMuscle_ = selectedLayer_ ? selectedLayer_->getMuscle(replacedMuscle_) : nullptr;
        if (!selectedMuscle_) {
            selectedLayer_ = nullptr;
        }
        replacedLayer_ = replacedMuscle_ = -1;
        rebuildBackground();
    }
    if (hint == 1 || hint == CPexaDoc::HintLayer) {
        selectedLayer_ = nullptr;
        selectedMuscle_ = nullptr;
        if (layout_.settings.showBackground) {
            rebuildBackground();
        }
    }
    if (hint == CPexaDoc::HintStoring) {
        return;
    }
    refreshTitle();
    doc_.fillGridInfo(layout_.grid);
    updateScrollSizes();
}

void CPexaView::onModifiedChanged(bool modified) {
    frame_.hostWindow().setWindowModified(modified);
}

void CPexaView::activated() {
    doc_.setExportLayerSelection(
        std::vector<int32_t>(layerSelection_.begin(), layerSelection_.end()));
    refreshTitle();
}

void CPexaView::setSettings(const KUvMapSettings& settings) {
    const bool backgroundWasOn = layout_.settings.showBackground;
    layout_.settings = settings;
    if (settings.showBackground && (!backgroundWasOn || background_.isNull())) {
        rebuildBackground();
    }
    updateScrollSizes();
}

void CPexaView::setZoom(float zoom) {
    layout_.settings.zoom = zoom;
    writeZoomText();
    updateScrollSizes();
}

void CPexaView::zoomAbout(const QPointF& at, float zoom) {
    const QPointF uv = KUvMapLayout::windowToUv(mapRect(), at.x() + scrollOffset().x(),
                                                at.y() + scrollOffset().y());
    setZoom(zoom);
    const QPointF logical = KUvMapLayout::uvToWindow(mapRect(), uv.x(), uv.y());
    horizontalScrollBar()->setValue(int(std::lround(logical.x() - at.x())));
    verticalScrollBar()->setValue(int(std::lround(logical.y() - at.y())));
    viewport()->update();
}

void CPexaView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        event->ignore();
        return;
    }
    float zoom = layout_.settings.zoom;
    for (int i = 0; i < std::abs(notches); ++i) {
        const float next =
            notches > 0 ? KUvMapLayout::zoomedIn(zoom) : KUvMapLayout::zoomedOut(zoom);
        if (next < kMinWheelZoom || next > kMaxWheelZoom) {
            break;
        }
        zoom = next;
    }
    if (zoom != layout_.settings.zoom) {
        zoomAbout(event->position(), zoom);
    }
    event->accept();
}

void CPexaView::setLayerSelection(std::vector<int> selection) {
    layerSelection_ = std::move(selection);
    titleLayer_ = layerSelection_.empty() ? 0 : layerSelection_.front() + 1;
    refreshTitle();
    doc_.setExportLayerSelection(
        std::vector<int32_t>(layerSelection_.begin(), layerSelection_.end()));
    if (layout_.settings.showBackground) {
        rebuildBackground();
    }
    updateScrollSizes();
}

KUvMapLayout::MapRect CPexaView::mapRect() const {
    return layout_.mapRect(viewport()->width(), viewport()->height());
}

QPoint CPexaView::scrollOffset() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

// ---- titles and status

QString CPexaView::titleText() const {
    QString title = frame_.documentTitle();
    if (titleLayer_ >= 1) {
        const int k = titleLayer_ - 1;
        title += QStringLiteral(" - L%1: ").arg(k) + QString::fromStdString(doc_.layerMenuLabel(k));
        if (layerSelection_.size() > 1) {
            title += QStringLiteral(", ...");
        }
    } else {
        title += QStringLiteral(" - All Active Layers");
    }
    return title;
}

void CPexaView::refreshTitle() {
    if (titleLayer_ >= 1 && doc_.layerAt(titleLayer_ - 1)) {
        doc_.currentItem = CPexaDoc::ItemFirstLayer + titleLayer_ - 1;
    }
    frame_.hostWindow().setWindowTitle(titleText() + QStringLiteral("[*]"));
    frame_.hostWindow().setWindowModified(doc_.isModified());
}

void CPexaView::writeZoomText() {
    frame_.setPaneText(2, KUvMapLayout::zoomText(layout_.settings.zoom));
}

// ---- sizes

void CPexaView::updateScrollSizes() {
    const int oldWidth = std::max(1, layout_.totalWidth());
    const int oldHeight = std::max(1, layout_.totalHeight());
    const bool hadSize = layout_.totalWidth() > 0;
    QPoint pos = scrollOffset();
    layout_.update();
    const QSize client = viewport()->size();
    if (client.width() > layout_.totalWidth()) {
        pos.setX(0);
    }
    if (client.height() > layout_.totalHeight()) {
        pos.setY(0);
    }
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, layout_.totalWidth() - client.width()));
    v->setRange(0, std::max(0, layout_.totalHeight() - client.height()));
    h->setPageStep(std::max(1, client.width()));
    v->setPageStep(std::max(1, client.height()));
    h->setSingleStep(std::max(1, layout_.totalWidth() / 100));
    v->setSingleStep(std::max(1, layout_.totalHeight() / 100));
    if (hadSize) {
        // Keep the same part of the map in view.
        h->setValue(int(double(pos.x()) / oldWidth * layout_.totalWidth()));
        v->setValue(int(double(pos.y()) / oldHeight * layout_.totalHeight()));
    }
    viewport()->update();
}

void CPexaView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (viewport()->width() > 0 && viewport()->height() > 0) {
        updateScrollSizes();
    }
}

void CPexaView::scrollContentsBy(int, int) {
    // Everything is painted from the scroll position, so a scroll repaints the window.
    viewport()->update();
}

// ---- items

void CPexaView::rebuildItems() {
    items_ = kBuildMapItems(doc_, layerSelection_, layout_.settings, mapRect());
    if (selectedIndex() < 0) {
        selectedLayer_ = nullptr;
        selectedMuscle_ = nullptr;
    }
}

int CPexaView::selectedIndex() const {
    if (!selectedMuscle_) {
        return -1;
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].layer == selectedLayer_ && items_[i].muscle == selectedMuscle_) {
            return int(i);
        }
    }
    return -1;
}

// ---- background

void CPexaView::rebuildBackground() {
    background_ = QImage();
    // The last layer (in selection order, else document order) that has an image.
    std::vector<int> order = layerSelection_;
    if (order.empty()) {
        for (size_t k = 0; k < doc_.layers.size(); ++k) {
            order.push_back(int(k));
        }
    }
    const KImageMapTga* image = nullptr;
    for (int k : order) {
        const KBdlLayer* layer = doc_.layerAt(k);
        if (layer && layer->imageMap) {
            if (auto* tga = dynamic_cast<const KImageMapTga*>(layer->imageMap.get())) {
                image = tga;
            }
        }
    }
    if (!image || image->width() <= 0 || image->height() <= 0) {
        return;
    }
    const int w = image->width();
    const int h = image->height();
    QImage bitmap(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t c = image->displayColor(x, y);
            // Image row 0 lies at the bottom, like V = 0.
            bitmap.setPixel(x, h - 1 - y,
                            qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
        }
    }
    background_ = bitmap;
}

// ---- painting

void CPexaView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.translate(-scrollOffset());
    const KUvMapLayout::MapRect r = mapRect();
    if (layout_.settings.showBackground && !background_.isNull()) {
        p.drawImage(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)), background_);
    }
    if (layout_.settings.showLegend) {
        drawLegend(p, r);
    }
    if (layout_.settings.showGrid) {
        drawGrid(p, r);
    }
    rebuildItems();
    // The items may have changed since the pointer last moved (deleted, renamed): the
    // item pane names what is shown now.
    writeItemPane();
    const int selected = selectedIndex();
    for (size_t i = 0; i < items_.size(); ++i) {
        drawItem(p, items_[i], int(i) == selected);
    }
    if (selected >= 0) {
        drawItem(p, items_[size_t(selected)], true);
    }
    drawToolFeedback(p);
}

void CPexaView::drawLegend(QPainter& p, const KUvMapLayout::MapRect& r) const {
    constexpr int n = 20;
    constexpr int gap = 4;
    constexpr int longTick = 9;
    constexpr int quarterTick = 7;
    constexpr int divisionTick = 4;
    p.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    const int h = r.bottom - r.top;
    const int w = r.right - r.left;
    const int x0 = r.left - gap;
    p.drawLine(x0, r.bottom, x0, r.top);
    for (double f : {0.0, 10.0, 20.0}) {
        const int y = r.bottom - int(f * h / n);
        p.drawLine(x0, y, x0 - longTick, y);
    }
    for (double q : {0.25, 0.75}) {
        const int y = r.bottom - int(n * q * h / n);
        p.drawLine(x0, y, x0 - quarterTick, y);
    }
    for (int i = 0; i < n; ++i) {
        const int y = r.bottom - int(double(i) * h / n);
        p.drawLine(x0, y, x0 - divisionTick, y);
    }
    const int y0 = r.top - gap;
    p.drawLine(r.left, y0, r.left + w, y0);
    for (double f : {0.0, 10.0, 20.0}) {
        const int x = r.left + int(f * w / n);
        p.drawLine(x, y0, x, y0 - longTick);
    }
    for (double q : {0.25, 0.75}) {
        const int x = r.left + int(n * q * w / n);
        p.drawLine(x, y0, x, y0 - quarterTick);
    }
    for (int i = 0; i < n; ++i) {
        const int x = r.left + int(double(i) * w / n);
        p.drawLine(x, y0, x, y0 - divisionTick);
    }
}

void CPexaView::drawGrid(QPainter& p, const KUvMapLayout::MapRect& r) const {
    const int step = std::max(1, layout_.settings.tickStep);
    p.setPen(QPen(QColor(192, 192, 192), 0, Qt::SolidLine));
    for (int i = 0; i <= layout_.grid.uCount; i += step) {
        const int x = r.left + i * layout_.cellWidth();
        p.drawLine(x, r.bottom, x, r.top);
    }
    for (int i = 0; i <= layout_.grid.vCount; i += step) {
        const int y = r.bottom - i * layout_.cellHeight();
        p.drawLine(r.left, y, r.right, y);
    }
    // The border: its lines lie on left, top, right and bottom (a stroked rectangle
    // covers its width plus one pixel).
    p.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void CPexaView::drawItem(QPainter& p, const KMapItem& item, bool selected) const {
    const KMapItemStyle style =
        kMapItemStyle(doc_, item, selected, layout_.settings.drawTransparent);
    const QPen pen(packedColor(style.color), 0, style.pen);
    const QPolygon outline = truncated(item.outline);
    if (style.fillWhite && outline.size() >= 3) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(outline, Qt::WindingFill);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    const QPolygon center = truncated(item.centerLine);
    if (center.size() > 1) {
        p.drawPolyline(center);
    }
    if (outline.size() > 1) {
        p.drawPolyline(outline);
    }
    if (selected && !layout_.settings.drawFullCurves) {
        for (const QPoint& c : center) {
            p.drawRect(QRect(c.x() - 2, c.y() - 2, 4, 4));
        }
    }
}

// ---- commands

void CPexaView::zoomIn() {
    setZoom(KUvMapLayout::zoomedIn(layout_.settings.zoom));
}
void CPexaView::zoomOut() {
    setZoom(KUvMapLayout::zoomedOut(layout_.settings.zoom));
}
void CPexaView::resetZoom() {
    setZoom(1.0f);
}

void CPexaView::customScale() {
    CScalingPercentDlg dlg(int(layout_.settings.zoom * 100.0f), this);
    if (runDialog(dlg)) {
        setZoom(float(dlg.percent() * 0.01));
    }
}

void CPexaView::properties() {
    CGridViewPropertiesDlg dlg(layout_.settings, this);
    if (runDialog(dlg)) {
        setSettings(dlg.result(layout_.settings));
    }
}

void CPexaView::selectLayers() {
    if (doc_.layers.empty()) {
        kUi().message("There are no User layer's to select!.", KUi::Icon::Information);
        return;
    }
    CSelectLayersDlg dlg(kLayerNames(doc_), layerSelection_, this);
    if (runDialog(dlg)) {
        setLayerSelection(dlg.selection());
    }
}

QMenu* CPexaView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(tr("View&Grid"), parent);
    menu->addAction(tr("Modify &Item..."), this, &CPexaView::modifyItem);
    menu->addAction(tr("Select &Layers..."), this, &CPexaView::selectLayers);
    menu->addAction(tr("Edit &Splines\t(left dbl-click)"), this, &CPexaView::editSplines);
    QMenu* zoom = menu->addMenu(tr("&Zoom"));
    zoom->addAction(tr("&Plus"), this, &CPexaView::zoomIn);
    zoom->addAction(tr("&Minus"), this, &CPexaView::zoomOut);
    zoom->addAction(tr("&Clear"), this, &CPexaView::resetZoom);
    zoom->addAction(tr("&Define..."), this, &CPexaView::customScale);
    menu->addSeparator();
    menu->addAction(tr("&Properties..."), this, &CPexaView::properties);
    return menu;
}

void CPexaView::contextMenuEvent(QContextMenuEvent* event) {
    // Mouse presses are handled on release above; the menu key opens it here.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
