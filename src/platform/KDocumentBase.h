#pragma once
// The document side of the document/view pattern: a modified flag, a path, and the
// views (observers) that are told what changed with an update hint and an object.

#include <string>
#include <vector>

class KPersistent;

class KViewObserver {
public:
    virtual ~KViewObserver() = default;
    // hint 0: everything changed; other hints name what changed (object may be null).
    virtual void onUpdate(int hint, KPersistent* object) = 0;
    // The document's modified flag changed.
    virtual void onModifiedChanged(bool modified) { (void)modified; }
};

class KDocumentBase {
public:
    KDocumentBase() = default;
    virtual ~KDocumentBase() = default;
    KDocumentBase(const KDocumentBase&) = delete;
    KDocumentBase& operator=(const KDocumentBase&) = delete;

    bool isModified() const { return modified_; }
    void setModified(bool modified = true);

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
    std::vector<KViewObserver*> observers_;
};
