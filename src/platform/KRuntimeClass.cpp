#include "platform/KRuntimeClass.h"

#include <algorithm>
#include <mutex>
#include <string>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<const KRuntimeClass*> classes;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

const KRuntimeClass KPersistent::classRecord{"CObject", 0xFFFF, false, nullptr, nullptr};

void KPersistent::serialize(KArchive&) {}

bool KRuntimeClass::isDerivedFrom(const KRuntimeClass* other) const {
    for (const KRuntimeClass* c = this; c != nullptr; c = c->base) {
        if (c == other) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<KPersistent> KRuntimeClass::create() const {
    return factory ? factory() : nullptr;
}

void KRuntimeClass::registerClass(const KRuntimeClass* record) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    if (std::find(r.classes.begin(), r.classes.end(), record) == r.classes.end()) {
        r.classes.push_back(record);
    }
}

const KRuntimeClass* KRuntimeClass::find(std::string_view name) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (const KRuntimeClass* c : r.classes) {
        if (name == c->className) {
            return c;
        }
    }
    return nullptr;
}

std::vector<const KRuntimeClass*> KRuntimeClass::registered() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.classes;
}
