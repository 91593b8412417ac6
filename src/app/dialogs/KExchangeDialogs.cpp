#include "app/dialogs/KExchangeDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "document/CPexaDoc.h"

namespace {

QDialogButtonBox* okCancel(QDialog* dlg) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
    return buttons;
}

QCheckBox* check(QWidget* parent, const QString& text, int32_t on) {
    auto* box = new QCheckBox(text, parent);
    box->setChecked(on != 0);
    return box;
}

int32_t flag(const QCheckBox* box) {
    return box->isChecked() ? 1 : 0;
}

// As the other export dialogs: uv from the item meshes when uv and "per Item" are on
// and the mesh type is Layered.
int32_t uvFlag(const CPexaDoc& doc, const QCheckBox* uv, const QCheckBox* perItem) {
    if (!uv->isChecked()) {
        return 0;
    }
    return doc.meshType == CPexaDoc::Layered && perItem->isChecked() ? 2 : 1;
}

void fitTitle(QDialog* dlg) {
    dlg->setMinimumWidth(dlg->fontMetrics().horizontalAdvance(dlg->windowTitle()) + 120);
}

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

QCheckBox* mirrorBox(QWidget* parent, const CPexaDoc& doc) {
    return check(parent, QObject::tr("Mirror Z (convert to right-handed)"),
                 doc.exportFlags.mirrorZ);
}

} // namespace

// ---- glTF

CGltfOptionsDlg::CGltfOptionsDlg(const CPexaDoc& doc, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("glTF 2.0 Export Options"));
    fitTitle(this);
    const KExportFlags& f = doc.exportFlags;
    uv = check(this, tr("UV's (TEXCOORD_0)"), f.uv);
    perItem = check(this, tr("per Item"), f.useItemUv);
    auto* note = new QLabel(tr("Positions and normals are always written, in glTF's "
                               "right-handed frame (Z mirrored)."),
                            this);
    note->setWordWrap(true);
    auto* grid = new QGridLayout;
    grid->addWidget(uv, 0, 0);
    grid->addWidget(perItem, 0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(okCancel(this));
}

void CGltfOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.useItemUv = flag(perItem);
    f.uv = uvFlag(doc, uv, perItem);
}

// ---- STL

CStlOptionsDlg::CStlOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("STL Export Options"));
    fitTitle(this);
    QGroupBox* kind = fileKind(this, ascii, binaryFile, asciiFile);
    mirrorZ = mirrorBox(this, doc);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addWidget(mirrorZ);
    layout->addWidget(okCancel(this));
}

void CStlOptionsDlg::apply(CPexaDoc& doc) const {
    doc.exportFlags.mirrorZ = flag(mirrorZ);
}

bool CStlOptionsDlg::ascii() const {
    return asciiFile->isChecked();
}

// ---- PLY

CPlyOptionsDlg::CPlyOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("PLY Export Options"));
    fitTitle(this);
    const KExportFlags& f = doc.exportFlags;
    QGroupBox* kind = fileKind(this, ascii, binaryFile, asciiFile);
    normals = check(this, tr("Normals"), f.normals);
    uv = check(this, tr("UV's"), f.uv);
    perItem = check(this, tr("per Item"), f.useItemUv);
    mirrorZ = mirrorBox(this, doc);
    auto* grid = new QGridLayout;
    grid->addWidget(normals, 0, 0);
    grid->addWidget(uv, 1, 0);
    grid->addWidget(perItem, 1, 1);
    grid->addWidget(mirrorZ, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addLayout(grid);
    layout->addWidget(okCancel(this));
}

void CPlyOptionsDlg::apply(CPexaDoc& doc) const {
    KExportFlags& f = doc.exportFlags;
    f.normals = flag(normals);
    f.useItemUv = flag(perItem);
    f.mirrorZ = flag(mirrorZ);
    f.uv = uvFlag(doc, uv, perItem);
}

bool CPlyOptionsDlg::ascii() const {
    return asciiFile->isChecked();
}
