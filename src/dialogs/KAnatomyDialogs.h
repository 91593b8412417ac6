#pragma once
// The anatomy sheet: "Segments", "Joints", "Curvature" and "Twist" over the document's
// body part. Curve strings are parsed into the body part's curves when their fields lose
// the focus; switches and numbers reach it only in apply() (OK).

#include <QDialog>
#include <QWidget>

class CPexaDoc;
class KBdlBodyPart;
class KCurveField;
class KRealField;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QPushButton;
class QTabWidget;

// "Segments": the bone lengths.
class KAnatPSPage1 : public QWidget {
    Q_OBJECT
public:
    KAnatPSPage1(KBdlBodyPart& part, QWidget* parent);
    KCurveField* lengths;
};

// "Curvature": the bone curvature and its switch.
class KAnatPSPage2 : public QWidget {
    Q_OBJECT
public:
    KAnatPSPage2(KBdlBodyPart& part, QWidget* parent);
    // "Curve Properties..." on the bone curvature; the index type stays Y.
    void curveProperties();
    bool curveChanged() const { return changed_; }
    QCheckBox* active;
    KCurveField* boneCurvature;
    QPushButton* curvePropertiesButton;

private:
    bool changed_ = false;
};

// "Joints": the joint bends, their switch, "Bend Percent" and "Bend Type".
class KAnatPSPage3 : public QWidget {
    Q_OBJECT
public:
    KAnatPSPage3(KBdlBodyPart& part, QWidget* parent);
    QCheckBox* active;
    KCurveField* jointBends;
    QDoubleSpinBox* bendPercent;
    QButtonGroup* bendType; // ids 0 "Type1", 1 "Type 2"
    double shownBendPercent = 0.0;
};

// "Twist": the shear amount.
class KAnatPSPage4 : public QWidget {
    Q_OBJECT
public:
    KAnatPSPage4(KBdlBodyPart& part, QWidget* parent);
    KRealField* amount;
};

class KAnatPropSheet : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPages = 4;
    // Opens on page startPage (clamped to the pages).
    KAnatPropSheet(KBdlBodyPart& part, int startPage, QWidget* parent = nullptr);
    // Copies switches and numbers into the body part (curve fields are committed first).
    void apply();
    int currentPage() const;
    bool curvesChanged() const;
    // The name the title window shows for a page.
    QString titleFor(int page) const;

    QTabWidget* tabs;
    KAnatPSPage1* segments;
    KAnatPSPage3* joints;
    KAnatPSPage2* curvature;
    KAnatPSPage4* twist;
    QPushButton* titleWindow;

private:
    void updateTitle();
    void updateEnabling();
    KBdlBodyPart& part_;
    bool highlighted_ = false;
};

// The anatomy command: current item Anatomy, the sheet on the body part opening on the
// page last used; OK copies back, pads the joints and reports a document change. True
// for OK.
bool kEditAnatomy(QWidget* parent, CPexaDoc& doc);
