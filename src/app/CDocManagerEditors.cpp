// The document's further windows that edit curves: the item editor (one per document,
// reused) and the "Curve" window. They are tied to their document by a property and
// close with it.
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/CDocManager.h"
#include "app/dialogs/KAboutDlg.h"
#include "document/CPexaDoc.h"
#include "views/CChildFrame.h"
#include "views/KChildFrames.h"
#include "views/KFrameMdl.h"
#include "views/KViewCurve.h"

void CDocManager::adoptWindow(QMdiSubWindow* window, CPexaDoc* doc, const QString& kind) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The program's icon, as on the UV map and 3D preview windows (not the toolkit's).
    window->setWindowIcon(kProgramIcon());
    window->setWindowTitle(title(doc) + QStringLiteral(" - ") + kind);
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
