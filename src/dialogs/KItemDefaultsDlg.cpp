#include "dialogs/KItemDefaultsDlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/KDialogFields.h"

KItemDefaultsDlg::KItemDefaultsDlg(const QString& title, const QString& note, double totalWidth,
                                   double centerPosition, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* text = new QLabel(note, this);
    text->setWordWrap(true);
    text->setMinimumWidth(360);
    width_ = kRealEdit(this, 0.0, 1.0, totalWidth);
    center_ = kRealEdit(this, 0.0, 1.0, centerPosition);
    auto* form = new QFormLayout;
    form->addRow(tr("Total Width"), width_);
    form->addRow(tr("Center Position"), center_);
    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

double KItemDefaultsDlg::totalWidth() const {
    return width_->value();
}
double KItemDefaultsDlg::centerPosition() const {
    return center_->value();
}
