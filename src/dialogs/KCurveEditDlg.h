#pragma once
// The small dialogs of the curve editor and the item editor: the curve editor's own
// "Curve Properties" (manual edit of one curve), "Curve Editing Properties" (the drag
// threshold), "Scaling Options" (the position view's zoom) and "Select MDL Item".
// Each copies values in and out; the editors run them through the functions at the end,
// which run them through kRunDialog like every other modal dialog.

#include <QDialog>

#include "edit/KCurveEditModel.h"
#include "edit/KMdlPosModel.h"

class CPexaDoc;
class KBdlMuscle;
class QButtonGroup;
class QDoubleSpinBox;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;

// "Curve Properties" of the curve editor: basis, index type, control points, repeats,
// resolution and the auxiliary value of one curve.
class KCurveEditDlg : public QDialog {
    Q_OBJECT
public:
    explicit KCurveEditDlg(const KCurveEditModel::CurveValues& values, QWidget* parent = nullptr);
    // The values as the dialog holds them: Polyline is basis 0 and Spline 4; the index
    // types PolyLine, X, Y, Z are 1, 3, 4, 5.
    KCurveEditModel::CurveValues values() const;
    // Refuses a control-point string that does not parse, with the parse message.
    void accept() override;

    QButtonGroup* basis;
    QButtonGroup* indexType;
    QPlainTextEdit* points;
    QSpinBox* repeats;
    QSpinBox* resolution;
    QSpinBox* auxiliary;

private:
    KCurveEditModel::CurveValues base_;
};

// "Curve Editing Properties": the drag threshold in pixels.
class KCurveEditingPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit KCurveEditingPropertiesDlg(int dragPixels, QWidget* parent = nullptr);
    int dragPixels() const;
    QSpinBox* pixels;
};

// "Scaling Options": the position view's zoom.
class KScalingOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit KScalingOptionsDlg(const KMdlZoom& zoom, QWidget* parent = nullptr);
    KMdlZoom zoom() const;
    // Refuses an empty range and a scale of 0, which would divide by zero.
    void accept() override;
    QDoubleSpinBox* rangeMin;
    QDoubleSpinBox* rangeMax;
    QDoubleSpinBox* offset;
    QDoubleSpinBox* scale;
};

// "Select MDL Item": the document's layers and the muscles of the chosen layer.
class KSelectMdlItemDlg : public QDialog {
    Q_OBJECT
public:
    KSelectMdlItemDlg(const CPexaDoc& doc, int layer, int muscle, QWidget* parent = nullptr);
    int layerIndex() const;
    int muscleIndex() const;
    QListWidget* layers;
    QListWidget* muscles;

private:
    void fillMuscles(int layer);
    const CPexaDoc& doc_;
};

// The editors' dialogs, run modally. Each returns true for OK with the values edited in
// place, and leaves them as they were on Cancel.
bool kEditCurveValues(QWidget* parent, KCurveEditModel::CurveValues& values);
bool kEditDragPixels(QWidget* parent, int& dragPixels);
bool kEditScaling(QWidget* parent, KMdlZoom& zoom);
bool kSelectMdlItem(QWidget* parent, const CPexaDoc& doc, int& layer, int& muscle);
