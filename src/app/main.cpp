#include <QApplication>

#include "app/CMainFrame.h"
#include "app/KQtUi.h"
#include "app/dialogs/KAboutDlg.h"
#include "document/KCoreClasses.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorl"));
    QApplication::setOrganizationName(QStringLiteral("Quorl"));
    QApplication::setApplicationVersion(QStringLiteral(QUORL_VERSION));
    QApplication::setWindowIcon(kProgramIcon());
    QApplication::setDesktopFileName(QStringLiteral("quorl"));
    KRegisterCoreClasses();

    KQtUi ui;
    KUiScope scope(ui);
    CMainFrame frame;
    ui.setParent(&frame);
    if (!frame.processCommandLine(QApplication::arguments())) {
        return 1;
    }
    frame.show();
    return app.exec();
}
