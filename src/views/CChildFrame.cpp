#include "views/CChildFrame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/CDocManager.h"
#include "app/dialogs/KAboutDlg.h"
#include "views/CPexaView.h"
#include "views/KStatusPanes.h"

namespace {
const char* const kSamples[CChildFrame::kPaneCount] = {"(messages)", "uv: 9.9999, 9.9999   ",
                                                       "-9999%     "};
}

CChildFrame::CChildFrame(CDocManager& manager, CPexaDoc& doc, QWidget* parent)
    : QMdiSubWindow(parent), manager_(manager), doc_(doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(kProgramIcon());
    auto* body = new QWidget(this);
    view_ = new CPexaView(doc, *this, body);
    status_ = new QStatusBar(body);
    status_->setSizeGripEnabled(false);
    for (int i = 0; i < kPaneCount; ++i) {
        panes_[i] = new QLabel(status_);
        panes_[i]->setFrameStyle(i == 0 ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
        panes_[i]->setContentsMargins(2, 0, 2, 0);
        status_->addWidget(panes_[i], i == 0 ? 1 : 0);
    }
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    setWidget(body);
    status_->installEventFilter(this);
    layoutPanes();
    view_->initialUpdate();
}

CChildFrame::~CChildFrame() {
    // The view observes the document, which may go with the last window: the view first.
    delete widget();
    view_ = nullptr;
    manager_.frameDestroyed(this);
}

QString CChildFrame::documentTitle() const {
    return manager_.title(&doc_);
}

void CChildFrame::setPaneText(int pane, const QString& text) {
    if (pane >= 0 && pane < kPaneCount) {
        panes_[pane]->setText(text);
    }
}

QString CChildFrame::paneText(int pane) const {
    return pane >= 0 && pane < kPaneCount ? panes_[pane]->text() : QString();
}

void CChildFrame::layoutPanes() {
    const QFontMetrics fm(status_->font());
    std::vector<int> widths;
    QString all;
    for (const char* sample : kSamples) {
        widths.push_back(fm.horizontalAdvance(QString::fromLatin1(sample)));
        all += QString::fromLatin1(sample);
    }
    const QMargins m = status_->contentsMargins();
    const int inside = status_->width() - m.left() - m.right();
    edges_ = kStatusPaneEdges(inside, widths, fm.horizontalAdvance(all), kMargin);
    int left = 0;
    for (int i = 0; i < kPaneCount; ++i) {
        const int w = std::max(0, edges_[size_t(i)] - left);
        if (i == 0) {
            panes_[i]->setMinimumWidth(0);
        } else {
            panes_[i]->setFixedWidth(w);
        }
        left = edges_[size_t(i)];
    }
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!manager_.canCloseFrame(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    layoutPanes();
}

bool CChildFrame::eventFilter(QObject* watched, QEvent* event) {
    // The panes follow the bar's own width, known only once the layout has run.
    if (watched == status_ && event->type() == QEvent::Resize) {
        layoutPanes();
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
