#pragma once
// Dialogs of the UV map view: its display properties, a custom zoom and the layers shown.

#include <QDialog>
#include <vector>

#include "edit/KUvMapSettings.h"

class QCheckBox;
class QDoubleSpinBox;
class QListWidget;
class QSpinBox;

// "Grid View Properties": the view's switches, drawing ratio, tick step and cell size.
class CGridViewPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CGridViewPropertiesDlg(const KUvMapSettings& settings, QWidget* parent = nullptr);
    // The settings with the dialog's values taken over (ratios <= 0 become 1).
    KUvMapSettings result(KUvMapSettings base) const;

    QCheckBox* gridLines;
    QCheckBox* legend;
    QCheckBox* background;
    QCheckBox* inactiveLayers;
    QCheckBox* inactiveItems;
    QCheckBox* transparent;
    QCheckBox* fullCurves;
    QDoubleSpinBox* uRatio;
    QDoubleSpinBox* vRatio;
    QSpinBox* ticks;
    QSpinBox* width;
};

// "Scaling Percent": one integer 1..10000.
class CScalingPercentDlg : public QDialog {
    Q_OBJECT
public:
    CScalingPercentDlg(int percent, QWidget* parent = nullptr);
    int percent() const;
    QSpinBox* edit;
};

// "Select Layers": the user layers by name, several may be picked.
class CSelectLayersDlg : public QDialog {
    Q_OBJECT
public:
    CSelectLayersDlg(const QStringList& names, const std::vector<int>& selected,
                     QWidget* parent = nullptr);
    std::vector<int> selection() const;
    QListWidget* list;
};
