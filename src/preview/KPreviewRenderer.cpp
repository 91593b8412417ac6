#include "preview/KPreviewRenderer.h"

#include <algorithm>
#include <cstddef>

#include "document/CPexaDoc.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"
#include "scene/KPreviewShading.h"

namespace {

const void* byteOffset(size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

} // namespace

bool KPreviewRenderer::initialize(const KGlFunctions::Resolver& lookup, std::string* error) {
    std::string missing;
    if (!gl_.resolve(lookup, &missing)) {
        if (error) {
            *error = "the OpenGL context has no " + missing;
        }
        return false;
    }
    const GLubyte* version = gl_.glGetString(GL_VERSION);
    buffers_.resolve(lookup, reinterpret_cast<const char*>(version));
    contextLost();
    gl_.glClearDepth(1.0);
    gl_.glEnable(GL_DEPTH_TEST);
    return true;
}

void KPreviewRenderer::contextLost() {
    vertexBuffer_ = 0;
    indexBuffer_ = 0;
    mesh_.clear();
    firstList_ = 0;
    listCount_ = 0;
    listsDirty_ = true;
    backgroundTexture_ = 0;
    backgroundTextureDirty_ = true;
}

void KPreviewRenderer::releaseResources() {
    if (!isInitialized()) {
        return;
    }
    deleteLists();
    deleteBuffers();
    if (backgroundTexture_) {
        gl_.glDeleteTextures(1, &backgroundTexture_);
    }
    contextLost();
}

std::string KPreviewRenderer::rendererName() const {
    if (!isInitialized()) {
        return {};
    }
    const GLubyte* name = gl_.glGetString(GL_RENDERER);
    return name ? std::string(reinterpret_cast<const char*>(name)) : std::string();
}

void KPreviewRenderer::setBuffersAllowed(bool allowed) {
    if (allowed != buffersAllowed_) {
        buffersAllowed_ = allowed;
        listsDirty_ = true;
    }
}

void KPreviewRenderer::beginFrame(const KPreviewScene& scene) {
    if (listsDirty_) {
        refreshObject(scene);
    }
    const KPreviewCamera& camera = scene.camera;
    const KPreviewLights& lights = scene.lights;
    const bool ortho = camera.projection == KPreviewCamera::Orthographic;
    const QColor& bg = ortho ? scene.orthographicBackground : scene.perspectiveBackground;
    gl_.glEnable(GL_DEPTH_TEST);
    // The stored colours have alpha 0; the frame is cleared opaque, or the window would
    // show through wherever the object is not drawn.
    gl_.glClearColor(GLclampf(bg.redF()), GLclampf(bg.greenF()), GLclampf(bg.blueF()), 1);

    const KPreviewShading shading = KPreviewShading::of(camera.shadingType, doc_.textureColor(0));
    gl_.glColor3f(shading.color[0], shading.color[1], shading.color[2]);
    const GLenum fill[] = {GL_POINT, GL_LINE, GL_FILL};
    gl_.glPolygonMode(GL_FRONT_AND_BACK, fill[shading.fill]);
    if (shading.model != KPreviewShading::KeepModel) {
        gl_.glShadeModel(shading.model == KPreviewShading::FlatModel ? GL_FLAT : GL_SMOOTH);
    }

    // The light model and the eight lights.
    const auto ambient = lights.modelAmbient();
    gl_.glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient.data());
    gl_.glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, lights.localViewer);
    gl_.glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, lights.twoSided);
    gl_.glEnable(GL_LIGHTING);
    gl_.glMatrixMode(GL_MODELVIEW);
    gl_.glLoadIdentity();
    for (int i = 0; i < KPreviewLights::kCount; ++i) {
        const GLenum id = GLenum(GL_LIGHT0 + i);
        const KOglLightSrc& light = lights.lights[size_t(i)];
        if (!light.active) {
            gl_.glDisable(id);
            continue;
        }
        gl_.glLightfv(id, GL_AMBIENT, light.ambient.data());
        gl_.glLightfv(id, GL_DIFFUSE, light.diffuse.data());
        gl_.glLightfv(id, GL_SPECULAR, light.specular.data());
        const auto position = lights.glPosition(i);
        gl_.glLightfv(id, GL_POSITION, position.data());
        gl_.glEnable(id);
    }

    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glLoadMatrixd(camera.projectionMatrix().data());
    gl_.glMatrixMode(GL_MODELVIEW);
    const auto centre = KPreviewCamera::centringOffset(doc_);
    gl_.glLoadMatrixd(
        camera.modelViewMatrix(centre[0], centre[1], KPreviewCamera::pivotOf(doc_)).data());
}

void KPreviewRenderer::drawScene(const KPreviewScene& scene, bool withBackground, int width,
                                 int height) {
    gl_.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (usesBuffers()) {
        drawBuffers();
    }
    for (int k = 0; k < listCount_; ++k) {
        gl_.glCallList(firstList_ + GLuint(k));
    }
    if (withBackground && scene.background.mode == KPreviewBackground::On &&
        scene.background.hasImage()) {
        drawBackground(scene, width, height);
    }
}

void KPreviewRenderer::accumulatePass(const KPreviewScene& scene, const KRenderOptions& options,
                                      int k, int width, int height) {
    const int n = options.passCount();
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
    const auto shift = options.passOffset(k, width, height);
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPushMatrix();
    gl_.glLoadIdentity();
    gl_.glTranslated(shift[0], shift[1], 0);
    gl_.glMultMatrixd(scene.camera.projectionMatrix().data());
    gl_.glMatrixMode(GL_MODELVIEW);
    drawScene(scene, true, width, height);
    gl_.glPixelStorei(GL_PACK_ALIGNMENT, 1);
    gl_.glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    accum_.add(pixels.data(), 1.0 / n);
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPopMatrix();
    gl_.glMatrixMode(GL_MODELVIEW);
}

void KPreviewRenderer::renderFrame(const KPreviewScene& scene, const KRenderOptions& options,
                                   bool plain, int width, int height,
                                   const std::function<void(int k, int n)>& onPass) {
    beginFrame(scene);
    const int n = options.passCount();
    if (plain || !options.antiAliasing || n < 1) {
        drawScene(scene, true, width, height);
    } else {
        clearAccumulation(width, height);
        for (int k = 1; k <= n; ++k) {
            if (onPass) {
                onPass(k, n);
            }
            accumulatePass(scene, options, k, width, height);
        }
        showAccumulation(1.0);
    }
    finish();
}

void KPreviewRenderer::showAccumulation(double weight) {
    std::vector<float> sum = accum_.result(weight);
    // Opaque like the plain frame.
    for (size_t i = 3; i < sum.size(); i += 4) {
        sum[i] = 1.0f;
    }
    gl_.glPushAttrib(GL_ENABLE_BIT);
    gl_.glDisable(GL_DEPTH_TEST);
    gl_.glDisable(GL_LIGHTING);
    gl_.glDisable(GL_TEXTURE_2D);
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPushMatrix();
    gl_.glLoadIdentity();
    gl_.glMatrixMode(GL_MODELVIEW);
    gl_.glPushMatrix();
    gl_.glLoadIdentity();
    gl_.glRasterPos2f(-1, -1);
    gl_.glPixelZoom(1, 1);
    gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl_.glDrawPixels(accum_.width(), accum_.height(), GL_RGBA, GL_FLOAT, sum.data());
    gl_.glPopMatrix();
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPopMatrix();
    gl_.glMatrixMode(GL_MODELVIEW);
    gl_.glPopAttrib();
}

void KPreviewRenderer::drawBackground(const KPreviewScene& scene, int width, int height) {
    const KPreviewCamera& camera = scene.camera;
    const KPreviewBackground& background = scene.background;
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPushMatrix();
    gl_.glLoadMatrixd(kOrtho(camera.orthoLeft, camera.orthoRight, camera.orthoBottom,
                             camera.orthoTop, camera.nearPlane, camera.farPlane)
                          .data());
    gl_.glMatrixMode(GL_MODELVIEW);
    gl_.glPushMatrix();
    gl_.glLoadIdentity();
    gl_.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl_.glColor3f(0, 0, 0);
    const double cx = background.coverageX / 100.0;
    const double cy = background.coverageY / 100.0;
    const double depth = -0.95 * camera.farPlane;
    if (background.usePixelMap) {
        gl_.glPushAttrib(GL_ENABLE_BIT);
        gl_.glDisable(GL_LIGHTING);
        gl_.glRasterPos3d(camera.orthoLeft * cx, camera.orthoBottom * cy, depth);
        if (background.stretch) {
            gl_.glPixelZoom(GLfloat(double(width) / background.width * cx),
                            GLfloat(double(height) / background.height * cy));
        } else {
            gl_.glPixelZoom(1, 1);
        }
        gl_.glDrawPixels(background.width, background.height, GL_RGB, GL_UNSIGNED_BYTE,
                         background.pixels.data());
        gl_.glPixelZoom(1, 1);
        gl_.glPopAttrib();
    } else {
        gl_.glTranslated(0, 0, depth);
        gl_.glScaled(2 * cx * camera.orthoRight, 2 * cy * camera.orthoTop, 1);
        gl_.glTranslated(-0.5, -0.5, 0);
        if (backgroundTextureDirty_ || !backgroundTexture_) {
            if (!backgroundTexture_) {
                gl_.glGenTextures(1, &backgroundTexture_);
            }
            gl_.glBindTexture(GL_TEXTURE_2D, backgroundTexture_);
            gl_.glTexImage2D(GL_TEXTURE_2D, 0, 3, background.width, background.height, 0, GL_RGB,
                             GL_UNSIGNED_BYTE, background.pixels.data());
            backgroundTextureDirty_ = false;
        }
        gl_.glBindTexture(GL_TEXTURE_2D, backgroundTexture_);
        const GLint filter = background.interpolate ? GL_LINEAR : GL_NEAREST;
        gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        gl_.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        gl_.glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        gl_.glEnable(GL_TEXTURE_2D);
        gl_.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        gl_.glBegin(GL_QUADS);
        gl_.glNormal3d(0, 0, 1);
        gl_.glTexCoord2d(0, 0);
        gl_.glVertex2d(0, 0);
        gl_.glTexCoord2d(0, 1);
        gl_.glVertex2d(0, 1);
        gl_.glTexCoord2d(1, 1);
        gl_.glVertex2d(1, 1);
        gl_.glTexCoord2d(1, 0);
        gl_.glVertex2d(1, 0);
        gl_.glEnd();
        gl_.glDisable(GL_TEXTURE_2D);
    }
    gl_.glPopMatrix();
    gl_.glMatrixMode(GL_PROJECTION);
    gl_.glPopMatrix();
    gl_.glMatrixMode(GL_MODELVIEW);
}

// ---------------------------------------------------------------- vertex buffers

void KPreviewRenderer::refreshObject(const KPreviewScene& scene) {
    listsDirty_ = false;
    if (usesBuffers()) {
        deleteLists();
        refreshBuffers(scene);
    } else {
        deleteBuffers();
        compileLists(scene);
    }
}

void KPreviewRenderer::refreshBuffers(const KPreviewScene& scene) {
    KPreviewMeshOptions options;
    options.layerMode = scene.camera.layerMode == 1 ? 1 : 0;
    options.selectedLayers = scene.camera.selectedLayers;
    options.viewFlat = scene.viewFlat != 0;
    lastRefresh_ = mesh_.update(doc_, options);
    if (lastRefresh_.full || !vertexBuffer_ || !indexBuffer_) {
        uploadAll();
        return;
    }
    if (lastRefresh_.vertexCount > 0) {
        const size_t stride = sizeof(KPreviewVertex);
        buffers_.glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        buffers_.glBufferSubData(GL_ARRAY_BUFFER, GLintptr(lastRefresh_.firstVertex * stride),
                                 GLsizeiptr(lastRefresh_.vertexCount * stride),
                                 mesh_.vertices().data() + lastRefresh_.firstVertex);
        buffers_.glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
}

void KPreviewRenderer::uploadAll() {
    if (!vertexBuffer_) {
        buffers_.glGenBuffers(1, &vertexBuffer_);
    }
    if (!indexBuffer_) {
        buffers_.glGenBuffers(1, &indexBuffer_);
    }
    const auto& vertices = mesh_.vertices();
    const auto& indices = mesh_.indices();
    // Drags rewrite rows of the vertices; the indices change only with the grid's size.
    buffers_.glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    buffers_.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(KPreviewVertex)),
                          vertices.data(), GL_DYNAMIC_DRAW);
    buffers_.glBindBuffer(GL_ARRAY_BUFFER, 0);
    buffers_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    buffers_.glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(uint32_t)),
                          indices.data(), GL_STATIC_DRAW);
    buffers_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void KPreviewRenderer::drawBuffers() {
    const auto& batches = mesh_.batches();
    if (batches.empty() || !vertexBuffer_ || !indexBuffer_) {
        return;
    }
    const auto stride = GLsizei(sizeof(KPreviewVertex));
    buffers_.glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    buffers_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    buffers_.glEnableClientState(GL_VERTEX_ARRAY);
    buffers_.glEnableClientState(GL_NORMAL_ARRAY);
    buffers_.glVertexPointer(3, GL_FLOAT, stride, byteOffset(offsetof(KPreviewVertex, position)));
    buffers_.glNormalPointer(GL_FLOAT, stride, byteOffset(offsetof(KPreviewVertex, normal)));
    int64_t sinceFlush = 0;
    for (const KPreviewBatch& batch : batches) {
        if (batch.setsMaterial) {
            applyMaterial(batch.material);
        }
        const int64_t stripTriangles = std::max<int64_t>(0, batch.stripLength - 2);
        // One strip per pair of rows, as they were always drawn: joining them would
        // put extra edges into the wire and point pictures.
        for (int32_t k = 0; k < batch.stripCount; ++k) {
            const size_t first = batch.firstIndex + size_t(k) * size_t(batch.stripLength);
            buffers_.glDrawElements(GL_TRIANGLE_STRIP, GLsizei(batch.stripLength), GL_UNSIGNED_INT,
                                    byteOffset(first * sizeof(uint32_t)));
            sinceFlush += stripTriangles;
            if (flushEvery_ > 0 && sinceFlush >= flushEvery_) {
                gl_.glFlush();
                sinceFlush = 0;
            }
        }
    }
    buffers_.glDisableClientState(GL_NORMAL_ARRAY);
    buffers_.glDisableClientState(GL_VERTEX_ARRAY);
    buffers_.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    buffers_.glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void KPreviewRenderer::deleteBuffers() {
    for (GLuint* name : {&vertexBuffer_, &indexBuffer_}) {
        if (*name && buffers_.isResolved()) {
            buffers_.glDeleteBuffers(1, name);
        }
        *name = 0;
    }
    mesh_.clear();
}

// ---------------------------------------------------------------- display lists

void KPreviewRenderer::deleteLists() {
    if (listCount_ > 0) {
        gl_.glDeleteLists(firstList_, GLsizei(listCount_));
    }
    firstList_ = 0;
    listCount_ = 0;
}

bool KPreviewRenderer::beginList() {
    // Names come from the context rather than being fixed: previews in one window share
    // their lists, and one preview must neither replace nor delete another's.
    firstList_ = gl_.glGenLists(1);
    if (firstList_ == 0) {
        return false;
    }
    listCount_ = 1;
    gl_.glNewList(firstList_, GL_COMPILE);
    return true;
}

void KPreviewRenderer::compileLists(const KPreviewScene& scene) {
    deleteLists();
    if (scene.camera.layerMode == 1) {
        compileLayered(scene);
    } else {
        compileSkinned();
    }
}

void KPreviewRenderer::applyMaterial(const KPreviewMaterial& m) {
    gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient.data());
    gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse.data());
    gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m.emission.data());
    gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular.data());
    gl_.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
}

void KPreviewRenderer::emitStrips(const KMeshGrid& grid, const KTexture* material, bool flat) {
    const int32_t nu = grid.uCount();
    const int32_t nv = grid.vCount();
    const auto positions = flat ? grid.objectPoints() : grid.positions();
    const auto normals = grid.normals();
    if (positions.empty() || (!flat && normals.empty())) {
        return;
    }
    for (int32_t r = 0; r + 1 < nv; ++r) {
        if (material) {
            applyMaterial(KPreviewMaterial::of(material));
        }
        gl_.glBegin(GL_TRIANGLE_STRIP);
        for (int32_t c = 0; c < nu; ++c) {
            for (int32_t row : {r + 1, r}) {
                const size_t i = grid.index(c, row);
                if (flat) {
                    gl_.glNormal3d(0, 1, 0);
                } else {
                    gl_.glNormal3d(normals[i].x, normals[i].y, normals[i].z);
                }
                gl_.glVertex3d(positions[i].x, positions[i].y, positions[i].z);
            }
        }
        gl_.glEnd();
    }
}

void KPreviewRenderer::compileSkinned() {
    doc_.computeMesh();
    doc_.computeNormals();
    if (!beginList()) {
        return;
    }
    applyMaterial(KPreviewMaterial::of(doc_.textures.textureAt(0)));
    if (doc_.meshGrid && doc_.meshGrid->hasPositions() && doc_.meshGrid->vCount() > 1) {
        emitStrips(*doc_.meshGrid, nullptr, false);
    }
    gl_.glEndList();
}

void KPreviewRenderer::compileLayered(const KPreviewScene& scene) {
    KItemMeshList& items = doc_.ensureItemMeshes(true);
    if (items.empty()) {
        return;
    }
    if (!beginList()) {
        return;
    }
    const auto& wanted = scene.camera.selectedLayers;
    for (const auto& item : items) {
        if (!wanted.empty() &&
            std::find(wanted.begin(), wanted.end(), item->layerIndex) == wanted.end()) {
            continue;
        }
        emitStrips(*item, doc_.textures.textureAt(item->textureIndex), scene.viewFlat != 0);
    }
    gl_.glEndList();
}
