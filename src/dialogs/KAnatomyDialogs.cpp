#include "dialogs/KAnatomyDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/KMuscleDialogs.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"
#include "model/KBdlBodyPart.h"

namespace {

enum Page { PageSegments = 0, PageJoints = 1, PageCurvature = 2, PageTwist = 3 };

} // namespace

KAnatPSPage1::KAnatPSPage1(KBdlBodyPart& part, QWidget* parent) : QWidget(parent) {
    lengths = new KCurveField(part.lengths, QStringLiteral("Lengths"), this);
    auto* box = new QGroupBox(tr("Segment Lengths"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(lengths);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addStretch(1);
}

KAnatPSPage2::KAnatPSPage2(KBdlBodyPart& part, QWidget* parent) : QWidget(parent) {
    active = new QCheckBox(tr("Active"), this);
    active->setChecked(part.curvatureOn != 0);
    boneCurvature = new KCurveField(part.boneCurvature, QStringLiteral("Bone Curvature"), this);
    curvePropertiesButton = new QPushButton(tr("Curve Properties..."), this);
    curvePropertiesButton->setAutoDefault(false);
    connect(curvePropertiesButton, &QPushButton::clicked, this, &KAnatPSPage2::curveProperties);
    auto* box = new QGroupBox(tr("Bone Curvature"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(active);
    boxLayout->addWidget(boneCurvature);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(curvePropertiesButton);
    boxLayout->addLayout(row);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addStretch(1);
}

void KAnatPSPage2::curveProperties() {
    KBdlCurve& curve = boneCurvature->curve();
    boneCurvature->commit();
    if (kEditCurveProperties(window(), curve)) {
        changed_ = true;
    }
    // The curvature is always indexed along y, whatever the dialog chose.
    if (curve.indexType != KBdlCurve::AxisY) {
        curve.rebuild(KBdlCurve::AxisY);
        changed_ = true;
    }
    boneCurvature->refresh();
    if (active->isChecked()) {
        boneCurvature->setFocus();
    }
}

KAnatPSPage3::KAnatPSPage3(KBdlBodyPart& part, QWidget* parent) : QWidget(parent) {
    active = new QCheckBox(tr("Active"), this);
    active->setChecked(part.bendsOn != 0);
    jointBends = new KCurveField(part.jointBends, QStringLiteral("Joint Bends"), this);
    bendPercent = new QDoubleSpinBox(this);
    bendPercent->setRange(0.0, 1.0);
    bendPercent->setDecimals(4);
    bendPercent->setSingleStep(0.05);
    bendPercent->setValue(double(part.bendScale));
    shownBendPercent = bendPercent->value();
    auto* types = new QGroupBox(tr("Bend Type"), this);
    auto* typeLayout = new QHBoxLayout(types);
    bendType = new QButtonGroup(this);
    const QString names[2] = {tr("Type1"), tr("Type 2")};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(names[i], types);
        radio->setChecked(part.bendType == i);
        bendType->addButton(radio, i);
        typeLayout->addWidget(radio);
    }
    auto* box = new QGroupBox(tr("Joint Bends"), this);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(active);
    boxLayout->addWidget(jointBends);
    auto* form = new QFormLayout;
    form->addRow(tr("Bend Percent"), bendPercent);
    boxLayout->addLayout(form);
    boxLayout->addWidget(types);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addStretch(1);
}

KAnatPSPage4::KAnatPSPage4(KBdlBodyPart& part, QWidget* parent) : QWidget(parent) {
    amount = new KRealField(this, part.shear);
    auto* box = new QGroupBox(tr("Twist"), this);
    auto* form = new QFormLayout(box);
    form->addRow(tr("Amount"), amount);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addStretch(1);
}

KAnatPropSheet::KAnatPropSheet(KBdlBodyPart& part, int startPage, QWidget* parent)
    : QDialog(parent), part_(part) {
    setWindowTitle(tr("Anatomy"));
    titleWindow = new QPushButton(this);
    titleWindow->setFlat(true);
    titleWindow->setAutoDefault(false);
    titleWindow->setAutoFillBackground(true);
    QFont bold = titleWindow->font();
    bold.setBold(true);
    titleWindow->setFont(bold);
    // Clicking the title window toggles its colour.
    connect(titleWindow, &QPushButton::clicked, this, [this] {
        highlighted_ = !highlighted_;
        QPalette p = titleWindow->palette();
        p.setColor(QPalette::ButtonText, highlighted_ ? QColor(Qt::darkRed) : QColor(Qt::black));
        titleWindow->setPalette(p);
    });

    tabs = new QTabWidget(this);
    segments = new KAnatPSPage1(part, tabs);
    joints = new KAnatPSPage3(part, tabs);
    curvature = new KAnatPSPage2(part, tabs);
    twist = new KAnatPSPage4(part, tabs);
    tabs->addTab(segments, tr("Segments"));
    tabs->addTab(joints, tr("Joints"));
    tabs->addTab(curvature, tr("Curvature"));
    tabs->addTab(twist, tr("Twist"));
    tabs->setCurrentIndex(std::clamp(startPage, 0, kPages - 1));
    connect(tabs, &QTabWidget::currentChanged, this, &KAnatPropSheet::updateTitle);
    for (QCheckBox* check : {joints->active, curvature->active}) {
        connect(check, &QCheckBox::clicked, this, [this] {
            updateEnabling();
            updateTitle();
        });
    }

    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleWindow);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    updateEnabling();
    updateTitle();
}

QString KAnatPropSheet::titleFor(int page) const {
    switch (page) {
    case PageSegments:
        return QStringLiteral("Anat Lengths");
    case PageJoints:
        return QStringLiteral("Joint Bends");
    case PageCurvature:
        return QStringLiteral("Bone Curvature");
    default:
        return QString();
    }
}

void KAnatPropSheet::updateTitle() {
    const int page = tabs->currentIndex();
    titleWindow->setText(titleFor(page));
    // The title is shown dimmed while the page's curve is switched off.
    bool on = true;
    if (page == PageJoints) {
        on = joints->active->isChecked();
    } else if (page == PageCurvature) {
        on = curvature->active->isChecked();
    }
    titleWindow->setEnabled(on);
}

void KAnatPropSheet::updateEnabling() {
    joints->jointBends->setEnabled(joints->active->isChecked());
    curvature->boneCurvature->setEnabled(curvature->active->isChecked());
}

int KAnatPropSheet::currentPage() const {
    return tabs->currentIndex();
}

bool KAnatPropSheet::curvesChanged() const {
    return segments->lengths->curveChanged() || joints->jointBends->curveChanged() ||
           curvature->boneCurvature->curveChanged() || curvature->curveChanged();
}

void KAnatPropSheet::apply() {
    for (KCurveField* f : {segments->lengths, joints->jointBends, curvature->boneCurvature}) {
        f->commit();
    }
    part_.curvatureOn = curvature->active->isChecked() ? 1 : 0;
    part_.bendsOn = joints->active->isChecked() ? 1 : 0;
    // An untouched field keeps the stored value rather than its rounded display.
    if (joints->bendPercent->value() != joints->shownBendPercent) {
        part_.bendScale = float(joints->bendPercent->value());
    }
    if (joints->bendType->checkedId() >= 0) {
        part_.bendType = joints->bendType->checkedId();
    }
    part_.shear = float(twist->amount->value());
}

bool kEditAnatomy(QWidget* parent, CPexaDoc& doc) {
    doc.currentItem = CPexaDoc::ItemAnatomy;
    KAnatPropSheet sheet(doc.bodyPart, doc.anatomySheetSetting, parent);
    const bool ok = kRunDialog(sheet) == QDialog::Accepted;
    doc.anatomySheetSetting = sheet.currentPage();
    if (ok) {
        sheet.apply();
        doc.bodyPart.ensureJoints();
    }
    // Curves parsed before a Cancel stay changed: the document still has to know.
    if (ok || sheet.curvesChanged()) {
        doc.nameNextEdit("Anatomy");
        doc.documentChanged();
    }
    return ok;
}
