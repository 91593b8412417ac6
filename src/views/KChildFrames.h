#pragma once
// The other kinds of child window. KFrame3D and KFrameCurve hold a view above a status
// bar of their own whose panes the view writes; KFrameQuorlG1 is the grouped window of
// two placeholder views; KFrameDummy is a plain child window.

#include <QMdiSubWindow>
#include <QWidget>

#include "views/KMapViewHost.h"
#include "views/KStatusPaneBar.h"

class CDocManager;
class CPexaDoc;
class CPexaView;
class QSplitter;

// A child window with a view and a status bar of its own.
class KPaneFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    KPaneFrame(QWidget* view, QStringList samples, int margin, const QString& initial,
               QWidget* parent);
    ~KPaneFrame() override;
    QWidget* view() const { return view_; }
    KStatusPaneBar* paneBar() const { return status_; }
    void setPaneText(int pane, const QString& text) { status_->setPaneText(pane, text); }
    QString paneText(int pane) const { return status_->paneText(pane); }

private:
    QWidget* view_;
    KStatusPaneBar* status_;
    // The view may not be shown on screen: the frame owns it outside its window.
    bool detached_ = false;
};

// The 3D preview window: messages and the animation frame.
class KFrame3D : public KPaneFrame {
    Q_OBJECT
public:
    explicit KFrame3D(QWidget* view, QWidget* parent = nullptr);
};

// The curve window: curve editor messages, point count and repeat count.
class KFrameCurve : public KPaneFrame {
    Q_OBJECT
public:
    explicit KFrameCurve(QWidget* view, QWidget* parent = nullptr);
};

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
class KFrameQuorlG1 : public QMdiSubWindow, public KMapViewHost {
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
