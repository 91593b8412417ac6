#pragma once
// Dialogs of the UV map view's tools: the Fit to Line settings, the repeat of a muscle
// and the view's window size. Each takes its values in and hands them back; tests fill
// the fields and accept without a modal loop.

#include <QDialog>
#include <QSize>

#include "edit/KRepeatItems.h"

class QCheckBox;
class QDoubleSpinBox;
class QRadioButton;
class QSpinBox;

// "Line Item Properties": interior points (1..5) and total width (0.001..1) of a muscle
// drawn along a line.
class KLineItemDlg : public QDialog {
    Q_OBJECT
public:
    KLineItemDlg(int midPoints, double width, QWidget* parent = nullptr);
    int midPoints() const;
    double width() const;

    QSpinBox* midPointsEdit;
    QDoubleSpinBox* widthEdit;
};

// "Copy Muscle Properties": how many copies of the selected muscle, their step and
// whether they are mirrored.
class KRepeatDlg : public QDialog {
    Q_OBJECT
public:
    explicit KRepeatDlg(QWidget* parent = nullptr);
    KRepeatOptions options() const;

    QSpinBox* copiesEdit;
    QDoubleSpinBox* offsetUEdit;
    QDoubleSpinBox* offsetVEdit;
    QCheckBox* mirrorUBox;
    QCheckBox* mirrorVBox;
};

// "Set View Size": the size of the frame window, or of the view's client area, and the
// capture target. Switching "Include Frame" shows the other pair of sizes.
class KViewSizeDlg : public QDialog {
    Q_OBJECT
public:
    KViewSizeDlg(bool includeFrame, int captureTarget, QSize frameSize, QSize clientSize,
                 QWidget* parent = nullptr);
    bool includeFrame() const;
    int captureTarget() const;
    QSize size() const;

    QCheckBox* includeFrameBox;
    QSpinBox* widthEdit;
    QSpinBox* heightEdit;
    QRadioButton* toDisk;
    QRadioButton* toClipboard;

private:
    void showSizes();
    QSize frameSize_;
    QSize clientSize_;
};
