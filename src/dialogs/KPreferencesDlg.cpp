#include "dialogs/KPreferencesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

KPreferencesDlg::KPreferencesDlg(const Values& values, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("preferencesDialog"));
    setWindowTitle(tr("Preferences"));
    arrange_ = new QCheckBox(tr("&Arrange windows when a document opens"), this);
    arrange_->setObjectName(QStringLiteral("arrangeWindows"));
    arrange_->setChecked(values.arrangeWindows);
    autosave_ = new QSpinBox(this);
    autosave_->setObjectName(QStringLiteral("autosaveMinutes"));
    autosave_->setRange(0, kMaxAutosaveMinutes);
    autosave_->setSuffix(tr(" min"));
    autosave_->setSpecialValueText(tr("Off"));
    autosave_->setValue(std::clamp(values.autosaveMinutes, 0, kMaxAutosaveMinutes));
    auto* form = new QFormLayout;
    form->addRow(arrange_);
    form->addRow(tr("Save for &recovery every:"), autosave_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

KPreferencesDlg::Values KPreferencesDlg::values() const {
    return {arrange_->isChecked(), autosave_->value()};
}
