#pragma once
// "Edit Muscle Properties", the three-page sheet over one muscle, and "Curve Properties",
// the evaluation settings of one curve. Plain fields are copied in on opening and back
// in apply(); curve fields are parsed into their curves as soon as they lose the focus,
// so curve edits stay even when the sheet is cancelled.

#include <QDialog>
#include <QWidget>

class CPexaDoc;
class KBdlCurve;
class KBdlMuscle;
class KCurveField;
class KRealField;
class KTextureList;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

// Runs "Edit Muscle Properties" on muscle. On OK the fields are copied into the muscle
// and the document is told with itemChanged(3, muscle); returns true. On Cancel returns
// false; curve strings already parsed stay, and when there were any the document is
// told the same way so the change is recomputed and saved.
bool kEditMuscleProperties(QWidget* parent, CPexaDoc& doc, KBdlMuscle& muscle);
// The same for a muscle that may be missing: without one the message "Couldn't reference
// muscle for editing..." is shown and false returned.
bool kEditMuscleProperties(QWidget* parent, CPexaDoc& doc, KBdlMuscle* muscle);

// "Curve Properties": basis, index type, control points, repeats and resolution of one
// curve. The control points are parsed when their field loses the focus; the other
// settings reach the curve in apply(), which "Done" runs.
class KCurvePropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit KCurvePropertiesDlg(KBdlCurve& curve, QWidget* parent = nullptr);
    void apply();
    // Parses the control-point text into the curve (what losing the focus does).
    bool commitPoints();
    bool curveChanged() const { return changed_; }

    QButtonGroup* type;      // 0 "Polyline", 1 "Spline"
    QButtonGroup* indexType; // ids 1 "PolyLine", 3 "X", 4 "Y", 5 "Z"
    QPlainTextEdit* controlPoints;
    QSpinBox* repeats;
    QSpinBox* resolution;
    QPushButton* done;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    KBdlCurve& curve_;
    bool changed_ = false;
};

// Runs "Curve Properties" on curve and applies it when closed with "Done". True when the
// curve was changed in any way (points or settings).
bool kEditCurveProperties(QWidget* parent, KBdlCurve& curve);

// The "Curve Properties..." button of a page: enabled and relabelled by the curve field
// that last had the focus, and acting on that field's curve.
class KCurveButton : public QObject {
    Q_OBJECT
public:
    KCurveButton(QPushButton* button, QObject* parent);
    void bind(KCurveField* field);
    KCurveField* current() const { return current_; }
    // What clicking does.
    void run();
    bool curveChanged() const { return changed_; }

private:
    QPushButton* button_;
    KCurveField* current_ = nullptr;
    bool changed_ = false;
};

// "General".
class dlgCPEditMusclePP1 : public QWidget {
    Q_OBJECT
public:
    dlgCPEditMusclePP1(const KBdlMuscle& muscle, const KTextureList& textures, QWidget* parent);
    void apply(KBdlMuscle& muscle) const;
    // Leaving the number field: the number clamped to the last entry, that entry chosen.
    void commitTextureNumber();

    QLineEdit* name;
    QComboBox* texture;
    QLineEdit* textureNumber;
    QCheckBox* active;
    QSpinBox* resolutionU;
    QSpinBox* resolutionV;
    QButtonGroup* type; // ids 0 "Vertical (v)", 1 "Horizontal (u)", 2 "Point"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int32_t originalType_;
};

// "Position".
class dlgCPEditMusclePP2 : public QWidget {
    Q_OBJECT
public:
    dlgCPEditMusclePP2(KBdlMuscle& muscle, QWidget* parent);
    void apply(KBdlMuscle& muscle) const;
    // "Width Hi:" and its "Scale" are editable only while "Symmetric Width" is off.
    void updateSymmetry();

    KRealField* begin;
    KRealField* end;
    QCheckBox* mirrorU;
    QCheckBox* mirrorV;
    KRealField* offsetU;
    KRealField* offsetV;
    KCurveField* center;
    KCurveField* widthLo;
    KRealField* widthLoScale;
    KCurveField* widthHi;
    KRealField* widthHiScale;
    QCheckBox* symmetricWidth;
    QPushButton* curveProperties;
    KCurveButton* curveButton;

protected:
    void showEvent(QShowEvent* event) override;
};

// "Displacement".
class dlgCPEditMusclePP3 : public QWidget {
    Q_OBJECT
public:
    dlgCPEditMusclePP3(KBdlMuscle& muscle, QWidget* parent);
    void apply(KBdlMuscle& muscle) const;
    // The slider's range, ticks, position and labels for a height.
    void rangeSlider(double height);
    // Leaving the "Height" field: the slider re-ranged from the typed value.
    void commitHeight();

    KRealField* height;
    QSlider* heightSlider;
    QLabel* sliderMin;
    QLabel* sliderMax;
    QButtonGroup* heightType; // ids 0 "Scale", 1 "Offset"
    KCurveField* heightCurve;
    KCurveField* crossSection;
    QPushButton* curveProperties;
    KCurveButton* curveButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The sheet.
class KMuscleSheet : public QDialog {
    Q_OBJECT
public:
    KMuscleSheet(KBdlMuscle& muscle, const KTextureList& textures, QWidget* parent = nullptr);
    // Copies every page's fields into the muscle.
    void apply();
    // True when a curve of the muscle was changed through the sheet.
    bool curvesChanged() const;

    QTabWidget* tabs;
    dlgCPEditMusclePP1* general;
    dlgCPEditMusclePP2* position;
    dlgCPEditMusclePP3* displacement;

private:
    KBdlMuscle& muscle_;
};
