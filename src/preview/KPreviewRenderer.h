#pragma once
// The 3D preview's drawing: the document's mesh from vertex buffers (display lists where
// the context has no buffer objects), the frame set-up (shading type, lights,
// projection), the optional background image, and the jittered passes of an
// anti-aliased frame. It draws into whatever OpenGL context is current,
// through a table of entry points filled for that context, so the preview window and the
// offscreen renderer share every line of it.

#include <QColor>
#include <cstdint>
#include <functional>
#include <string>

#include "preview/KGlFunctions.h"
#include "scene/KAccumBuffer.h"
#include "scene/KPreviewMesh.h"

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

    // Takes the entry points of the context current now; a new context has no buffers,
    // lists or textures of ours. False (with the missing function in error) when one is missing.
    bool initialize(const KGlFunctions::Resolver& lookup, std::string* error = nullptr);
    bool isInitialized() const { return gl_.isResolved(); }
    // The context went away with everything in it: forget the buffers, lists and textures.
    void contextLost();
    // Deletes the buffers, lists and the background texture; the context must be current.
    void releaseResources();
    // The renderer's name as the context reports it.
    std::string rendererName() const;
    const KGlFunctions& gl() const { return gl_; }
    // Hands the driver the triangles drawn so far after every `triangles` of them (0:
    // never). A software rasteriser stores a frame's triangles, sorted into screen tiles,
    // until it is told to draw them: for a large grid drawn once without a window that
    // store is the biggest allocation of the run, and a flush now and then bounds it.
    void setFlushEvery(int64_t triangles) { flushEvery_ = triangles; }

    // The object's buffers (or lists) are brought up to date before the next frame: only
    // the rows the document's latest calculation changed when the buffers hold the one
    // before, everything otherwise.
    void invalidateLists() { listsDirty_ = true; }
    // Whether the object is drawn from vertex buffers: the context offers them and they
    // are allowed (they are unless switched off, which draws from display lists).
    bool usesBuffers() const { return buffersAllowed_ && buffers_.isResolved(); }
    void setBuffersAllowed(bool allowed);
    // The vertex data last prepared for the buffers.
    const KPreviewMesh& mesh() const { return mesh_; }
    // What the last refresh of the buffers rewrote.
    const KPreviewRefresh& lastRefresh() const { return lastRefresh_; }
    // The background texture is loaded again before it is next drawn.
    void invalidateBackground() { backgroundTextureDirty_ = true; }

    // Refreshes the buffers or compiles the lists when needed and sets up the shading, lights and
    // matrices.
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
    void refreshObject(const KPreviewScene& scene);
    void refreshBuffers(const KPreviewScene& scene);
    void uploadAll();
    void drawBuffers();
    void deleteBuffers();
    void compileLists(const KPreviewScene& scene);
    // Deletes the lists this renderer made (the context must be current).
    void deleteLists();
    // Takes a free list name from the context and starts compiling into it; false when
    // the context has none to give.
    bool beginList();
    void compileSkinned();
    void compileLayered(const KPreviewScene& scene);
    void applyMaterial(const KPreviewMaterial& material);
    void emitStrips(const KMeshGrid& grid, const KTexture* material, bool flat);
    void drawBackground(const KPreviewScene& scene, int width, int height);

    CPexaDoc& doc_;
    KGlFunctions gl_;
    KGlBufferFunctions buffers_;
    bool buffersAllowed_ = true;
    int64_t flushEvery_ = 0;
    KPreviewMesh mesh_;
    KPreviewRefresh lastRefresh_;
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    // The lists are firstList_ .. firstList_ + listCount_ - 1.
    GLuint firstList_ = 0;
    int listCount_ = 0;
    bool listsDirty_ = true;
    unsigned backgroundTexture_ = 0;
    bool backgroundTextureDirty_ = true;
    KAccumBuffer accum_;
};
