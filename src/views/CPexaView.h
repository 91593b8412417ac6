#pragma once
// The UV map view: the object's unit UV square drawn as its sample grid with rulers, an
// optional background image from a layer, and every muscle of the shown layers as a
// center line and an outline in its texture's colour. The geometry lives in
// KUvMapLayout and kBuildMapItems; this class paints it and runs the view's commands.

#include <QAbstractScrollArea>
#include <QImage>
#include <functional>
#include <optional>
#include <vector>

#include "platform/KDocumentBase.h"
#include "views/KItemTracker.h"
#include "views/KMapItem.h"
#include "views/KUvMapLayout.h"

class KViewHost;
class CPexaDoc;
class KBdlLayer;
class KBdlMuscle;
class QDialog;
class QMenu;

class CPexaView : public QAbstractScrollArea, public KViewObserver {
    Q_OBJECT
public:
    CPexaView(CPexaDoc& doc, KViewHost& frame, QWidget* parent = nullptr);
    ~CPexaView() override;

    CPexaDoc& document() const { return doc_; }
    KViewHost& frame() const { return frame_; }

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
    // Changes the zoom keeping the map point under at (viewport coordinates) under it,
    // as far as the scroll range allows.
    void zoomAbout(const QPointF& at, float zoom);
    // The zoom range the mouse wheel keeps to.
    static constexpr float kMinWheelZoom = 1.0f / 16.0f;
    static constexpr float kMaxWheelZoom = 16.0f;
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

    // ---- the mouse tools (CPexaViewTools.cpp)
    // Tool: 0 Selection Pointer, 1 Vertical, 2 Orbital, 3 Point (KTool). Creation
    // method: 1 Fit to Bounds, 2 Fit to Line (KCreationMethod).
    int tool() const { return tool_; }
    int creationMethod() const { return creationMethod_; }
    int lineMidPoints() const { return lineMidPoints_; }
    double lineWidth() const { return lineWidth_; }
    // 0: double click and E open the item editor; 1: the muscle property sheet.
    int editMode() const { return editMode_; }
    void setEditMode(int mode) { editMode_ = mode; }
    bool includeFrame() const { return includeFrame_; }
    int captureTarget() const { return captureTarget_; }

    // The "New Item" commands. Point is refused under Fit to Line and Fit to Line under
    // Point; Fit to Line asks for the line's mid points and width.
    void toolPointer();
    void toolVertical();
    void toolOrbital();
    void toolPoint();
    void fitToBounds();
    void fitToLine();
    void repeatItem();
    // "Modify Item..." (property sheet) and "Edit Splines" (item editor).
    void modifyItem();
    void editSplines();
    // The item clipboard of the main frame, shared by all documents.
    void copyItem();
    void cutItem();
    void pasteItem();
    bool canPaste() const;
    void setViewSize();
    void captureView();
    // File > Import > TGA... while this view is active.
    void importImage();
    // Removes the selected muscle from the document; the item before it is selected.
    // editName names the change in the undo history.
    void deleteSelectedItem(const char* editName = "Delete");

    // The item under p (logical coordinates), -1 for none.
    int hitTest(const QPoint& logical) const;
    // Selects item index of the current list (-1: none) and places the tracker on it.
    void selectItem(int index);
    int selectedItemIndex() const { return selectedIndex(); }
    KBdlMuscle* selectedMuscle() const { return selectedMuscle_; }
    KBdlLayer* selectedLayer() const { return selectedLayer_; }
    const KItemTracker& tracker() const { return tracker_; }
    // The creation drag under way: press point and current point (logical coordinates).
    bool rubberBandActive() const { return capturing_; }
    QRect rubberBand() const { return QRect(pressPoint_, currentPoint_); }
    // Opens a muscle for editing with the given edit mode; a reported change reaches
    // the document (hint 3) under editName in the undo history.
    void editItem(KBdlMuscle& muscle, int mode, const char* editName = "Manual Edit");
    // editItem on the selected muscle; says so when none is selected.
    void editSelected(int mode);

    // What opens a muscle for editing: (view, muscle, edit mode), true when it changed
    // the muscle. Replaceable by the application; the default says it is unavailable.
    static std::function<bool(CPexaView&, KBdlMuscle&, int)>& editItemHandler();
    // F11: the document's texture list editor. The default says it is unavailable.
    static std::function<void(CPexaView&)>& textureListHandler();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The wheel zooms about the pointer, one zoom step per notch.
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab walks the items instead of moving the focus.
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Runs one of the view's dialogs modally; true for OK.
    bool runDialog(QDialog& dialog);
    // Asks for a file: caption, Qt name filter, default extension (no dot), initial
    // name, and whether it is written (save) or read. Empty: cancelled.
    QString chooseFile(const QString& caption, const QString& filter, const QString& extension,
                       const QString& initialName, bool save);
    // Tools (CPexaViewTools.cpp).
    QPoint logicalPos(const QMouseEvent* event) const;
    void writeStatusPanes(const QPoint& logical);
    // Pane 0: the selected item, else the item under the pointer's last position, else
    // that position.
    void writeItemPane();
    void updateCursor(const QPoint& logical);
    void createMuscle(const QPoint& release, bool keepTool);
    KBdlLayer* targetLayer() const;
    void applyTracker(const QRect& oldBox, const QRect& newBox, int handle);
    // While the tracker is dragged the muscle follows it: mouse moves only ask for an
    // update, and the latest position is applied once per turn of the event loop.
    void scheduleDragUpdate();
    void showDragPosition();
    // Puts the dragged muscle back as the drag found it; true when it had been changed.
    bool restoreDraggedMuscle();
    bool walkSelection(int key, Qt::KeyboardModifiers modifiers);
    void commandsChanged();
    void drawToolFeedback(QPainter& p);
    void refreshTitle();
    void writeZoomText();
    void rebuildBackground();
    void drawLegend(QPainter& p, const KUvMapLayout::MapRect& r) const;
    void drawGrid(QPainter& p, const KUvMapLayout::MapRect& r) const;
    void drawItem(QPainter& p, const KMapItem& item, bool selected) const;
    int selectedIndex() const;
    QPoint scrollOffset() const;

    CPexaDoc& doc_;
    KViewHost& frame_;
    KUvMapLayout layout_;
    std::vector<int> layerSelection_;
    int titleLayer_ = 0;
    std::vector<KMapItem> items_;
    // The selected item by what it stands for, so it survives rebuilding the items.
    KBdlLayer* selectedLayer_ = nullptr;
    KBdlMuscle* selectedMuscle_ = nullptr;
    QImage background_;

    int tool_ = 0;
    int creationMethod_ = 1;
    int lineMidPoints_ = 1;
    double lineWidth_ = 0.05;
    int editMode_ = 0;
    bool includeFrame_ = true;
    int captureTarget_ = 0;
    bool capturing_ = false;
    // After Escape ended a drag the button's release belongs to no tool.
    bool swallowRelease_ = false;
    QPoint pressPoint_;
    QPoint currentPoint_;
    // Where the pointer last moved over the view (logical coordinates), once it has.
    std::optional<QPoint> pointer_;
    KItemTracker tracker_;
    // The dragged muscle as the drag found it, once the drag has changed it.
    std::unique_ptr<KBdlMuscle> dragOriginal_;
    bool dragUpdatePending_ = false;
    // The selection by position while an undo or redo replaces the muscles.
    int replacedLayer_ = -1;
    int replacedMuscle_ = -1;
};
