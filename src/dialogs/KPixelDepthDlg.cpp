#include "dialogs/KPixelDepthDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/KDialogFields.h"

KPixelDepthDlg::KPixelDepthDlg(int preset, const std::array<bool, 9>& enabled, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Image Pixel Depth"));
    static const char* const names[9] = {
        "Gray", "555", "565", "88", "Gray", "Gamma", "red, green", "red, green, blue", "xyz"};
    group_ = new QButtonGroup(this);
    auto* options = new QGroupBox(tr("Pixel Depth Options"), this);
    auto* boxes = new QHBoxLayout(options);
    const int firsts[3] = {0, 1, 4};
    const int lasts[3] = {1, 4, 9};
    const char* const titles[3] = {"8 Bit", "16 Bit", "24 Bit"};
    for (int b = 0; b < 3; ++b) {
        auto* box = new QGroupBox(tr(titles[b]), options);
        auto* column = new QVBoxLayout(box);
        for (int i = firsts[b]; i < lasts[b]; ++i) {
            auto* radio = new QRadioButton(tr(names[i]), box);
            radio->setEnabled(enabled[size_t(i)]);
            radio->setChecked(i == preset);
            group_->addButton(radio, i);
            column->addWidget(radio);
        }
        column->addStretch(1);
        boxes->addWidget(box);
    }
    auto* buttons = kOkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(buttons);
}

int KPixelDepthDlg::choice() const {
    return group_->checkedId();
}
