#include "views/KChildFrames.h"

#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

KPaneFrame::KPaneFrame(QWidget* view, QStringList samples, int margin, const QString& initial,
                       QWidget* parent)
    : QMdiSubWindow(parent), view_(view) {
    auto* body = new QWidget(this);
    status_ = new KStatusPaneBar(std::move(samples), margin, initial, body);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (view_) {
        view_->setParent(body);
        layout->addWidget(view_, 1);
    } else {
        layout->addStretch(1);
    }
    layout->addWidget(status_);
    setWidget(body);
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

KViewDummy::KViewDummy(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void KViewDummy::paintEvent(QPaintEvent*) {
    // Centred horizontally, on the baseline at the middle of the client area.
    QPainter p(this);
    const int textWidth = p.fontMetrics().horizontalAdvance(title_);
    p.drawText(width() / 2 - textWidth / 2, height() / 2, title_);
}

KFrameQuorlG1::KFrameQuorlG1(QWidget* parent) : QMdiSubWindow(parent) {
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->addWidget(new KViewDummy(QStringLiteral("Tree and List View(s)")));
    splitter_->addWidget(new KViewDummy(QStringLiteral("Grid and 3D View(s)")));
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 2);
    setWidget(splitter_);
}

void KFrameQuorlG1::fitInto(const QSize& clientSize) {
    setGeometry(3, 3, std::max(0, clientSize.width() - 6), std::max(0, clientSize.height() - 6));
    const int h = splitter_->height();
    splitter_->setSizes({h / 3, h - h / 3});
}
