#include "app/CChildFrame.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/CDocManager.h"
#include "dialogs/KAboutDlg.h"
#include "gui/KStatusPaneBar.h"
#include "views/CPexaView.h"

CChildFrame::CChildFrame(CDocManager& manager, CPexaDoc& doc, QWidget* parent)
    : QMdiSubWindow(parent), manager_(manager), doc_(doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(kProgramIcon());
    auto* body = new QWidget(this);
    view_ = new CPexaView(doc, *this, body);
    status_ =
        new KStatusPaneBar({QStringLiteral("(messages)"), QStringLiteral("uv: 9.9999, 9.9999   "),
                            QStringLiteral("-9999%     ")},
                           kMargin, QString(), body);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    setWidget(body);
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
    status_->setPaneText(pane, text);
}

QString CChildFrame::paneText(int pane) const {
    return status_->paneText(pane);
}

const std::vector<int>& CChildFrame::paneEdges() const {
    return status_->paneEdges();
}

void CChildFrame::layoutPanes() {
    status_->layoutPanes();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!manager_.canCloseFrame(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
