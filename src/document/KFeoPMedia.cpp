#include "document/KFeoPMedia.h"

K_IMPLEMENT_SERIAL(KFeoPMedia, KObject, 1, true)

void KFeoPMedia::serialize(KArchive& ar) {
    KObject::serialize(ar);
    if (ar.isStoring()) {
        ar.writeInt32(sizeX);
        ar.writeInt32(sizeY);
        ar.writeInt32(sizeZ);
        ar.writeInt32(densitySource);
        ar.writeInt32(useItemUvw);
        ar.writeFloat(baseValue);
        ar.writeFloat(scale);
        return;
    }
    const uint32_t schema = ar.objectSchema();
    if (schema >= 1 && schema <= 5) {
        return;
    }
    sizeX = ar.readInt32();
    sizeY = ar.readInt32();
    sizeZ = ar.readInt32();
    densitySource = ar.readInt32();
    useItemUvw = ar.readInt32();
    baseValue = ar.readFloat();
    scale = ar.readFloat();
}
