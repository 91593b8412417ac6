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
