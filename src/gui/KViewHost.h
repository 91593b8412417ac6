#pragma once
// What a view needs from the window around it: the MDI window (caption, modified mark,
// size, capture of the whole frame), the document's title and the status bar whose panes
// the view writes. Views reach their window only through this, never through the concrete
// frame class, so the frames can live above the views.

#include <QString>

class KStatusPaneBar;
class QMdiSubWindow;
class QWidget;

class KViewHost {
public:
    virtual ~KViewHost() = default;
    virtual QMdiSubWindow& hostWindow() = 0;
    // What the view's caption starts with: the document's title (its file name, or
    // "QuorlN" before it is saved), followed by the window's kind in a group window.
    virtual QString documentTitle() const = 0;
    virtual KStatusPaneBar* paneBar() const = 0;
    virtual void setPaneText(int pane, const QString& text) = 0;
};

// The nearest window around the widget that hosts it, or null outside any host.
KViewHost* kFindViewHost(const QWidget* widget);
