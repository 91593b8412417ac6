#include "document/KExportSelectionLock.h"

#include "document/CPexaDoc.h"

KExportSelectionLock::KExportSelectionLock(CPexaDoc& doc) : doc_(doc) {
    ++doc_.exportSelectionLocks_;
}

KExportSelectionLock::~KExportSelectionLock() {
    --doc_.exportSelectionLocks_;
}
