#pragma once
// The default values of an item drawn with an empty rectangle: a note, "Total Width" and
// "Center Position", each 0 to 1.

#include <QDialog>

class QDoubleSpinBox;

class KItemDefaultsDlg : public QDialog {
    Q_OBJECT
public:
    KItemDefaultsDlg(const QString& title, const QString& note, double totalWidth,
                     double centerPosition, QWidget* parent = nullptr);
    double totalWidth() const;
    double centerPosition() const;
    QDoubleSpinBox* widthEdit() const { return width_; }
    QDoubleSpinBox* centerEdit() const { return center_; }

private:
    QDoubleSpinBox* width_;
    QDoubleSpinBox* center_;
};
