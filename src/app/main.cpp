#include <QApplication>

#include "app/CMainFrame.h"
#include "model/KModelClasses.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorl"));
    QApplication::setOrganizationName(QStringLiteral("Quorl"));
    KRegisterModelClasses();
    CMainFrame frame;
    frame.show();
    return app.exec();
}
