#include "edit/KUvMapSettings.h"

void KUvMapSettings::setRatios(float u, float v) {
    uRatio = u > 0 ? u : 1.0f;
    vRatio = v > 0 ? v : 1.0f;
    aspect = uRatio / vRatio;
}
