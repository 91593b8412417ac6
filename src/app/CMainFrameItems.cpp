// The main frame's commands that the active UV map view carries out with its tools:
// the "New Item" toolbar, Edit's undo and item clipboard, the view's size and capture.

#include <QAction>
#include <QKeySequence>

#include "app/CMainFrame.h"
#include "views/CPexaView.h"
#include "views/KMapItemTools.h"

void CMainFrame::createItemCommands() {
    // "New Item": the tools and creation methods carry check marks.
    const struct {
        const char* name;
        const char* text;
        void (CPexaView::*command)();
    } tools[] = {
        {"toolPointer", "Selection Pointer", &CPexaView::toolPointer},
        {"toolFitBounds", "Fit to Bounds", &CPexaView::fitToBounds},
        {"toolFitLine", "Fit to Line", &CPexaView::fitToLine},
        {"toolVertical", "Vertical", &CPexaView::toolVertical},
        {"toolOrbital", "Orbital", &CPexaView::toolOrbital},
        {"toolPoint", "Point", &CPexaView::toolPoint},
    };
    for (const auto& t : tools) {
        addViewCommand(QString::fromLatin1(t.name), tr(t.text), tr(t.text), t.command);
        action(QString::fromLatin1(t.name))->setCheckable(true);
    }
    addViewCommand("toolRepeat", tr("Repeat..."), tr("Repeat..."), &CPexaView::repeatItem);

    // Edit: single-level undo and the item clipboard shared by all documents.
    addViewCommand("editUndo", tr("&Undo\tCtrl+Z"), tr("Undo the last action"),
                   &CPexaView::undoEdit);
    action("editUndo")->setShortcut(QKeySequence::Undo);
    const struct {
        const char* name;
        void (CPexaView::*command)();
        QKeySequence::StandardKey key;
    } clip[] = {
        {"editCut", &CPexaView::cutItem, QKeySequence::Cut},
        {"editCopy", &CPexaView::copyItem, QKeySequence::Copy},
        {"editPaste", &CPexaView::pasteItem, QKeySequence::Paste},
    };
    for (const auto& c : clip) {
        QAction* a = action(QString::fromLatin1(c.name));
        a->setShortcut(c.key);
        auto command = c.command;
        connect(a, &QAction::triggered, this, [this, command] {
            if (CPexaView* v = activeView()) {
                (v->*command)();
            }
        });
    }

    addViewCommand("viewSetSize", tr("Set View &Size..."), tr("Set View Size"),
                   &CPexaView::setViewSize);
    addViewCommand("viewCapture", tr("&Capture View"), tr("Capture View"), &CPexaView::captureView);
}

void CMainFrame::updateItemCommands() {
    CPexaView* view = activeView();
    const bool hasView = view != nullptr;
    const int tool = hasView ? view->tool() : -1;
    const int method = hasView ? view->creationMethod() : -1;
    const auto check = [this, hasView](const char* name, bool on) {
        QAction* a = action(QString::fromLatin1(name));
        a->setEnabled(hasView);
        a->setChecked(on);
    };
    check("toolPointer", tool == ToolPointer);
    check("toolVertical", tool == ToolVertical);
    check("toolOrbital", tool == ToolOrbital);
    check("toolPoint", tool == ToolPoint);
    check("toolFitBounds", method == FitToBounds);
    check("toolFitLine", method == FitToLine);
    for (const char* n : {"toolRepeat", "viewSetSize", "viewCapture"}) {
        action(QString::fromLatin1(n))->setEnabled(hasView);
    }

    const bool selected = hasView && view->selectedMuscle();
    action("editCut")->setText(tr("Cu&t Item\tCtrl+X"));
    action("editCut")->setEnabled(selected);
    action("editCopy")->setText(tr("&Copy Item\tCtrl+C"));
    action("editCopy")->setEnabled(selected);
    action("editPaste")->setText(tr("&Paste Item\tCtrl+V"));
    action("editPaste")->setEnabled(hasView && itemClipboard());
    const KMuscleUndo* undo = hasView ? &view->undoRecord() : nullptr;
    action("editUndo")
        ->setText(QString::fromStdString(undo ? undo->menuText() : KMuscleUndo().menuText()));
    action("editUndo")->setEnabled(undo && !undo->isEmpty());
}
