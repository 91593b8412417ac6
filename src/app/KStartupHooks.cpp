#include "app/KStartupHooks.h"

#include <QDialog>
#include <cstdio>

#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/KAutosave.h"
#include "document/CPexaDoc.h"
#include "gui/KDialogKit.h"

KStartupHooks KStartupHooks::parse(const QStringList& arguments) {
    KStartupHooks hooks;
    const QString autosave = QStringLiteral("--test-autosave-ms=");
    const QString edit = QStringLiteral("--test-edit=");
    for (const QString& a : arguments) {
        if (a.startsWith(autosave)) {
            bool ok = false;
            const int ms = a.mid(autosave.size()).toInt(&ok);
            if (ok && ms >= 0) {
                hooks.autosaveMs = ms;
            }
        } else if (a.startsWith(edit)) {
            hooks.edit = true;
            hooks.editText = a.mid(edit.size());
        } else if (a == QLatin1String("--test-recover-report")) {
            hooks.recoverAndReport = true;
        }
    }
    return hooks;
}

void KStartupHooks::applyAfterStart(CMainFrame& frame) const {
    if (autosaveMs >= 0) {
        frame.autosave().setInterval(autosaveMs);
    }
    if (edit) {
        if (CPexaDoc* doc = frame.activeDocument()) {
            doc->description = editText.toStdString();
            doc->setModified(true);
        }
    }
}

int KStartupHooks::runRecoveryReport(CMainFrame& frame) const {
    kRunDialogHook = [](QDialog&) { return int(QDialog::Accepted); };
    const int opened = frame.offerRecovery();
    kRunDialogHook = nullptr;
    std::printf("recovered\t%d\n", opened);
    for (CPexaDoc* doc : frame.documents().documents()) {
        std::printf("document\t%s\t%s\t%d\t%s\n", frame.documents().title(doc).toUtf8().constData(),
                    doc->pathName().c_str(), doc->isModified() ? 1 : 0, doc->description.c_str());
    }
    std::fflush(stdout);
    // What was opened is discarded, as after a normal end without saving.
    frame.autosave().endSession();
    return 0;
}
