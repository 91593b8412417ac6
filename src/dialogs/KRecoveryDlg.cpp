#include "dialogs/KRecoveryDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

KRecoveryDlg::KRecoveryDlg(const std::vector<Row>& rows, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("recoveryDialog"));
    setWindowTitle(tr("Recover Documents"));
    auto* text = new QLabel(tr("Quorl ended without closing these documents. Their last "
                               "automatically saved state can be opened; check the ones to open."),
                            this);
    text->setWordWrap(true);
    list_ = new QListWidget(this);
    for (const Row& row : rows) {
        auto* item = new QListWidgetItem(rowText(row), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        item->setToolTip(row.originalPath);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(tr("&Open"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("recoverOpen"));
    open->setDefault(true);
    QPushButton* discard = buttons->addButton(tr("&Discard"), QDialogButtonBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("recoverDiscard"));
    QPushButton* later = buttons->addButton(tr("&Later"), QDialogButtonBox::RejectRole);
    later->setObjectName(QStringLiteral("recoverLater"));
    connect(open, &QPushButton::clicked, this, &QDialog::accept);
    connect(discard, &QPushButton::clicked, this, [this] { done(Discard); });
    connect(later, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    // Wide enough for a full path; never below what the layout needs.
    resize(sizeHint().expandedTo(QSize(560, 0)));
}

QString KRecoveryDlg::rowText(const Row& row) {
    const QString where = row.originalPath.isEmpty() ? tr("never saved") : row.originalPath;
    return tr("%1 - %2 (saved %3)")
        .arg(row.title, where, QLocale().toString(row.time, QLocale::ShortFormat));
}

std::vector<int> KRecoveryDlg::chosen() const {
    std::vector<int> out;
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->checkState() == Qt::Checked) {
            out.push_back(i);
        }
    }
    return out;
}

void KRecoveryDlg::setChecked(int row, bool on) {
    if (QListWidgetItem* item = list_->item(row)) {
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}
