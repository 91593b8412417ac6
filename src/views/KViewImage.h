#pragma once
// The displacement image window: a grey picture of the object's heights, sampled on a
// U x V grid of its own from chosen user layers (or from the whole surface) into an
// image map and drawn with v growing upwards. From here the user also imports a TGA
// file into the layer the view is attached to, flips that layer's image, saves the
// built image as a TGA file and changes its resolution and pixel format.

#include <QAbstractScrollArea>
#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/KDocumentBase.h"

class CPexaDoc;
class KImageMapTga;
class QAction;
class QMdiSubWindow;
class QMenu;

class KViewImage : public QAbstractScrollArea, public KViewObserver {
    Q_OBJECT
public:
    explicit KViewImage(CPexaDoc& doc, QWidget* parent = nullptr);
    ~KViewImage() override;

    CPexaDoc& document() const { return doc_; }
    // The document's part of the window title. Without one the document's file name (or
    // "(untitled)") is used.
    std::function<QString()> documentTitle;

    // First update once the window is in place: the scroll size from the document's
    // image size, then "Select Layers".
    void initialUpdate();
    // Every document update but the note before storing marks the image out of date.
    void onUpdate(int hint, KPersistent* object) override;
    // The window became active: rebuild when out of date, make the attached layer the
    // document's current item, refresh the title.
    void activated();

    // ---- the commands of the "&Image" menu and the context menu
    void selectLayers();
    void rebuild();
    void pixelFormat();
    void properties();
    void importTga();
    void exportTga();
    void flipHorizontal();
    void flipVertical();
    // The menu whose entries act on this view (shared by the context menu and the main
    // window's "&Image" menu). Its enabled states are refreshed before it shows.
    QMenu* imageMenu();
    void updateCommands();

    // Builds the image from the document under the progress window. False when the user
    // cancelled (the rows built so far stay) or the image could not be made.
    bool build();
    // Replaces the layer selection: attached layer, layer count and title follow.
    void setSelection(std::vector<int32_t> selection);

    // The title after the document's name: " - L<k>: <name>" for the first selected
    // layer k (", ..." added when more are selected), or " - All Active Layers".
    static QString titleSuffix(const CPexaDoc& doc, const std::vector<int32_t>& selection);
    QString titleText() const;
    void refreshTitle();
    // The image as it is drawn: one pixel per image pixel in its display colour, image
    // row r at picture row height - 1 - r (v grows upwards).
    static QImage picture(const KImageMapTga& image);
    // The size the scroll bars span.
    QSize scrollSize() const { return scrollSize_; }
    // The frame the view sits in, if any.
    QMdiSubWindow* frame() const;

    static constexpr const char* kFailedText = "Failed to build displacement image map!";

    // ---- state
    // User layer indices in selection order.
    std::vector<int32_t> selectedLayers;
    // The number of user layers when the selection was made.
    int userLayerCount = 0;
    // 1 + the first selected index; 0 for all active layers, -1 before any selection.
    int attachedLayer = -1;
    int imageWidth = 100;  // U samples, 1 to 512
    int imageHeight = 100; // V samples, 1 to 512
    // Kept and edited, not used by the build.
    int interpolateHeights = 0;
    // Factor applied to every sampled value.
    float scale = 1.0f;
    std::unique_ptr<KImageMapTga> image;
    int needsRebuild = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void setScrollSize(QSize size);
    void updateScrollBars();
    // The attached layer's index when it names a layer of the document, else -1 (with
    // the message of the flip commands when report is set).
    int attachedLayerIndex(bool report) const;
    void flip(bool horizontal);
    // After a command of this view changed the document: the window is active, so it
    // shows the new heights at once instead of at the next activation.
    void refreshAfterChange();

    CPexaDoc& doc_;
    QSize scrollSize_{100, 100};
    QImage picture_; // cache of picture(*image), null when out of date
    bool building_ = false;
    bool buildQueued_ = false;
    QMenu* menu_ = nullptr;
    QAction* selectLayersAct_ = nullptr;
    QAction* rebuildAct_ = nullptr;
    QAction* pixelFormatAct_ = nullptr;
    QAction* propertiesAct_ = nullptr;
    QAction* importAct_ = nullptr;
    QAction* exportAct_ = nullptr;
    QAction* flipHorizontalAct_ = nullptr;
    QAction* flipVerticalAct_ = nullptr;
    QAction* windowFromImageAct_ = nullptr;
};
