#include "platform/KObject.h"

K_IMPLEMENT_SERIAL(KObject, KPersistent, 1, true)

// KObject has no data of its own.
void KObject::serialize(KArchive& ar) {
    KPersistent::serialize(ar);
}
