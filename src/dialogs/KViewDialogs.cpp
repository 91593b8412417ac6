#include "dialogs/KViewDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/KLayerSelectionList.h"
#include "gui/KDialogFields.h"

CGridViewPropertiesDlg::CGridViewPropertiesDlg(const KUvMapSettings& s, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Grid View Properties"));
    gridLines = kFlagCheck(this, tr("Grid Lines"), s.showGrid);
    legend = kFlagCheck(this, tr("Legend"), s.showLegend);
    background = kFlagCheck(this, tr("Background"), s.showBackground);
    inactiveLayers = kFlagCheck(this, tr("Inactive Layers"), s.showInactiveLayers);
    inactiveItems = kFlagCheck(this, tr("Inactive Items"), s.showInactiveItems);
    transparent = kFlagCheck(this, tr("Draw Items Transparent"), s.drawTransparent);
    fullCurves = kFlagCheck(this, tr("Draw Full Curves"), s.drawFullCurves);
    auto* shows = new QVBoxLayout;
    for (QCheckBox* b :
         {gridLines, legend, background, inactiveLayers, inactiveItems, transparent, fullCurves}) {
        shows->addWidget(b);
    }
    shows->addStretch(1);

    uRatio = kRealEdit(this, -1e6, 1e6, s.uRatio);
    vRatio = kRealEdit(this, -1e6, 1e6, s.vRatio);
    auto* ratio = new QGroupBox(tr("UV Drawing Ratio"), this);
    auto* ratioForm = new QFormLayout(ratio);
    ratioForm->addRow(tr("U"), uRatio);
    ratioForm->addRow(tr("V"), vRatio);
    ticks = kIntEdit(this, 1, 20, s.tickStep);
    width = kIntEdit(this, 2, 20, s.cellSize);
    auto* sizes = new QFormLayout;
    sizes->addRow(tr("Ticks  1/"), ticks);
    sizes->addRow(tr("Width"), width);
    auto* right = new QVBoxLayout;
    right->addWidget(ratio);
    right->addLayout(sizes);
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(shows);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(kOkCancelButtons(this));
}

KUvMapSettings CGridViewPropertiesDlg::result(KUvMapSettings s) const {
    s.showGrid = gridLines->isChecked();
    s.showLegend = legend->isChecked();
    s.showBackground = background->isChecked();
    s.showInactiveLayers = inactiveLayers->isChecked();
    s.showInactiveItems = inactiveItems->isChecked();
    s.drawTransparent = transparent->isChecked();
    s.drawFullCurves = fullCurves->isChecked();
    s.setRatios(float(uRatio->value()), float(vRatio->value()));
    s.tickStep = ticks->value();
    s.cellSize = width->value();
    return s;
}

CScalingPercentDlg::CScalingPercentDlg(int percent, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Scaling Percent"));
    edit = kIntEdit(this, 1, 10000, std::clamp(percent, 1, 10000));
    edit->setSuffix(QStringLiteral(" %"));
    auto* form = new QFormLayout;
    form->addRow(tr("Scaling"), edit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(kOkCancelButtons(this));
}

int CScalingPercentDlg::percent() const {
    return edit->value();
}

CSelectLayersDlg::CSelectLayersDlg(const QStringList& names, const std::vector<int>& selected,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Select Layers"));
    list = kLayerSelectionList(this, names, selected);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("User Layers"), this));
    layout->addWidget(list);
    layout->addWidget(kOkCancelButtons(this));
}

std::vector<int> CSelectLayersDlg::selection() const {
    return kSelectedRows(list);
}
