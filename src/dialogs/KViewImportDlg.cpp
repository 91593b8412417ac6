#include "dialogs/KViewImportDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

KViewImportDlg::KViewImportDlg(const QStringList& names, const std::vector<int>& selection,
                               int preselect, QWidget* parent)
    : QDialog(parent), names_(names), preselect_(preselect) {
    setWindowTitle(tr("Import Image Options"));
    // Only selections naming existing layers are listed.
    for (int k : selection) {
        if (k >= 0 && k < names.size()) {
            selection_.push_back(k);
        }
    }
    layerList = new QListWidget(this);
    layerList->setSelectionMode(QAbstractItemView::SingleSelection);
    selectedOnlyBox = new QCheckBox(tr("Show Active Layer's Only"), this);
    selectedOnlyBox->setChecked(!selection_.empty());
    selectedOnlyBox->setEnabled(!selection_.empty());
    backgroundBox = new QCheckBox(tr("Use as background only"), this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Destination Layer:"), this));
    layout->addWidget(layerList);
    layout->addWidget(selectedOnlyBox);
    layout->addWidget(backgroundBox);
    layout->addWidget(buttons);
    fillList();
    connect(selectedOnlyBox, &QCheckBox::toggled, this, &KViewImportDlg::fillList);
}

void KViewImportDlg::fillList() {
    // Keep the chosen layer across a change of the listing.
    const int chosen = layerList->count() > 0 ? destinationLayer() : preselect_;
    layerList->clear();
    int row = 0;
    if (selectedOnlyBox->isChecked()) {
        for (size_t i = 0; i < selection_.size(); ++i) {
            layerList->addItem(names_[selection_[i]]);
            if (selection_[i] == chosen) {
                row = int(i);
            }
        }
    } else {
        layerList->addItems(names_);
        if (chosen >= 0 && chosen < names_.size()) {
            row = chosen;
        }
    }
    if (layerList->count() > 0) {
        layerList->setCurrentRow(row);
    }
}

int KViewImportDlg::layerForRow(int row, bool onlySelected, const std::vector<int>& selection,
                                int layerCount) {
    if (onlySelected) {
        if (row < 0 || size_t(row) >= selection.size()) {
            return 0;
        }
        return selection[size_t(row)];
    }
    return row >= 0 && row < layerCount ? row : 0;
}

int KViewImportDlg::destinationLayer() const {
    return layerForRow(layerList->currentRow(), selectedOnlyBox->isChecked(), selection_,
                       int(names_.size()));
}

bool KViewImportDlg::backgroundOnly() const {
    return backgroundBox->isChecked();
}
