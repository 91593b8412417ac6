#include "model/KBdlObject.h"

K_IMPLEMENT_SERIAL(KBdlObject, KObject, KBdlObject::kSchema, true)
K_IMPLEMENT_SERIAL(KBdlShape, KBdlObject, KBdlObject::kSchema, true)
K_IMPLEMENT_SERIAL(KBdlElement, KBdlObject, KBdlObject::kSchema, true)

void KBdlObject::serialize(KArchive& ar) {
    KObject::serialize(ar);
    if (ar.isLoading()) {
        ar.setObjectSchema(ar.objectSchema());
    }
}
