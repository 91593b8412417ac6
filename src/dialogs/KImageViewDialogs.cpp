#include "dialogs/KImageViewDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "gui/KDialogFields.h"
#include "gui/KDialogKit.h"

KImageViewPropertiesDlg::KImageViewPropertiesDlg(const KImageViewProperties& values,
                                                 QWidget* parent)
    : QDialog(parent), given_(values) {
    setWindowTitle(tr("Image Properties"));
    auto* top = new QVBoxLayout(this);

    auto* resolution = new QGroupBox(tr("Resolution"), this);
    auto* resolutionForm = new QFormLayout(resolution);
    u = kIntEdit(resolution, KImageViewProperties::kMinSize, KImageViewProperties::kMaxSize,
                 values.width);
    v = kIntEdit(resolution, KImageViewProperties::kMinSize, KImageViewProperties::kMaxSize,
                 values.height);
    resolutionForm->addRow(tr("U"), u);
    resolutionForm->addRow(tr("V"), v);
    top->addWidget(resolution);

    auto* other = new QGroupBox(tr("Other"), this);
    auto* otherForm = new QFormLayout(other);
    interpolate = new QCheckBox(tr("Interpolate Heights"), other);
    interpolate->setChecked(values.interpolateHeights != 0);
    scale = new KRealField(other, values.scale);
    otherForm->addRow(interpolate);
    otherForm->addRow(tr("Scale"), scale);
    top->addWidget(other);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    top->addWidget(buttons);
}

KImageViewProperties KImageViewPropertiesDlg::values() const {
    KImageViewProperties out;
    out.width = u->value();
    out.height = v->value();
    out.interpolateHeights = interpolate->isChecked() ? 1 : 0;
    // A scale that is no finite float (junk, overflow) keeps the one the dialog was given.
    const double typed = scale->value();
    out.scale = std::isfinite(typed) && std::fabs(typed) <= std::numeric_limits<float>::max()
                    ? float(typed)
                    : given_.scale;
    return out;
}
