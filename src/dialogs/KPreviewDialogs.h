#pragma once
// The 3D preview's dialogs: properties, background, select layers, scene lighting, one
// light, render options, capture options, view size, the end of a capture range, "View
// Flat" and the integer prompt. Each copies values in on construction and out with
// apply() after OK, so tests fill the fields and call apply() without a modal loop.

#include <QColor>
#include <QDialog>
#include <vector>

#include "scene/KCaptureSeries.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// A push button that shows a colour and picks a new one.
class KColorButton : public QWidget {
    Q_OBJECT
public:
    KColorButton(const QColor& color, QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    bool changed() const { return changed_; }

private:
    QPushButton* button_;
    QColor color_;
    bool changed_ = false;
};

// "3D Preview Properties".
class CPreviewPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    CPreviewPropertiesDlg(const KPreviewCamera& camera, const QColor& perspective,
                          const QColor& orthographic, QWidget* parent = nullptr);
    void apply(KPreviewCamera& camera, QColor& perspective, QColor& orthographic) const;

    QSpinBox* delay;
    QDoubleSpinBox* spin[3];
    QDoubleSpinBox* translate[3];
    QDoubleSpinBox* rotate[3];
    QDoubleSpinBox* scale[3];
    QRadioButton* perspective;
    QRadioButton* orthographic;
    QDoubleSpinBox* fov;
    QDoubleSpinBox* nearPlane;
    QDoubleSpinBox* farPlane;
    QDoubleSpinBox* box[4]; // left, right, bottom, top
    QCheckBox* leftHanded;
    KColorButton* perspectiveColor;
    KColorButton* orthographicColor;

private:
    void enableProjectionFields();
};

// "3D Preview Background Properties".
class CPreviewBackgroundDlg : public QDialog {
    Q_OBJECT
public:
    CPreviewBackgroundDlg(const KPreviewBackground& background, const QColor& color,
                          QWidget* parent = nullptr);
    // Stores the fields; the image itself is loaded by the caller.
    void apply(KPreviewBackground& background, QColor& color) const;
    // What picking a file does: the name, and the mode On when it was Off.
    void fileChosen(const QString& path);

    QLineEdit* file;
    QPushButton* browse;
    QRadioButton* mode[3];
    KColorButton* color;
    QCheckBox* pixelMap;
    QCheckBox* stretch;
    QCheckBox* interpolate;
    QCheckBox* sizeFromImage;
    QSpinBox* coverageX;
    QSpinBox* coverageY;
};

// "Select Layers" of the preview: the mesh type and the user layers drawn.
class CPreviewSelectLayersDlg : public QDialog {
    Q_OBJECT
public:
    CPreviewSelectLayersDlg(const QStringList& names, int layerMode,
                            const std::vector<int32_t>& selected, QWidget* parent = nullptr);
    int layerMode() const;
    std::vector<int32_t> selection() const;

    QRadioButton* skinned;
    QRadioButton* layered;
    QListWidget* list;
};

// "Scene Lighting Properties".
class CSceneLightingDlg : public QDialog {
    Q_OBJECT
public:
    CSceneLightingDlg(const KPreviewLights& lights, QWidget* parent = nullptr);
    void apply(KPreviewLights& lights) const;

    QCheckBox* ambient;
    QCheckBox* infiniteView;
    QCheckBox* twoSided;
    QCheckBox* cullBackFaces; // hidden, neither filled nor read
    KColorButton* color;
};

// "OpenGL Light Source": edits a copy of one light.
class CLightSourceDlg : public QDialog {
    Q_OBJECT
public:
    CLightSourceDlg(const KOglLightSrc& light, QWidget* parent = nullptr);
    // The copy with the dialog's values (colours / 255).
    KOglLightSrc result() const;

    QCheckBox* active;
    QDoubleSpinBox* position[3];
    KColorButton* colors[3]; // ambient, diffuse, specular
    QDoubleSpinBox* alpha[3];

private:
    KOglLightSrc light_;
};

// "OpenGL Rendering Options".
class CRenderOptionsDlg : public QDialog {
    Q_OBJECT
public:
    CRenderOptionsDlg(const KRenderOptions& options, QWidget* parent = nullptr);
    void apply(KRenderOptions& options) const;

    QCheckBox* antiAliasing;
    QComboBox* passes;
    QDoubleSpinBox* scale;
    QCheckBox* drawEach;
    QCheckBox* fadeIn;
};

// "Preview Capture Options".
class CCaptureOptionsDlg : public QDialog {
    Q_OBJECT
public:
    CCaptureOptionsDlg(const KCaptureSeries& series, QWidget* parent = nullptr);
    // OK is refused (with the message) while the counters do not fit together.
    void accept() override;
    bool valid() const;
    void apply(KCaptureSeries& series) const;
    void fileChosen(const QString& path);

    QLineEdit* path;
    QPushButton* browse;
    QLineEdit* fileRoot;
    QSpinBox* digits;
    QSpinBox* start;
    QSpinBox* last;
    QSpinBox* current;
    QCheckBox* autoCapture;
};

// "Set View Size".
class CSetViewSizeDlg : public QDialog {
    Q_OBJECT
public:
    CSetViewSizeDlg(QSize client, QSize frame, bool includeFrame, int destination,
                    QWidget* parent = nullptr);
    QSize size() const;

    QSpinBox* width;
    QSpinBox* height;
    QCheckBox* includeFrame;
    QRadioButton* toDisk;
    QRadioButton* toClipboard;

private:
    QSize client_, frame_;
};

// The end of a capture range: how the counters go on.
class CEndOfRangeDlg : public QDialog {
    Q_OBJECT
public:
    CEndOfRangeDlg(int choice, QWidget* parent = nullptr);
    int choice() const;
    QRadioButton* choices[3];
};

// "View Flat": one check box.
class CViewFlatDlg : public QDialog {
    Q_OBJECT
public:
    CViewFlatDlg(bool flat, QWidget* parent = nullptr);
    QCheckBox* flat;
};

// "Enter an integer value": a prompt and one integer.
class CIntegerPromptDlg : public QDialog {
    Q_OBJECT
public:
    CIntegerPromptDlg(const QString& prompt, int value, QWidget* parent = nullptr);
    int value() const;
    QLineEdit* edit;
};
