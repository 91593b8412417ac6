#pragma once
// The 3D preview's drawing: display lists of the document's mesh, the frame set-up
// (shading type, lights, projection), the optional background image, and the jittered
// passes of an anti-aliased frame. It draws into whatever OpenGL context is current,
// through a table of entry points filled for that context, so the preview window and the
// offscreen renderer share every line of it.

#include <QColor>
#include <functional>
#include <string>

#include "preview/KGlFunctions.h"
#include "scene/KAccumBuffer.h"

class CPexaDoc;
class KMeshGrid;
class KPreviewBackground;
class KPreviewCamera;
class KPreviewLights;
class KTexture;
struct KRenderOptions;

// The background colours of a new preview: black in perspective, 0.75 grey in
// orthographic projection.
constexpr QRgb kDefaultPerspectiveBackground = qRgb(0, 0, 0);
constexpr QRgb kDefaultOrthographicBackground = qRgb(191, 191, 191);

// What a frame is drawn from: the preview's settings, owned by the caller.
struct KPreviewScene {
    const KPreviewCamera& camera;
    const KPreviewLights& lights;
    const KPreviewBackground& background;
    QColor perspectiveBackground;
    QColor orthographicBackground;
    int viewFlat = 0;
};

class KPreviewRenderer {
public:
    explicit KPreviewRenderer(CPexaDoc& doc) : doc_(doc) {}
    KPreviewRenderer(const KPreviewRenderer&) = delete;
    KPreviewRenderer& operator=(const KPreviewRenderer&) = delete;

    // Takes the entry points of the context current now; a new context has no lists or
    // textures of ours. False (with the missing function in error) when one is missing.
    bool initialize(const KGlFunctions::Resolver& lookup, std::string* error = nullptr);
    bool isInitialized() const { return gl_.isResolved(); }
    // The context went away with everything in it: forget the lists and textures.
    void contextLost();
    // Deletes the lists and the background texture; the context must be current.
    void releaseResources();
    // The renderer's name as the context reports it.
    std::string rendererName() const;
    const KGlFunctions& gl() const { return gl_; }

    // The lists are compiled again before the next frame.
    void invalidateLists() { listsDirty_ = true; }
    // The background texture is loaded again before it is next drawn.
    void invalidateBackground() { backgroundTextureDirty_ = true; }

    // Compiles the lists when needed and sets up the shading, lights and matrices.
    void beginFrame(const KPreviewScene& scene);
    // Clears and draws the object (and the background image when shown) into a frame of
    // width x height device pixels.
    void drawScene(const KPreviewScene& scene, bool withBackground, int width, int height);
    // Pass k of n of an anti-aliased frame: draws with the projection shifted by the
    // pass's jitter and adds the result to the accumulation with weight 1 / n.
    void accumulatePass(const KPreviewScene& scene, const KRenderOptions& options, int k, int width,
                        int height);
    // Starts a new accumulation for a width x height frame.
    void clearAccumulation(int width, int height) { accum_.clear(width, height); }
    const KAccumBuffer& accumulation() const { return accum_; }
    // Draws the accumulated sum times weight over the whole frame, opaque.
    void showAccumulation(double weight);
    // A whole frame: one plain pass, or every anti-aliasing pass when plain is false.
    // onPass is told before pass k of n.
    void renderFrame(const KPreviewScene& scene, const KRenderOptions& options, bool plain,
                     int width, int height,
                     const std::function<void(int k, int n)>& onPass = nullptr);
    void finish() { gl_.glFinish(); }

private:
    void compileLists(const KPreviewScene& scene);
    // Deletes the lists this renderer made (the context must be current).
    void deleteLists();
    // Takes a free list name from the context and starts compiling into it; false when
    // the context has none to give.
    bool beginList();
    void compileSkinned();
    void compileLayered(const KPreviewScene& scene);
    void applyMaterial(const KTexture* texture);
    void emitStrips(const KMeshGrid& grid, const KTexture* material, bool flat);
    void drawBackground(const KPreviewScene& scene, int width, int height);

    CPexaDoc& doc_;
    KGlFunctions gl_;
    // The lists are firstList_ .. firstList_ + listCount_ - 1.
    GLuint firstList_ = 0;
    int listCount_ = 0;
    bool listsDirty_ = true;
    unsigned backgroundTexture_ = 0;
    bool backgroundTextureDirty_ = true;
    KAccumBuffer accum_;
};
