// Window > Curve and Window > MDL Item: the curve editor and the item editor on the
// active document.
#include <QAction>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"

void CMainFrame::createEditorCommands() {
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
