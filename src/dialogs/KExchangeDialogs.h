#pragma once
// Options dialogs of the exchange-format exports (glTF, STL, PLY). Like the other
// export dialogs each opens with the document's export flags and copies them back in
// apply(); the binary/text choice is not a document setting and is read with ascii().

#include <QDialog>

class CPexaDoc;
class QCheckBox;
class QRadioButton;

// "glTF 2.0 Export Options": positions always, normals and uv as chosen, in glTF's own
// right-handed frame.
class CGltfOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CGltfOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* perItem;
};

// "STL Export Options". A facet's normal follows its winding, so there is no switch to
// invert normals.
class CStlOptionsDlg : public QDialog {
    Q_OBJECT
public:
    CStlOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;
    bool ascii() const;

    QRadioButton* binaryFile;
    QRadioButton* asciiFile;
    QCheckBox* reverseWinding;
    QCheckBox* mirrorZ;
};

// "PLY Export Options".
class CPlyOptionsDlg : public QDialog {
    Q_OBJECT
public:
    CPlyOptionsDlg(const CPexaDoc& doc, bool ascii, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;
    bool ascii() const;

    QRadioButton* binaryFile;
    QRadioButton* asciiFile;
    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* perItem;
    QCheckBox* invertNormals;
    QCheckBox* reverseWinding;
    QCheckBox* mirrorZ;
};
