#pragma once
// The dialogs of the export commands: the layer choice with the mesh type, one options
// dialog per format and the testing routines. Each options dialog opens with the
// document's values and copies them back in apply().

#include <QDialog>
#include <vector>

class CPexaDoc;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QRadioButton;
class QSpinBox;

// "Select Layers" before an export: the user layers, "Select All", "Reverse" and the
// mesh type. `working` holds one entry per layer; entries that are not a layer index
// select nothing.
class CExportSelectLayersDlg : public QDialog {
    Q_OBJECT
public:
    CExportSelectLayersDlg(const QStringList& names, const std::vector<int>& working, int meshType,
                           QWidget* parent = nullptr);
    // The chosen layer indices in list order.
    std::vector<int> selection() const;
    int meshType() const; // 0 Skinned, 1 Layered
    void selectAll();
    void reverse();

    QListWidget* list;
    QRadioButton* skinned;
    QRadioButton* layered;
};

// "Export Options: POV-Ray 3.1 and MegaPOV".
class CMegaPovOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMegaPovOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QComboBox* type;
    QCheckBox* includeUdo;
    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* textureNames;
    QCheckBox* perItem;
    QCheckBox* perVertex;
    QSpinBox* uGridScale;
    QSpinBox* vGridScale;
    QRadioButton* quads;
    QRadioButton* triangles;
};

// "POV-Ray Export Options" of the older POV include command.
class CPovOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPovOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;
    QCheckBox* smoothTriangles;
};

// "Wavefront Export Options (obj)".
class CObjOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CObjOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* perItem;
    QCheckBox* materialNames;
    QCheckBox* invertNormals;
    QCheckBox* reverseWinding;
    QCheckBox* mirrorZ;
};

// "RIB Export Options".
class CRibOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRibOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QRadioButton* pointsPolygon;
    QRadioButton* subdivision;
    QRadioButton* points; // always disabled
    QRadioButton* curves; // always disabled
    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* perItem;
    QCheckBox* textureNames; // always disabled
};

// "RAW Export Options".
class CRawOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRawOptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QCheckBox* normals;
    QCheckBox* uv;
    QCheckBox* useItemUv;
    QCheckBox* textureNames;
};

// "POV-Ray Media (df3) Export Options".
class CDf3OptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDf3OptionsDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    void apply(CPexaDoc& doc) const;

    QSpinBox* sizeX;
    QSpinBox* sizeY;
    QSpinBox* sizeZ;
    QRadioButton* density[4]; // "Base Value", "U", "V", "W"
    QDoubleSpinBox* baseValue;
    QDoubleSpinBox* scale;
    QCheckBox* useItemUvw;
};

// "File Export: Testing Routines": which test export to run.
class CExportTestingDlg : public QDialog {
    Q_OBJECT
public:
    enum Choice { Obj2 = 0, AsciiNurbs0 = 1 };
    explicit CExportTestingDlg(QWidget* parent = nullptr);
    Choice choice() const;
    QRadioButton* obj2;
    QRadioButton* ascii0;
};
