#pragma once
// The layer dialogs: "Layer List Properties" (the user layers themselves), "Layer
// Properties" (one layer's muscles and image), "Select User Layer" and "Import Image
// Options". The two list dialogs apply every edit as it is made and close with "Done".

#include <QDialog>
#include <memory>
#include <vector>

#include "mesh/KSurfaceHeight.h"

class CPexaDoc;
class KBdlLayer;
class KBdlMuscle;
class KRealField;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// A layer's line: name, tab, "Geometry" / "ImageMap" / "Internal", and a tab and "Y"
// when active.
QString kLayerLine(const KBdlLayer& layer);
// A muscle's line: name, tab, type name, and a tab and "Y" when active.
QString kMuscleLine(const KBdlMuscle& muscle);

// "Layer List Properties" over a list of layers it edits in place.
class KLayerListDlg : public QDialog {
    Q_OBJECT
public:
    KLayerListDlg(KSurfaceHeight::LayerList& layers, QWidget* parent = nullptr);

    // Selects line row (-1: none) and loads its fields.
    void select(int row);
    int selected() const;
    // Writes the five fields into the selected layer and redraws its line.
    void writeFields();
    void append();
    void insert();
    // Asks first; true when a layer was deleted.
    bool remove();

    QListWidget* list;
    QLineEdit* name;
    QLineEdit* description;
    QCheckBox* physical;
    QCheckBox* active;
    QLineEdit* scale;
    QPushButton* appendButton;
    QPushButton* insertButton;
    QPushButton* deleteButton;
    QPushButton* done;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void loadFields();
    void add(int at);
    KSurfaceHeight::LayerList& layers_;
};

// "Layer Properties" over one layer: its muscles (edited in place), its image, and the
// three values "Image Scale", "Layer Texture" and "Background Only", which store()
// copies back. "Copy" and "Paste" use the document's copied-muscle slot.
class KLayerPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    KLayerPropertiesDlg(KBdlLayer& layer, CPexaDoc& doc, QWidget* parent = nullptr);
    // Copies the three layer values back.
    void store();

    void select(int row);
    int selected() const;
    // "Scale" and "Active" into the selected muscle.
    void writeMuscleFields();
    void editMuscle();
    void appendMuscle();
    void insertMuscle();
    bool deleteMuscle();
    void copyMuscle();
    void pasteMuscle();
    bool releaseImage();
    void imageOptions();

    QListWidget* muscles;
    KRealField* muscleScale;
    QCheckBox* muscleActive;
    QPushButton* editButton;
    QPushButton* appendButton;
    QPushButton* insertButton;
    QPushButton* deleteButton;
    QPushButton* copyButton;
    QPushButton* pasteButton;
    QPushButton* moveButton;
    QListWidget* image;
    QPushButton* releaseButton;
    QPushButton* optionsButton;
    KRealField* imageScale;
    QSpinBox* layerTexture;
    QCheckBox* backgroundOnly;
    QPushButton* done;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void loadMuscleFields();
    void updateButtons();
    void updateImage();
    // Runs the muscle sheet on a new linear muscle and puts it at `at` on OK.
    void createMuscle(int at);
    KBdlLayer& layer_;
    CPexaDoc& doc_;
};

// "Select User Layer": one layer out of the document's user layers.
class KSelectUserLayerDlg : public QDialog {
    Q_OBJECT
public:
    KSelectUserLayerDlg(const CPexaDoc& doc, int preselect, QWidget* parent = nullptr);
    // The chosen entry, -1 for none.
    int choice() const;
    QListWidget* list;
};

// "Import Image Options": the destination layer and the background switch.
class KImportImageDlg : public QDialog {
    Q_OBJECT
public:
    KImportImageDlg(const CPexaDoc& doc, QWidget* parent = nullptr);
    // The chosen layer's index in the document, -1 for none.
    int layerIndex() const;
    // Lists all layers, or only the active ones, keeping the chosen layer when it stays.
    void fill();

    QListWidget* layers;
    QCheckBox* activeOnly;
    QCheckBox* backgroundOnly;

private:
    const CPexaDoc& doc_;
};

// The document's commands behind these dialogs.
// "Define Layers...": the layer list moves into the dialog and back; documentChanged.
void kDefineLayers(QWidget* parent, CPexaDoc& doc);
// "Layer Properties" on one layer; ends with itemChanged(2, layer).
void kEditLayerProperties(QWidget* parent, CPexaDoc& doc, KBdlLayer& layer);
// Opens the layer of the current item, or says "Can't find layer!".
void kOpenCurrentLayer(QWidget* parent, CPexaDoc& doc);
// "More Layers...": picks any user layer, makes it current and opens it.
void kMoreLayers(QWidget* parent, CPexaDoc& doc);
// File > Import > "TGA...": true when an image was attached.
bool kImportTga(QWidget* parent, CPexaDoc& doc);
