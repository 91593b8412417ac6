#pragma once
// The document side of the document/view pattern: a modified flag, a path, and the
// views (observers) that are told what changed with an update hint and an object.

#include <string>
#include <utility>
#include <vector>

class KPersistent;

class KViewObserver {
public:
    virtual ~KViewObserver() = default;
    // hint 0: everything changed; other hints name what changed (object may be null).
    virtual void onUpdate(int hint, KPersistent* object) = 0;
    // The document's modified flag changed.
    virtual void onModifiedChanged(bool modified) { (void)modified; }
    // The document was changed (marked modified, whether or not it was before).
    virtual void onEdited() {}
};

class KDocumentBase {
public:
    KDocumentBase() = default;
    virtual ~KDocumentBase() = default;
    KDocumentBase(const KDocumentBase&) = delete;
    KDocumentBase& operator=(const KDocumentBase&) = delete;

    bool isModified() const { return modified_; }
    // Marking the document modified also tells every view that it was edited.
    void setModified(bool modified = true);

    // Names the change about to be made for the undo history ("Move", "Layer
    // Properties"); whoever keeps the history takes the name when it records the change.
    void nameNextEdit(std::string name) { editName_ = std::move(name); }
    // Whether a name waits for the next change (an outer command named it already).
    bool editNamed() const { return !editName_.empty(); }
    // The name given, cleared.
    std::string takeEditName() { return std::exchange(editName_, std::string()); }
    // While a live edit runs (a drag shows every position on its way), the states it
    // passes through are no changes of their own: the history records one change, from
    // where the edit began, once the last hold is released.
    void holdLiveEdit() { ++liveEdits_; }
    void releaseLiveEdit() {
        if (liveEdits_ > 0) {
            --liveEdits_;
        }
    }
    bool liveEditRunning() const { return liveEdits_ > 0; }

    const std::string& pathName() const { return pathName_; }
    void setPathName(const std::string& path) { pathName_ = path; }

    void addObserver(KViewObserver* view);
    void removeObserver(KViewObserver* view);
    const std::vector<KViewObserver*>& observers() const { return observers_; }

    // Tells every view but sender. Views may add or remove observers while being told;
    // a view removed during the round is not told afterwards.
    void updateAllViews(int hint, KPersistent* object = nullptr, KViewObserver* sender = nullptr);

private:
    bool modified_ = false;
    std::string pathName_;
    int liveEdits_ = 0;
    std::string editName_;
    std::vector<KViewObserver*> observers_;
};
