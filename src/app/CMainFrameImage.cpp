// The displacement image window's part of the main window and of the document manager:
// Window > "Displacement &Image" opens one on the active document, and the "&Image" menu,
// shown while such a window is active, carries the commands of its view.

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "dialogs/KAboutDlg.h"
#include "document/CPexaDoc.h"
#include "platform/KUi.h"
#include "views/KViewImage.h"

namespace {

KViewImage* imageViewOf(QMdiSubWindow* window) {
    return window ? qobject_cast<KViewImage*>(window->widget()) : nullptr;
}

} // namespace

// ---------------------------------------------------------------- document manager

KFrameDummy* CDocManager::openImageWindow(CPexaDoc* doc) {
    if (!doc || !entryOf(doc)) {
        return nullptr;
    }
    auto* frame = new KFrameDummy;
    auto* view = new KViewImage(*doc);
    view->documentTitle = [this, doc] { return title(doc); };
    frame->setWidget(view);
    frame->setWindowIcon(kProgramIcon());
    adoptWindow(frame, doc, QStringLiteral("Displacement Image"));
    area_.setActiveSubWindow(frame);
    view->refreshTitle();
    view->initialUpdate();
    return frame;
}

// ---------------------------------------------------------------- main frame

void CMainFrame::createImageCommands() {
    add(&CMainCommands::windowImage, "windowImage", tr("Displacement &Image"),
        tr("New Displacement Image Window"));
    connect(commands_.windowImage, &QAction::triggered, this,
            [this] { openWindowKind(QStringLiteral("Displacement Image")); });
}

void CMainFrame::createImageMenu() {
    // "&Image": the active image window's own menu, the same as its context menu. It is
    // in the menu bar only while such a window is active.
    QMenu* menu = new QMenu(tr("&Image"), this);
    menu->setObjectName(QStringLiteral("imageMenu"));
    menuBar()->insertMenu(windowMenu_->menuAction(), menu);
    menu->menuAction()->setVisible(false);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        if (KViewImage* view = imageViewOf(area_->currentSubWindow())) {
            menu->addActions(view->imageMenu()->actions());
        }
    });
    connect(area_, &QMdiArea::subWindowActivated, this, [this, menu](QMdiSubWindow* w) {
        KViewImage* view = imageViewOf(w);
        menu->menuAction()->setVisible(view != nullptr);
        if (view) {
            // Activation may rebuild under the progress window: not from inside the
            // activation itself, and not for a window that was active only on its way
            // out (closing a document activates its other windows in turn).
            QTimer::singleShot(0, view, [this, view] {
                if (imageViewOf(area_->currentSubWindow()) == view) {
                    view->activated();
                }
            });
        }
    });
}
