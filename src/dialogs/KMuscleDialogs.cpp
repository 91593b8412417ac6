#include "dialogs/KMuscleDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "document/CPexaDoc.h"
#include "document/KTextureList.h"
#include "gui/KDialogKit.h"
#include "model/KBdlCurve.h"
#include "model/KBdlMuscle.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

namespace {

constexpr int kMinMuscleResolution = 2;
constexpr int kMaxMuscleResolution = KBdlMuscle::kMaxResolution;
constexpr int kMaxTextureNumber = 255;

// A titled box of radio buttons with the given ids, one checked (none when no id fits).
QGroupBox* radioBox(QWidget* parent, const QString& title,
                    const std::vector<std::pair<QString, int>>& choices, QButtonGroup*& group,
                    int checked, Qt::Orientation orientation = Qt::Vertical) {
    auto* box = new QGroupBox(title, parent);
    QBoxLayout* layout = orientation == Qt::Horizontal
                             ? static_cast<QBoxLayout*>(new QHBoxLayout(box))
                             : static_cast<QBoxLayout*>(new QVBoxLayout(box));
    group = new QButtonGroup(parent);
    for (const auto& [text, id] : choices) {
        auto* radio = new QRadioButton(text, box);
        radio->setChecked(id == checked);
        group->addButton(radio, id);
        layout->addWidget(radio);
    }
    return box;
}

// The index-type radio that shows a stored index type.
int indexTypeChoice(int32_t stored) {
    switch (stored) {
    case KBdlCurve::Radial:
    case KBdlCurve::AxisX:
        return KBdlCurve::AxisX;
    case KBdlCurve::AxisY:
        return KBdlCurve::AxisY;
    case KBdlCurve::AxisZ:
        return KBdlCurve::AxisZ;
    default:
        return KBdlCurve::PolyLine;
    }
}

} // namespace

// ---------------------------------------------------------------- Curve Properties

KCurvePropertiesDlg::KCurvePropertiesDlg(KBdlCurve& curve, QWidget* parent)
    : QDialog(parent), curve_(curve) {
    setWindowTitle(tr("Curve Properties"));
    QGroupBox* types = radioBox(this, tr("Type:"), {{tr("Polyline"), 0}, {tr("Spline"), 1}}, type,
                                curve.basis == KBdlCurve::Polyline ? 0 : 1);
    QGroupBox* indexes = radioBox(this, tr("Index Type:"),
                                  {{tr("PolyLine"), KBdlCurve::PolyLine},
                                   {tr("X"), KBdlCurve::AxisX},
                                   {tr("Y"), KBdlCurve::AxisY},
                                   {tr("Z"), KBdlCurve::AxisZ}},
                                  indexType, indexTypeChoice(curve.indexType));
    controlPoints = new QPlainTextEdit(QString::fromStdString(curve.getString()), this);
    controlPoints->setMinimumSize(320, 90);
    controlPoints->installEventFilter(this);
    repeats = new QSpinBox(this);
    repeats->setRange(0, 1000);
    repeats->setValue(std::clamp(curve.repeatCount, 0, 1000));
    resolution = new QSpinBox(this);
    resolution->setRange(1, KBdlCurve::kMaxResolution);
    resolution->setValue(std::clamp(curve.resolution, 1, KBdlCurve::kMaxResolution));

    auto* params = new QGroupBox(tr("Curve Parameters"), this);
    auto* grid = new QGridLayout(params);
    grid->addWidget(types, 0, 0);
    grid->addWidget(indexes, 0, 1);
    grid->addWidget(new QLabel(tr("Control Points:"), params), 1, 0, 1, 2);
    grid->addWidget(controlPoints, 2, 0, 1, 2);
    auto* numbers = new QFormLayout;
    numbers->addRow(tr("Repeats"), repeats);
    numbers->addRow(tr("Resolution"), resolution);
    grid->addLayout(numbers, 3, 0, 1, 2);

    done = new QPushButton(tr("Done"), this);
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addLayout(buttons);
}

bool KCurvePropertiesDlg::commitPoints() {
    const QString text = controlPoints->toPlainText();
    if (text == QString::fromStdString(curve_.getString())) {
        return true;
    }
    if (!kParseIntoCurve(curve_, text)) {
        return false;
    }
    changed_ = true;
    return true;
}

bool KCurvePropertiesDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controlPoints && event->type() == QEvent::FocusOut) {
        commitPoints();
    }
    return QDialog::eventFilter(watched, event);
}

void KCurvePropertiesDlg::contextMenuEvent(QContextMenuEvent* event) {
    (void)event;
    kUi().message("RMenu", KUi::Icon::Information);
}

void KCurvePropertiesDlg::apply() {
    const int32_t newIndex =
        indexType->checkedId() > 0 ? indexType->checkedId() : int32_t(KBdlCurve::PolyLine);
    const int32_t newBasis = type->checkedId() == 0 ? KBdlCurve::Polyline : KBdlCurve::Spline;
    if (newIndex != curve_.indexType || repeats->value() != curve_.repeatCount ||
        resolution->value() != curve_.resolution || newBasis != curve_.basis) {
        changed_ = true;
    }
    curve_.rebuild(newIndex);
    curve_.repeatCount = repeats->value();
    curve_.setResolution(resolution->value());
    curve_.setBasis(newBasis);
}

bool kEditCurveProperties(QWidget* parent, KBdlCurve& curve) {
    KCurvePropertiesDlg dlg(curve, parent);
    if (kRunDialog(dlg) == QDialog::Accepted) {
        dlg.commitPoints();
        dlg.apply();
    }
    return dlg.curveChanged();
}

// ---------------------------------------------------------------- the pages' curve button

KCurveButton::KCurveButton(QPushButton* button, QObject* parent)
    : QObject(parent), button_(button) {
    button_->setEnabled(false);
    button_->setAutoDefault(false);
    // Wide enough for the longest label it takes.
    button_->setMinimumWidth(
        button_->fontMetrics().horizontalAdvance(tr("Edit 'Width Lo' Properties...")) + 24);
    connect(button_, &QPushButton::clicked, this, &KCurveButton::run);
}

void KCurveButton::bind(KCurveField* field) {
    current_ = field;
    button_->setEnabled(true);
    button_->setText(tr("Edit '%1' Properties...").arg(field->label()));
}

void KCurveButton::run() {
    if (!current_) {
        kUi().message("Please select a curve first!", KUi::Icon::Information);
        return;
    }
    current_->commit();
    if (kEditCurveProperties(button_->window(), current_->curve())) {
        changed_ = true;
    }
    current_->refresh();
    current_->setFocus();
}

// ---------------------------------------------------------------- General

dlgCPEditMusclePP1::dlgCPEditMusclePP1(const KBdlMuscle& muscle, const KTextureList& textures,
                                       QWidget* parent)
    : QWidget(parent), originalType_(muscle.muscleType) {
    name = new QLineEdit(QString::fromStdString(muscle.name), this);
    texture = new QComboBox(this);
    for (const KTexture& t : textures.entries) {
        texture->addItem(QString::fromStdString(t.name));
    }
    textureNumber = new QLineEdit(this);
    textureNumber->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), this));
    textureNumber->setMaximumWidth(60);
    textureNumber->setText(QString::number(muscle.textureIndex));
    textureNumber->installEventFilter(this);
    if (muscle.textureIndex >= 0 && muscle.textureIndex < texture->count()) {
        texture->setCurrentIndex(muscle.textureIndex);
    } else {
        texture->setCurrentIndex(-1);
    }
    connect(texture, &QComboBox::activated, this,
            [this](int index) { textureNumber->setText(QString::number(index)); });
    active = new QCheckBox(tr("Active"), this);
    active->setChecked(muscle.active != 0);
    resolutionU = new QSpinBox(this);
    resolutionU->setRange(kMinMuscleResolution, kMaxMuscleResolution);
    resolutionU->setValue(muscle.resolutionU);
    resolutionV = new QSpinBox(this);
    resolutionV->setRange(kMinMuscleResolution, kMaxMuscleResolution);
    resolutionV->setValue(muscle.resolutionV);

    auto* top = new QFormLayout;
    top->addRow(tr("Name"), name);
    auto* textureRow = new QHBoxLayout;
    textureRow->addWidget(texture, 1);
    textureRow->addWidget(textureNumber);
    top->addRow(tr("Texture"), textureRow);
    top->addRow(QString(), active);

    auto* resolutions = new QGroupBox(tr("Resolution"), this);
    auto* resForm = new QFormLayout(resolutions);
    resForm->addRow(tr("U"), resolutionU);
    resForm->addRow(tr("V"), resolutionV);
    QGroupBox* types = radioBox(this, tr("Type"),
                                {{tr("Vertical (v)"), KBdlMuscle::Linear},
                                 {tr("Horizontal (u)"), KBdlMuscle::Orbital},
                                 {tr("Point"), KBdlMuscle::Point}},
                                type, muscle.muscleType);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(resolutions);
    bottom->addWidget(types);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    layout->addStretch(1);
}

void dlgCPEditMusclePP1::commitTextureNumber() {
    if (texture->count() == 0) {
        return;
    }
    const int last = std::min(texture->count() - 1, kMaxTextureNumber);
    const int number = std::clamp(textureNumber->text().toInt(), 0, last);
    textureNumber->setText(QString::number(number));
    texture->setCurrentIndex(number);
}

bool dlgCPEditMusclePP1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textureNumber && event->type() == QEvent::FocusOut) {
        commitTextureNumber();
    }
    return QWidget::eventFilter(watched, event);
}

void dlgCPEditMusclePP1::apply(KBdlMuscle& muscle) const {
    muscle.name = name->text().toStdString();
    if (texture->currentIndex() >= 0) {
        muscle.textureIndex = texture->currentIndex();
    }
    muscle.active = active->isChecked() ? 1 : 0;
    muscle.resolutionU = resolutionU->value();
    muscle.resolutionV = resolutionV->value();
    // A compound muscle has no radio of its own and keeps its type.
    muscle.muscleType = type->checkedId() >= 0 ? type->checkedId() : originalType_;
}

// ---------------------------------------------------------------- Position

dlgCPEditMusclePP2::dlgCPEditMusclePP2(KBdlMuscle& muscle, QWidget* parent) : QWidget(parent) {
    begin = new KRealField(this, muscle.begin);
    end = new KRealField(this, muscle.end);
    auto* clips = new QGroupBox(tr("Clip Positions"), this);
    auto* clipForm = new QFormLayout(clips);
    clipForm->addRow(tr("Begin"), begin);
    clipForm->addRow(tr("End"), end);

    mirrorU = new QCheckBox(tr("Mirror in U"), this);
    mirrorU->setChecked(muscle.mirrorU != 0);
    mirrorV = new QCheckBox(tr("Mirror in V"), this);
    mirrorV->setChecked(muscle.mirrorV != 0);
    offsetU = new KRealField(this, muscle.offsetU);
    offsetV = new KRealField(this, muscle.offsetV);
    auto* modifiers = new QGroupBox(tr("Placement Modifiers"), this);
    auto* modGrid = new QGridLayout(modifiers);
    modGrid->addWidget(mirrorU, 0, 0);
    modGrid->addWidget(mirrorV, 1, 0);
    modGrid->addWidget(new QLabel(tr("Offset U"), modifiers), 0, 1);
    modGrid->addWidget(offsetU, 0, 2);
    modGrid->addWidget(new QLabel(tr("Offset V"), modifiers), 1, 1);
    modGrid->addWidget(offsetV, 1, 2);

    center = new KCurveField(muscle.center, QStringLiteral("Center"), this);
    widthLo = new KCurveField(muscle.widthLo, QStringLiteral("Width Lo"), this);
    widthHi = new KCurveField(muscle.widthHi, QStringLiteral("Width Hi"), this);
    widthLoScale = new KRealField(this, muscle.widthLoScale);
    widthHiScale = new KRealField(this, muscle.widthHiScale);
    symmetricWidth = new QCheckBox(tr("Symmetric Width"), this);
    symmetricWidth->setChecked(muscle.symmetricWidth != 0);
    connect(symmetricWidth, &QCheckBox::clicked, this, &dlgCPEditMusclePP2::updateSymmetry);
    widthLoScale->setMaximumWidth(90);
    widthHiScale->setMaximumWidth(90);
    curveProperties = new QPushButton(tr("Curve Properties..."), this);
    curveButton = new KCurveButton(curveProperties, this);
    for (KCurveField* f : {center, widthLo, widthHi}) {
        connect(f, &KCurveField::focused, curveButton, &KCurveButton::bind);
    }

    auto* curves = new QGroupBox(tr("Control Point Definitions"), this);
    auto* cg = new QGridLayout(curves);
    cg->addWidget(new QLabel(tr("Center:"), curves), 0, 0);
    cg->addWidget(center, 0, 1, 1, 3);
    cg->addWidget(new QLabel(tr("Width Lo:"), curves), 1, 0);
    cg->addWidget(widthLo, 1, 1);
    cg->addWidget(new QLabel(tr("Scale"), curves), 1, 2);
    cg->addWidget(widthLoScale, 1, 3);
    cg->addWidget(new QLabel(tr("Width Hi:"), curves), 2, 0);
    cg->addWidget(widthHi, 2, 1);
    cg->addWidget(new QLabel(tr("Scale"), curves), 2, 2);
    cg->addWidget(widthHiScale, 2, 3);
    cg->addWidget(symmetricWidth, 3, 1);
    cg->addWidget(curveProperties, 3, 1, 1, 3, Qt::AlignRight);
    cg->setColumnStretch(1, 1);

    auto* topRow = new QHBoxLayout;
    topRow->addWidget(clips);
    topRow->addWidget(modifiers);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addWidget(curves);
    layout->addStretch(1);
    updateSymmetry();
}

void dlgCPEditMusclePP2::updateSymmetry() {
    const bool own = !symmetricWidth->isChecked();
    widthHi->setEnabled(own);
    widthHiScale->setEnabled(own);
}

void dlgCPEditMusclePP2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateSymmetry();
}

void dlgCPEditMusclePP2::apply(KBdlMuscle& muscle) const {
    muscle.begin = float(begin->value());
    muscle.end = float(end->value());
    muscle.mirrorU = mirrorU->isChecked() ? 1 : 0;
    muscle.mirrorV = mirrorV->isChecked() ? 1 : 0;
    muscle.offsetU = float(offsetU->value());
    muscle.offsetV = float(offsetV->value());
    muscle.widthLoScale = float(widthLoScale->value());
    muscle.widthHiScale = float(widthHiScale->value());
    muscle.symmetricWidth = symmetricWidth->isChecked() ? 1 : 0;
}

// ---------------------------------------------------------------- Displacement

dlgCPEditMusclePP3::dlgCPEditMusclePP3(KBdlMuscle& muscle, QWidget* parent) : QWidget(parent) {
    height = new KRealField(this, muscle.height);
    height->installEventFilter(this);
    heightSlider = new QSlider(Qt::Horizontal, this);
    heightSlider->setTickPosition(QSlider::TicksBelow);
    sliderMin = new QLabel(this);
    sliderMax = new QLabel(this);
    rangeSlider(muscle.height);
    // Moving the slider sets the height in hundredths.
    connect(heightSlider, &QSlider::valueChanged, this,
            [this](int position) { height->setValue(position / 100.0); });

    auto* scaling = new QGroupBox(tr("Scaling"), this);
    auto* sg = new QGridLayout(scaling);
    sg->addWidget(new QLabel(tr("Height"), scaling), 0, 0);
    sg->addWidget(height, 0, 1, 1, 2);
    sg->addWidget(heightSlider, 1, 0, 1, 3);
    sg->addWidget(sliderMin, 2, 0, Qt::AlignLeft);
    sg->addWidget(sliderMax, 2, 2, Qt::AlignRight);
    QGroupBox* types =
        radioBox(this, tr("Height Type"),
                 {{tr("Scale"), KBdlMuscle::HeightScale}, {tr("Offset"), KBdlMuscle::HeightOffset}},
                 heightType, muscle.heightType);

    heightCurve = new KCurveField(muscle.heightCurve, QStringLiteral("Height"), this);
    crossSection = new KCurveField(muscle.crossSection, QStringLiteral("Shape"), this);
    curveProperties = new QPushButton(tr("Curve Properties..."), this);
    curveButton = new KCurveButton(curveProperties, this);
    for (KCurveField* f : {heightCurve, crossSection}) {
        connect(f, &KCurveField::focused, curveButton, &KCurveButton::bind);
    }
    auto* curves = new QGroupBox(tr("Control Point Definitions"), this);
    auto* cg = new QGridLayout(curves);
    cg->addWidget(new QLabel(tr("Height"), curves), 0, 0);
    cg->addWidget(heightCurve, 0, 1);
    cg->addWidget(new QLabel(tr("Cross - Section"), curves), 1, 0);
    cg->addWidget(crossSection, 1, 1);
    cg->addWidget(curveProperties, 2, 1, Qt::AlignRight);

    auto* topRow = new QHBoxLayout;
    topRow->addWidget(scaling, 1);
    topRow->addWidget(types);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(topRow);
    layout->addWidget(curves);
    layout->addStretch(1);
}

void dlgCPEditMusclePP3::rangeSlider(double value) {
    // The height as it is shown (a float such as 2.35f is 2.3499999...), and hundredths
    // counted with a margin for the binary fraction, so 2.35 sits at 235.
    value = kParseDouble(kFormatGeneral(value));
    const int lo = int(std::floor(value));
    int hi = int(std::ceil(value));
    if (hi == lo) {
        hi = lo + 1;
    }
    const QSignalBlocker quiet(heightSlider);
    heightSlider->setRange(lo * 100, hi * 100);
    heightSlider->setTickInterval(10);
    heightSlider->setPageStep(10);
    heightSlider->setValue(int(std::trunc(value * 100.0 + std::copysign(1e-7, value))));
    sliderMin->setText(QString::number(lo));
    sliderMax->setText(QString::number(hi));
}

void dlgCPEditMusclePP3::commitHeight() {
    rangeSlider(height->value());
}

bool dlgCPEditMusclePP3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == height && event->type() == QEvent::FocusOut) {
        commitHeight();
    }
    return QWidget::eventFilter(watched, event);
}

void dlgCPEditMusclePP3::apply(KBdlMuscle& muscle) const {
    muscle.height = float(height->value());
    if (heightType->checkedId() >= 0) {
        muscle.heightType = heightType->checkedId();
    }
}

// ---------------------------------------------------------------- the sheet

KMuscleSheet::KMuscleSheet(KBdlMuscle& muscle, const KTextureList& textures, QWidget* parent)
    : QDialog(parent), muscle_(muscle) {
    setWindowTitle(tr("Edit Muscle Properties"));
    tabs = new QTabWidget(this);
    general = new dlgCPEditMusclePP1(muscle, textures, tabs);
    position = new dlgCPEditMusclePP2(muscle, tabs);
    displacement = new dlgCPEditMusclePP3(muscle, tabs);
    tabs->addTab(general, tr("General"));
    tabs->addTab(position, tr("Position"));
    tabs->addTab(displacement, tr("Displacement"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

void KMuscleSheet::apply() {
    // Fields still holding the focus are committed as if it had left them.
    general->commitTextureNumber();
    for (KCurveField* f : {position->center, position->widthLo, position->widthHi,
                           displacement->heightCurve, displacement->crossSection}) {
        f->commit();
    }
    general->apply(muscle_);
    position->apply(muscle_);
    displacement->apply(muscle_);
}

bool KMuscleSheet::curvesChanged() const {
    for (const KCurveField* f : {position->center, position->widthLo, position->widthHi,
                                 displacement->heightCurve, displacement->crossSection}) {
        if (f->curveChanged()) {
            return true;
        }
    }
    return position->curveButton->curveChanged() || displacement->curveButton->curveChanged();
}

bool kEditMuscleProperties(QWidget* parent, CPexaDoc& doc, KBdlMuscle& muscle) {
    KMuscleSheet sheet(muscle, doc.textures, parent);
    const bool ok = kRunDialog(sheet) == QDialog::Accepted;
    if (ok) {
        sheet.apply();
    }
    if (ok || sheet.curvesChanged()) {
        // Opened from a map view, the change carries the view's name for it.
        if (!doc.editNamed()) {
            doc.nameNextEdit("Muscle Properties");
        }
        doc.itemChanged(CPexaDoc::HintMuscle, &muscle);
    }
    return ok;
}

bool kEditMuscleProperties(QWidget* parent, CPexaDoc& doc, KBdlMuscle* muscle) {
    if (!muscle) {
        kUi().message("Couldn't reference muscle for editing...", KUi::Icon::Warning);
        return false;
    }
    return kEditMuscleProperties(parent, doc, *muscle);
}
