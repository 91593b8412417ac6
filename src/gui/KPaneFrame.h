#pragma once
// Child windows that hold one view above a status bar of their own whose panes the view
// writes: the 3D preview window and the curve window.

#include <QMdiSubWindow>
#include <QStringList>

#include "gui/KStatusPaneBar.h"
#include "gui/KViewHost.h"

// A child window with a view and a status bar of its own.
class KPaneFrame : public QMdiSubWindow, public KViewHost {
    Q_OBJECT
public:
    KPaneFrame(QWidget* view, QStringList samples, int margin, const QString& initial,
               QWidget* parent);
    ~KPaneFrame() override;
    QWidget* view() const { return view_; }
    QMdiSubWindow& hostWindow() override { return *this; }
    // The window's own caption: a pane frame shows one view of one document.
    QString documentTitle() const override { return windowTitle(); }
    KStatusPaneBar* paneBar() const override { return status_; }
    void setPaneText(int pane, const QString& text) override { status_->setPaneText(pane, text); }
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
