#include "dialogs/KCurveEditDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"
#include "gui/KLayerNames.h"
#include "platform/KUi.h"

namespace {

QDialogButtonBox* buttons(QDialog* dlg, const QString& okText = QString()) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    if (!okText.isEmpty()) {
        box->button(QDialogButtonBox::Ok)->setText(okText);
    }
    QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return box;
}

QGroupBox* radios(QWidget* parent, const QString& title, const QStringList& texts,
                  QButtonGroup*& group, int checked) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(box);
    group = new QButtonGroup(parent);
    for (int i = 0; i < texts.size(); ++i) {
        auto* b = new QRadioButton(texts[i], box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    group->button(std::clamp(checked, 0, int(texts.size()) - 1))->setChecked(true);
    return box;
}

// Index types as the dialog shows them: 0 and 1 PolyLine, 2 and 3 X, 4 Y, 5 Z.
int indexChoice(int indexType) {
    switch (indexType) {
    case KBdlCurve::AxisX:
    case KBdlCurve::Radial:
        return 1;
    case KBdlCurve::AxisY:
        return 2;
    case KBdlCurve::AxisZ:
        return 3;
    default:
        return 0;
    }
}

} // namespace

KCurveEditDlg::KCurveEditDlg(const KCurveEditModel::CurveValues& v, QWidget* parent)
    : QDialog(parent), base_(v) {
    setWindowTitle(tr("Curve Properties"));
    auto* group = new QGroupBox(tr("Curve Parameters"), this);
    auto* form = new QFormLayout(group);
    form->addRow(tr("Type:"), radios(group, QString(), {tr("Polyline"), tr("Spline")}, basis,
                                     v.basis == KBdlCurve::Polyline ? 0 : 1));
    form->addRow(tr("Index Type:"),
                 radios(group, QString(), {tr("PolyLine"), tr("X"), tr("Y"), tr("Z")}, indexType,
                        indexChoice(v.indexType)));
    form->addRow(QString(),
                 new QLabel(tr("Manual not currently implemented. Defaults to Polyline"), group));
    points = new QPlainTextEdit(QString::fromStdString(v.controlString), group);
    points->setMinimumSize(360, 90);
    form->addRow(tr("Control Points:"), points);
    repeats = kIntEdit(group, 0, 1000, v.repeatCount);
    resolution = kIntEdit(group, 1, KBdlCurve::kMaxResolution, v.resolution);
    auxiliary = kIntEdit(group, -1000000, 1000000, v.auxiliary);
    form->addRow(tr("Repeats"), repeats);
    form->addRow(tr("Resolution"), resolution);
    form->addRow(tr("Auxiliary"), auxiliary);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons(this, tr("Done")));
}

KCurveEditModel::CurveValues KCurveEditDlg::values() const {
    KCurveEditModel::CurveValues v = base_;
    v.basis = basis->checkedId() == 0 ? KBdlCurve::Polyline : KBdlCurve::Spline;
    static const int kIndexTypes[4] = {KBdlCurve::PolyLine, KBdlCurve::AxisX, KBdlCurve::AxisY,
                                       KBdlCurve::AxisZ};
    v.indexType = kIndexTypes[std::clamp(indexType->checkedId(), 0, 3)];
    v.controlString = points->toPlainText().toStdString();
    v.repeatCount = repeats->value();
    v.resolution = resolution->value();
    v.auxiliary = auxiliary->value();
    return v;
}

void KCurveEditDlg::accept() {
    const std::string text = points->toPlainText().toStdString();
    if (text != base_.controlString) {
        KBdlCurve trial;
        const int status = trial.parse(text);
        if (status != KBdlCurve::ParseOk && status != KBdlCurve::ParseFewVertices) {
            KBdlCurve::reportParseStatus(status);
            points->setFocus();
            return;
        }
    }
    QDialog::accept();
}

KCurveEditingPropertiesDlg::KCurveEditingPropertiesDlg(int dragPixels, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Curve Editing Properties"));
    pixels = kIntEdit(this, 1, 10, std::clamp(dragPixels, 1, 10));
    auto* form = new QFormLayout;
    form->addRow(tr("Drag Pixels"), pixels);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons(this));
}

int KCurveEditingPropertiesDlg::dragPixels() const {
    return pixels->value();
}

KScalingOptionsDlg::KScalingOptionsDlg(const KMdlZoom& z, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Scaling Options"));
    rangeMin = kRealEdit(this, -1e6, 1e6, z.rangeMin);
    rangeMax = kRealEdit(this, -1e6, 1e6, z.rangeMax);
    offset = kRealEdit(this, -1e6, 1e6, z.offset);
    scale = kRealEdit(this, -1e6, 1e6, z.scale);
    auto* range = new QGroupBox(tr("Range:"), this);
    auto* rangeForm = new QFormLayout(range);
    rangeForm->addRow(tr("Min"), rangeMin);
    rangeForm->addRow(tr("Max"), rangeMax);
    auto* form = new QFormLayout;
    form->addRow(tr("Offset"), offset);
    form->addRow(tr("Scale"), scale);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(range);
    layout->addLayout(form);
    layout->addWidget(buttons(this));
}

KMdlZoom KScalingOptionsDlg::zoom() const {
    KMdlZoom z;
    z.rangeMin = rangeMin->value();
    z.rangeMax = rangeMax->value();
    z.offset = offset->value();
    z.scale = scale->value();
    return z;
}

void KScalingOptionsDlg::accept() {
    if (rangeMax->value() == rangeMin->value()) {
        kUi().message("The range needs a Max that differs from its Min.", KUi::Icon::Warning);
        rangeMax->setFocus();
        return;
    }
    if (scale->value() == 0.0) {
        kUi().message("The scale must not be 0.", KUi::Icon::Warning);
        scale->setFocus();
        return;
    }
    QDialog::accept();
}

KSelectMdlItemDlg::KSelectMdlItemDlg(const CPexaDoc& doc, int layer, int muscle, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    setWindowTitle(tr("Select MDL Item"));
    layers = new QListWidget(this);
    muscles = new QListWidget(this);
    for (QListWidget* list : {layers, muscles}) {
        list->setMaximumSize(220, 240);
    }
    layers->addItems(kLayerNames(doc));
    connect(layers, &QListWidget::currentRowChanged, this, &KSelectMdlItemDlg::fillMuscles);
    if (layer >= 0 && layer < layers->count()) {
        layers->setCurrentRow(layer);
        if (muscle >= 0 && muscle < muscles->count()) {
            muscles->setCurrentRow(muscle);
        }
    }
    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("Layers"), this));
    left->addWidget(layers);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(tr("Items"), this));
    right->addWidget(muscles);
    lists->addLayout(left);
    lists->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(buttons(this));
}

void KSelectMdlItemDlg::fillMuscles(int layer) {
    muscles->clear();
    const KBdlLayer* l = doc_.layerAt(layer);
    if (!l) {
        return;
    }
    for (const auto& m : l->muscles) {
        muscles->addItem(QStringLiteral("%1 (%2)").arg(
            QString::fromStdString(m->name),
            QString::fromStdString(KBdlMuscle::typeName(m->muscleType))));
    }
}

int KSelectMdlItemDlg::layerIndex() const {
    return layers->currentRow();
}

int KSelectMdlItemDlg::muscleIndex() const {
    return muscles->currentRow();
}

bool kEditCurveValues(QWidget* parent, KCurveEditModel::CurveValues& values) {
    KCurveEditDlg dlg(values, parent);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return false;
    }
    values = dlg.values();
    return true;
}

bool kEditDragPixels(QWidget* parent, int& dragPixels) {
    KCurveEditingPropertiesDlg dlg(dragPixels, parent);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return false;
    }
    dragPixels = dlg.dragPixels();
    return true;
}

bool kEditScaling(QWidget* parent, KMdlZoom& zoom) {
    KScalingOptionsDlg dlg(zoom, parent);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return false;
    }
    zoom = dlg.zoom();
    return true;
}

bool kSelectMdlItem(QWidget* parent, const CPexaDoc& doc, int& layer, int& muscle) {
    KSelectMdlItemDlg dlg(doc, layer, muscle, parent);
    if (kRunDialog(dlg) != QDialog::Accepted) {
        return false;
    }
    layer = dlg.layerIndex();
    muscle = dlg.muscleIndex();
    return true;
}
