#include "model/KBdlMuscle.h"

#include <string>

#include "platform/KArchive.h"

// Reading and writing a muscle in a document archive, with the upgrades of older
// schemas.

void KBdlMuscle::serialize(KArchive& ar) {
    KBdlElement::serialize(ar);
    if (ar.isStoring()) {
        ar.writeString(name);
        ar.writeFloat(begin);
        ar.writeFloat(end);
        ar.writeInt32(muscleType);
        ar.writeFloat(height);
        ar.writeInt32(active);
        ar.writeInt32(resolutionU);
        ar.writeInt32(resolutionV);
        ar.writeInt32(textureIndex);
        ar.writeString(note);
        ar.writeInt32(mirrorU);
        ar.writeInt32(mirrorV);
        ar.writeFloat(offsetU);
        ar.writeFloat(offsetV);
        ar.writeFloat(widthLoScale);
        ar.writeFloat(widthHiScale);
        ar.writeInt32(symmetricWidth);
        ar.writeInt32(heightType);
        center.serialize(ar);
        heightCurve.serialize(ar);
        widthLo.serialize(ar);
        widthHi.serialize(ar);
        crossSection.serialize(ar);
        return;
    }

    const uint32_t schema = ar.objectSchema();
    if (schema < 1 || schema == KArchive::kNoSchema) {
        ar.fail("muscle stored with schema " + std::to_string(schema));
    }
    name = ar.readString();
    begin = ar.readFloat();
    end = ar.readFloat();
    muscleType = ar.readInt32();
    height = ar.readFloat();
    active = ar.readInt32();
    if (schema >= 2) {
        resolutionU = ar.readInt32();
        resolutionV = ar.readInt32();
        textureIndex = ar.readInt32();
    }
    if (schema >= 5) {
        note = ar.readString();
    }
    if (schema >= 4) {
        mirrorU = ar.readInt32();
        mirrorV = ar.readInt32();
        offsetU = ar.readFloat();
        offsetV = ar.readFloat();
    }
    if (schema >= 5) {
        widthLoScale = ar.readFloat();
        widthHiScale = ar.readFloat();
        symmetricWidth = ar.readInt32();
    }
    if (schema >= 7) {
        heightType = ar.readInt32();
    }
    // The curves are written in place and read with this muscle's schema.
    center.serialize(ar);
    heightCurve.serialize(ar);
    widthLo.serialize(ar);
    widthHi.serialize(ar);
    crossSection.serialize(ar);

    if (schema <= 4) {
        // Muscles before separate Lo and Hi widths: one width, scaled by one half.
        widthHi.parse(widthLo.getString());
        symmetricWidth = 1;
        widthLoScale = muscleType == Point ? 1.0f : 0.5f;
        widthHiScale = 1.0f;
    }
}
