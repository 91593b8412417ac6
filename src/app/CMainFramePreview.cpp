// The 3D preview's part of the main window and of the document manager: opening preview
// windows, the "Shading Type" toolbar and the "&Preview" menu. The commands act on the
// active preview window.

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KChildFrames.h"
#include "dialogs/KAboutDlg.h"
#include "document/CPexaDoc.h"
#include "preview/KView3D.h"

// ---------------------------------------------------------------- document manager

KFrame3D* CDocManager::open3DPreview(CPexaDoc* doc) {
    Entry* e = entryOf(doc);
    if (!e) {
        return nullptr;
    }
    auto* view = new KView3D(*doc);
    view->setHomeCamera(e->openedPreview);
    auto* frame = new KFrame3D(view, nullptr);
    view->setFrame(frame);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(kProgramIcon());
    frame->setProperty("windowKind", QStringLiteral("3D Preview"));
    titleOtherWindow(frame, doc);
    frame->resize(420, 420);
    e->others.push_back(frame);
    area_.addSubWindow(frame);
    view->initialUpdate();
    if (!KView3D::openGLAvailable()) {
        frame->setPaneText(0, QStringLiteral("(no OpenGL on this display)"));
    }
    frame->show();
    area_.setActiveSubWindow(frame);
    return frame;
}

std::vector<QMdiSubWindow*> CDocManager::otherWindowsOf(const CPexaDoc* doc) const {
    std::vector<QMdiSubWindow*> out;
    if (Entry* e = entryOf(doc)) {
        for (const auto& w : e->others) {
            if (w) {
                out.push_back(w);
            }
        }
    }
    return out;
}

void CDocManager::closeOtherWindows(Entry& entry) {
    for (const QPointer<QMdiSubWindow>& w : std::vector<QPointer<QMdiSubWindow>>(entry.others)) {
        delete w.data(); // its view stops observing the document before the document goes
    }
    entry.others.clear();
}

// ---------------------------------------------------------------- main frame

KView3D* CMainFrame::activePreview() const {
    if (auto* frame = qobject_cast<KFrame3D*>(area_->currentSubWindow())) {
        return qobject_cast<KView3D*>(frame->view());
    }
    // Another window of a document (its UV map, ...): that document's preview, the one
    // used last.
    CPexaDoc* doc = activeDocument();
    if (!doc) {
        return nullptr;
    }
    const auto mine = docs_->otherWindowsOf(doc);
    const auto history = area_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        auto* frame = qobject_cast<KFrame3D*>(*it);
        if (frame && std::find(mine.begin(), mine.end(), *it) != mine.end()) {
            return qobject_cast<KView3D*>(frame->view());
        }
    }
    return nullptr;
}

void CMainFrame::createPreviewCommands() {
    // The Shading Type toolbar's actions exist already; they act on the active preview.
    const CMainCommands& m = commands_;
    const struct {
        QAction* action;
        void (KView3D::*command)();
        int argument; // shading type or tool, -1 for none
    } commands[] = {
        {m.shadeSmooth, nullptr, 3},
        {m.shadeFlat, nullptr, 2},
        {m.shadePoint, nullptr, 0},
        {m.shadeWire, nullptr, 1},
        {m.viewRotate, nullptr, 10},
        {m.viewPan, nullptr, 11},
        {m.viewRecenter, &KView3D::recenter, -1},
        {m.animSpin, &KView3D::toggleSpin, -1},
        {m.animFrame, &KView3D::stepFrame, -1},
        {m.animReverse, &KView3D::reverse, -1},
        {m.animClear, &KView3D::clearAnimation, -1},
    };
    for (const auto& c : commands) {
        QAction* a = c.action;
        const auto command = c.command;
        const int argument = c.argument;
        a->setCheckable(argument >= 0 || command == &KView3D::toggleSpin ||
                        command == &KView3D::reverse || command == &KView3D::clearAnimation);
        connect(a, &QAction::triggered, this, [this, command, argument] {
            KView3D* view = activePreview();
            if (!view) {
                return;
            }
            if (command) {
                (view->*command)();
            } else if (argument >= 10) {
                view->setTool(argument - 10);
            } else {
                view->setShadingType(argument);
            }
            updatePreviewCommands();
        });
    }
    add(&CMainCommands::previewMenu, "previewMenu", tr("&Preview"),
        tr("The 3D preview's commands"));
    add(&CMainCommands::viewResetView, "viewResetView", tr("Reset &View"),
        tr("Return the 3D preview to the camera the document opened with"));
    connect(commands_.viewResetView, &QAction::triggered, this, [this] {
        if (KView3D* view = activePreview()) {
            view->resetView();
        }
        updatePreviewCommands();
    });

    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (previewActive_ && previewActive_ != w) {
            if (auto* frame = qobject_cast<KFrame3D*>(previewActive_.data())) {
                if (auto* view = qobject_cast<KView3D*>(frame->view())) {
                    view->deactivated();
                }
            }
        }
        previewActive_ = w;
        if (auto* frame = qobject_cast<KFrame3D*>(w)) {
            if (auto* view = qobject_cast<KView3D*>(frame->view())) {
                connect(view, &KView3D::commandStateChanged, this,
                        &CMainFrame::updatePreviewCommands, Qt::UniqueConnection);
                view->activated();
            }
        }
        updatePreviewCommands();
    });
}

void CMainFrame::createPreviewMenu() {
    // "&Preview": the active preview's own menu, the same as its context menu.
    QMenu* menu = new QMenu(tr("&Preview"), this);
    menu->setObjectName(QStringLiteral("previewMenu"));
    menuBar()->insertMenu(windowMenu_->menuAction(), menu);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        KView3D* view = activePreview();
        if (!view) {
            menu->addAction(tr("(no 3D preview window is active)"))->setEnabled(false);
            return;
        }
        menu->addActions(view->previewMenu()->actions());
    });
    updatePreviewCommands();
}

void CMainFrame::updatePreviewCommands() {
    KView3D* view = activePreview();
    const CMainCommands& m = commands_;
    for (QAction* a :
         {m.shadeSmooth, m.shadeFlat, m.shadeWire, m.shadePoint, m.viewRotate, m.viewPan,
          m.viewRecenter, m.animSpin, m.animFrame, m.animReverse, m.animClear, m.viewResetView}) {
        a->setEnabled(view != nullptr);
    }
    const KPreviewCamera* c = view ? &view->camera : nullptr;
    commands_.shadeSmooth->setChecked(c && c->shadingType == KPreviewCamera::Smooth);
    commands_.shadeFlat->setChecked(c && c->shadingType == KPreviewCamera::Flat);
    commands_.shadeWire->setChecked(c && c->shadingType == KPreviewCamera::Wire);
    commands_.shadePoint->setChecked(c && c->shadingType == KPreviewCamera::Point);
    commands_.viewRotate->setChecked(c && c->tool == KPreviewCamera::Rotate);
    commands_.viewPan->setChecked(c && c->tool == KPreviewCamera::Pan);
    commands_.animSpin->setChecked(c && c->animating);
    commands_.animReverse->setChecked(c && c->frameStep < 0);
    commands_.animClear->setChecked(c && c->frame == 0);
}
