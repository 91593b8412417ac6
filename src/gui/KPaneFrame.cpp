#include "gui/KPaneFrame.h"

#include <QVBoxLayout>

KPaneFrame::KPaneFrame(QWidget* view, QStringList samples, int margin, const QString& initial,
                       QWidget* parent)
    : QMdiSubWindow(parent), view_(view) {
    auto* body = new QWidget(this);
    status_ = new KStatusPaneBar(std::move(samples), margin, initial, body);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A view that may not be shown on screen (a 3D view without OpenGL, whose mere
    // presence would break the window's drawing) stays out of the window.
    detached_ = view_ && view_->testAttribute(Qt::WA_DontShowOnScreen);
    if (view_ && !detached_) {
        view_->setParent(body);
        layout->addWidget(view_, 1);
    } else {
        layout->addStretch(1);
    }
    layout->addWidget(status_);
    setWidget(body);
}

KPaneFrame::~KPaneFrame() {
    if (detached_) {
        delete view_;
    }
}

KFrame3D::KFrame3D(QWidget* view, QWidget* parent)
    : KPaneFrame(view,
                 {QStringLiteral("(messages)"), QStringLiteral("Frame 9999 of 0000 to 0000      ")},
                 20, QStringLiteral("Ready..."), parent) {}

KFrameCurve::KFrameCurve(QWidget* view, QWidget* parent)
    : KPaneFrame(view,
                 {QStringLiteral("(curve messages)"), QStringLiteral("pts: 9999   "),
                  QStringLiteral("rpts: 999   ")},
                 30, QStringLiteral("(curve edit messages)"), parent) {}
