#pragma once
// The OpenGL 1.1 entry points the preview draws with, as a table of function pointers.
// The table is filled from whatever made the context current: Qt's context in the view,
// EGL in the offscreen renderer. So one drawing code serves both, and the program never
// calls the GL library's own exported symbols (which belong to whichever context is
// current in the process, not necessarily ours).

#include <GL/gl.h>

#include <functional>
#include <string>

// Every function the preview calls, by its OpenGL name.
#define K_PREVIEW_GL_FUNCTIONS(X)                                                                  \
    X(glBegin)                                                                                     \
    X(glBindTexture)                                                                               \
    X(glCallList)                                                                                  \
    X(glClear)                                                                                     \
    X(glClearColor)                                                                                \
    X(glClearDepth)                                                                                \
    X(glColor3f)                                                                                   \
    X(glDeleteLists)                                                                               \
    X(glDeleteTextures)                                                                            \
    X(glDisable)                                                                                   \
    X(glDrawPixels)                                                                                \
    X(glEnable)                                                                                    \
    X(glEnd)                                                                                       \
    X(glEndList)                                                                                   \
    X(glFinish)                                                                                    \
    X(glFlush)                                                                                     \
    X(glGenLists)                                                                                  \
    X(glGenTextures)                                                                               \
    X(glGetError)                                                                                  \
    X(glGetString)                                                                                 \
    X(glLightModelfv)                                                                              \
    X(glLightModeli)                                                                               \
    X(glLightfv)                                                                                   \
    X(glLoadIdentity)                                                                              \
    X(glLoadMatrixd)                                                                               \
    X(glMaterialf)                                                                                 \
    X(glMaterialfv)                                                                                \
    X(glMatrixMode)                                                                                \
    X(glMultMatrixd)                                                                               \
    X(glNewList)                                                                                   \
    X(glNormal3d)                                                                                  \
    X(glPixelStorei)                                                                               \
    X(glPixelZoom)                                                                                 \
    X(glPolygonMode)                                                                               \
    X(glPopAttrib)                                                                                 \
    X(glPopMatrix)                                                                                 \
    X(glPushAttrib)                                                                                \
    X(glPushMatrix)                                                                                \
    X(glRasterPos2f)                                                                               \
    X(glRasterPos3d)                                                                               \
    X(glReadPixels)                                                                                \
    X(glScaled)                                                                                    \
    X(glShadeModel)                                                                                \
    X(glTexCoord2d)                                                                                \
    X(glTexEnvi)                                                                                   \
    X(glTexImage2D)                                                                                \
    X(glTexParameteri)                                                                             \
    X(glTranslated)                                                                                \
    X(glVertex2d)                                                                                  \
    X(glVertex3d)                                                                                  \
    X(glViewport)

// The vertex-array and buffer-object entry points (OpenGL 1.5) the preview draws the
// object with where the context offers them, by name and type.
#define K_PREVIEW_GL_BUFFER_FUNCTIONS(X)                                                           \
    X(glBindBuffer, PFNGLBINDBUFFERPROC)                                                           \
    X(glBufferData, PFNGLBUFFERDATAPROC)                                                           \
    X(glBufferSubData, PFNGLBUFFERSUBDATAPROC)                                                     \
    X(glDeleteBuffers, PFNGLDELETEBUFFERSPROC)                                                     \
    X(glDisableClientState, decltype(&::glDisableClientState))                                     \
    X(glDrawElements, decltype(&::glDrawElements))                                                 \
    X(glEnableClientState, decltype(&::glEnableClientState))                                       \
    X(glGenBuffers, PFNGLGENBUFFERSPROC)                                                           \
    X(glNormalPointer, decltype(&::glNormalPointer))                                               \
    X(glVertexPointer, decltype(&::glVertexPointer))

struct KGlFunctions {
#define K_GL_MEMBER(name) decltype(&::name) name = nullptr;
    K_PREVIEW_GL_FUNCTIONS(K_GL_MEMBER)
#undef K_GL_MEMBER

    // Looks a function up by name in the current context; null when it has none.
    using Resolver = std::function<void*(const char* name)>;

    // Fills every entry. False when any is missing; missing then names the first one,
    // and the table is left empty, so a half-filled table is never used.
    bool resolve(const Resolver& lookup, std::string* missing = nullptr);
    bool isResolved() const {
        return glBegin != nullptr;
    }
};

struct KGlBufferFunctions {
#define K_GL_BUFFER_MEMBER(name, type) type name = nullptr;
    K_PREVIEW_GL_BUFFER_FUNCTIONS(K_GL_BUFFER_MEMBER)
#undef K_GL_BUFFER_MEMBER

    // Fills every entry when the context reports version 1.5 or later (a lookup may
    // hand out addresses for functions the context cannot run, so the version decides).
    // False, with the table left empty, otherwise.
    bool resolve(const KGlFunctions::Resolver& lookup, const char* version);
    bool isResolved() const {
        return glBindBuffer != nullptr;
    }
};

// Whether an OpenGL version string ("major.minor[.release] [vendor text]", or with an
// "OpenGL ES" prefix) names at least major.minor of desktop OpenGL.
bool kGlVersionAtLeast(const char* version, int major, int minor);
