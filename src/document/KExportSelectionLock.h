#pragma once
// Keeps the views from replacing a document's export layer selection while an export
// uses it. The selection stays locked as long as any lock on the document is alive, so
// locks nest: the export command holds one from "Select Layers" to its very end
// (including the follow-up UDO file), and every write inside it holds its own without
// releasing the command's. Whatever way a command ends, its lock goes with it.

class CPexaDoc;

class KExportSelectionLock {
public:
    explicit KExportSelectionLock(CPexaDoc& doc);
    ~KExportSelectionLock();
    KExportSelectionLock(const KExportSelectionLock&) = delete;
    KExportSelectionLock& operator=(const KExportSelectionLock&) = delete;

private:
    CPexaDoc& doc_;
};
