#include "dialogs/KExportDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/KExportOptionFields.h"
#include "dialogs/KLayerSelectionList.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"

// ---- "Select Layers"

CExportSelectLayersDlg::CExportSelectLayersDlg(const QStringList& names,
                                               const std::vector<int>& working, int meshType,
                                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Select Layers"));
    list = kLayerSelectionList(this, names, working);
    auto* all = new QPushButton(tr("Select All"), this);
    auto* rev = new QPushButton(tr("Reverse"), this);
    all->setAutoDefault(false);
    rev->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, &CExportSelectLayersDlg::selectAll);
    connect(rev, &QPushButton::clicked, this, &CExportSelectLayersDlg::reverse);

    auto* typeBox = new QGroupBox(tr("Type"), this);
    skinned = new QRadioButton(tr("Skinned"), typeBox);
    layered = new QRadioButton(tr("Layered"), typeBox);
    (meshType == CPexaDoc::Layered ? layered : skinned)->setChecked(true);
    auto* typeLayout = new QVBoxLayout(typeBox);
    typeLayout->addWidget(skinned);
    typeLayout->addWidget(layered);

    auto* side = new QVBoxLayout;
    side->addWidget(all);
    side->addWidget(rev);
    side->addSpacing(8);
    side->addWidget(typeBox);
    side->addStretch();

    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(tr("User Layers"), this));
    left->addWidget(list);
    body->addLayout(left, 1);
    body->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(kOkCancelButtons(this));
}

std::vector<int> CExportSelectLayersDlg::selection() const {
    return kSelectedRows(list);
}

int CExportSelectLayersDlg::meshType() const {
    return layered->isChecked() ? CPexaDoc::Layered : CPexaDoc::Skinned;
}

void CExportSelectLayersDlg::selectAll() {
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setSelected(true);
    }
}

void CExportSelectLayersDlg::reverse() {
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setSelected(!list->item(i)->isSelected());
    }
}

// ---- POV-Ray 3.1 and MegaPOV

CMegaPovOptionsDlg::CMegaPovOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("Export Options: POV-Ray 3.1 and MegaPOV"));
    const KExportFlags& f = doc.exportFlags;
    const KFeoMegaPov& m = doc.feoMegaPov;
    type = new QComboBox(this);
    type->addItems({tr("Mesh"), tr("Mesh2")});
    type->setCurrentIndex(m.type == KFeoMegaPov::Mesh ? 0 : 1);
    includeUdo = kFlagCheck(this, tr("Include Moray UDO"), m.includeUdo);
    normals = kFlagCheck(this, tr("Normals"), f.normals);
    uv = kFlagCheck(this, tr("UV"), f.uv);
    perItem = kFlagCheck(this, tr("per Item"), f.useItemUv);
    textureNames = kFlagCheck(this, tr("Texture Names"), f.includeTextureNames);
    perVertex = kFlagCheck(this, tr("per Vertex"), f.perVertex);
    uGridScale = kIntEdit(this, 1, 20, m.uGridScale);
    vGridScale = kIntEdit(this, 1, 20, m.vGridScale);
    quads = new QRadioButton(tr("Quads"), this);
    triangles = new QRadioButton(tr("Triangles"), this);
    triangles->setEnabled(false);
    (m.quadsOrTriangles == 1 ? triangles : quads)->setChecked(true);

    auto* top = new QFormLayout;
    top->addRow(tr("Type"), type);
    top->addRow(QString(), includeUdo);

    auto* options = new QGroupBox(tr("Options"), this);
    auto* og = new QGridLayout(options);
    og->addWidget(normals, 0, 0);
    og->addWidget(uv, 1, 0);
    og->addWidget(perItem, 1, 1);
    og->addWidget(textureNames, 2, 0);
    og->addWidget(perVertex, 2, 1);

    auto* udo = new QGroupBox(tr("Moray UDO Grid"), this);
    auto* ug = new QGridLayout(udo);
    ug->addWidget(new QLabel(tr("U Grid Scale"), udo), 0, 0);
    ug->addWidget(uGridScale, 0, 1);
    ug->addWidget(new QLabel(tr("V Grid Scale"), udo), 1, 0);
    ug->addWidget(vGridScale, 1, 1);
    ug->addWidget(quads, 0, 2);
    ug->addWidget(triangles, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(options);
    layout->addWidget(udo);
    layout->addWidget(kOkCancelButtons(this));
}

void CMegaPovOptionsDlg::apply(CPexaDoc& doc) const {
    KFeoMegaPov& m = doc.feoMegaPov;
    m.type = type->currentIndex() == 0 ? KFeoMegaPov::Mesh : KFeoMegaPov::Mesh2;
    m.includeUdo = kCheckedFlag(includeUdo);
    m.uGridScale = uGridScale->value();
    m.vGridScale = vGridScale->value();
    m.quadsOrTriangles = triangles->isChecked() ? 1 : 0;
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(perItem);
    f.includeTextureNames = kCheckedFlag(textureNames);
    f.perVertex = kCheckedFlag(perVertex);
    f.uv = kExportUvFlag(doc, uv->isChecked(), true);
}

// ---- POV include (older command)

CPovOptionsDlg::CPovOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("POV-Ray Export Options"));
    smoothTriangles = kFlagCheck(this, tr("Smooth Triangles"), doc.exportFlags.normals);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(smoothTriangles);
    layout->addWidget(kOkCancelButtons(this));
}

void CPovOptionsDlg::apply(CPexaDoc& doc) const {
    doc.exportFlags.normals = kCheckedFlag(smoothTriangles);
}

// ---- OBJ

CObjOptionsDlg::CObjOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("Wavefront Export Options (obj)"));
    const KExportFlags& f = doc.exportFlags;
    normals = kFlagCheck(this, tr("Normals"), f.normals);
    uv = kFlagCheck(this, tr("UV's"), f.uv);
    perItem = kFlagCheck(this, tr("per Item"), f.useItemUv);
    materialNames = kFlagCheck(this, tr("Include Material Names"), f.includeTextureNames);
    invertNormals = kInvertNormalsCheck(this, doc);
    reverseWinding = kReverseWindingCheck(this, doc);
    mirrorZ = kMirrorZCheck(this, doc);
    auto* grid = new QGridLayout;
    grid->addWidget(normals, 0, 0);
    grid->addWidget(invertNormals, 0, 1);
    grid->addWidget(uv, 1, 0);
    grid->addWidget(perItem, 1, 1);
    grid->addWidget(materialNames, 2, 0, 1, 2);
    grid->addWidget(reverseWinding, 3, 0, 1, 2);
    grid->addWidget(mirrorZ, 4, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(kOkCancelButtons(this));
}

void CObjOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(perItem);
    f.includeTextureNames = kCheckedFlag(materialNames);
    f.invertNormals = kCheckedFlag(invertNormals);
    f.reverseWinding = kCheckedFlag(reverseWinding);
    f.mirrorZ = kCheckedFlag(mirrorZ);
    f.uv = kExportUvFlag(doc, uv->isChecked(), perItem->isChecked());
}

// ---- RIB

CRibOptionsDlg::CRibOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("RIB Export Options"));
    const KExportFlags& f = doc.exportFlags;
    auto* typeBox = new QGroupBox(tr("Mesh Type"), this);
    pointsPolygon = new QRadioButton(tr("Points Polygon"), typeBox);
    subdivision = new QRadioButton(tr("Subdivision Surface"), typeBox);
    points = new QRadioButton(tr("Points"), typeBox);
    curves = new QRadioButton(tr("Curves"), typeBox);
    points->setEnabled(false);
    curves->setEnabled(false);
    (doc.feoRib.meshType == KFeoRib::SubdivisionSurface ? subdivision : pointsPolygon)
        ->setChecked(true);
    auto* tl = new QVBoxLayout(typeBox);
    tl->addWidget(pointsPolygon);
    tl->addWidget(subdivision);
    tl->addWidget(points);
    tl->addWidget(curves);

    auto* varBox = new QGroupBox(tr("Variables"), this);
    normals = kFlagCheck(varBox, tr("Normals  (N)"), f.normals);
    uv = kFlagCheck(varBox, tr("Texture  (st)"), f.uv);
    perItem = kFlagCheck(varBox, tr("per Item"), f.useItemUv);
    textureNames = kFlagCheck(varBox, tr("Texture Names"), f.includeTextureNames);
    textureNames->setEnabled(false);
    auto* vl = new QGridLayout(varBox);
    vl->addWidget(normals, 0, 0);
    vl->addWidget(uv, 1, 0);
    vl->addWidget(perItem, 1, 1);
    vl->addWidget(textureNames, 2, 0);

    auto* body = new QHBoxLayout;
    body->addWidget(typeBox);
    body->addWidget(varBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(kOkCancelButtons(this));
}

void CRibOptionsDlg::apply(CPexaDoc& doc) const {
    doc.feoRib.meshType =
        subdivision->isChecked() ? KFeoRib::SubdivisionSurface : KFeoRib::PointsPolygon;
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(perItem);
    f.uv = kExportUvFlag(doc, uv->isChecked(), true);
}

// ---- RAW

CRawOptionsDlg::CRawOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("RAW Export Options"));
    const KExportFlags& f = doc.exportFlags;
    normals = kFlagCheck(this, tr("Normals (N)"), f.normals);
    uv = kFlagCheck(this, tr("Texture (uv)"), f.uv);
    useItemUv = kFlagCheck(this, tr("Use Item uv"), f.useItemUv);
    textureNames = kFlagCheck(this, tr("Include Texture Names"), f.includeTextureNames);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(normals);
    layout->addWidget(uv);
    layout->addWidget(useItemUv);
    layout->addWidget(textureNames);
    layout->addWidget(kOkCancelButtons(this));
}

void CRawOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(useItemUv);
    f.includeTextureNames = kCheckedFlag(textureNames);
    f.uv = kExportUvFlag(doc, uv->isChecked(), useItemUv->isChecked());
}

// ---- df3

CDf3OptionsDlg::CDf3OptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("POV-Ray Media (df3) Export Options"));
    const KFeoPMedia& p = doc.feoPMedia;
    auto* sizeBox = new QGroupBox(tr("Voxel Map Size"), this);
    sizeX = kIntEdit(sizeBox, 2, 100, p.sizeX);
    sizeY = kIntEdit(sizeBox, 2, 100, p.sizeY);
    sizeZ = kIntEdit(sizeBox, 2, 100, p.sizeZ);
    auto* sl = new QFormLayout(sizeBox);
    sl->addRow(tr("X"), sizeX);
    sl->addRow(tr("Y"), sizeY);
    sl->addRow(tr("Z"), sizeZ);

    auto* densityBox = new QGroupBox(tr("Density"), this);
    const QString names[4] = {tr("Base Value"), tr("U"), tr("V"), tr("W")};
    auto* dl = new QGridLayout(densityBox);
    for (int i = 0; i < 4; ++i) {
        density[i] = new QRadioButton(names[i], densityBox);
        dl->addWidget(density[i], i, 0);
    }
    const int source = p.densitySource >= 0 && p.densitySource < 4 ? p.densitySource : 0;
    density[source]->setChecked(true);
    baseValue = kRealEdit(densityBox, -1e6, 1e6, p.baseValue, 4);
    dl->addWidget(baseValue, 0, 1);
    scale = kRealEdit(densityBox, -1e6, 1e6, p.scale, 4);
    dl->addWidget(new QLabel(tr("Scale"), densityBox), 4, 0, Qt::AlignRight);
    dl->addWidget(scale, 4, 1);
    useItemUvw = kFlagCheck(densityBox, tr("Use Item uvw"), p.useItemUvw);
    dl->addWidget(useItemUvw, 5, 0, 1, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(sizeBox);
    body->addWidget(densityBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(kOkCancelButtons(this));
}

void CDf3OptionsDlg::apply(CPexaDoc& doc) const {
    KFeoPMedia& p = doc.feoPMedia;
    p.sizeX = sizeX->value();
    p.sizeY = sizeY->value();
    p.sizeZ = sizeZ->value();
    for (int i = 0; i < 4; ++i) {
        if (density[i]->isChecked()) {
            p.densitySource = i;
        }
    }
    p.baseValue = static_cast<float>(baseValue->value());
    p.scale = static_cast<float>(scale->value());
    p.useItemUvw = kCheckedFlag(useItemUvw);
    doc.exportFlags.uv = p.useItemUvw ? 2 : 1;
}

// ---- testing routines

CExportTestingDlg::CExportTestingDlg(QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("File Export: Testing Routines"));
    auto* box = new QGroupBox(tr("Export Routine"), this);
    obj2 = new QRadioButton(tr("Obj 2"), box);
    ascii0 = new QRadioButton(tr("ASCII NURBS 0"), box);
    obj2->setChecked(true);
    auto* inner = new QVBoxLayout(box);
    inner->addWidget(obj2);
    inner->addWidget(ascii0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addWidget(kOkCancelButtons(this));
}

CExportTestingDlg::Choice CExportTestingDlg::choice() const {
    return ascii0->isChecked() ? AsciiNurbs0 : Obj2;
}
