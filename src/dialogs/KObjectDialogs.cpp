#include "dialogs/KObjectDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"

namespace {

// A row of radio buttons in a titled box; the button ids are their positions.
QGroupBox* radioBox(QWidget* parent, const QString& title, const QStringList& names,
                    QButtonGroup*& group, int checked, Qt::Orientation orientation) {
    auto* box = new QGroupBox(title, parent);
    QBoxLayout* layout = orientation == Qt::Horizontal
                             ? static_cast<QBoxLayout*>(new QHBoxLayout(box))
                             : static_cast<QBoxLayout*>(new QVBoxLayout(box));
    group = new QButtonGroup(parent);
    for (int i = 0; i < names.size(); ++i) {
        auto* radio = new QRadioButton(names[i], box);
        radio->setChecked(i == checked);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    return box;
}

} // namespace

KObjectDialog::KObjectDialog(CPexaDoc& doc, const QString& title, QWidget* parent)
    : QDialog(parent), doc_(doc) {
    setWindowTitle(title);
}

void KObjectDialog::finish(QLayout* content) {
    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addWidget(buttons);
}

bool KObjectDialog::run() {
    if (kRunDialog(*this) != QDialog::Accepted) {
        return false;
    }
    apply();
    return true;
}

// ---- Object Description

CObjectDescriptionDlg::CObjectDescriptionDlg(CPexaDoc& doc, QWidget* parent)
    : KObjectDialog(doc, tr("Object Description"), parent) {
    name = new QLineEdit(QString::fromStdString(doc.objectName), this);
    description = new QPlainTextEdit(QString::fromStdString(doc.description), this);
    description->setMinimumSize(360, 100);
    auto* form = new QFormLayout;
    form->addRow(tr("Name"), name);
    form->addRow(tr("Description"), description);
    finish(form);
}

void CObjectDescriptionDlg::apply() {
    doc_.objectName = name->text().toStdString();
    doc_.description = description->toPlainText().toStdString();
    doc_.nameNextEdit("Object Description");
    doc_.setModified(true);
}

// ---- Mesh Properties

CMeshPropertiesDlg::CMeshPropertiesDlg(CPexaDoc& doc, QWidget* parent)
    : KObjectDialog(doc, tr("Mesh Properties"), parent) {
    uResolution = kIntEdit(this, 1, CPexaDoc::kMaxResolution, doc.uResolution);
    vResolution = kIntEdit(this, 1, CPexaDoc::kMaxResolution, doc.vResolution);
    auto* polys = new QGroupBox(tr("Resolution"), this);
    auto* polyForm = new QFormLayout(polys);
    polyForm->addRow(tr("u polys"), uResolution);
    polyForm->addRow(tr("v polys"), vResolution);

    clipUFrom = kRealEdit(this, 0.0, 1.0, doc.clip.uFrom);
    clipUTo = kRealEdit(this, 0.0, 1.0, doc.clip.uTo);
    clipVFrom = kRealEdit(this, 0.0, 1.0, doc.clip.vFrom);
    clipVTo = kRealEdit(this, 0.0, 1.0, doc.clip.vTo);
    auto* clips = new QGroupBox(tr("Clip Ranges"), this);
    auto* clipGrid = new QGridLayout(clips);
    clipGrid->addWidget(new QLabel(tr("from"), clips), 0, 1);
    clipGrid->addWidget(new QLabel(tr("to"), clips), 0, 2);
    clipGrid->addWidget(new QLabel(tr("U"), clips), 1, 0);
    clipGrid->addWidget(clipUFrom, 1, 1);
    clipGrid->addWidget(clipUTo, 1, 2);
    clipGrid->addWidget(new QLabel(tr("V"), clips), 2, 0);
    clipGrid->addWidget(clipVFrom, 2, 1);
    clipGrid->addWidget(clipVTo, 2, 2);

    // A superquadric base shape checks none of the four.
    QGroupBox* shapes =
        radioBox(this, tr("Base Shape"), {tr("Planar"), tr("Conic"), tr("Spheric"), tr("Disc")},
                 shape, -1, Qt::Vertical);
    const int shapeIds[4] = {CPexaDoc::Planar, CPexaDoc::Conic, CPexaDoc::Spheric, CPexaDoc::Disc};
    // The radio order is Planar, Conic, Spheric, Disc; re-id them by their shape values.
    const auto buttons = shape->buttons();
    for (int i = 0; i < 4; ++i) {
        shape->setId(buttons[i], shapeIds[i]);
        buttons[i]->setChecked(doc.baseShape == shapeIds[i]);
    }

    scalingU = kRealEdit(this, -1e6, 1e6, doc.scalingU);
    scalingV = kRealEdit(this, -1e6, 1e6, doc.scalingV);
    scalingHeight = kRealEdit(this, -1e6, 1e6, doc.scalingHeight);
    auto* scalings = new QGroupBox(tr("Scaling"), this);
    auto* scaleForm = new QFormLayout(scalings);
    scaleForm->addRow(tr("U"), scalingU);
    scaleForm->addRow(tr("V"), scalingV);
    scaleForm->addRow(tr("Height"), scalingHeight);

    QGroupBox* types = radioBox(this, tr("Type"), {tr("UV Grid"), tr("Minimal")}, type,
                                doc.meshType, Qt::Vertical);
    option = new QComboBox(this);
    option->addItems({tr("(default)"), tr("u 50")});
    option->setCurrentIndex(doc.meshOption >= 0 && doc.meshOption < 2 ? doc.meshOption : 0);
    auto* optionRow = new QFormLayout;
    optionRow->addRow(tr("Mesh Option"), option);

    auto* grid = new QGridLayout;
    grid->addWidget(polys, 0, 0);
    grid->addWidget(clips, 0, 1);
    grid->addWidget(shapes, 1, 0);
    grid->addWidget(scalings, 1, 1);
    grid->addWidget(types, 2, 0);
    grid->addLayout(optionRow, 2, 1);
    finish(grid);
}

void CMeshPropertiesDlg::apply() {
    doc_.uResolution = uResolution->value();
    doc_.vResolution = vResolution->value();
    doc_.clip.uFrom = clipUFrom->value();
    doc_.clip.uTo = clipUTo->value();
    doc_.clip.vFrom = clipVFrom->value();
    doc_.clip.vTo = clipVTo->value();
    const int s = shape->checkedId();
    if (s >= CPexaDoc::Planar && s <= CPexaDoc::Disc) {
        doc_.baseShape = s;
    }
    doc_.scalingU = scalingU->value();
    doc_.scalingV = scalingV->value();
    doc_.scalingHeight = scalingHeight->value();
    if (type->checkedId() >= 0) {
        doc_.meshType = type->checkedId();
    }
    doc_.meshOption = option->currentIndex();
    doc_.nameNextEdit("Mesh Properties");
    doc_.rebuildGrid();
}

// ---- Image Properties

CImagePropertiesDlg::CImagePropertiesDlg(CPexaDoc& doc, QWidget* parent)
    : KObjectDialog(doc, tr("Image Properties"), parent) {
    // Image sizes: at least one pixel, at most what an image map allocates comfortably.
    u = kIntEdit(this, 1, 8192, doc.imageResolutionU);
    v = kIntEdit(this, 1, 8192, doc.imageResolutionV);
    interpolate = new QCheckBox(tr("Interpolate Heights"), this);
    interpolate->setChecked(doc.interpolateHeights != 0);
    auto* form = new QFormLayout;
    form->addRow(tr("U"), u);
    form->addRow(tr("V"), v);
    form->addRow(interpolate);
    finish(form);
}

void CImagePropertiesDlg::apply() {
    doc_.imageResolutionU = u->value();
    doc_.imageResolutionV = v->value();
    doc_.interpolateHeights = interpolate->isChecked() ? 1 : 0;
    doc_.nameNextEdit("Image Properties");
    doc_.setModified(true);
}

// ---- Basic Shape Properties

CBasicShapeDlg::CBasicShapeDlg(CPexaDoc& doc, QWidget* parent)
    : KObjectDialog(doc, tr("Basic Shape Properties"), parent) {
    doc.currentItem = CPexaDoc::ItemShape;
    const KBdlBodyPart& part = doc.bodyPart;
    uFactor = kRealEdit(this, -1e6, 1e6, part.uFactor);
    uOffset = kRealEdit(this, -1e6, 1e6, part.uOffset);
    uRepeat = kIntEdit(this, 0, 1000, part.uRepeat);
    shear = kRealEdit(this, -1e6, 1e6, part.shear);
    vFactor = kRealEdit(this, -1e6, 1e6, part.vFactor);
    uProfile = new QLineEdit(QString::fromStdString(part.uProfile.getString()), this);
    vProfile = new QLineEdit(QString::fromStdString(part.vProfile.getString()), this);
    for (QLineEdit* e : {uProfile, vProfile}) {
        e->setReadOnly(true);
        // Wide enough for the whole default string, and showing its start.
        const int textWidth = e->fontMetrics().horizontalAdvance(e->text()) + 24;
        e->setMinimumWidth(std::clamp(textWidth, 300, 720));
        e->setCursorPosition(0);
    }
    auto* form = new QFormLayout;
    form->addRow(tr("U Factor"), uFactor);
    form->addRow(tr("U Offset"), uOffset);
    form->addRow(tr("U Repeat"), uRepeat);
    form->addRow(tr("Shear"), shear);
    form->addRow(tr("V Factor"), vFactor);
    form->addRow(tr("U Profile"), uProfile);
    form->addRow(tr("V Profile"), vProfile);
    finish(form);
}

void CBasicShapeDlg::apply() {
    KBdlBodyPart& part = doc_.bodyPart;
    part.uFactor = float(uFactor->value());
    part.uOffset = float(uOffset->value());
    part.uRepeat = uRepeat->value();
    part.shear = float(shear->value());
    part.vFactor = float(vFactor->value());
    doc_.nameNextEdit("Basic Shape Properties");
    doc_.documentChanged();
}

// ---- SuperQuad Properties

CSuperQuadDlg::CSuperQuadDlg(CPexaDoc& doc, QWidget* parent)
    : KObjectDialog(doc, tr("SuperQuad Properties"), parent) {
    const KShapeSuperQ& q = doc.bodyPart.superQuad;
    QGroupBox* kinds = radioBox(this, tr("Type"), {tr("Elliptic"), tr("Toric"), tr("Conic")}, kind,
                                q.type, Qt::Horizontal);
    exponent1 = kRealEdit(this, -1e6, 1e6, q.exponent1);
    exponent2 = kRealEdit(this, -1e6, 1e6, q.exponent2);
    boundX = kRealEdit(this, -1e6, 1e6, q.boundX);
    boundY = kRealEdit(this, -1e6, 1e6, q.boundY);
    boundZ = kRealEdit(this, -1e6, 1e6, q.boundZ);
    rad1 = kRealEdit(this, -1e6, 1e6, q.rad1);
    rad2 = kRealEdit(this, -1e6, 1e6, q.rad2);
    clearScaling = new QCheckBox(tr("Set the basic shape's scaling factors to 0.00"), this);
    clearScaling->setChecked(q.clearBaseScaling != 0);
    auto* form = new QFormLayout;
    form->addRow(kinds);
    form->addRow(tr("Exponent 1"), exponent1);
    form->addRow(tr("Exponent 2"), exponent2);
    form->addRow(tr("Bound X"), boundX);
    form->addRow(tr("Bound Y"), boundY);
    form->addRow(tr("Bound Z"), boundZ);
    form->addRow(tr("Radius 1"), rad1);
    form->addRow(tr("Radius 2"), rad2);
    form->addRow(clearScaling);
    finish(form);
}

void CSuperQuadDlg::apply() {
    KShapeSuperQ& q = doc_.bodyPart.superQuad;
    if (kind->checkedId() >= 0) {
        q.type = kind->checkedId();
    }
    q.exponent1 = float(exponent1->value());
    q.exponent2 = float(exponent2->value());
    q.boundX = float(boundX->value());
    q.boundY = float(boundY->value());
    q.boundZ = float(boundZ->value());
    q.rad1 = float(rad1->value());
    q.rad2 = float(rad2->value());
    q.clearBaseScaling = clearScaling->isChecked() ? 1 : 0;
    if (q.clearBaseScaling) {
        doc_.bodyPart.uFactor = 0.0f;
        doc_.bodyPart.vFactor = 0.0f;
    }
    doc_.baseShape = CPexaDoc::SuperQuad + q.type;
    doc_.nameNextEdit("SuperQuad Properties");
    doc_.rebuildGrid();
}
