#pragma once
// "Image Pixel Depth": how the pixels of an image become heights, nine choices in three
// boxes, of which the caller enables those that suit the image's depth.

#include <QDialog>
#include <array>

class QButtonGroup;

class KPixelDepthDlg : public QDialog {
    Q_OBJECT
public:
    KPixelDepthDlg(int preset, const std::array<bool, 9>& enabled, QWidget* parent = nullptr);
    // The checked choice, -1 when none.
    int choice() const;
    QButtonGroup* group() const { return group_; }

private:
    QButtonGroup* group_;
};
