#pragma once
// The object's own property dialogs. Each opens with the document's values and, in
// apply(), copies them back and tells the document what it has to redo.

#include <QDialog>

class CPexaDoc;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// Base: OK and Cancel buttons under a form the subclass fills.
class KObjectDialog : public QDialog {
    Q_OBJECT
public:
    KObjectDialog(CPexaDoc& doc, const QString& title, QWidget* parent);
    // Runs the dialog and applies it on OK; true when accepted.
    bool run();
    virtual void apply() = 0;

protected:
    void finish(QLayout* content); // adds the buttons below content
    CPexaDoc& doc_;
};

// "Object Description": the object's name and description; sets the modified flag.
class CObjectDescriptionDlg : public KObjectDialog {
    Q_OBJECT
public:
    CObjectDescriptionDlg(CPexaDoc& doc, QWidget* parent = nullptr);
    void apply() override;
    QLineEdit* name;
    QPlainTextEdit* description;
};

// "Mesh Properties": resolutions, clip ranges, base shape, scalings, mesh type and
// option; rebuilds the grid.
class CMeshPropertiesDlg : public KObjectDialog {
    Q_OBJECT
public:
    CMeshPropertiesDlg(CPexaDoc& doc, QWidget* parent = nullptr);
    void apply() override;
    QSpinBox* uResolution;
    QSpinBox* vResolution;
    QDoubleSpinBox* clipUFrom;
    QDoubleSpinBox* clipUTo;
    QDoubleSpinBox* clipVFrom;
    QDoubleSpinBox* clipVTo;
    QButtonGroup* shape; // ids 0 Planar, 1 Conic, 2 Spheric, 3 Disc
    QDoubleSpinBox* scalingU;
    QDoubleSpinBox* scalingV;
    QDoubleSpinBox* scalingHeight;
    QButtonGroup* type; // ids 0 "UV Grid", 1 "Minimal"
    QComboBox* option;
};

// "Image Properties": the displacement image resolution and interpolation switch.
class CImagePropertiesDlg : public KObjectDialog {
    Q_OBJECT
public:
    CImagePropertiesDlg(CPexaDoc& doc, QWidget* parent = nullptr);
    void apply() override;
    QSpinBox* u;
    QSpinBox* v;
    QCheckBox* interpolate;
};

// "Basic Shape Properties": the anatomy's bone surface factors (the profile texts are
// shown for reference); ends in documentChanged.
class CBasicShapeDlg : public KObjectDialog {
    Q_OBJECT
public:
    CBasicShapeDlg(CPexaDoc& doc, QWidget* parent = nullptr);
    void apply() override;
    QDoubleSpinBox* uFactor;
    QDoubleSpinBox* uOffset;
    QSpinBox* uRepeat;
    QDoubleSpinBox* shear;
    QDoubleSpinBox* vFactor;
    QLineEdit* uProfile;
    QLineEdit* vProfile;
};

// "SuperQuad Properties": the superquadric record; makes it the base shape and
// rebuilds the grid.
class CSuperQuadDlg : public KObjectDialog {
    Q_OBJECT
public:
    CSuperQuadDlg(CPexaDoc& doc, QWidget* parent = nullptr);
    void apply() override;
    QButtonGroup* kind; // 0 Elliptic, 1 Toric, 2 Conic
    QDoubleSpinBox* exponent1;
    QDoubleSpinBox* exponent2;
    QDoubleSpinBox* boundX;
    QDoubleSpinBox* boundY;
    QDoubleSpinBox* boundZ;
    QDoubleSpinBox* rad1;
    QDoubleSpinBox* rad2;
    QCheckBox* clearScaling;
};
