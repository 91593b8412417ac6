#pragma once
// The undo history of one document: a QUndoStack whose steps hold the document's state
// before and after each change (KDocumentSnapshot). A change is recorded once events
// run again after the document reported it, so the several reports one command makes
// (a drag that moves and then redraws, a dialog that changes and then rebuilds) become
// one step, named by the last name given before a report (CPexaDoc::nameNextEdit). The
// stack's clean state is the document's modified mark.

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <memory>

#include "platform/KDocumentBase.h"

class CPexaDoc;
class KDocumentSnapshot;

class KDocumentHistory : public QObject, public KViewObserver {
    Q_OBJECT
public:
    explicit KDocumentHistory(CPexaDoc& doc, QObject* parent = nullptr);
    ~KDocumentHistory() override;

    CPexaDoc& document() const { return doc_; }
    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    // Records the change reported since the last step, now. A report that changed
    // nothing makes no step and leaves the mark as the stack says.
    void flush();
    // Undo and redo of the newest step (after recording what is pending).
    void undo();
    void redo();
    // The document was saved: the current state is the clean one.
    void markSaved();

    // "Undo Move\tCtrl+Z" and "Redo Move\tCtrl+Y"; with nothing to undo or redo the
    // name is empty.
    QString undoMenuText() const;
    QString redoMenuText() const;

    // The name of a change reported without one.
    static constexpr const char* kUnnamedEdit = "Edit";

    void onUpdate(int hint, KPersistent* object) override;
    void onEdited() override;

private:
    friend class KSnapshotStep;
    void restore(const std::shared_ptr<const KDocumentSnapshot>& state);
    void syncModified();

    CPexaDoc& doc_;
    QUndoStack stack_;
    // The state after the newest step the document is in (what the next step starts
    // from).
    std::shared_ptr<const KDocumentSnapshot> current_;
    bool pending_ = false;
    QString pendingName_;
    bool restoring_ = false;
    // Set while the mark follows the stack: marking the document is no change of it.
    bool syncing_ = false;
};
