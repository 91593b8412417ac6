#pragma once
// "Preferences": whether the windows are arranged when a document opens, and how often
// modified documents are saved for recovery after a crash (0 minutes: never).

#include <QDialog>

class QCheckBox;
class QSpinBox;

class KPreferencesDlg : public QDialog {
    Q_OBJECT
public:
    struct Values {
        bool arrangeWindows = true;
        int autosaveMinutes = 2;
    };
    static constexpr int kMaxAutosaveMinutes = 120;

    explicit KPreferencesDlg(const Values& values, QWidget* parent = nullptr);
    Values values() const;

    QCheckBox* arrangeBox() const { return arrange_; }
    QSpinBox* autosaveBox() const { return autosave_; }

private:
    QCheckBox* arrange_ = nullptr;
    QSpinBox* autosave_ = nullptr;
};
