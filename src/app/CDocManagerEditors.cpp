// The document's further windows that edit curves: the item editor (one per document,
// reused) and the "Curve" window. They are tied to their document by a property and
// close with it.
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/KChildFrames.h"
#include "dialogs/KAboutDlg.h"
#include "document/CPexaDoc.h"
#include "views/CPexaView.h"
#include "views/KFrameMdl.h"
#include "views/KViewCurve.h"

void CDocManager::adoptWindow(QMdiSubWindow* window, CPexaDoc* doc, const QString& kind) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(kProgramIcon());
    window->setProperty("windowKind", kind);
    titleOtherWindow(window, doc);
    // At the top left of the area, as large as the window that is active now.
    QSize size(640, 480);
    if (QMdiSubWindow* active = area_.activeSubWindow()) {
        if (!active->isMaximized()) {
            size = active->size();
        } else if (area_.viewport()) {
            size = area_.viewport()->size();
        }
    }
    if (Entry* e = entryOf(doc)) {
        e->others.push_back(window); // closed with the document
    }
    area_.addSubWindow(window);
    window->setGeometry(0, 0, size.width(), size.height());
    window->show();
}

KFrameMdl* CDocManager::itemEditorOf(const CPexaDoc* doc) const {
    for (QMdiSubWindow* w : area_.subWindowList()) {
        auto* frame = qobject_cast<KFrameMdl*>(w);
        if (frame && &frame->document() == doc) {
            return frame;
        }
    }
    return nullptr;
}

KFrameMdl* CDocManager::openItemEditor(CPexaDoc* doc, KBdlMuscle* muscle) {
    if (!doc || !entryOf(doc)) {
        return nullptr;
    }
    KFrameMdl* frame = itemEditorOf(doc);
    if (!frame) {
        frame = new KFrameMdl(*doc);
        adoptWindow(frame, doc, QStringLiteral("MDL Item"));
    }
    if (muscle) {
        frame->editMuscle(muscle);
    }
    area_.setActiveSubWindow(frame);
    frame->activatePane(frame->activePane());
    return frame;
}

KFrameQuorlG1* CDocManager::openGroupWindow(CPexaDoc* doc) {
    if (!doc || !entryOf(doc)) {
        return nullptr;
    }
    auto* frame = new KFrameQuorlG1(*this, *doc);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(kProgramIcon());
    frame->setProperty("windowKind", QStringLiteral("Quorl Group1"));
    entryOf(doc)->others.push_back(frame); // closed with the document
    area_.addSubWindow(frame);
    frame->show();
    // It fills the client area, inset by 3 pixels, without taking the others' place.
    frame->fitInto(area_.viewport()->size());
    area_.setActiveSubWindow(frame);
    frame->mapView()->setFocus();
    return frame;
}

KFrameCurve* CDocManager::openCurveWindow(CPexaDoc* doc) {
    if (!doc || !entryOf(doc)) {
        return nullptr;
    }
    auto* view = new KViewCurve;
    auto* frame = new KFrameCurve(view);
    adoptWindow(frame, doc, QStringLiteral("Curve"));
    view->showMessage(view->message());
    area_.setActiveSubWindow(frame);
    view->setFocus();
    return frame;
}
