#pragma once
// What a UV map view needs from the window around it: the MDI window (caption, modified
// mark, size, capture of the whole frame), the document's title and the status bar whose
// three panes (messages, UV position, zoom) the view writes. The UV map window and the
// group window both host a view.

#include <QString>

class KStatusPaneBar;
class QMdiSubWindow;

class KMapViewHost {
public:
    virtual ~KMapViewHost() = default;
    virtual QMdiSubWindow& hostWindow() = 0;
    // What the view's caption starts with: the document's title (its file name, or
    // "QuorlN" before it is saved), followed by the window's kind in a group window.
    virtual QString documentTitle() const = 0;
    virtual KStatusPaneBar* paneBar() const = 0;
    virtual void setPaneText(int pane, const QString& text) = 0;
};
