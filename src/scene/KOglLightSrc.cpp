#include "scene/KOglLightSrc.h"

#include <cstdlib>

void KOglLightSrc::reset() {
    identifier = 0;
    name = "(untitled)";
    active = 0;
    position = {0, 0, 1, 0};
    ambient = {0, 0, 0, 1};
    diffuse = {0, 0, 0, 1};
    specular = {0, 0, 0, 1};
    setAttenuation(1, 0, 0);
    spotExponent = 0;
    spotDirection = {0, 0, -1, 0};
    setSpotCutoff(180, 0);
}

void KOglLightSrc::resetLight0() {
    reset();
    diffuse = {1, 1, 1, 1};
    specular = {1, 1, 1, 1};
}

void KOglLightSrc::copyFrom(const KOglLightSrc& o) {
    identifier = o.identifier;
    name = o.name;
    active = o.active;
    position = o.position;
    ambient = o.ambient;
    diffuse = o.diffuse;
    specular = o.specular;
    constantAttenuation = o.constantAttenuation;
    linearAttenuation = o.linearAttenuation;
    quadraticAttenuation = o.quadraticAttenuation;
    spotExponent = o.spotExponent;
    spotDirection = o.spotDirection;
    spotCutoff = o.spotCutoff;
    spotExtra = o.spotExtra;
}

KPreviewLights::KPreviewLights(bool leftHandedOn) : leftHanded(leftHandedOn) {
    lights[0].resetLight0();
    lights[0].setActive(true);
    if (leftHanded) {
        for (KOglLightSrc& l : lights) {
            l.position[2] = -l.position[2];
            l.spotDirection[2] = -l.spotDirection[2];
        }
    }
}

KOglLightSrc::Vec4 KPreviewLights::glPosition(int i) const {
    KOglLightSrc::Vec4 p = lights[size_t(clampId(i))].position;
    if (leftHanded) {
        p[2] = -p[2];
    }
    return p;
}

std::array<float, 4> KPreviewLights::modelAmbient() const {
    if (!ambientOn) {
        return {0, 0, 0, 1};
    }
    return {float(ambientColor[0]), float(ambientColor[1]), float(ambientColor[2]), 1};
}

std::array<double, 2> KRenderOptions::jitter(int k) {
    static const double table[kJitterPoints][2] = {{0.5625, 0.4375},
                                                   {0.0625, 0.9375},
                                                   {0.3125, 0.6875},
                                                   {0.6875, 0.8125},
                                                   {0.8125, 0.1875},
                                                   {0.9375, 0.5625},
                                                   {0.4375, 0.0625},
                                                   {0.1875, 0.3125},
                                                   {0.5, 0.5},
                                                   {0.1666666666, 0.9444444444},
                                                   {0.5, 0.1666666666},
                                                   {0.5, 0.8333333333},
                                                   {0.1666666666, 0.2777777777},
                                                   {0.8333333333, 0.3888888888},
                                                   {0.1666666666, 0.6111111111},
                                                   {0.8333333333, 0.7222222222},
                                                   {0.8333333333, 0.0555555555}};
    if (k < 1 || k > kJitterPoints) {
        return {0, 0};
    }
    return {table[k - 1][0], table[k - 1][1]};
}

std::array<double, 2> KRenderOptions::passOffset(int k, int width, int height) const {
    const auto j = jitter(k);
    if (width <= 0 || height <= 0) {
        return {0, 0};
    }
    return {2 * j[0] / width * jitterScale, 2 * j[1] / height * jitterScale};
}

int KRenderOptions::passCount() const {
    // More passes than jitter points would read past the sequence.
    return passes < 0 ? 0 : (passes > kJitterPoints ? kJitterPoints : passes);
}

int KRenderOptions::parsePasses(const std::string& text) {
    const char* s = text.c_str();
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (end == s || v < 0 || v > 9999) {
        return 0;
    }
    return int(v);
}
