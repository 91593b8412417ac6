#include "dialogs/KAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QVBoxLayout>

#include "gui/KAppIconSvg.h"

QPixmap kProgramPixmap(int size) {
    QSvgRenderer renderer{QByteArray(kAppIconSvg)};
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon kProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(kProgramPixmap(size));
    }
    return icon;
}

QString KAboutDlg::versionLine() {
    return QStringLiteral("Quorl Version %1").arg(QStringLiteral(QUORL_VERSION));
}

KAboutDlg::KAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Quorl"));
    auto* icon = new QLabel(this);
    icon->setPixmap(kProgramPixmap(64));
    auto* text =
        new QLabel(versionLine() + QStringLiteral("\n\nModeller for organic 3D surfaces"), this);
    text->setObjectName(QStringLiteral("versionLine"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}
