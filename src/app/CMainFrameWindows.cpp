// The Window menu's window kinds: "&3D Preview", "&Curve", "&MDL Item", "&Quorl Group1"
// and "&Anatomy" ("Displacement &Image" is made in CMainFrameImage.cpp), the templates behind them,
// the 3D preview a new or opened document gets beside its first window, and the view commands
// (properties, capture, view size, layer selection) that follow the kind of the active window.

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMdiArea>

#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "dialogs/KAnatomyDialogs.h"
#include "document/CPexaDoc.h"
#include "platform/KUi.h"
#include "preview/KView3D.h"
#include "views/CPexaView.h"
#include "views/KFrameMdl.h"
#include "views/KViewCurve.h"

namespace {

const char* const kCommandFailed = "Command failed.";

const QString kPreviewKind = QStringLiteral("3D Preview");
const QString kCurveKind = QStringLiteral("Curve");
const QString kItemKind = QStringLiteral("MDL Item");
const QString kGroupKind = QStringLiteral("Quorl Group1");
const QString kImageKind = QStringLiteral("Displacement Image");

// At start-up the first document opens before the main window is shown, when the MDI
// area has no size yet: the windows are tiled again once it has one.
class KTileWhenShown : public QObject {
public:
    explicit KTileWhenShown(CMainFrame& frame) : QObject(&frame), frame_(frame) {
        setObjectName(QStringLiteral("tileWhenShown"));
        frame_.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        // When the main window is shown its layout, and so the area's size, is done.
        if (watched == &frame_ && event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            // The layout may still be pending: the area gets its size first.
            if (QLayout* layout = frame_.layout()) {
                layout->activate();
            }
            frame_.tileVertically();
            deleteLater();
        }
        return false;
    }

private:
    CMainFrame& frame_;
};

} // namespace

void CMainFrame::createWindowCommands() {
    const struct {
        CommandSlot slot;
        const char* name;
        const char* text;
        const char* prompt;
        const QString& kind;
    } kinds[] = {
        {&CMainCommands::window3DPreview, "window3DPreview", "&3D Preview", "New 3D Preview Window",
         kPreviewKind},
        {&CMainCommands::windowCurve, "windowCurve", "&Curve", "New Curve Editor Window",
         kCurveKind},
        {&CMainCommands::windowMdlItem, "windowMdlItem", "&MDL Item", "Item Editor Window",
         kItemKind},
        {&CMainCommands::windowGroup, "windowGroup", "&Quorl Group1", "New Group Window",
         kGroupKind},
    };
    for (const auto& k : kinds) {
        const QString kind = k.kind;
        connect(add(k.slot, QString::fromLatin1(k.name), tr(k.text), tr(k.prompt)),
                &QAction::triggered, this, [this, kind] { openWindowKind(kind); });
    }
    connect(add(&CMainCommands::windowAnatomy, "windowAnatomy", tr("&Anatomy"), tr("Anatomy")),
            &QAction::triggered, this, &CMainFrame::windowAnatomy);

    // A new or opened document shows its 3D preview beside its UV map window.
    docs_->firstWindowOpened = [this](CPexaDoc& doc) {
        CChildFrame* first =
            docs_->framesOf(&doc).empty() ? nullptr : docs_->framesOf(&doc).front();
        openWindowKind(kPreviewKind, &doc);
        if (first) {
            area_->setActiveSubWindow(first);
        }
        if (!arrangeWindows_) {
            // The windows already there stay where the user put them; the new map window
            // opens at a usable size of its own instead of filling the area.
            if (first) {
                const QSize room = area_->contentsRect().size();
                QSize size = kMinCascadeSize.expandedTo(room * 0.6);
                if (!room.isEmpty()) {
                    size = size.boundedTo(room);
                }
                first->showNormal();
                first->resize(size);
            }
            return;
        }
        tileVertically();
        if (!isVisible() && !findChild<QObject*>(QStringLiteral("tileWhenShown"))) {
            new KTileWhenShown(*this);
        }
    };

    // The group window's map view learns of its activation like a UV map window's.
    connect(area_, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* w) {
        if (auto* group = qobject_cast<KFrameQuorlG1*>(w); group && group->mapView()) {
            group->mapView()->activated();
        }
    });
}

KWindowTemplate* CMainFrame::windowTemplate(const QString& kind) {
    if (auto it = templates_.find(kind); it != templates_.end()) {
        return it->second.get();
    }
    KWindowTemplate::FrameMaker maker;
    if (kind == kPreviewKind) {
        maker = [this](CPexaDoc& doc) -> QMdiSubWindow* { return docs_->open3DPreview(&doc); };
    } else if (kind == kCurveKind) {
        maker = [this](CPexaDoc& doc) -> QMdiSubWindow* { return docs_->openCurveWindow(&doc); };
    } else if (kind == kItemKind) {
        // One item editor per document: asking again brings it to the front.
        maker = [this](CPexaDoc& doc) -> QMdiSubWindow* {
            return docs_->openItemEditor(&doc, nullptr);
        };
    } else if (kind == kGroupKind) {
        maker = [this](CPexaDoc& doc) -> QMdiSubWindow* { return docs_->openGroupWindow(&doc); };
    } else if (kind == kImageKind) {
        maker = [this](CPexaDoc& doc) -> QMdiSubWindow* { return docs_->openImageWindow(&doc); };
    } else {
        return nullptr;
    }
    auto made = std::make_unique<KWindowTemplate>(kind, std::move(maker));
    KWindowTemplate* raw = made.get();
    templates_.emplace(kind, std::move(made));
    return raw;
}

const KWindowTemplate* CMainFrame::existingTemplate(const QString& kind) const {
    const auto it = templates_.find(kind);
    return it == templates_.end() ? nullptr : it->second.get();
}

QMdiSubWindow* CMainFrame::openWindowKind(const QString& kind, CPexaDoc* doc) {
    if (!doc) {
        doc = activeDocument();
    }
    QMdiSubWindow* frame = nullptr;
    if (doc) {
        if (KWindowTemplate* t = windowTemplate(kind)) {
            frame = t->openFrame(*doc);
        }
    }
    if (!frame) {
        kUi().message(kCommandFailed, KUi::Icon::Error);
    }
    updateCommands();
    return frame;
}

bool CMainFrame::windowAnatomy() {
    CPexaDoc* doc = activeDocument();
    if (!doc) {
        kUi().message(kCommandFailed, KUi::Icon::Error);
        return false;
    }
    const bool ok = kEditAnatomy(this, *doc);
    updateCommands();
    return ok;
}

bool CMainFrame::windowKindCommand(const QString& name) {
    QMdiSubWindow* active = area_->currentSubWindow();
    if (auto* frame = qobject_cast<KFrame3D*>(active)) {
        auto* view = qobject_cast<KView3D*>(frame->view());
        if (!view) {
            return true;
        }
        if (name == QLatin1String("viewProperties")) {
            view->properties(); // "3D Preview Properties"
        } else if (name == QLatin1String("viewCapture")) {
            view->captureOnce();
        } else if (name == QLatin1String("viewSetSize")) {
            view->setViewSize();
        } else if (name == QLatin1String("viewSelectLayers")) {
            view->selectLayers();
        } else {
            return false;
        }
        updatePreviewCommands();
        return true;
    }
    // The curve window and the item editor: Properties is the active curve's manual edit.
    KViewCurve* curveView = nullptr;
    auto* item = qobject_cast<KFrameMdl*>(active);
    if (item) {
        curveView = item->activeCurveView();
    } else if (auto* frame = qobject_cast<KFrameCurve*>(active)) {
        curveView = qobject_cast<KViewCurve*>(frame->view());
    } else {
        return false; // a UV map view (or the group window's) does it
    }
    if (name == QLatin1String("viewProperties")) {
        if (curveView) {
            curveView->manualEdit();
        }
    } else if (item && name == QLatin1String("viewSetSize")) {
        item->setViewSize();
    } else if (item && name == QLatin1String("viewCapture")) {
        item->captureView();
    } else if (name != QLatin1String("viewSelectLayers") && name != QLatin1String("viewSetSize") &&
               name != QLatin1String("viewCapture")) {
        return false;
    }
    // The view commands these windows lack do nothing rather than reach a hidden map.
    return true;
}
