#include "dialogs/KPreviewDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/KLayerSelectionList.h"
#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"
#include "platform/KUi.h"

namespace {

QDialogButtonBox* okCancel(QDialog* dlg, bool cancel = true) {
    auto* box = new QDialogButtonBox(
        cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, dlg);
    QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return box;
}

// Three number fields in a row.
QWidget* triple(QWidget* parent, QDoubleSpinBox* (&fields)[3], const float (&values)[3],
                double lo = -1e6, double hi = 1e6) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        fields[i] = kRealEdit(row, lo, hi, values[i]);
        layout->addWidget(fields[i]);
    }
    return row;
}

QColor fromRgb(const double (&c)[4]) {
    return QColor(int(c[0] * 255), int(c[1] * 255), int(c[2] * 255));
}

} // namespace

KColorButton::KColorButton(const QColor& color, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    button_ = new QPushButton(this);
    button_->setMinimumWidth(60);
    layout->addWidget(button_);
    setColor(color);
    changed_ = false;
    connect(button_, &QPushButton::clicked, this, [this] {
        if (const std::optional<QColor> picked = kChooseColor(this, color_)) {
            setColor(*picked);
        }
    });
}

void KColorButton::setColor(const QColor& color) {
    color_ = color;
    changed_ = true;
    button_->setStyleSheet(QStringLiteral("background-color: %1").arg(color.name()));
}

// ---------------------------------------------------------------- properties

CPreviewPropertiesDlg::CPreviewPropertiesDlg(const KPreviewCamera& c, const QColor& persp,
                                             const QColor& ortho, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("3D Preview Properties"));
    auto* top = new QVBoxLayout(this);

    auto* anim = new QGroupBox(tr("Animation"), this);
    auto* animForm = new QFormLayout(anim);
    delay = kIntEdit(anim, 0, 100000, int(c.delay));
    animForm->addRow(tr("Delay"), delay);
    animForm->addRow(tr("Spin (x y z)"), triple(anim, spin, c.spin));
    top->addWidget(anim);

    auto* init = new QGroupBox(tr("Initial Transform (x y z)"), this);
    auto* initForm = new QFormLayout(init);
    initForm->addRow(tr("Translate"), triple(init, translate, c.translate));
    initForm->addRow(tr("Rotate"), triple(init, rotate, c.rotate));
    initForm->addRow(tr("Scale"), triple(init, scale, c.scale));
    top->addWidget(init);

    auto* port = new QGroupBox(tr("View Port"), this);
    auto* portForm = new QFormLayout(port);
    perspective = new QRadioButton(tr("Perspective"), port);
    orthographic = new QRadioButton(tr("Orthographic"), port);
    (c.projection == KPreviewCamera::Orthographic ? orthographic : perspective)->setChecked(true);
    auto* radios = new QHBoxLayout;
    radios->addWidget(perspective);
    radios->addWidget(orthographic);
    portForm->addRow(radios);
    fov = kRealEdit(port, 0, 360, c.fieldOfView);
    nearPlane = kRealEdit(port, -1e6, 1e6, c.nearPlane);
    farPlane = kRealEdit(port, -1e6, 1e6, c.farPlane);
    portForm->addRow(tr("FOV"), fov);
    portForm->addRow(tr("Near"), nearPlane);
    portForm->addRow(tr("Far"), farPlane);
    const float boxValues[4] = {c.orthoLeft, c.orthoRight, c.orthoBottom, c.orthoTop};
    const QString boxNames[4] = {tr("Left"), tr("Right"), tr("Bottom"), tr("Top")};
    for (int i = 0; i < 4; ++i) {
        box[i] = kRealEdit(port, -1e6, 1e6, boxValues[i]);
        portForm->addRow(boxNames[i], box[i]);
    }
    leftHanded = new QCheckBox(tr("Left Handed"), port);
    leftHanded->setChecked(c.leftHanded != 0);
    leftHanded->setEnabled(false);
    portForm->addRow(leftHanded);
    top->addWidget(port);

    auto* bg = new QGroupBox(tr("Background"), this);
    auto* bgForm = new QFormLayout(bg);
    perspectiveColor = new KColorButton(persp, bg);
    orthographicColor = new KColorButton(ortho, bg);
    bgForm->addRow(tr("Perspective"), perspectiveColor);
    bgForm->addRow(tr("Orthographic"), orthographicColor);
    top->addWidget(bg);
    top->addWidget(okCancel(this));

    connect(perspective, &QRadioButton::toggled, this,
            &CPreviewPropertiesDlg::enableProjectionFields);
    enableProjectionFields();
}

void CPreviewPropertiesDlg::enableProjectionFields() {
    const bool persp = perspective->isChecked();
    fov->setEnabled(persp);
    for (QDoubleSpinBox* b : box) {
        b->setEnabled(!persp);
    }
}

void CPreviewPropertiesDlg::apply(KPreviewCamera& c, QColor& persp, QColor& ortho) const {
    c.delay = uint32_t(delay->value());
    for (int i = 0; i < 3; ++i) {
        c.spin[i] = float(spin[i]->value());
        c.translate[i] = float(translate[i]->value());
        c.rotate[i] = float(rotate[i]->value());
        c.scale[i] = float(scale[i]->value());
    }
    c.projection =
        orthographic->isChecked() ? KPreviewCamera::Orthographic : KPreviewCamera::Perspective;
    c.fieldOfView = float(fov->value());
    c.nearPlane = float(nearPlane->value());
    c.farPlane = float(farPlane->value());
    c.orthoLeft = float(box[0]->value());
    c.orthoRight = float(box[1]->value());
    c.orthoBottom = float(box[2]->value());
    c.orthoTop = float(box[3]->value());
    persp = perspectiveColor->color();
    ortho = orthographicColor->color();
}

// ---------------------------------------------------------------- background

CPreviewBackgroundDlg::CPreviewBackgroundDlg(const KPreviewBackground& b, const QColor& c,
                                             QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("3D Preview Background Properties"));
    auto* form = new QFormLayout(this);
    auto* fileRow = new QHBoxLayout;
    file = new QLineEdit(QString::fromStdString(b.file), this);
    file->setMinimumWidth(240);
    browse = new QPushButton(tr("..."), this);
    fileRow->addWidget(file, 1);
    fileRow->addWidget(browse);
    form->addRow(tr("Source Image"), fileRow);
    auto* modes = new QHBoxLayout;
    const QString names[3] = {tr("Off"), tr("On"), tr("Capture Only")};
    for (int i = 0; i < 3; ++i) {
        mode[i] = new QRadioButton(names[i], this);
        modes->addWidget(mode[i]);
    }
    mode[std::clamp(b.mode, 0, 2)]->setChecked(true);
    mode[KPreviewBackground::CaptureOnly]->setEnabled(false);
    form->addRow(tr("Mode"), modes);
    color = new KColorButton(c, this);
    form->addRow(tr("Colour"), color);
    pixelMap = new QCheckBox(tr("Use as Pixel Map"), this);
    pixelMap->setChecked(b.usePixelMap != 0);
    stretch = new QCheckBox(tr("Stretch Image"), this);
    stretch->setChecked(b.stretch != 0);
    interpolate = new QCheckBox(tr("Interpolate Pixels"), this);
    interpolate->setChecked(b.interpolate != 0);
    sizeFromImage = new QCheckBox(tr("Size from Image"), this);
    sizeFromImage->setChecked(b.sizeFromImage != 0);
    for (QCheckBox* box : {pixelMap, stretch, interpolate, sizeFromImage}) {
        form->addRow(box);
    }
    auto* coverage = new QGroupBox(tr("Screen Coverage"), this);
    auto* cov = new QFormLayout(coverage);
    coverageX = kIntEdit(coverage, 1, 100, std::clamp(b.coverageX, 1, 100));
    coverageY = kIntEdit(coverage, 1, 100, std::clamp(b.coverageY, 1, 100));
    cov->addRow(tr("X"), coverageX);
    cov->addRow(tr("Y"), coverageY);
    form->addRow(coverage);
    form->addRow(okCancel(this));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = kChooseFile(this, {.title = tr("Source Image"),
                                                .filter = tr("TGA Files (*.tga)"),
                                                .defaultSuffix = QString(),
                                                .initialName = file->text(),
                                                .inWorkingFolder = true});
        if (!path.isEmpty()) {
            fileChosen(path);
        }
    });
}

void CPreviewBackgroundDlg::fileChosen(const QString& path) {
    file->setText(path);
    if (mode[KPreviewBackground::Off]->isChecked()) {
        mode[KPreviewBackground::On]->setChecked(true);
    }
}

void CPreviewBackgroundDlg::apply(KPreviewBackground& b, QColor& c) const {
    b.file = file->text().toStdString();
    for (int i = 0; i < 3; ++i) {
        if (mode[i]->isChecked()) {
            b.mode = i;
        }
    }
    b.usePixelMap = pixelMap->isChecked();
    b.stretch = stretch->isChecked();
    b.interpolate = interpolate->isChecked();
    b.sizeFromImage = sizeFromImage->isChecked();
    b.coverageX = coverageX->value();
    b.coverageY = coverageY->value();
    c = color->color();
}

// ---------------------------------------------------------------- select layers

CPreviewSelectLayersDlg::CPreviewSelectLayersDlg(const QStringList& names, int layerMode,
                                                 const std::vector<int32_t>& selected,
                                                 QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Select Layers"));
    auto* top = new QVBoxLayout(this);
    auto* type = new QGroupBox(tr("Mesh Type"), this);
    auto* typeRow = new QHBoxLayout(type);
    skinned = new QRadioButton(tr("Skinned"), type);
    layered = new QRadioButton(tr("Layered"), type);
    (layerMode == 1 ? layered : skinned)->setChecked(true);
    typeRow->addWidget(skinned);
    typeRow->addWidget(layered);
    top->addWidget(type);
    list = kLayerSelectionList(this, names, selected);
    top->addWidget(list);
    top->addWidget(okCancel(this));
}

int CPreviewSelectLayersDlg::layerMode() const {
    return layered->isChecked() ? 1 : 0;
}

std::vector<int32_t> CPreviewSelectLayersDlg::selection() const {
    return kSelectedRows(list);
}

// ---------------------------------------------------------------- lights

CSceneLightingDlg::CSceneLightingDlg(const KPreviewLights& l, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Scene Lighting Properties"));
    auto* form = new QFormLayout(this);
    ambient = new QCheckBox(tr("Ambient Light"), this);
    ambient->setChecked(l.ambientOn != 0);
    infiniteView = new QCheckBox(tr("Infinite View"), this);
    infiniteView->setChecked(l.localViewer != 0);
    twoSided = new QCheckBox(tr("Two Sided"), this);
    twoSided->setChecked(l.twoSided != 0);
    cullBackFaces = new QCheckBox(tr("Cull Back Faces"), this);
    cullBackFaces->setVisible(false);
    color = new KColorButton(fromRgb(l.ambientColor), this);
    form->addRow(ambient);
    form->addRow(infiniteView);
    form->addRow(twoSided);
    form->addRow(tr("Ambient Colour"), color);
    form->addRow(okCancel(this));
}

void CSceneLightingDlg::apply(KPreviewLights& l) const {
    l.ambientOn = ambient->isChecked();
    l.localViewer = infiniteView->isChecked();
    l.twoSided = twoSided->isChecked();
    if (color->changed()) {
        const QColor c = color->color();
        l.ambientColor[0] = c.red() / 255.0;
        l.ambientColor[1] = c.green() / 255.0;
        l.ambientColor[2] = c.blue() / 255.0;
        l.ambientColor[3] = 1.0;
    }
}

CLightSourceDlg::CLightSourceDlg(const KOglLightSrc& light, QWidget* parent)
    : QDialog(parent), light_() {
    light_.copyFrom(light);
    setWindowTitle(tr("OpenGL Light Source"));
    auto* form = new QFormLayout(this);
    active = new QCheckBox(tr("Active"), this);
    active->setChecked(light.active != 0);
    form->addRow(active);
    const float pos[3] = {light.position[0], light.position[1], light.position[2]};
    form->addRow(tr("Position"), triple(this, position, pos));
    const KOglLightSrc::Vec4* vecs[3] = {&light.ambient, &light.diffuse, &light.specular};
    const QString names[3] = {tr("Ambient"), tr("Diffuse"), tr("Specular")};
    for (int i = 0; i < 3; ++i) {
        const KOglLightSrc::Vec4& v = *vecs[i];
        auto* row = new QHBoxLayout;
        colors[i] =
            new KColorButton(QColor(int(v[0] * 255), int(v[1] * 255), int(v[2] * 255)), this);
        alpha[i] = kRealEdit(this, -1e6, 1e6, v[3]);
        row->addWidget(colors[i]);
        row->addWidget(alpha[i]);
        form->addRow(names[i], row);
    }
    form->addRow(okCancel(this));
}

KOglLightSrc CLightSourceDlg::result() const {
    KOglLightSrc out;
    out.copyFrom(light_);
    out.active = active->isChecked() ? 1 : 0;
    out.setPosition(float(position[0]->value()), float(position[1]->value()),
                    float(position[2]->value()));
    KOglLightSrc::Vec4* vecs[3] = {&out.ambient, &out.diffuse, &out.specular};
    for (int i = 0; i < 3; ++i) {
        const QColor c = colors[i]->color();
        *vecs[i] = {float(c.red() / 255.0), float(c.green() / 255.0), float(c.blue() / 255.0),
                    float(alpha[i]->value())};
    }
    return out;
}

// ---------------------------------------------------------------- render options

CRenderOptionsDlg::CRenderOptionsDlg(const KRenderOptions& o, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("OpenGL Rendering Options"));
    auto* form = new QFormLayout(this);
    antiAliasing = new QCheckBox(tr("Anti-Aliasing"), this);
    antiAliasing->setChecked(o.antiAliasing);
    form->addRow(antiAliasing);
    passes = new QComboBox(this);
    passes->setEditable(true);
    passes->addItems({"2", "3", "4", "5", "6", "8", "9", "12", "16"});
    passes->lineEdit()->setMaxLength(2);
    passes->setEditText(QString::number(o.passes));
    form->addRow(tr("Passes"), passes);
    scale = kRealEdit(this, 0, 100, o.jitterScale);
    form->addRow(tr("Scale"), scale);
    drawEach = new QCheckBox(tr("Draw Each"), this);
    drawEach->setChecked(o.drawEach);
    fadeIn = new QCheckBox(tr("Fade In"), this);
    fadeIn->setChecked(o.fadeIn);
    form->addRow(drawEach);
    form->addRow(fadeIn);
    form->addRow(okCancel(this));
}

void CRenderOptionsDlg::apply(KRenderOptions& o) const {
    o.antiAliasing = antiAliasing->isChecked();
    o.passes = KRenderOptions::parsePasses(passes->currentText().toStdString());
    o.jitterScale = scale->value();
    o.drawEach = drawEach->isChecked();
    o.fadeIn = fadeIn->isChecked();
}

// ---------------------------------------------------------------- capture

CCaptureOptionsDlg::CCaptureOptionsDlg(const KCaptureSeries& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Preview Capture Options"));
    auto* top = new QVBoxLayout(this);
    auto* dest = new QGroupBox(tr("File Destination"), this);
    auto* destForm = new QFormLayout(dest);
    auto* pathRow = new QHBoxLayout;
    path = new QLineEdit(QString::fromStdString(s.path), dest);
    path->setReadOnly(true);
    path->setMinimumWidth(240);
    browse = new QPushButton(tr("Path..."), dest);
    pathRow->addWidget(path, 1);
    pathRow->addWidget(browse);
    destForm->addRow(pathRow);
    fileRoot = new QLineEdit(QString::fromStdString(s.fileRoot), dest);
    destForm->addRow(tr("File Root"), fileRoot);
    digits = kIntEdit(dest, 1, 4, std::clamp(s.digits, 1, 4));
    digits->setEnabled(false);
    destForm->addRow(tr("Digits"), digits);
    top->addWidget(dest);
    auto* counting = new QGroupBox(tr("Frame Counting"), this);
    auto* countForm = new QFormLayout(counting);
    start = kIntEdit(counting, 0, 9999, s.startFrame);
    last = kIntEdit(counting, 0, 9999, s.lastFrame);
    current = kIntEdit(counting, 0, 9999, s.frameNumber());
    countForm->addRow(tr("Start"), start);
    countForm->addRow(tr("Last"), last);
    countForm->addRow(tr("Current"), current);
    top->addWidget(counting);
    auto* autoBox = new QGroupBox(tr("Auto Capture"), this);
    auto* autoRow = new QHBoxLayout(autoBox);
    autoCapture = new QCheckBox(tr("Enable"), autoBox);
    autoCapture->setChecked(s.autoCapture != 0);
    autoCapture->setEnabled(false);
    autoRow->addWidget(autoCapture);
    top->addWidget(autoBox);
    top->addWidget(okCancel(this));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = kChooseFile(this, {.save = true,
                                                  .title = tr("Path"),
                                                  .filter = tr("TGA Files (*.tga)"),
                                                  .defaultSuffix = QString(),
                                                  .initialName = path->text() + fileRoot->text(),
                                                  .inWorkingFolder = true});
        if (!chosen.isEmpty()) {
            fileChosen(chosen);
        }
    });
}

void CCaptureOptionsDlg::fileChosen(const QString& chosen) {
    KCaptureSeries s;
    s.setFromChosenFile(chosen.toStdString());
    path->setText(QString::fromStdString(s.path));
    fileRoot->setText(QString::fromStdString(s.fileRoot));
}

bool CCaptureOptionsDlg::valid() const {
    const std::string problem =
        KCaptureSeries::checkOptions(start->value(), last->value(), current->value());
    if (!problem.empty()) {
        kUi().message(problem, KUi::Icon::Warning);
        return false;
    }
    return true;
}

void CCaptureOptionsDlg::accept() {
    if (valid()) {
        QDialog::accept();
    }
}

void CCaptureOptionsDlg::apply(KCaptureSeries& s) const {
    s.path = path->text().toStdString();
    s.fileRoot = fileRoot->text().toStdString();
    s.startFrame = start->value();
    s.lastFrame = last->value();
    s.current = current->value() - start->value();
}

CSetViewSizeDlg::CSetViewSizeDlg(QSize client, QSize frame, bool include, int destination,
                                 QWidget* parent)
    : QDialog(parent), client_(client), frame_(frame) {
    setWindowTitle(tr("Set View Size"));
    auto* top = new QVBoxLayout(this);
    auto* sizeBox = new QGroupBox(tr("Window Size"), this);
    auto* sizeForm = new QFormLayout(sizeBox);
    const QSize shown = include ? frame : client;
    width = kIntEdit(sizeBox, 8, 1024, shown.width());
    height = kIntEdit(sizeBox, 8, 1024, shown.height());
    includeFrame = new QCheckBox(tr("Include Frame"), sizeBox);
    includeFrame->setChecked(include);
    sizeForm->addRow(tr("Width"), width);
    sizeForm->addRow(tr("Height"), height);
    sizeForm->addRow(includeFrame);
    top->addWidget(sizeBox);
    auto* options = new QGroupBox(tr("Capture Options"), this);
    auto* optRow = new QHBoxLayout(options);
    toDisk = new QRadioButton(tr("To Disk"), options);
    toClipboard = new QRadioButton(tr("To Clipboard"), options);
    toClipboard->setEnabled(false);
    (destination == 1 ? toClipboard : toDisk)->setChecked(true);
    optRow->addWidget(toDisk);
    optRow->addWidget(toClipboard);
    top->addWidget(options);
    top->addWidget(okCancel(this));
    connect(includeFrame, &QCheckBox::toggled, this, [this](bool on) {
        const QSize s = on ? frame_ : client_;
        width->setValue(s.width());
        height->setValue(s.height());
    });
}

QSize CSetViewSizeDlg::size() const {
    return {width->value(), height->value()};
}

CEndOfRangeDlg::CEndOfRangeDlg(int choice, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("You have reached the end of the current Capture Range."));
    auto* top = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Counter Update Options"), this);
    auto* col = new QVBoxLayout(group);
    const QString names[3] = {tr("Increment Range Counters"), tr("Reset Current Frame to 0"),
                              tr("Edit Frame Counter's")};
    for (int i = 0; i < 3; ++i) {
        choices[i] = new QRadioButton(names[i], group);
        col->addWidget(choices[i]);
    }
    choices[std::clamp(choice, 0, 2)]->setChecked(true);
    top->addWidget(group);
    top->addWidget(okCancel(this, false));
}

int CEndOfRangeDlg::choice() const {
    for (int i = 0; i < 3; ++i) {
        if (choices[i]->isChecked()) {
            return i;
        }
    }
    return 0;
}

CViewFlatDlg::CViewFlatDlg(bool on, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("View Flat"));
    auto* top = new QVBoxLayout(this);
    flat = new QCheckBox(tr("View Flat"), this);
    flat->setChecked(on);
    top->addWidget(flat);
    top->addWidget(okCancel(this));
}

CIntegerPromptDlg::CIntegerPromptDlg(const QString& prompt, int v, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Enter an integer value"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(prompt, this));
    edit = new QLineEdit(QString::number(v), this);
    edit->setValidator(new QIntValidator(-999999, 999999, edit));
    top->addWidget(edit);
    top->addWidget(okCancel(this));
}

int CIntegerPromptDlg::value() const {
    return edit->text().toInt();
}
