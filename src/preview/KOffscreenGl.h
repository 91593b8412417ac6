#pragma once
// An OpenGL compatibility context that needs no window system: EGL on the surfaceless
// platform (a software or render-node driver, no display server), drawing into a
// framebuffer object of a fixed size. Used to render the preview from the command line.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "preview/KGlFunctions.h"

class KOffscreenGl {
public:
    KOffscreenGl();
    ~KOffscreenGl();
    KOffscreenGl(const KOffscreenGl&) = delete;
    KOffscreenGl& operator=(const KOffscreenGl&) = delete;

    // Makes the context current with a width x height colour and depth target.
    // False with the reason in error when no context or target could be made.
    bool create(int width, int height, std::string* error);
    // Looks an OpenGL function up in this context (for KGlFunctions).
    KGlFunctions::Resolver resolver() const;
    // The target's pixels as RGBA bytes, rows top first; empty on failure.
    std::vector<uint8_t> readPixels() const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void destroy();

    struct Egl;
    std::unique_ptr<Egl> egl_;
    int width_ = 0;
    int height_ = 0;
};
