#include "platform/KDocumentBase.h"

#include <algorithm>

void KDocumentBase::setModified(bool modified) {
    const bool changed = modified_ != modified;
    modified_ = modified;
    const std::vector<KViewObserver*> views = observers_;
    for (KViewObserver* v : views) {
        if (changed && std::find(observers_.begin(), observers_.end(), v) != observers_.end()) {
            v->onModifiedChanged(modified);
        }
    }
    for (KViewObserver* v : views) {
        if (modified && std::find(observers_.begin(), observers_.end(), v) != observers_.end()) {
            v->onEdited();
        }
    }
}

void KDocumentBase::addObserver(KViewObserver* view) {
    if (view && std::find(observers_.begin(), observers_.end(), view) == observers_.end()) {
        observers_.push_back(view);
    }
}

void KDocumentBase::removeObserver(KViewObserver* view) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), view), observers_.end());
}

void KDocumentBase::updateAllViews(int hint, KPersistent* object, KViewObserver* sender) {
    const std::vector<KViewObserver*> views = observers_;
    for (KViewObserver* v : views) {
        if (v == sender) {
            continue;
        }
        if (std::find(observers_.begin(), observers_.end(), v) != observers_.end()) {
            v->onUpdate(hint, object);
        }
    }
}
