#include "model/KBdlLayer.h"

#include <algorithm>

#include "image/KImageMap.h"
#include "platform/KUi.h"

K_IMPLEMENT_SERIAL(KBdlLayer, KBdlElement, KBdlObject::kSchema, true)

KBdlLayer::KBdlLayer() = default;
KBdlLayer::~KBdlLayer() = default;

KBdlMuscle* KBdlLayer::getMuscle(int index) const {
    if (index < 0 || size_t(index) >= muscles.size()) {
        return nullptr;
    }
    return muscles[size_t(index)].get();
}

int KBdlLayer::indexOf(const KBdlMuscle* muscle) const {
    for (size_t i = 0; i < muscles.size(); ++i) {
        if (muscles[i].get() == muscle) {
            return int(i);
        }
    }
    return -1;
}

double KBdlLayer::imageTerm(double u, double v) const {
    if (!imageMap || backgroundOnly != 0) {
        return 0.0;
    }
    return imageScale * (imageMap->value(u, v) / 65535.0) * scale;
}

double KBdlLayer::displacement(double u, double v) {
    if (active == 0) {
        return 0.0;
    }
    float highest = 0.0f;
    float deepest = 0.0f;
    for (const auto& m : muscles) {
        const float d = float(m->displacement(u, v));
        if (d > 0.0f) {
            highest = std::max(highest, d);
        } else {
            deepest = std::min(deepest, d);
        }
    }
    return (highest + deepest) * scale + imageTerm(u, v);
}

void KBdlLayer::prepare() {
    for (const auto& m : muscles) {
        m->prepare();
    }
}

double KBdlLayer::displacementPrepared(double u, double v) const {
    if (active == 0) {
        return 0.0;
    }
    float highest = 0.0f;
    float deepest = 0.0f;
    for (const auto& m : muscles) {
        const float d = float(m->displacementPrepared(u, v));
        if (d > 0.0f) {
            highest = std::max(highest, d);
        } else {
            deepest = std::min(deepest, d);
        }
    }
    return (highest + deepest) * scale + imageTerm(u, v);
}

int KBdlLayer::setImageMap(std::unique_ptr<KImageMap>& map) {
    if (imageMap && !kUi().askYesNo(kReplaceImageQuestion, false)) {
        return 1;
    }
    imageMap = std::move(map);
    missingImageName.clear();
    return 0;
}

int KBdlLayer::releaseImageMap() {
    imageMap.reset();
    missingImageName.clear();
    return 0;
}

void KBdlLayer::storeMuscles(KArchive& ar) const {
    ar.writeCount(muscles.size());
    for (const auto& m : muscles) {
        ar.writeObject(m.get());
    }
}

void KBdlLayer::loadMuscles(KArchive& ar) {
    const uint32_t n = ar.readCount();
    ar.requireAvailable(n, 2, "muscle");
    muscles.clear();
    muscles.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        std::unique_ptr<KBdlMuscle> m = ar.readOwned<KBdlMuscle>();
        if (m) {
            muscles.push_back(std::move(m));
        }
    }
}

void KBdlLayer::serialize(KArchive& ar) {
    KBdlElement::serialize(ar);
    if (ar.isStoring()) {
        ar.writeString(name);
        ar.writeString(description);
        ar.writeInt32(physical);
        ar.writeInt32(active);
        ar.writeDouble(scale);
        ar.writeInt32(backgroundOnly);
        ar.writeFloat(imageScale);
        ar.writeString(imageMap ? imageMap->name : missingImageName);
        ar.writeInt32(textureIndex);
        ar.writeString(textureName);
        storeMuscles(ar);
        return;
    }

    const uint32_t schema = ar.objectSchema();
    if (schema == 1) {
        // The first layers stored their muscles before their names.
        loadMuscles(ar);
        name = ar.readString();
        description = ar.readString();
        physical = ar.readInt32();
        active = ar.readInt32();
        return;
    }
    name = ar.readString();
    description = ar.readString();
    physical = ar.readInt32();
    active = ar.readInt32();
    scale = ar.readDouble();
    backgroundOnly = ar.readInt32();
    imageScale = ar.readFloat();
    const std::string fileName = ar.readString();
    if (schema >= 4) {
        textureIndex = ar.readInt32();
    }
    if (schema >= 5) {
        textureName = ar.readString();
    }
    loadMuscles(ar);
    // Older layers stored a file name but never an image; from schema 5 on the document
    // loads the named image once the whole file has been read.
    imageMap.reset();
    missingImageName = schema >= 5 ? fileName : std::string();
}
