#pragma once
// Small helpers that build the edit fields the property dialogs share, with their ranges.

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <cstdint>
#include <limits>

// An integer field limited to [lo, hi].
inline QSpinBox* kIntEdit(QWidget* parent, int lo, int hi, int value) {
    auto* edit = new QSpinBox(parent);
    edit->setRange(lo, hi);
    edit->setValue(value);
    return edit;
}

// A real-number field limited to [lo, hi] (unbounded by default), shown with enough
// decimals for the values the object uses.
inline QDoubleSpinBox* kRealEdit(QWidget* parent, double lo = -1e9, double hi = 1e9,
                                 double value = 0.0, int decimals = 4) {
    auto* edit = new QDoubleSpinBox(parent);
    edit->setDecimals(decimals);
    edit->setRange(lo, hi);
    edit->setSingleStep(0.1);
    edit->setValue(value);
    edit->setMinimumWidth(100);
    return edit;
}

// The OK and Cancel buttons every property dialog ends with, wired to accept and reject.
inline QDialogButtonBox* kOkCancelButtons(QDialog* dlg) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return buttons;
}

// Sets the dialog's title and makes the dialog wide enough to show all of it in the
// window's caption.
inline void kSetFittedTitle(QDialog* dlg, const QString& title) {
    dlg->setWindowTitle(title);
    dlg->setMinimumWidth(dlg->fontMetrics().horizontalAdvance(dlg->windowTitle()) + 120);
}

// A check box showing a stored 0/1 flag, and the flag it leaves.
inline QCheckBox* kFlagCheck(QWidget* parent, const QString& text, int32_t on) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(on != 0);
    return box;
}

inline int32_t kCheckedFlag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}
