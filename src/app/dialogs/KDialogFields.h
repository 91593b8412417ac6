#pragma once
// Small helpers that build the edit fields the property dialogs share, with their ranges.

#include <QDoubleSpinBox>
#include <QSpinBox>
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
