#pragma once
// The About box: the program icon, the version line and OK.

#include <QDialog>

class KAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit KAboutDlg(QWidget* parent = nullptr);
    static QString versionLine();
};

// The program icon drawn from its SVG at the given size.
QPixmap kProgramPixmap(int size);
QIcon kProgramIcon();
