#include "dialogs/KViewToolDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/KDialogFields.h"

namespace {

void addOkCancel(QDialog* dlg, QVBoxLayout* layout) {
    layout->addWidget(kOkCancelButtons(dlg));
}

} // namespace

KLineItemDlg::KLineItemDlg(int midPoints, double width, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Line Item Properties"));
    midPointsEdit = kIntEdit(this, 1, 5, std::clamp(midPoints, 1, 5));
    widthEdit = kRealEdit(this, 0.001, 1.0, std::clamp(width, 0.001, 1.0), 3);
    widthEdit->setSingleStep(0.01);
    auto* form = new QFormLayout;
    form->addRow(tr("Mid Points"), midPointsEdit);
    form->addRow(tr("Width"), widthEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    addOkCancel(this, layout);
}

int KLineItemDlg::midPoints() const {
    return midPointsEdit->value();
}

double KLineItemDlg::width() const {
    return widthEdit->value();
}

KRepeatDlg::KRepeatDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Copy Muscle Properties"));
    copiesEdit = kIntEdit(this, 1, 100, 1);
    offsetUEdit = kRealEdit(this, -1e6, 1e6, 0.0);
    offsetVEdit = kRealEdit(this, -1e6, 1e6, 0.0);
    offsetUEdit->setSingleStep(0.01);
    offsetVEdit->setSingleStep(0.01);
    mirrorUBox = new QCheckBox(tr("Mirror in U"), this);
    mirrorVBox = new QCheckBox(tr("Mirror in V"), this);
    auto* form = new QFormLayout;
    form->addRow(tr("Copies:"), copiesEdit);
    form->addRow(tr("Offset U"), offsetUEdit);
    form->addRow(tr("Offset V"), offsetVEdit);
    form->addRow(mirrorUBox);
    form->addRow(mirrorVBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    addOkCancel(this, layout);
}

KRepeatOptions KRepeatDlg::options() const {
    KRepeatOptions o;
    o.copies = copiesEdit->value();
    o.offsetU = offsetUEdit->value();
    o.offsetV = offsetVEdit->value();
    o.mirrorU = mirrorUBox->isChecked();
    o.mirrorV = mirrorVBox->isChecked();
    return o;
}

KViewSizeDlg::KViewSizeDlg(bool includeFrame, int captureTarget, QSize frameSize, QSize clientSize,
                           QWidget* parent)
    : QDialog(parent), frameSize_(frameSize), clientSize_(clientSize) {
    setWindowTitle(tr("Set View Size"));
    includeFrameBox = new QCheckBox(tr("Include Frame"), this);
    includeFrameBox->setChecked(includeFrame);
    widthEdit = kIntEdit(this, 8, 1024, 8);
    heightEdit = kIntEdit(this, 8, 1024, 8);
    auto* sizeBox = new QGroupBox(tr("Window Size"), this);
    auto* form = new QFormLayout(sizeBox);
    form->addRow(tr("Width"), widthEdit);
    form->addRow(tr("Height"), heightEdit);
    form->addRow(includeFrameBox);

    toDisk = new QRadioButton(tr("To Disk"), this);
    toClipboard = new QRadioButton(tr("To Clipboard"), this);
    // A capture always goes to a file; the choice is kept but cannot be made.
    toClipboard->setEnabled(false);
    auto* group = new QButtonGroup(this);
    group->addButton(toDisk, 0);
    group->addButton(toClipboard, 1);
    (captureTarget == 1 ? toClipboard : toDisk)->setChecked(true);
    auto* targetBox = new QGroupBox(tr("Capture Options"), this);
    auto* targets = new QVBoxLayout(targetBox);
    targets->addWidget(toDisk);
    targets->addWidget(toClipboard);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sizeBox);
    layout->addWidget(targetBox);
    addOkCancel(this, layout);
    showSizes();
    connect(includeFrameBox, &QCheckBox::toggled, this, &KViewSizeDlg::showSizes);
}

void KViewSizeDlg::showSizes() {
    const QSize s = includeFrameBox->isChecked() ? frameSize_ : clientSize_;
    widthEdit->setValue(s.width());
    heightEdit->setValue(s.height());
}

bool KViewSizeDlg::includeFrame() const {
    return includeFrameBox->isChecked();
}

int KViewSizeDlg::captureTarget() const {
    return toClipboard->isChecked() ? 1 : 0;
}

QSize KViewSizeDlg::size() const {
    return {widthEdit->value(), heightEdit->value()};
}
