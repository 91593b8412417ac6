#include "views/KViewImage.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>

#include "dialogs/KImageViewDialogs.h"
#include "dialogs/KPreviewDialogs.h"
#include "document/CPexaDoc.h"
#include "document/KDisplacementImage.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "image/KImageMapTga.h"
#include "platform/KUi.h"

namespace {

const char* const kSingleLayerText = "Please select a view that is attached to a single layer.";

void inform(const char* text) {
    kUi().message(text, KUi::Icon::Information);
}

KFileRequest tgaRequest(bool save) {
    KFileRequest request;
    request.save = save;
    request.title = save ? QObject::tr("Export Image") : QObject::tr("Import Image");
    request.filter = QObject::tr("TGA Files (*.tga)");
    request.defaultSuffix = QStringLiteral("tga");
    request.initialName = save ? QStringLiteral("untitled") : QStringLiteral("temp");
    return request;
}

} // namespace

KViewImage::KViewImage(CPexaDoc& doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc) {
    setObjectName(QStringLiteral("imageView"));
    doc_.addObserver(this);

    const auto make = [this](const char* name, const QString& text, const QString& prompt,
                             void (KViewImage::*command)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setStatusTip(prompt);
        if (command) {
            connect(a, &QAction::triggered, this, [this, command] { (this->*command)(); });
        }
        return a;
    };
    selectLayersAct_ = make("imageSelectLayers", tr("Select Layers..."),
                            tr("Choose the layers the image shows"), &KViewImage::selectLayers);
    rebuildAct_ =
        make("imageRebuild", tr("Rebuild"), tr("Build the image again"), &KViewImage::rebuild);
    pixelFormatAct_ =
        make("imagePixelFormat", tr("Pixel Format"), tr("How the heights are stored in the pixels"),
             &KViewImage::pixelFormat);
    propertiesAct_ = make("imageProperties", tr("Properties..."), tr("Image resolution and scale"),
                          &KViewImage::properties);
    importAct_ = make("imageImportTga", tr("TGA..."), tr("Import Image"), &KViewImage::importTga);
    exportAct_ = make("imageExportTga", tr("&TGA..."), tr("Save the image as a TGA file"),
                      &KViewImage::exportTga);
    flipHorizontalAct_ =
        make("imageFlipHorizontal", tr("Flip &Horizontal"),
             tr("Mirror the layer's image map left to right"), &KViewImage::flipHorizontal);
    flipVerticalAct_ =
        make("imageFlipVertical", tr("Flip &Verticle"),
             tr("Mirror the layer's image map top to bottom"), &KViewImage::flipVertical);
    windowFromImageAct_ = make("imageWindowFromImage", tr("Window from Image"), QString(), nullptr);
    windowFromImageAct_->setEnabled(false);
    updateScrollBars();
}

KViewImage::~KViewImage() {
    doc_.removeObserver(this);
}

// ---- updates and activation

void KViewImage::initialUpdate() {
    setScrollSize(QSize(doc_.imageResolutionU, doc_.imageResolutionV));
    selectLayers();
}

void KViewImage::onUpdate(int hint, KPersistent* object) {
    (void)object;
    // The note before the document is stored changes nothing the image shows.
    if (hint != CPexaDoc::HintStoring) {
        needsRebuild = 1;
    }
    refreshTitle(); // a layer may have been renamed or removed
}

void KViewImage::activated() {
    if (needsRebuild) {
        build();
        viewport()->update();
    }
    if (attachedLayer > 0 && doc_.layerAt(attachedLayer - 1)) {
        doc_.currentItem = CPexaDoc::ItemFirstLayer + attachedLayer - 1;
    }
    refreshTitle();
}

// ---- title

QString KViewImage::titleSuffix(const CPexaDoc& doc, const std::vector<int32_t>& selection) {
    if (selection.empty()) {
        return QStringLiteral(" - All Active Layers");
    }
    const int k = selection.front();
    QString suffix = QStringLiteral(" - L%1: ").arg(k) + QString::fromStdString(doc.layerName(k));
    if (selection.size() > 1) {
        suffix += QStringLiteral(", ...");
    }
    return suffix;
}

QString KViewImage::titleText() const {
    QString title;
    if (documentTitle) {
        title = documentTitle();
    } else if (!doc_.pathName().empty()) {
        title = QFileInfo(QString::fromStdString(doc_.pathName())).fileName();
    } else {
        title = QStringLiteral("(untitled)");
    }
    // Before any selection the view shows all active layers.
    return title + titleSuffix(doc_, attachedLayer > 0 ? selectedLayers : std::vector<int32_t>{});
}

void KViewImage::refreshTitle() {
    const QString title = titleText();
    setWindowTitle(title);
    if (QMdiSubWindow* f = frame()) {
        f->setWindowTitle(title);
    }
}

QMdiSubWindow* KViewImage::frame() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            return sub;
        }
    }
    return nullptr;
}

// ---- building

void KViewImage::setSelection(std::vector<int32_t> selection) {
    selectedLayers = std::move(selection);
    userLayerCount = int(doc_.layers.size());
    attachedLayer = selectedLayers.empty() ? 0 : selectedLayers.front() + 1;
    refreshTitle();
}

bool KViewImage::build() {
    if (building_) {
        return false; // the progress window let an activation or paint in meanwhile
    }
    building_ = true;
    if (!image) {
        image = std::make_unique<KImageMapTga>();
        image->setFormat(8, KImageMap::OptionGray8);
    }
    KDisplacementImageRequest request;
    request.width = imageWidth;
    request.height = imageHeight;
    request.scale = scale;
    if (attachedLayer > 0) {
        request.layers.assign(selectedLayers.begin(), selectedLayers.end());
    }
    const bool finished = kBuildDisplacementImage(doc_, request, *image);
    needsRebuild = 0;
    picture_ = QImage();
    building_ = false;
    setScrollSize(QSize(imageWidth, imageHeight));
    updateCommands();
    return finished && image->hasPixels();
}

QImage KViewImage::picture(const KImageMapTga& image) {
    if (!image.hasPixels()) {
        return QImage();
    }
    const int w = image.width();
    const int h = image.height();
    QImage out(w, h, QImage::Format_RGB32);
    for (int r = 0; r < h; ++r) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(h - 1 - r));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = image.displayColor(x, r);
            line[x] = qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
        }
    }
    return out;
}

// ---- commands

void KViewImage::selectLayers() {
    if (doc_.layers.empty()) {
        inform("There are no User layer's to select!.");
        return;
    }
    CPreviewSelectLayersDlg dlg(kLayerNames(doc_), CPexaDoc::Skinned, selectedLayers, this);
    // The image sums layers; the preview's mesh type means nothing here.
    dlg.skinned->parentWidget()->hide();
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return;
    }
    setSelection(dlg.selection());
    // The window is active while its command runs: its layer is the current one now.
    if (attachedLayer > 0 && doc_.layerAt(attachedLayer - 1)) {
        doc_.currentItem = CPexaDoc::ItemFirstLayer + attachedLayer - 1;
    }
    build();
    viewport()->update();
}

void KViewImage::rebuild() {
    build();
    viewport()->update();
}

void KViewImage::pixelFormat() {
    if (!image) {
        return;
    }
    // Any of the choices may be picked: the image is built anew in the chosen format.
    if (image->askPixelDepthOptionFor(image->pixelDepth(), 0) != 0) {
        return;
    }
    image->setFormat(0, image->pixelDepthOption);
    image->resize(imageWidth, imageHeight);
    build();
    viewport()->update();
}

void KViewImage::properties() {
    KImageViewProperties values;
    values.width = imageWidth;
    values.height = imageHeight;
    values.interpolateHeights = interpolateHeights;
    values.scale = scale;
    KImageViewPropertiesDlg dlg(values, this);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return;
    }
    values = dlg.values();
    imageWidth =
        std::clamp(values.width, KImageViewProperties::kMinSize, KImageViewProperties::kMaxSize);
    imageHeight =
        std::clamp(values.height, KImageViewProperties::kMinSize, KImageViewProperties::kMaxSize);
    interpolateHeights = values.interpolateHeights;
    scale = values.scale;
    build();
    viewport()->update();
}

void KViewImage::importTga() {
    if (attachedLayer <= 0) {
        kUi().message(std::string("Image maps must be attached to a specific layer. ") +
                          kSingleLayerText,
                      KUi::Icon::Information);
        return;
    }
    const int k = attachedLayer - 1;
    if (!doc_.importImageAllowed(k)) {
        return;
    }
    const QString path = kChooseFile(this, tgaRequest(false));
    if (path.isEmpty()) {
        return;
    }
    doc_.importImageFile(k, path.toStdString());
    doc_.nameNextEdit("Import Image");
    doc_.setModified(true);
    refreshAfterChange();
}

void KViewImage::exportTga() {
    if (!image || !image->hasPixels()) {
        return;
    }
    const QString path = kChooseFile(this, tgaRequest(true));
    if (path.isEmpty()) {
        return;
    }
    // Rows are written as held: the file's first row is v = 0.
    std::string reason;
    if (image->save(path.toStdString(), &reason) != KImageMapTga::SaveOk) {
        kUi().message("Failed to save the displacement image map!\n" + reason, KUi::Icon::Error);
    }
}

void KViewImage::flipHorizontal() {
    flip(true);
}

void KViewImage::flipVertical() {
    flip(false);
}

int KViewImage::attachedLayerIndex(bool report) const {
    if (attachedLayer <= 0) {
        if (report) {
            inform(kSingleLayerText);
        }
        return -1;
    }
    if (!doc_.layerAt(attachedLayer - 1)) {
        if (report) {
            kUi().message("Failed to open attached layer!", KUi::Icon::Error);
        }
        return -1;
    }
    return attachedLayer - 1;
}

void KViewImage::flip(bool horizontal) {
    const int k = attachedLayerIndex(true);
    if (k < 0) {
        return;
    }
    KBdlLayer* layer = doc_.layerAt(k);
    KImageMap* map = layer->getImageMap();
    if (!map) {
        return; // nothing to flip (the commands are disabled then)
    }
    if (horizontal) {
        map->flipHorizontal();
    } else {
        map->flipVertical();
    }
    // The document stores only the image's file name: saving offers to write it back.
    map->changedSinceLoad = true;
    // The layer's heights changed: the mesh and every other view must follow.
    doc_.nameNextEdit("Flip Image");
    doc_.itemChanged(CPexaDoc::HintLayer, layer);
    refreshAfterChange();
}

void KViewImage::refreshAfterChange() {
    if (needsRebuild) {
        build();
    }
    viewport()->repaint();
}

// ---- menu

QMenu* KViewImage::imageMenu() {
    if (!menu_) {
        menu_ = new QMenu(tr("&Image"), this);
        menu_->addAction(selectLayersAct_);
        menu_->addAction(rebuildAct_);
        menu_->addAction(pixelFormatAct_);
        menu_->addAction(propertiesAct_);
        menu_->addSeparator();
        menu_->addMenu(tr("&Import"))->addAction(importAct_);
        menu_->addMenu(tr("&Export"))->addAction(exportAct_);
        menu_->addSeparator();
        menu_->addAction(flipHorizontalAct_);
        menu_->addAction(flipVerticalAct_);
        menu_->addSeparator();
        menu_->addAction(windowFromImageAct_);
        connect(menu_, &QMenu::aboutToShow, this, &KViewImage::updateCommands);
    }
    updateCommands();
    return menu_;
}

void KViewImage::updateCommands() {
    pixelFormatAct_->setEnabled(image != nullptr);
    exportAct_->setEnabled(image && image->hasPixels());
    // Flipping needs an image on the attached layer; without an attached layer the
    // commands stay enabled and say why they cannot act.
    const int k = attachedLayerIndex(false);
    const bool flippable = k < 0 || doc_.layerAt(k)->getImageMap() != nullptr;
    flipHorizontalAct_->setEnabled(flippable);
    flipVerticalAct_->setEnabled(flippable);
    windowFromImageAct_->setEnabled(false);
}

void KViewImage::contextMenuEvent(QContextMenuEvent* event) {
    imageMenu()->exec(event->globalPos());
}

// ---- drawing and scrolling

void KViewImage::setScrollSize(QSize size) {
    if (size != scrollSize_) {
        scrollSize_ = size;
        updateScrollBars();
    }
}

void KViewImage::updateScrollBars() {
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, scrollSize_.width() - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, scrollSize_.height() - client.height()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
}

void KViewImage::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void KViewImage::scrollContentsBy(int dx, int dy) {
    (void)dx;
    (void)dy;
    viewport()->update();
}

void KViewImage::paintEvent(QPaintEvent* event) {
    (void)event;
    setScrollSize(QSize(imageWidth, imageHeight));
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Window));
    if (!image) {
        // Building runs the progress window, which handles events: never from inside a
        // paint. It runs as soon as this paint is over.
        if (!building_ && !buildQueued_) {
            buildQueued_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    buildQueued_ = false;
                    if (!image) {
                        build();
                        viewport()->update();
                    }
                },
                Qt::QueuedConnection);
        }
        return;
    }
    if (!image->hasPixels()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop,
                   tr(kFailedText));
        return;
    }
    if (picture_.isNull()) {
        KWaitCursor wait;
        picture_ = picture(*image);
    }
    p.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()), picture_);
}
