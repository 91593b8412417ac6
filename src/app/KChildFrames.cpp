#include "app/KChildFrames.h"

#include <QPainter>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/CDocManager.h"
#include "views/CPexaView.h"

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

KFrameQuorlG1::KFrameQuorlG1(CDocManager& manager, CPexaDoc& doc, QWidget* parent)
    : KFrameQuorlG1(parent) {
    manager_ = &manager;
    doc_ = &doc;
    // The lower placeholder gives way to the map view over the UV window's status panes.
    auto* pane = new QWidget;
    view_ = new CPexaView(doc, *this, pane);
    status_ =
        new KStatusPaneBar({QStringLiteral("(messages)"), QStringLiteral("uv: 9.9999, 9.9999   "),
                            QStringLiteral("-9999%     ")},
                           30, QString(), pane);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    delete splitter_->replaceWidget(1, pane);
    splitter_->setStretchFactor(1, 2);
    view_->initialUpdate();
}

KFrameQuorlG1::~KFrameQuorlG1() {
    // The view observes the document and writes into this frame: it goes first, and
    // nothing reaches it through this frame while it goes.
    QSplitter* panes = splitter_;
    splitter_ = nullptr;
    view_ = nullptr;
    status_ = nullptr;
    delete panes;
}

QString KFrameQuorlG1::documentTitle() const {
    // The map view's caption tells this window from a UV map window of the document.
    return manager_ && doc_ ? manager_->title(doc_) + QStringLiteral(" - Quorl Group1") : QString();
}

void KFrameQuorlG1::setPaneText(int pane, const QString& text) {
    if (status_) {
        status_->setPaneText(pane, text);
    }
}

QString KFrameQuorlG1::paneText(int pane) const {
    return status_ ? status_->paneText(pane) : QString();
}

void KFrameQuorlG1::fitInto(const QSize& clientSize) {
    setGeometry(3, 3, std::max(0, clientSize.width() - 6), std::max(0, clientSize.height() - 6));
    const int h = splitter_->height();
    splitter_->setSizes({h / 3, h - h / 3});
}
