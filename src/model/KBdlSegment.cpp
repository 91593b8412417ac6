#include "model/KBdlSegment.h"

K_IMPLEMENT_SERIAL(KBdlSegment, KBdlObject, KBdlObject::kSchema, true)

void KBdlSegment::serialize(KArchive& ar) {
    KBdlObject::serialize(ar);
    if (ar.isStoring()) {
        ar.writeString(name);
        ar.writeFloat(length);
        ar.writeFloat(lo);
        ar.writeFloat(hi);
        return;
    }
    // Segments of schemas 1 to 6 carried no data; they keep their defaults.
    const uint32_t schema = ar.objectSchema();
    if (schema >= 1 && schema <= 6) {
        return;
    }
    name = ar.readString();
    length = ar.readFloat();
    lo = ar.readFloat();
    hi = ar.readFloat();
}
