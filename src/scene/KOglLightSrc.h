#pragma once
// One light of the 3D preview and the eight lights a preview owns. Colours and vectors
// are four floats; only active, ambient, diffuse, specular and position reach OpenGL, the
// attenuation and spot values are kept and copied.

#include <array>
#include <string>

#include "platform/KObject.h"

class KOglLightSrc : public KObject {
public:
    using Vec4 = std::array<float, 4>;

    KOglLightSrc() { reset(); }
    // Every field to its default: inactive, black, a directional light along +z.
    void reset();
    // reset(), then white diffuse and specular.
    void resetLight0();

    void setPosition(float x, float y, float z) {
        position[0] = x;
        position[1] = y;
        position[2] = z;
    }
    void setW(float w) { position[3] = w; }
    void setAttenuation(float c, float l, float q) {
        constantAttenuation = c;
        linearAttenuation = l;
        quadraticAttenuation = q;
    }
    void setSpotCutoff(float cutoff, float extra) {
        spotCutoff = cutoff;
        spotExtra = extra;
    }
    void setSpotDirection(float x, float y, float z) { spotDirection = {x, y, z, 0}; }
    void setActive(bool on) { active = on ? 1 : 0; }
    // Every field but the object header.
    void copyFrom(const KOglLightSrc& other);

    int identifier = 0;
    std::string name;
    int active = 0;
    Vec4 position{};
    Vec4 ambient{};
    Vec4 diffuse{};
    Vec4 specular{};
    float constantAttenuation = 1;
    float linearAttenuation = 0;
    float quadraticAttenuation = 0;
    float spotExponent = 0;
    Vec4 spotDirection{};
    float spotCutoff = 180;
    float spotExtra = 0;
};

// The eight lights of a preview and the light model around them.
class KPreviewLights {
public:
    static constexpr int kCount = 8;

    // Light 0 white and active, the others reset; with left handed on, every stored
    // position z and spot direction z is the negation of what OpenGL receives.
    explicit KPreviewLights(bool leftHanded = true);

    // The position handed to OpenGL for light i (z negated again when left handed).
    KOglLightSrc::Vec4 glPosition(int i) const;
    // A typed light id brought into 0..7.
    static int clampId(int id) { return id < 0 ? 0 : (id >= kCount ? kCount - 1 : id); }
    // The light-model ambient colour: the ambient colour with alpha 1, or black.
    std::array<float, 4> modelAmbient() const;

    std::array<KOglLightSrc, kCount> lights;
    bool leftHanded = true;
    int lastLightId = 0;
    int ambientOn = 1;
    double ambientColor[4] = {0.2, 0.2, 0.2, 1.0};
    int localViewer = 1;
    int twoSided = 0;
};

// The anti-aliasing settings and the jitter of its passes.
struct KRenderOptions {
    static constexpr int kJitterPoints = 17;
    bool antiAliasing = false;
    int passes = 8;
    double jitterScale = 1.0;
    bool drawEach = false;
    bool fadeIn = false;

    // Point k (1-based) of the jitter sequence: eight points, then nine. Pass k uses point
    // k whatever the pass count.
    static std::array<double, 2> jitter(int k);
    // The projection shift of pass k in a W x H viewport.
    std::array<double, 2> passOffset(int k, int width, int height) const;
    // The number of passes drawn: the pass count limited to the jitter points.
    int passCount() const;
    // The pass count a typed text gives: its decimal number, 0 when it is none.
    static int parsePasses(const std::string& text);
};
