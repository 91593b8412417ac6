#include "preview/KOffscreenGl.h"

// No X11 types in the EGL headers: this code never talks to a display server.
#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glext.h>

#include <cstring>

struct KOffscreenGl::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    decltype(&::glReadPixels) readPixels = nullptr;
    decltype(&::glPixelStorei) pixelStorei = nullptr;
    decltype(&::glGetError) getError = nullptr;
};

namespace {

bool hasExtension(const char* list, const char* name) {
    if (!list) {
        return false;
    }
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        const bool startsWord = p == list || p[-1] == ' ';
        const bool endsWord = p[n] == ' ' || p[n] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

template <typename T>
bool lookUp(T& out, const char* name) {
    out = reinterpret_cast<T>(eglGetProcAddress(name));
    return out != nullptr;
}

} // namespace

KOffscreenGl::KOffscreenGl() : egl_(std::make_unique<Egl>()) {}

KOffscreenGl::~KOffscreenGl() {
    destroy();
}

void KOffscreenGl::destroy() {
    Egl& e = *egl_;
    if (e.context != EGL_NO_CONTEXT) {
        if (e.framebuffer) {
            e.bindFramebuffer(GL_FRAMEBUFFER, 0);
            e.deleteFramebuffers(1, &e.framebuffer);
        }
        GLuint buffers[2] = {e.colour, e.depth};
        if (e.colour || e.depth) {
            e.deleteRenderbuffers(2, buffers);
        }
        eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(e.display, e.context);
    }
    if (e.display != EGL_NO_DISPLAY) {
        eglTerminate(e.display);
    }
    *egl_ = Egl();
    width_ = height_ = 0;
}

bool KOffscreenGl::create(int width, int height, std::string* error) {
    destroy();
    auto fail = [&](const std::string& why) {
        if (error) {
            *error = why;
        }
        destroy();
        return false;
    };
    Egl& e = *egl_;
    // The surfaceless platform needs neither a display server nor a window.
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        return fail("EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)");
    }
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    if (!lookUp(getPlatformDisplay, "eglGetPlatformDisplayEXT")) {
        return fail("EGL has no eglGetPlatformDisplayEXT");
    }
    e.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (e.display == EGL_NO_DISPLAY || !eglInitialize(e.display, &major, &minor)) {
        e.display = EGL_NO_DISPLAY;
        return fail("EGL could not be initialised on the surfaceless platform");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return fail("EGL offers no desktop OpenGL");
    }
    // Any configuration that renders desktop OpenGL; none at all is fine where contexts
    // without one are allowed, as the frame goes to a framebuffer object anyway.
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = EGL_NO_CONFIG_KHR;
    EGLint configCount = 0;
    if (!eglChooseConfig(e.display, configAttributes, &config, 1, &configCount) ||
        configCount < 1) {
        if (!hasExtension(eglQueryString(e.display, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
            return fail("EGL has no configuration for desktop OpenGL");
        }
        config = EGL_NO_CONFIG_KHR;
    }
    // No version asked: a legacy context, which has the fixed-function pipeline, vertex
    // buffers and display lists the preview draws with.
    const EGLint contextAttributes[] = {EGL_NONE};
    e.context = eglCreateContext(e.display, config, EGL_NO_CONTEXT, contextAttributes);
    if (e.context == EGL_NO_CONTEXT) {
        return fail("EGL could not create an OpenGL context");
    }
    if (!eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, e.context)) {
        eglDestroyContext(e.display, e.context);
        e.context = EGL_NO_CONTEXT;
        return fail("the OpenGL context could not be made current without a surface");
    }
    const bool resolved = lookUp(e.genFramebuffers, "glGenFramebuffers") &&
                          lookUp(e.bindFramebuffer, "glBindFramebuffer") &&
                          lookUp(e.deleteFramebuffers, "glDeleteFramebuffers") &&
                          lookUp(e.genRenderbuffers, "glGenRenderbuffers") &&
                          lookUp(e.bindRenderbuffer, "glBindRenderbuffer") &&
                          lookUp(e.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                          lookUp(e.renderbufferStorage, "glRenderbufferStorage") &&
                          lookUp(e.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                          lookUp(e.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                          lookUp(e.readPixels, "glReadPixels") &&
                          lookUp(e.pixelStorei, "glPixelStorei") &&
                          lookUp(e.getError, "glGetError");
    if (!resolved) {
        return fail("the OpenGL context has no framebuffer objects");
    }
    e.genRenderbuffers(1, &e.colour);
    e.bindRenderbuffer(GL_RENDERBUFFER, e.colour);
    e.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    e.genRenderbuffers(1, &e.depth);
    e.bindRenderbuffer(GL_RENDERBUFFER, e.depth);
    e.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    e.genFramebuffers(1, &e.framebuffer);
    e.bindFramebuffer(GL_FRAMEBUFFER, e.framebuffer);
    e.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, e.colour);
    e.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, e.depth);
    if (e.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
        e.getError() != GL_NO_ERROR) {
        return fail("no " + std::to_string(width) + " x " + std::to_string(height) +
                    " frame could be made in the OpenGL context");
    }
    width_ = width;
    height_ = height;
    return true;
}

KGlFunctions::Resolver KOffscreenGl::resolver() const {
    return [](const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); };
}

std::vector<uint8_t> KOffscreenGl::readPixels() const {
    const Egl& e = *egl_;
    if (e.context == EGL_NO_CONTEXT || width_ < 1 || height_ < 1) {
        return {};
    }
    const size_t rowBytes = size_t(width_) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * size_t(height_));
    e.pixelStorei(GL_PACK_ALIGNMENT, 1);
    e.readPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (e.getError() != GL_NO_ERROR) {
        return {};
    }
    // OpenGL reads the bottom row first.
    std::vector<uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height_; ++y) {
        std::memcpy(topDown.data() + size_t(y) * rowBytes,
                    bottomUp.data() + size_t(height_ - 1 - y) * rowBytes, rowBytes);
    }
    return topDown;
}
