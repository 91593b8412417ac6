#pragma once
// The displacement image window's "Image Properties": the resolution of the built image
// and the value scale. Copies the values in on construction and out with values(), so
// tests fill the fields and read the result without a modal loop.

#include <QDialog>

class QCheckBox;
class QSpinBox;
class KRealField;

// What "Image Properties" edits.
struct KImageViewProperties {
    static constexpr int kMinSize = 1;
    static constexpr int kMaxSize = 512;
    int width = 100;  // U samples
    int height = 100; // V samples
    int interpolateHeights = 0;
    float scale = 1.0f;
};

class KImageViewPropertiesDlg : public QDialog {
    Q_OBJECT
public:
    explicit KImageViewPropertiesDlg(const KImageViewProperties& values, QWidget* parent = nullptr);
    // The fields as they stand: sizes within 1..512, the scale as typed.
    KImageViewProperties values() const;

    QSpinBox* u;
    QSpinBox* v;
    QCheckBox* interpolate;
    KRealField* scale;

private:
    KImageViewProperties given_;
};
