#include "dialogs/KProgressWindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

KProgressWindow::KProgressWindow(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setModal(false);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    percent_ = new QLabel(this);
    percent_->setMinimumWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status_ = new QLabel(this);
    status_->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &KProgressWindow::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(bar_, 1);
    row->addWidget(percent_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    setPosition(0);
}

void KProgressWindow::setStatus(const QString& text) {
    status_->setText(text);
}

void KProgressWindow::setPosition(int percent) {
    percent = std::clamp(percent, 0, 100);
    bar_->setValue(percent);
    percent_->setText(QStringLiteral("%1 %").arg(percent, 2));
}

QString KProgressWindow::percentText() const {
    return percent_->text();
}
QString KProgressWindow::statusText() const {
    return status_->text();
}
int KProgressWindow::position() const {
    return bar_->value();
}

void KProgressWindow::reject() {
    cancelled_ = true;
}
