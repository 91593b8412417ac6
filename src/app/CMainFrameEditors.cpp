// The hooks through which the curve editor and the item editor run the application's
// dialogs. The windows themselves are opened from the Window menu (CMainFrameWindows.cpp).
#include <QAction>

#include "app/CMainFrame.h"
#include "dialogs/KCurveEditDlg.h"
#include "dialogs/KMuscleDialogs.h"

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
}
