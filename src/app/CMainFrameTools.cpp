// The main frame's commands that the active UV map view carries out with its tools:
// the "New Item" toolbar, Edit's undo and item clipboard, the view's size and capture.

#include <QAction>
#include <QDockWidget>
#include <QKeySequence>
#include <QPainter>
#include <QPixmap>
#include <QUndoView>
#include <functional>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KDocumentHistory.h"
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
        CommandSlot slot;
        const char* name;
        const char* text;
        void (CPexaView::*command)();
    } tools[] = {
        {&CMainCommands::toolPointer, "toolPointer", "Selection Pointer", &CPexaView::toolPointer},
        {&CMainCommands::toolFitBounds, "toolFitBounds", "Fit to Bounds", &CPexaView::fitToBounds},
        {&CMainCommands::toolFitLine, "toolFitLine", "Fit to Line", &CPexaView::fitToLine},
        {&CMainCommands::toolVertical, "toolVertical", "Vertical", &CPexaView::toolVertical},
        {&CMainCommands::toolOrbital, "toolOrbital", "Orbital", &CPexaView::toolOrbital},
        {&CMainCommands::toolPoint, "toolPoint", "Point", &CPexaView::toolPoint},
    };
    for (const auto& t : tools) {
        addViewCommand(t.slot, QString::fromLatin1(t.name), tr(t.text), tr(t.text), t.command);
        QAction* a = commands_.*t.slot;
        a->setCheckable(true);
        a->setIcon(iconFor(t.name));
    }
    addViewCommand(&CMainCommands::toolRepeat, "toolRepeat", tr("Repeat..."), tr("Repeat..."),
                   &CPexaView::repeatItem);
    commands_.toolRepeat->setIcon(iconFor("toolRepeat"));

    // Edit: the active document's undo history and the item clipboard shared by all
    // documents.
    connect(
        add(&CMainCommands::editUndo, "editUndo", tr("&Undo\tCtrl+Z"), tr("Undo the last action")),
        &QAction::triggered, this, [this] {
            if (KDocumentHistory* h = activeHistory()) {
                h->undo();
            }
            updateCommands();
        });
    commands_.editUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(add(&CMainCommands::editRedo, "editRedo", tr("&Redo\tCtrl+Y"),
                tr("Redo the last action undone")),
            &QAction::triggered, this, [this] {
                if (KDocumentHistory* h = activeHistory()) {
                    h->redo();
                }
                updateCommands();
            });
    commands_.editRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    createHistoryWindow();
    const struct {
        QAction* action;
        void (CPexaView::*command)();
        QKeySequence::StandardKey key;
    } clip[] = {
        {commands_.editCut, &CPexaView::cutItem, QKeySequence::Cut},
        {commands_.editCopy, &CPexaView::copyItem, QKeySequence::Copy},
        {commands_.editPaste, &CPexaView::pasteItem, QKeySequence::Paste},
    };
    for (const auto& c : clip) {
        QAction* a = c.action;
        a->setShortcut(c.key);
        auto command = c.command;
        connect(a, &QAction::triggered, this, [this, command] {
            if (CPexaView* v = activeView()) {
                (v->*command)();
            }
        });
    }

    addViewCommand(&CMainCommands::viewSetSize, "viewSetSize", tr("Set View &Size..."),
                   tr("Set View Size"), &CPexaView::setViewSize);
    addViewCommand(&CMainCommands::viewCapture, "viewCapture", tr("&Capture View"),
                   tr("Capture View"), &CPexaView::captureView);
}

void CMainFrame::updateToolCommands() {
    CPexaView* view = activeView();
    const bool hasView = view != nullptr;
    const int tool = hasView ? view->tool() : -1;
    const int method = hasView ? view->creationMethod() : -1;
    const auto check = [hasView](QAction* a, bool on) {
        a->setEnabled(hasView);
        a->setChecked(on);
    };
    check(commands_.toolPointer, tool == ToolPointer);
    check(commands_.toolVertical, tool == ToolVertical);
    check(commands_.toolOrbital, tool == ToolOrbital);
    check(commands_.toolPoint, tool == ToolPoint);
    check(commands_.toolFitBounds, method == FitToBounds);
    check(commands_.toolFitLine, method == FitToLine);
    for (QAction* a : {commands_.toolRepeat, commands_.viewSetSize, commands_.viewCapture}) {
        a->setEnabled(hasView);
    }

    const bool selected = hasView && view->selectedMuscle();
    commands_.editCut->setText(tr("Cu&t Item\tCtrl+X"));
    commands_.editCut->setEnabled(selected);
    commands_.editCopy->setText(tr("&Copy Item\tCtrl+C"));
    commands_.editCopy->setEnabled(selected);
    commands_.editPaste->setText(tr("&Paste Item\tCtrl+V"));
    commands_.editPaste->setEnabled(hasView && itemClipboard());
    updateUndoCommands();
}

KDocumentHistory* CMainFrame::activeHistory() const {
    return docs_ ? docs_->historyOf(activeDocument()) : nullptr;
}

void CMainFrame::updateUndoCommands() {
    KDocumentHistory* history = activeHistory();
    if (docs_) {
        docs_->undoGroup().setActiveStack(history ? &history->stack() : nullptr);
    }
    commands_.editUndo->setText(history ? history->undoMenuText()
                                        : QStringLiteral("Undo \tCtrl+Z"));
    commands_.editUndo->setEnabled(history && history->stack().canUndo());
    commands_.editRedo->setText(history ? history->redoMenuText()
                                        : QStringLiteral("Redo \tCtrl+Y"));
    commands_.editRedo->setEnabled(history && history->stack().canRedo());
}

void CMainFrame::createHistoryWindow() {
    // Beside the documents' windows; it follows the active document.
    historyWindow_ = new QDockWidget(tr("Undo History"), this);
    historyWindow_->setObjectName(QStringLiteral("undoHistory"));
    auto* view = new QUndoView(&docs_->undoGroup(), historyWindow_);
    view->setObjectName(QStringLiteral("undoHistoryView"));
    view->setEmptyLabel(tr("<opened>"));
    historyWindow_->setWidget(view);
    addDockWidget(Qt::RightDockWidgetArea, historyWindow_);
    historyWindow_->hide();
    connect(add(&CMainCommands::windowUndoHistory, "windowUndoHistory", tr("&Undo History"),
                tr("Show the active document's undo history")),
            &QAction::triggered, this, [this] {
                historyWindow_->show();
                historyWindow_->raise();
            });

    // Steps are recorded once events run again after a change: the menu follows.
    QUndoGroup& group = docs_->undoGroup();
    const auto update = [this] { updateUndoCommands(); };
    connect(&group, &QUndoGroup::indexChanged, this, update);
    connect(&group, &QUndoGroup::canUndoChanged, this, update);
    connect(&group, &QUndoGroup::canRedoChanged, this, update);
    connect(&group, &QUndoGroup::undoTextChanged, this, update);
    connect(&group, &QUndoGroup::redoTextChanged, this, update);
}
