#include "preview/KPreviewRenderer.h"

#include <algorithm>

#include "document/CPexaDoc.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

namespace {

void setColor4(GLfloat out[4], const KVertex& c, float factor) {
    const KVertex s = KTexture::scaled(c, factor);
    out[0] = GLfloat(s.x);
    out[1] = GLfloat(s.y);
    out[2] = GLfloat(s.z);
    out[3] = GLfloat(s.w);
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
    contextLost();
    gl_.glClearDepth(1.0);
    gl_.glEnable(GL_DEPTH_TEST);
    return true;
}

void KPreviewRenderer::contextLost() {
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

void KPreviewRenderer::beginFrame(const KPreviewScene& scene) {
    if (listsDirty_) {
        compileLists(scene);
    }
    const KPreviewCamera& camera = scene.camera;
    const KPreviewLights& lights = scene.lights;
    const bool ortho = camera.projection == KPreviewCamera::Orthographic;
    const QColor& bg = ortho ? scene.orthographicBackground : scene.perspectiveBackground;
    gl_.glEnable(GL_DEPTH_TEST);
    // The stored colours have alpha 0; the frame is cleared opaque, or the window would
    // show through wherever the object is not drawn.
    gl_.glClearColor(GLclampf(bg.redF()), GLclampf(bg.greenF()), GLclampf(bg.blueF()), 1);

    // Point and wire are white outlines; flat and smooth filled in the object colour.
    const uint32_t objectColor = doc_.textureColor(0);
    const GLfloat r = GLfloat(objectColor & 0xFF) / 255.0f;
    const GLfloat g = GLfloat((objectColor >> 8) & 0xFF) / 255.0f;
    const GLfloat b = GLfloat((objectColor >> 16) & 0xFF) / 255.0f;
    switch (camera.shadingType) {
    case KPreviewCamera::Point:
        gl_.glColor3f(1, 1, 1);
        gl_.glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        break;
    case KPreviewCamera::Wire:
        gl_.glColor3f(1, 1, 1);
        gl_.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        break;
    case KPreviewCamera::Flat:
        gl_.glColor3f(r, g, b);
        gl_.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        gl_.glShadeModel(GL_FLAT);
        break;
    default:
        gl_.glColor3f(r, g, b);
        gl_.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        gl_.glShadeModel(GL_SMOOTH);
        break;
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
    listsDirty_ = false;
    deleteLists();
    if (scene.camera.layerMode == 1) {
        compileLayered(scene);
    } else {
        compileSkinned();
    }
}

void KPreviewRenderer::applyMaterial(const KTexture* t) {
    const GLfloat black[4] = {0, 0, 0, 1};
    for (GLenum what :
         {GLenum(GL_AMBIENT), GLenum(GL_DIFFUSE), GLenum(GL_EMISSION), GLenum(GL_SPECULAR)}) {
        gl_.glMaterialfv(GL_FRONT_AND_BACK, what, black);
    }
    gl_.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    if (!t) {
        return;
    }
    GLfloat c[4];
    if (t->useAmbient) {
        setColor4(c, t->ambient, t->ambientFactor);
        gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
    }
    if (t->useDiffuse) {
        setColor4(c, t->diffuse, t->diffuseFactor);
        gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
    }
    if (t->useEmission) {
        setColor4(c, t->emission, t->emissionFactor);
        gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, c);
    }
    if (t->useSpecular) {
        setColor4(c, t->specular, t->specularFactor);
        gl_.glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, c);
    }
    if (t->useShininess) {
        // OpenGL accepts 0..128; larger values would be refused and leave the old one.
        gl_.glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(t->shininess, 0.0f, 128.0f));
    }
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
            applyMaterial(material);
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
    applyMaterial(doc_.textures.textureAt(0));
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
