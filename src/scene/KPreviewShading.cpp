#include "scene/KPreviewShading.h"

#include "scene/KPreviewCamera.h"

KPreviewShading KPreviewShading::of(int shadingType, uint32_t objectColor) {
    KPreviewShading s;
    switch (shadingType) {
    case KPreviewCamera::Point:
        s.fill = Points;
        return s;
    case KPreviewCamera::Wire:
        s.fill = Lines;
        return s;
    default:
        break;
    }
    s.color = {float(objectColor & 0xFF) / 255.0f, float((objectColor >> 8) & 0xFF) / 255.0f,
               float((objectColor >> 16) & 0xFF) / 255.0f};
    s.model = shadingType == KPreviewCamera::Flat ? FlatModel : SmoothModel;
    return s;
}
