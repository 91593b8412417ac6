#include "app/KDocumentHistory.h"

#include <QTimer>
#include <QUndoCommand>

#include "document/CPexaDoc.h"
#include "document/KDocumentSnapshot.h"
#include "platform/KUi.h"

// One recorded change: the document's state before and after it.
class KSnapshotStep : public QUndoCommand {
public:
    KSnapshotStep(KDocumentHistory& history, const QString& name,
                  std::shared_ptr<const KDocumentSnapshot> before,
                  std::shared_ptr<const KDocumentSnapshot> after)
        : QUndoCommand(name), history_(history), before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { history_.restore(before_); }
    void redo() override {
        // Pushing the step redoes it: the document is in that state already.
        if (done_) {
            history_.restore(after_);
        }
        done_ = true;
    }

private:
    KDocumentHistory& history_;
    std::shared_ptr<const KDocumentSnapshot> before_;
    std::shared_ptr<const KDocumentSnapshot> after_;
    bool done_ = false;
};

KDocumentHistory::KDocumentHistory(CPexaDoc& doc, QObject* parent)
    : QObject(parent), doc_(doc), current_(KDocumentSnapshot::take(doc, nullptr)) {
    doc_.addObserver(this);
    connect(&stack_, &QUndoStack::indexChanged, this, [this] { syncModified(); });
    connect(&stack_, &QUndoStack::cleanChanged, this, [this] { syncModified(); });
}

KDocumentHistory::~KDocumentHistory() {
    doc_.removeObserver(this);
}

void KDocumentHistory::onUpdate(int, KPersistent*) {}

void KDocumentHistory::onEdited() {
    if (restoring_ || syncing_) {
        return;
    }
    // The command that reports last is the outer one (the map view's "Manual Edit"
    // around the property sheet's own report): its name is the step's.
    const std::string name = doc_.takeEditName();
    if (!name.empty()) {
        pendingName_ = QString::fromStdString(name);
    }
    if (!pending_) {
        pending_ = true;
        QTimer::singleShot(0, this, &KDocumentHistory::flush);
    }
}

void KDocumentHistory::flush() {
    if (!pending_) {
        return;
    }
    pending_ = false;
    if (doc_.liveEditRunning()) {
        // The edit's end reports again; the step is recorded then, from current_.
        return;
    }
    const QString name = pendingName_.isEmpty() ? QString::fromLatin1(kUnnamedEdit) : pendingName_;
    pendingName_.clear();
    std::shared_ptr<const KDocumentSnapshot> after = KDocumentSnapshot::take(doc_, current_.get());
    if (after->sameState(*current_)) {
        syncModified();
        return;
    }
    std::shared_ptr<const KDocumentSnapshot> before = current_;
    current_ = after;
    stack_.push(new KSnapshotStep(*this, name, std::move(before), std::move(after)));
    syncModified();
}

void KDocumentHistory::undo() {
    flush();
    stack_.undo();
}

void KDocumentHistory::redo() {
    flush();
    stack_.redo();
}

void KDocumentHistory::markSaved() {
    flush();
    // Saving may have changed what is kept beside the file (a layer image written back
    // is no longer marked as changed): the saved state is what the next step starts from.
    std::shared_ptr<const KDocumentSnapshot> saved = KDocumentSnapshot::take(doc_, current_.get());
    current_ = saved;
    stack_.setClean();
    syncModified();
}

QString KDocumentHistory::undoMenuText() const {
    return QStringLiteral("Undo %1\tCtrl+Z").arg(stack_.undoText());
}

QString KDocumentHistory::redoMenuText() const {
    return QStringLiteral("Redo %1\tCtrl+Y").arg(stack_.redoText());
}

void KDocumentHistory::restore(const std::shared_ptr<const KDocumentSnapshot>& state) {
    restoring_ = true;
    const bool ok = state->restore(doc_);
    restoring_ = false;
    doc_.takeEditName(); // a name given while restoring belongs to no change
    current_ = state;
    if (!ok) {
        kUi().message("The document could not be brought back to that state.", KUi::Icon::Error);
    }
}

void KDocumentHistory::syncModified() {
    // While a change waits to be recorded the document stays marked.
    if (!pending_ && !restoring_) {
        syncing_ = true;
        doc_.setModified(!stack_.isClean());
        syncing_ = false;
    }
}
