#include "views/KStatusPaneBar.h"

#include <QLabel>

#include "views/KStatusPanes.h"

KStatusPaneBar::KStatusPaneBar(QStringList samples, int margin, const QString& initial,
                               QWidget* parent)
    : QStatusBar(parent), samples_(std::move(samples)), margin_(margin) {
    setSizeGripEnabled(false);
    for (int i = 0; i < samples_.size(); ++i) {
        auto* pane = new QLabel(this);
        pane->setFrameStyle(i == 0 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        pane->setContentsMargins(2, 0, 2, 0);
        addWidget(pane, i == 0 ? 1 : 0);
        panes_.push_back(pane);
    }
    if (!panes_.empty()) {
        panes_[0]->setText(initial);
    }
    layoutPanes();
}

void KStatusPaneBar::setPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < paneCount()) {
        panes_[size_t(pane)]->setText(text);
    }
}

QString KStatusPaneBar::paneText(int pane) const {
    return pane >= 0 && pane < paneCount() ? panes_[size_t(pane)]->text() : QString();
}

void KStatusPaneBar::layoutPanes() {
    const QFontMetrics fm(font());
    std::vector<int> widths;
    for (const QString& sample : samples_) {
        widths.push_back(fm.horizontalAdvance(sample));
    }
    const QMargins m = contentsMargins();
    const int inside = width() - m.left() - m.right();
    edges_ =
        kStatusPaneEdges(inside, widths, fm.horizontalAdvance(samples_.join(QString())), margin_);
    int left = 0;
    for (size_t i = 0; i < panes_.size(); ++i) {
        if (i > 0) {
            panes_[i]->setFixedWidth(std::max(0, edges_[i] - left));
        }
        left = edges_[i];
    }
}

void KStatusPaneBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    layoutPanes();
}
