#pragma once
// The other kinds of child window: KFrameQuorlG1 is the grouped window of two placeholder
// views; KFrameDummy is a plain child window. The 3D and curve windows are in
// gui/KPaneFrame.h.

#include <QMdiSubWindow>
#include <QWidget>

#include "gui/KPaneFrame.h"
#include "gui/KStatusPaneBar.h"
#include "gui/KViewHost.h"

class CDocManager;
class CPexaDoc;
class CPexaView;
class QSplitter;

// A placeholder view that draws its title in the middle.
class KViewDummy : public QWidget {
    Q_OBJECT
public:
    explicit KViewDummy(const QString& title = QStringLiteral("(untitled)"),
                        QWidget* parent = nullptr);
    const QString& title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

// The group window: two placeholder panes, the upper one a third of the height. It fills
// the main window's client area, inset by 3 pixels on each side. Opened on a document
// its lower pane holds a working UV map view above its own status bar instead.
class KFrameQuorlG1 : public QMdiSubWindow, public KViewHost {
    Q_OBJECT
public:
    explicit KFrameQuorlG1(QWidget* parent = nullptr);
    // A group window on the document: the lower pane is a UV map view of it.
    KFrameQuorlG1(CDocManager& manager, CPexaDoc& doc, QWidget* parent = nullptr);
    ~KFrameQuorlG1() override;
    // Sizes the window to the client area (clientSize) inset by 3 pixels.
    void fitInto(const QSize& clientSize);
    QSplitter* splitter() const { return splitter_; }
    // The UV map view of the lower pane, null for the placeholder form.
    CPexaView* mapView() const { return view_; }

    QMdiSubWindow& hostWindow() override { return *this; }
    QString documentTitle() const override;
    KStatusPaneBar* paneBar() const override { return status_; }
    void setPaneText(int pane, const QString& text) override;
    QString paneText(int pane) const;

private:
    QSplitter* splitter_;
    CDocManager* manager_ = nullptr;
    CPexaDoc* doc_ = nullptr;
    CPexaView* view_ = nullptr;
    KStatusPaneBar* status_ = nullptr;
};

// A child window that adds nothing to the plain one.
class KFrameDummy : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit KFrameDummy(QWidget* parent = nullptr) : QMdiSubWindow(parent) {}
};
