#include "gui/KStatusPaneBar.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

#include "edit/KStatusPanes.h"

// Holds the panes. It asks for no width of its own, so a narrow window is never held
// wide by its status bar, and places the panes again whenever the bar's layout gives it
// a new size.
class KStatusPaneBar::Strip : public QWidget {
public:
    Strip(KStatusPaneBar& bar, QWidget* parent) : QWidget(parent), bar_(bar) {}
    QSize sizeHint() const override { return minimumSizeHint(); }
    QSize minimumSizeHint() const override {
        int h = 0;
        for (const QLabel* pane : bar_.panes_) {
            h = std::max(h, pane->sizeHint().height());
        }
        return {0, h};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        bar_.placePanes();
    }

private:
    KStatusPaneBar& bar_;
};

KStatusPaneBar::KStatusPaneBar(QStringList samples, int margin, const QString& initial,
                               QWidget* parent)
    : QStatusBar(parent), samples_(std::move(samples)), margin_(margin) {
    setSizeGripEnabled(false);
    strip_ = new Strip(*this, this);
    for (int i = 0; i < samples_.size(); ++i) {
        auto* pane = new QLabel(strip_);
        pane->setFrameStyle(i == 0 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        pane->setContentsMargins(2, 0, 2, 0);
        panes_.push_back(pane);
    }
    addWidget(strip_, 1);
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

QLabel* KStatusPaneBar::pane(int pane) const {
    return pane >= 0 && pane < paneCount() ? panes_[size_t(pane)] : nullptr;
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
    placePanes();
}

void KStatusPaneBar::placePanes() {
    if (edges_.empty()) {
        return;
    }
    // The last pane ends at the strip's right end; what does not fit is cut off on the
    // left, the message pane first.
    const int stripWidth = strip_->width();
    const int shift = std::max(0, edges_.back() - stripWidth);
    const int h = strip_->height();
    int left = 0;
    for (size_t i = 0; i < panes_.size(); ++i) {
        const int from = std::clamp(left - shift, 0, stripWidth);
        const int to = std::clamp(edges_[i] - shift, from, stripWidth);
        panes_[i]->setGeometry(from, 0, to - from, h);
        panes_[i]->setVisible(to > from);
        left = edges_[i];
    }
}

void KStatusPaneBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    layoutPanes();
}
