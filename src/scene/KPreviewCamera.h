#pragma once
// The 3D preview's camera and animation state without any OpenGL: the initial transform,
// the spin, the projection with its orthographic box, the mouse rules that turn and move
// the object, and the settings the document keeps for the preview. The view loads the
// matrices computed here, so they can be checked without a rendering context.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CPexaDoc;
struct KPreviewState;

// A 4 x 4 matrix in column-major order (element [col * 4 + row]), as OpenGL loads it.
using KMatrix4 = std::array<double, 16>;

KMatrix4 kIdentity();
KMatrix4 kMultiply(const KMatrix4& a, const KMatrix4& b); // a · b
KMatrix4 kTranslation(double x, double y, double z);
KMatrix4 kScaling(double x, double y, double z);
// Rotation by degrees about the axis (x, y, z), which must not be zero.
KMatrix4 kRotation(double degrees, double x, double y, double z);
// The same matrices as glOrtho and gluPerspective build.
KMatrix4 kOrtho(double left, double right, double bottom, double top, double nearPlane,
                double farPlane);
KMatrix4 kPerspective(double fovDegrees, double aspect, double nearPlane, double farPlane);
// m · (x, y, z, 1), returning x, y, z, w.
std::array<double, 4> kTransform(const KMatrix4& m, double x, double y, double z);

class KPreviewCamera {
public:
    enum Shading : int { Point = 0, Wire = 1, Flat = 2, Smooth = 3 };
    enum Projection : int { Perspective = 0, Orthographic = 1 };
    enum Tool : int { Rotate = 0, Pan = 1 };

    // ---- state (defaults of a new preview)
    int shadingType = Smooth;
    float translate[3] = {0, 0, 0};
    float rotate[3] = {0, 0, 0}; // degrees
    float scale[3] = {1, 1, 1};
    float spin[3] = {0, 10, 0}; // degrees per frame
    bool animating = false;
    uint32_t delay = 0; // milliseconds between spin frames
    int frame = 0;
    int frameStep = 1;
    int projection = Perspective;
    float aspect = 1.0f;
    float nearPlane = 1.0f;
    float farPlane = 40.0f;
    float fieldOfView = 45.0f;
    int leftHanded = 1;
    float orthoLeft = -1, orthoRight = 1, orthoBottom = -1, orthoTop = 1;
    float eyeDistance = 2.5f; // near + 1.5 at construction
    int tool = Rotate;
    int layerMode = 0; // 0 Skinned, 1 Layered
    std::vector<int32_t> selectedLayers;

    // ---- projection
    // A new client size: the orthographic box keeps the shorter side at [-1, 1]; the
    // aspect follows. Ignored for a height of 0 or less (returns false).
    bool resize(int width, int height);
    KMatrix4 projectionMatrix() const;
    // The model-view matrix of the current frame; centre is the centring offset. The
    // object turns about pivot (object coordinates, before centring); with no rotation
    // the picture is the same as turning about the centred origin, so the object sits
    // where it always did and only turns about its own middle.
    KMatrix4 modelViewMatrix(double centreX, double centreY,
                             const std::array<double, 3>& pivot) const;
    // The offset that centres the document's base shape on the origin.
    static std::array<double, 2> centringOffset(const CPexaDoc& doc);
    // The point the object turns about: the centre of its calculated mesh's bounds, or,
    // before there is a mesh, the point the centring offset puts at the origin.
    static std::array<double, 3> pivotOf(const CPexaDoc& doc);

    // ---- animation commands
    void advanceFrame() { frame += frameStep; }
    void reverse() { frameStep = frameStep < 1 ? 1 : -1; }
    void clear() {
        animating = false;
        frame = 0;
    }
    void recenter();
    // Back to a stored camera: its transform and projection, frame 0.
    void resetTo(const KPreviewState& state);
    // Moves the eye towards the object (notches > 0) or away from it by a fixed share of
    // the distance per notch, so it can never pass through the object or lose it beyond
    // the far plane. In orthographic projection the object is scaled instead.
    void dolly(double notches);
    // The distance from the eye to the object's centre along the view axis.
    double viewDistance() const;

    // ---- mouse
    // One mouse move while a button may be held. Changes rotation or translation and
    // returns the status text ("" while rotating). The previous position is remembered.
    struct MouseInput {
        int x = 0, y = 0;
        bool dragging = false;
        bool shift = false;
        bool control = false;
        bool middle = false;
    };
    std::string mouseMove(const MouseInput& in);
    void startDrag(int x, int y) {
        lastX = x;
        lastY = y;
    }
    int lastX = 0, lastY = 0;
    int dragMode = -1;
    int dragAmount = 0;

    // ---- settings kept by the document
    void readSettings(const CPexaDoc& doc);
    void writeSettings(CPexaDoc& doc) const;
};
