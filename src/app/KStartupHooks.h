#pragma once
// Command-line options for tests that drive the real program from outside (they are not
// in the help text): a short autosave interval, an edit made at start-up, and a start
// that opens whatever is offered for recovery, prints the open documents and ends.
//   --test-autosave-ms=N     save modified documents for recovery every N milliseconds
//   --test-edit=TEXT         the active document's description becomes TEXT (modified)
//   --test-recover-report    open every recovered document, print one line per open
//                            document ("document<TAB>title<TAB>path<TAB>modified<TAB>
//                            description") and end

#include <QStringList>

class CMainFrame;

struct KStartupHooks {
    int autosaveMs = -1; // -1: the preference decides
    bool edit = false;
    QString editText;
    bool recoverAndReport = false;

    static KStartupHooks parse(const QStringList& arguments);
    // The interval and the edit, once the program has started.
    void applyAfterStart(CMainFrame& frame) const;
    // Accepts the recovery offer, prints the documents; the program's exit code.
    int runRecoveryReport(CMainFrame& frame) const;
};
