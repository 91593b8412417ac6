#include "dialogs/KExchangeDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/KExportOptionFields.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogFields.h"

namespace {

// "File" group with "Binary" and "ASCII (text)".
QGroupBox* fileKind(QWidget* parent, bool ascii, QRadioButton*& binary, QRadioButton*& text) {
    auto* box = new QGroupBox(QObject::tr("File"), parent);
    binary = new QRadioButton(QObject::tr("Binary"), box);
    text = new QRadioButton(QObject::tr("ASCII (text)"), box);
    (ascii ? text : binary)->setChecked(true);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(binary);
    layout->addWidget(text);
    return box;
}

} // namespace

// ---- glTF

CGltfOptionsDlg::CGltfOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("glTF 2.0 Export Options"));
    const KExportFlags& f = doc.exportFlags;
    normals = kFlagCheck(this, tr("Normals"), f.normals);
    uv = kFlagCheck(this, tr("UV's (TEXCOORD_0)"), f.uv);
    perItem = kFlagCheck(this, tr("per Item"), f.useItemUv);
    auto* note = new QLabel(tr("Written in glTF's right-handed frame (Z mirrored)."), this);
    note->setWordWrap(true);
    auto* grid = new QGridLayout;
    grid->addWidget(normals, 0, 0);
    grid->addWidget(uv, 1, 0);
    grid->addWidget(perItem, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(kOkCancelButtons(this));
}

void CGltfOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(perItem);
    f.uv = kExportUvFlag(doc, uv->isChecked(), perItem->isChecked());
}

// ---- STL

CStlOptionsDlg::CStlOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("STL Export Options"));
    QGroupBox* kind = fileKind(this, ascii, binaryFile, asciiFile);
    reverseWinding = kReverseWindingCheck(this, doc);
    mirrorZ = kMirrorZCheck(this, doc);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addWidget(reverseWinding);
    layout->addWidget(mirrorZ);
    layout->addWidget(kOkCancelButtons(this));
}

void CStlOptionsDlg::apply(CPexaDoc& doc) const {
    doc.exportFlags.reverseWinding = kCheckedFlag(reverseWinding);
    doc.exportFlags.mirrorZ = kCheckedFlag(mirrorZ);
}

bool CStlOptionsDlg::ascii() const {
    return asciiFile->isChecked();
}

// ---- PLY

CPlyOptionsDlg::CPlyOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent) : QDialog(parent) {
    kSetFittedTitle(this, tr("PLY Export Options"));
    const KExportFlags& f = doc.exportFlags;
    QGroupBox* kind = fileKind(this, ascii, binaryFile, asciiFile);
    normals = kFlagCheck(this, tr("Normals"), f.normals);
    uv = kFlagCheck(this, tr("UV's"), f.uv);
    perItem = kFlagCheck(this, tr("per Item"), f.useItemUv);
    invertNormals = kInvertNormalsCheck(this, doc);
    reverseWinding = kReverseWindingCheck(this, doc);
    mirrorZ = kMirrorZCheck(this, doc);
    auto* grid = new QGridLayout;
    grid->addWidget(normals, 0, 0);
    grid->addWidget(invertNormals, 0, 1);
    grid->addWidget(uv, 1, 0);
    grid->addWidget(perItem, 1, 1);
    grid->addWidget(reverseWinding, 2, 0, 1, 2);
    grid->addWidget(mirrorZ, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addLayout(grid);
    layout->addWidget(kOkCancelButtons(this));
}

void CPlyOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.normals = kCheckedFlag(normals);
    f.useItemUv = kCheckedFlag(perItem);
    f.invertNormals = kCheckedFlag(invertNormals);
    f.reverseWinding = kCheckedFlag(reverseWinding);
    f.mirrorZ = kCheckedFlag(mirrorZ);
    f.uv = kExportUvFlag(doc, uv->isChecked(), perItem->isChecked());
}

bool CPlyOptionsDlg::ascii() const {
    return asciiFile->isChecked();
}
