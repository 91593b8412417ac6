// The UV map view's tools: drawing muscles with the mouse, selecting and tracking the
// selected item, the keyboard, the item clipboard, repeat, view size, capture and the
// image import. The geometry and bookkeeping live in KMapItemTools, KItemTracker,
// KRepeatItems and KViewCapture; this file connects them to the window. Every change
// is named for the document's undo history.

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "dialogs/KMuscleDialogs.h"
#include "dialogs/KViewImportDlg.h"
#include "dialogs/KViewToolDialogs.h"
#include "document/CPexaDoc.h"
#include "edit/KRepeatItems.h"
#include "gui/KAppServices.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "gui/KStatusPaneBar.h"
#include "gui/KViewHost.h"
#include "image/KImageMapTga.h"
#include "model/KBdlLayer.h"
#include "model/KBdlMuscle.h"
#include "platform/KUi.h"
#include "views/CPexaView.h"
#include "views/KMapItemTools.h"
#include "views/KViewCapture.h"
#include <QMdiSubWindow>

namespace {

const char* const kSelectFirst = "You must select an item first.";
const char* const kSelectToEdit = "You must select an item to edit first.";
const char* const kPointNeedsRect =
    "Point types require a bounding rectangle, and do not follow a line.";

} // namespace

bool CPexaView::runDialog(QDialog& dialog) {
    return kRunDialog(dialog) == QDialog::Accepted;
}

QString CPexaView::chooseFile(const QString& caption, const QString& filter,
                              const QString& extension, const QString& initialName, bool save) {
    return kChooseFile(this, {.save = save,
                              .title = caption,
                              .filter = filter,
                              .defaultSuffix = extension,
                              .initialName = initialName + QLatin1Char('.') + extension,
                              .inWorkingFolder = true});
}

std::function<bool(CPexaView&, KBdlMuscle&, int)>& CPexaView::editItemHandler() {
    // Edit mode 0 opens the document's item editor on the muscle; mode 1 (and a view
    // outside the main window) the property sheet, which reports its own change to the
    // document, so the view only resizes here and returns false.
    static std::function<bool(CPexaView&, KBdlMuscle&, int)> handler =
        [](CPexaView& view, KBdlMuscle& muscle, int mode) {
            KAppServices* app = kAppServices(&view);
            if (mode == 0 && app) {
                app->openItemEditor(view.document(), muscle);
                return false;
            }
            if (kEditMuscleProperties(&view, view.document(), muscle)) {
                view.updateScrollSizes();
            }
            return false;
        };
    return handler;
}

std::function<void(CPexaView&)>& CPexaView::textureListHandler() {
    // The main frame's texture list test (F11 there too).
    static std::function<void(CPexaView&)> handler = [](CPexaView& view) {
        if (KAppServices* app = kAppServices(&view)) {
            app->textureListTest();
        }
    };
    return handler;
}

void CPexaView::commandsChanged() {
    if (KAppServices* app = kAppServices(this)) {
        app->updateCommands();
    }
}

// ---- tools and methods

void CPexaView::toolPointer() {
    tool_ = ToolPointer;
    commandsChanged();
}

void CPexaView::toolVertical() {
    tool_ = ToolVertical;
    commandsChanged();
}

void CPexaView::toolOrbital() {
    tool_ = ToolOrbital;
    commandsChanged();
}

void CPexaView::toolPoint() {
    if (creationMethod_ != FitToBounds) {
        kUi().message(kPointNeedsRect, KUi::Icon::Information);
    } else {
        tool_ = ToolPoint;
    }
    commandsChanged();
}

void CPexaView::fitToBounds() {
    creationMethod_ = FitToBounds;
    commandsChanged();
}

void CPexaView::fitToLine() {
    if (tool_ == ToolPoint) {
        kUi().message(kPointNeedsRect, KUi::Icon::Information);
        commandsChanged();
        return;
    }
    creationMethod_ = FitToLine;
    KLineItemDlg dlg(lineMidPoints_, lineWidth_, this);
    if (runDialog(dlg)) {
        lineMidPoints_ = dlg.midPoints();
        lineWidth_ = dlg.width();
    }
    commandsChanged();
}

// ---- selection

int CPexaView::hitTest(const QPoint& logical) const {
    return kHitTest(items_, selectedIndex(), logical);
}

void CPexaView::selectItem(int index) {
    if (index >= 0 && size_t(index) < items_.size()) {
        selectedLayer_ = items_[size_t(index)].layer;
        selectedMuscle_ = items_[size_t(index)].muscle;
        tracker_.setRect(items_[size_t(index)].box);
    } else {
        selectedLayer_ = nullptr;
        selectedMuscle_ = nullptr;
        tracker_.setRect(KItemTracker::hiddenRect());
    }
    commandsChanged();
}

KBdlLayer* CPexaView::targetLayer() const {
    if (selectedLayer_) {
        return selectedLayer_;
    }
    if (!layerSelection_.empty()) {
        return doc_.layerAt(layerSelection_.front());
    }
    return nullptr;
}

// ---- mouse

QPoint CPexaView::logicalPos(const QMouseEvent* event) const {
    return event->position().toPoint() + scrollOffset();
}

void CPexaView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint p = logicalPos(event);
    swallowRelease_ = false;
    rebuildItems();
    if (tool_ != ToolPointer) {
        pressPoint_ = p;
        currentPoint_ = p;
        capturing_ = true;
        return;
    }
    const int selected = selectedIndex();
    if (selected >= 0) {
        tracker_.setRect(items_[size_t(selected)].box);
        const int handle = tracker_.hitTest(p);
        if (handle != KItemTracker::kNone) {
            tracker_.begin(handle, p);
            viewport()->setCursor(KItemTracker::cursorFor(handle));
            viewport()->update();
        }
    }
}

void CPexaView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = logicalPos(event);
    if (capturing_ && tool_ != ToolPointer && (event->buttons() & Qt::LeftButton)) {
        // Rubber band only: nothing else happens during a creation drag.
        currentPoint_ = p;
        viewport()->update();
        return;
    }
    if (tracker_.tracking()) {
        tracker_.moveTo(p);
        viewport()->update();
        scheduleDragUpdate();
        return;
    }
    rebuildItems();
    writeStatusPanes(p);
    updateCursor(p);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CPexaView::writeItemPane() {
    const int selected = selectedIndex();
    if (selected >= 0) {
        frame_.setPaneText(0, items_[size_t(selected)].displayName());
    } else if (pointer_) {
        const int hit = hitTest(*pointer_);
        frame_.setPaneText(
            0, hit >= 0 ? items_[size_t(hit)].displayName()
                        : QStringLiteral("MouseXY %1, %2").arg(pointer_->x()).arg(pointer_->y()));
    }
}

void CPexaView::writeStatusPanes(const QPoint& logical) {
    pointer_ = logical;
    writeItemPane();
    const QPointF uv = KUvMapLayout::windowToUv(mapRect(), logical.x(), logical.y());
    frame_.setPaneText(1,
                       QStringLiteral("uv: %1, %2").arg(uv.x(), 0, 'f', 3).arg(uv.y(), 0, 'f', 3));
}

void CPexaView::updateCursor(const QPoint& logical) {
    const int selected = selectedIndex();
    int handle = KItemTracker::kNone;
    if (selected >= 0 && tool_ == ToolPointer) {
        tracker_.setRect(items_[size_t(selected)].box);
        handle = tracker_.hitTest(logical);
    }
    if (handle == KItemTracker::kNone) {
        viewport()->unsetCursor();
    } else {
        viewport()->setCursor(KItemTracker::cursorFor(handle));
    }
}

void CPexaView::mouseReleaseEvent(QMouseEvent* event) {
    // The context menu opens when the right button is released.
    if (event->button() == Qt::RightButton) {
        QMenu* menu = createContextMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = logicalPos(event);
    if (swallowRelease_) {
        swallowRelease_ = false;
        return;
    }
    if (tracker_.tracking()) {
        tracker_.moveTo(p);
        QRect oldBox;
        QRect newBox;
        int handle = KItemTracker::kNone;
        // The change is made (and recorded for Undo) once, from the muscle as the drag
        // found it.
        const bool restored = restoreDraggedMuscle();
        if (tracker_.finish(oldBox, newBox, handle)) {
            applyTracker(oldBox, newBox, handle);
        } else if (restored && selectedMuscle_) {
            doc_.itemChanged(CPexaDoc::HintMuscle, selectedMuscle_);
        }
        viewport()->update();
        return;
    }
    if (tool_ != ToolPointer) {
        // A creation ends here; a release without a press of ours (after a double click
        // or a cancelled drag) does nothing.
        if (capturing_) {
            capturing_ = false;
            viewport()->update();
            createMuscle(p, event->modifiers().testFlag(Qt::ShiftModifier));
        }
        return;
    }
    capturing_ = false;
    rebuildItems();
    selectItem(hitTest(p));
    updateScrollSizes();
}

void CPexaView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    // A double click ends no drag: the press it replaces started none, and what the
    // first click's drag showed is taken back.
    capturing_ = false;
    if (restoreDraggedMuscle()) {
        doc_.itemChanged(CPexaDoc::HintMuscle, selectedMuscle_);
    }
    tracker_.cancel();
    rebuildItems();
    const int hit = hitTest(logicalPos(event));
    selectItem(hit);
    viewport()->update();
    if (hit < 0) {
        kUi().message("LDblClick: No selected item.", KUi::Icon::Information);
        return;
    }
    KMapItem& item = items_[size_t(hit)];
    if (!item.muscle) {
        kUi().message("LDblClick: Couldn't locate muscle object!", KUi::Icon::Warning);
        return;
    }
    commandsChanged();
    editItem(*item.muscle, editMode_, "Curve Edit");
}

void CPexaView::createMuscle(const QPoint& release, bool keepTool) {
    std::unique_ptr<KBdlMuscle> muscle = kMuscleFromDrag(
        tool_, creationMethod_, pressPoint_, release, mapRect(), lineMidPoints_, lineWidth_);
    if (muscle) {
        rebuildItems();
        KBdlMuscle* raw = muscle.get();
        if (KBdlLayer* used = doc_.addMuscleToLayer(targetLayer(), muscle)) {
            selectedLayer_ = used;
            selectedMuscle_ = raw;
            updateScrollSizes();
            doc_.nameNextEdit("Create");
            doc_.documentChanged();
        }
    }
    if (!keepTool) {
        tool_ = ToolPointer;
    }
    commandsChanged();
}

void CPexaView::applyTracker(const QRect& oldBox, const QRect& newBox, int handle) {
    KBdlMuscle* muscle = selectedMuscle_;
    if (!muscle) {
        kUi().message("rectTracker: Invalid Muscle pointer. Skipping Resize", KUi::Icon::Warning);
        return;
    }
    const KVertex record = kTrackerRecord(oldBox, newBox, handle, mapRect());
    muscle->applyTrackerChange(record, handle);
    updateScrollSizes();
    doc_.nameNextEdit(handle == KItemTracker::kMove ? "Move" : "Resize");
    doc_.itemChanged(CPexaDoc::HintMuscle, muscle);
    commandsChanged();
}

void CPexaView::scheduleDragUpdate() {
    if (dragUpdatePending_) {
        return;
    }
    // Queued behind the moves already waiting: only the last of them is shown.
    dragUpdatePending_ = true;
    QMetaObject::invokeMethod(this, &CPexaView::showDragPosition, Qt::QueuedConnection);
}

void CPexaView::showDragPosition() {
    dragUpdatePending_ = false;
    KBdlMuscle* muscle = selectedMuscle_;
    const QRect box = tracker_.rect();
    const QRect dragged = tracker_.trackedRect();
    const int handle = tracker_.trackedHandle();
    if (!tracker_.tracking() || !muscle || (!dragOriginal_ && dragged == box)) {
        return;
    }
    if (!dragOriginal_) {
        dragOriginal_ = std::make_unique<KBdlMuscle>(*muscle);
        doc_.holdLiveEdit();
    } else {
        *muscle = *dragOriginal_;
    }
    if (dragged != box) {
        muscle->applyTrackerChange(kTrackerRecord(box, dragged, handle, mapRect()), handle);
    }
    doc_.itemChanged(CPexaDoc::HintMuscle, muscle);
}

bool CPexaView::restoreDraggedMuscle() {
    std::unique_ptr<KBdlMuscle> original = std::move(dragOriginal_);
    if (!original) {
        return false;
    }
    doc_.releaseLiveEdit();
    if (!selectedMuscle_) {
        return false;
    }
    *selectedMuscle_ = *original;
    return true;
}

// ---- keyboard

bool CPexaView::focusNextPrevChild(bool) {
    return false;
}

void CPexaView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && (tracker_.tracking() || capturing_)) {
        // Escape ends a drag without changing anything.
        if (restoreDraggedMuscle()) {
            doc_.itemChanged(CPexaDoc::HintMuscle, selectedMuscle_);
        }
        tracker_.cancel();
        capturing_ = false;
        swallowRelease_ = true;
        viewport()->unsetCursor();
        viewport()->update();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool CPexaView::walkSelection(int key, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    KItemWalk walk;
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (ctrl) {
            return false;
        }
        walk = (shift || key == Qt::Key_Backtab) ? KItemWalk::Previous : KItemWalk::Next;
        break;
    case Qt::Key_PageUp:
        walk = ctrl ? KItemWalk::First : KItemWalk::PreviousGroup;
        break;
    case Qt::Key_PageDown:
        walk = ctrl ? KItemWalk::Last : KItemWalk::NextGroup;
        break;
    case Qt::Key_Home:
        walk = ctrl ? KItemWalk::First : KItemWalk::GroupFirst;
        break;
    case Qt::Key_End:
        walk = ctrl ? KItemWalk::Last : KItemWalk::GroupLast;
        break;
    default:
        return false;
    }
    rebuildItems();
    if (items_.empty()) {
        kUi().message("There are no items to select", KUi::Icon::Information);
        return true;
    }
    std::vector<const void*> layers;
    layers.reserve(items_.size());
    for (const KMapItem& item : items_) {
        layers.push_back(item.layer);
    }
    selectItem(kWalkItems(layers, selectedIndex(), walk));
    updateScrollSizes();
    return true;
}

void CPexaView::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    const int key = event->key();
    if (walkSelection(key, event->modifiers())) {
        event->accept();
        return;
    }
    switch (key) {
    case Qt::Key_Delete:
        // Cut under the name of the key.
        rebuildItems();
        if (selectedMuscle_) {
            copyItem();
            deleteSelectedItem("Delete");
        }
        break;
    case Qt::Key_E:
        rebuildItems();
        if (selectedMuscle_) {
            editItem(*selectedMuscle_, editMode_);
        }
        break;
    case Qt::Key_F9:
        captureView();
        break;
    case Qt::Key_F11:
        textureListHandler()(*this);
        break;
    default:
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

// ---- editing

void CPexaView::editItem(KBdlMuscle& muscle, int mode, const char* editName) {
    // Named before the editor runs: the property sheet reports its change itself.
    doc_.nameNextEdit(editName);
    if (editItemHandler()(*this, muscle, mode)) {
        doc_.nameNextEdit(editName);
        doc_.itemChanged(CPexaDoc::HintMuscle, &muscle);
        updateScrollSizes();
    }
}

void CPexaView::modifyItem() {
    editSelected(1);
}

void CPexaView::editSplines() {
    editSelected(0);
}

void CPexaView::editSelected(int mode) {
    rebuildItems();
    if (!selectedMuscle_) {
        kUi().message(kSelectToEdit, KUi::Icon::Information);
        return;
    }
    commandsChanged();
    editItem(*selectedMuscle_, mode);
}

void CPexaView::repeatItem() {
    rebuildItems();
    if (!selectedMuscle_) {
        kUi().message(kSelectFirst, KUi::Icon::Information);
        return;
    }
    KRepeatDlg dlg(this);
    if (!runDialog(dlg)) {
        return;
    }
    KBdlLayer* layer = selectedLayer_;
    for (auto& copy : kRepeatCopies(*selectedMuscle_, dlg.options())) {
        if (!doc_.addMuscleToLayer(layer, copy)) {
            break;
        }
    }
    updateScrollSizes();
    doc_.nameNextEdit("Repeat");
    doc_.documentChanged();
}

// ---- clipboard

void CPexaView::copyItem() {
    rebuildItems();
    KAppServices* app = kAppServices(this);
    if (!selectedMuscle_ || !app) {
        return;
    }
    app->setItemClipboard(std::make_unique<KBdlMuscle>(*selectedMuscle_));
    commandsChanged();
}

void CPexaView::cutItem() {
    rebuildItems();
    if (!selectedMuscle_) {
        return;
    }
    copyItem();
    deleteSelectedItem("Cut");
}

void CPexaView::deleteSelectedItem(const char* editName) {
    rebuildItems();
    const int index = selectedIndex();
    if (index < 0) {
        return;
    }
    KBdlMuscle* muscle = selectedMuscle_;
    selectItem(index - 1);
    doc_.removeMuscle(muscle);
    rebuildItems();
    updateScrollSizes();
    doc_.nameNextEdit(editName);
    doc_.documentChanged();
    commandsChanged();
}

bool CPexaView::canPaste() const {
    KAppServices* app = kAppServices(this);
    return app && app->itemClipboard();
}

void CPexaView::pasteItem() {
    KAppServices* app = kAppServices(this);
    if (!app || !app->itemClipboard()) {
        return;
    }
    rebuildItems();
    auto muscle = std::make_unique<KBdlMuscle>(*app->itemClipboard());
    muscle->name += " (copy)";
    // A copy must not hide the item it was copied from, nor an earlier copy.
    std::vector<KBdlMuscle*> existing;
    for (const auto& layer : doc_.layers) {
        for (const auto& m : layer->muscles) {
            existing.push_back(m.get());
        }
    }
    kPlacePastedMuscle(*muscle, existing);
    KBdlMuscle* raw = muscle.get();
    if (KBdlLayer* used = doc_.addMuscleToLayer(targetLayer(), muscle)) {
        selectedLayer_ = used;
        selectedMuscle_ = raw;
        updateScrollSizes();
        doc_.nameNextEdit("Paste");
        doc_.documentChanged();
    }
    commandsChanged();
}

// ---- view size and capture

void CPexaView::setViewSize() {
    const QSize client = viewport()->size();
    KViewSizeDlg dlg(includeFrame_, captureTarget_, frame_.hostWindow().size(), client, this);
    if (!runDialog(dlg)) {
        return;
    }
    includeFrame_ = dlg.includeFrame();
    captureTarget_ = dlg.captureTarget();
    QSize target = dlg.size();
    if (!includeFrame_) {
        // The frame's own extent (title, borders, status bar) around the client area.
        target += frame_.hostWindow().size() - client;
    }
    frame_.hostWindow().resize(target);
}

void CPexaView::captureView() {
    QWidget* area = includeFrame_ ? static_cast<QWidget*>(&frame_.hostWindow()) : viewport();
    QImage shown = area->grab().toImage();
    if (shown.size() != area->size()) {
        shown = shown.scaled(area->size());
    }
    KStatusPaneBar* bar = frame_.paneBar();
    const QFontMetrics font(bar->font());
    const int paneWidth = bar->paneEdges().empty() ? 0 : bar->paneEdges().front();
    std::unique_ptr<KImageMapTga> image;
    {
        KWaitCursor wait;
        image = kCaptureImage(shown, [&](int y, int height) {
            bar->setPaneText(0, kCaptureProgressText(y, height, font, paneWidth));
            bar->repaint();
        });
    }
    if (!image) {
        return;
    }
    const QString path = chooseFile(tr("Capture View"), tr("TGA Files (*.tga)"),
                                    QStringLiteral("tga"), QStringLiteral("untitled"), true);
    if (!path.isEmpty()) {
        kSaveCapture(*image, path);
    }
}

// ---- import

void CPexaView::importImage() {
    KViewImportDlg dlg(kLayerNames(doc_), layerSelection_,
                       doc_.currentItem - CPexaDoc::ItemFirstLayer, this);
    if (!runDialog(dlg)) {
        return;
    }
    const int k = dlg.destinationLayer();
    const QString path = chooseFile(tr("Import Image"), tr("TGA Files (*.tga)"),
                                    QStringLiteral("tga"), QStringLiteral("temp"), false);
    if (path.isEmpty()) {
        return;
    }
    if (!doc_.importImage(k, path.toStdString())) {
        return;
    }
    if (dlg.backgroundOnly()) {
        if (KBdlLayer* layer = doc_.layerAt(k)) {
            layer->backgroundOnly = 1;
            layout_.settings.showBackground = true;
            // The layer no longer displaces the surface.
            doc_.nameNextEdit("Import Image");
            doc_.documentChanged();
        }
    }
    // The layer imported into becomes the current item (until the view's title layer
    // names another).
    doc_.currentItem = CPexaDoc::ItemFirstLayer + k;
    rebuildBackground();
    viewport()->repaint();
    commandsChanged();
}

// ---- drawing

void CPexaView::drawToolFeedback(QPainter& p) {
    const int selected = selectedIndex();
    if (selected >= 0) {
        if (!tracker_.tracking()) {
            tracker_.setRect(items_[size_t(selected)].box);
        }
        tracker_.draw(p);
    }
    if (capturing_ && tool_ != ToolPointer) {
        // The rubber band, inverted so that it shows on any background.
        p.save();
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::black, 0, Qt::SolidLine));
        p.setBrush(Qt::NoBrush);
        if (creationMethod_ == FitToLine) {
            p.drawLine(pressPoint_, currentPoint_);
        } else {
            p.drawRect(QRect(pressPoint_, currentPoint_).normalized().adjusted(0, 0, -1, -1));
        }
        p.restore();
    }
}
