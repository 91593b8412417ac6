#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CMainFrame.h"
#include "app/KAutosave.h"
#include "app/KQtUi.h"
#include "app/KRenderCommand.h"
#include "app/KStartupHooks.h"
#include "dialogs/KAboutDlg.h"
#include "document/KCoreClasses.h"
#include "platform/KTempFiles.h"

int main(int argc, char** argv) {
    // An interrupted save or export removes its temporary file.
    kInstallTempFileCleanup();
    // The modes without a window are decided before any GUI is made: they must run where
    // there is no display at all.
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (kWantsHelp(args)) {
        std::fputs(kCommandLineHelp().c_str(), stdout);
        return 0;
    }
    if (kWantsRender(args)) {
        KRegisterCoreClasses();
        return kRunRenderCommand(args);
    }

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
    const KStartupHooks hooks = KStartupHooks::parse(QApplication::arguments());
    if (!frame.processCommandLine(QApplication::arguments())) {
        return 1;
    }
    frame.show();
    if (hooks.recoverAndReport) {
        return hooks.runRecoveryReport(frame);
    }
    // Documents a crash left behind are offered once the window is there.
    frame.offerRecovery();
    hooks.applyAfterStart(frame);
    return app.exec();
}
