// Window > Curve and Window > MDL Item: the curve editor and the item editor on the
// active document.
#include <QAction>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/dialogs/KCurveEditDlg.h"
#include "app/dialogs/KMuscleDialogs.h"

void CMainFrame::createEditorCommands() {
    // The item editor's "Modify Item..." opens the muscle property sheet. The sheet
    // reports its own change to the document, which the editor observes and reloads
    // from, so the hook answers false to keep the change reported once.
    if (!kCurveEditorDialogs().modifyItem) {
        kCurveEditorDialogs().modifyItem = [](QWidget* parent, CPexaDoc& doc, KBdlMuscle& muscle) {
            kEditMuscleProperties(parent, doc, muscle);
            return false;
        };
    }
    add("windowCurve", tr("&Curve"), tr("New Curve Editor Window"));
    connect(action("windowCurve"), &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument()) {
            docs_->openCurveWindow(doc);
        }
    });
    add("windowMdlItem", tr("&MDL Item"), tr("Item Editor Window"));
    connect(action("windowMdlItem"), &QAction::triggered, this, [this] {
        if (CPexaDoc* doc = activeDocument()) {
            docs_->openItemEditor(doc, nullptr);
        }
    });
}
