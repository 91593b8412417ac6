// The main frame's commands that the active UV map view carries out with its tools:
// the "New Item" toolbar, Edit's undo and item clipboard, the view's size and capture.

#include <QAction>
#include <QKeySequence>
#include <QPainter>
#include <QPixmap>
#include <functional>

#include "app/CMainFrame.h"
#include "gui/KToolIcons.h"
#include "views/CPexaView.h"
#include "views/KMapItemTools.h"

namespace {

QIcon toolIcon(const std::function<void(QPainter&)>& draw) {
    return kDrawnIcon(draw);
}

QIcon iconFor(const char* name) {
    const QString n = QString::fromLatin1(name);
    const QColor fill(224, 122, 63);
    if (n == QLatin1String("toolPointer")) {
        return toolIcon([](QPainter& p) {
            p.setBrush(Qt::white);
            p.drawPolygon(
                QPolygonF({QPointF(4, 1.5), QPointF(4, 13), QPointF(7, 10), QPointF(9.5, 14.5),
                           QPointF(11, 13.5), QPointF(8.5, 9.5), QPointF(12.5, 9.5)}));
        });
    }
    if (n == QLatin1String("toolFitBounds")) {
        return toolIcon([](QPainter& p) {
            p.setPen(QPen(QColor(40, 50, 60), 1.0, Qt::DashLine));
            p.drawRect(QRectF(2, 3, 12, 10));
        });
    }
    if (n == QLatin1String("toolFitLine")) {
        return toolIcon([](QPainter& p) {
            p.drawLine(QPointF(3, 13), QPointF(13, 3));
            p.setBrush(QColor(40, 50, 60));
            p.drawEllipse(QPointF(3, 13), 1.5, 1.5);
            p.drawEllipse(QPointF(13, 3), 1.5, 1.5);
        });
    }
    if (n == QLatin1String("toolVertical")) {
        return toolIcon([fill](QPainter& p) {
            p.setBrush(fill);
            p.drawRect(QRectF(5, 1.5, 6, 13));
            p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
        });
    }
    if (n == QLatin1String("toolOrbital")) {
        return toolIcon([fill](QPainter& p) {
            p.setBrush(fill);
            p.drawRect(QRectF(1.5, 5, 13, 6));
            p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        });
    }
    if (n == QLatin1String("toolPoint")) {
        return toolIcon([fill](QPainter& p) {
            p.setBrush(fill);
            p.drawPolygon(
                QPolygonF({QPointF(8, 2), QPointF(14, 8), QPointF(8, 14), QPointF(2, 8)}));
        });
    }
    if (n == QLatin1String("toolRepeat")) {
        return toolIcon([fill](QPainter& p) {
            p.setBrush(fill);
            for (int i = 0; i < 3; ++i) {
                p.drawRect(QRectF(1.5 + 4.5 * i, 3 + 2 * i, 3.5, 8));
            }
        });
    }
    return {};
}

} // namespace

void CMainFrame::createToolCommands() {
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
        action(QString::fromLatin1(t.name))->setIcon(iconFor(t.name));
    }
    addViewCommand("toolRepeat", tr("Repeat..."), tr("Repeat..."), &CPexaView::repeatItem);
    action("toolRepeat")->setIcon(iconFor("toolRepeat"));

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

void CMainFrame::updateToolCommands() {
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
