#pragma once
// The UV map view: the object's unit UV square drawn as its sample grid with rulers, an
// optional background image from a layer, and every muscle of the shown layers as a
// center line and an outline in its texture's colour. The geometry lives in
// KUvMapLayout and kBuildMapItems; this class paints it and runs the view's commands.

#include <QAbstractScrollArea>
#include <QImage>
#include <optional>
#include <vector>

#include "platform/KDocumentBase.h"
#include "views/KMapItem.h"
#include "views/KUvMapLayout.h"

class CChildFrame;
class CPexaDoc;
class KBdlLayer;
class KBdlMuscle;
class QMenu;

class CPexaView : public QAbstractScrollArea, public KViewObserver {
    Q_OBJECT
public:
    CPexaView(CPexaDoc& doc, CChildFrame& frame, QWidget* parent = nullptr);
    ~CPexaView() override;

    CPexaDoc& document() const { return doc_; }
    CChildFrame& frame() const { return frame_; }

    // First update after the frame is built: grid info, drawing ratios, sizes, zoom text.
    void initialUpdate();
    void onUpdate(int hint, KPersistent* object) override;
    void onModifiedChanged(bool modified) override;
    // The frame became the active window: the layer selection goes to the document and
    // the title layer becomes the current item.
    void activated();

    const KUvMapLayout& layout() const { return layout_; }
    const KUvMapSettings& settings() const { return layout_.settings; }
    void setSettings(const KUvMapSettings& settings);
    void setZoom(float zoom);
    const std::vector<int>& layerSelection() const { return layerSelection_; }
    void setLayerSelection(std::vector<int> selection);
    int titleLayer() const { return titleLayer_; }
    // The map rectangle for the current client area (scroll area coordinates).
    KUvMapLayout::MapRect mapRect() const;
    // The items as drawn by the last paint (rebuilt from the document).
    const std::vector<KMapItem>& items() const { return items_; }
    void rebuildItems();
    QString titleText() const;
    const QImage& backgroundImage() const { return background_; }

    // The view's commands.
    void zoomIn();
    void zoomOut();
    void resetZoom();
    void customScale();
    void properties();
    void selectLayers();
    // F12: "File Export: Testing Routines" for this view's document.
    void exportTesting();
    QMenu* createContextMenu(QWidget* parent);

    // Recomputes cell and scroll sizes, keeping the same part of the map in view.
    void updateScrollSizes();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void refreshTitle();
    void writeZoomText();
    void rebuildBackground();
    void drawLegend(QPainter& p, const KUvMapLayout::MapRect& r) const;
    void drawGrid(QPainter& p, const KUvMapLayout::MapRect& r) const;
    void drawItem(QPainter& p, const KMapItem& item, bool selected) const;
    int selectedIndex() const;
    QPoint scrollOffset() const;

    CPexaDoc& doc_;
    CChildFrame& frame_;
    KUvMapLayout layout_;
    std::vector<int> layerSelection_;
    int titleLayer_ = 0;
    std::vector<KMapItem> items_;
    // The selected item by what it stands for, so it survives rebuilding the items.
    KBdlLayer* selectedLayer_ = nullptr;
    KBdlMuscle* selectedMuscle_ = nullptr;
    QImage background_;
};
