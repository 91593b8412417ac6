#include "app/KRenderCommand.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "document/CPexaDoc.h"
#include "document/KDocumentFile.h"
#include "image/KImageMapTga.h"
#include "preview/KOffscreenGl.h"
#include "preview/KPreviewRenderer.h"
#include "scene/KCaptureSeries.h"
#include "scene/KOglLightSrc.h"
#include "scene/KPreviewBackground.h"
#include "scene/KPreviewCamera.h"

namespace {

const char* const kShadingNames[4] = {"point", "wire", "flat", "smooth"};

// A whole decimal number with nothing after it; false for anything else (or overflow).
bool parseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// One side of --size: 1 or more; larger than the limit is reduced to it.
bool parseSide(const std::string& text, const char* what, int& side, bool& clamped,
               std::string* error) {
    long long value = 0;
    if (!parseWhole(text, value) || value < 1) {
        *error = std::string("--size: the ") + what + " must be a whole number from 1 to " +
                 std::to_string(KRenderRequest::kMaxSide) + ", not \"" + text + "\"";
        return false;
    }
    if (value > KRenderRequest::kMaxSide) {
        value = KRenderRequest::kMaxSide;
        clamped = true;
    }
    side = int(value);
    return true;
}

} // namespace

std::string kCommandLineHelp() {
    return "Usage: quorl [FILE.qrz...]\n"
           "       quorl --render FILE.qrz -o OUT.tga [--size W H]\n"
           "             [--shading point|wire|flat|smooth]\n"
           "\n"
           "Without options, opens the modeller window (with every FILE.qrz given).\n"
           "\n"
           "  --render FILE.qrz   draw the document's 3D preview without a window or display\n"
           "                      and write it as a 24-bit TGA image; the camera, projection,\n"
           "                      shading and layer selection stored in the document are used\n"
           "  -o, --output OUT    the image to write (replaced only when rendering succeeds)\n"
           "  --size W H          the image size in pixels (default 400 x 300; each side 1 to\n"
           "                      4096, larger values are reduced to 4096)\n"
           "  --shading TYPE      point, wire, flat or smooth instead of the document's own\n"
           "  -h, --help          show this text\n"
           "\n"
           "Exit status of --render: 0 written, 1 bad usage, 2 unreadable document, 3 failed\n"
           "write, 4 no OpenGL context for drawing.\n";
}

bool kWantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            return true;
        }
    }
    return false;
}

bool kWantsRender(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--render") {
            return true;
        }
    }
    return false;
}

bool kParseRenderArguments(const std::vector<std::string>& args, KRenderRequest& request,
                           std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    request = KRenderRequest();
    bool haveInput = false;
    bool haveOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](size_t count, const char* what) {
            if (i + count >= args.size()) {
                why = a + " needs " + what;
                return false;
            }
            return true;
        };
        if (a == "--render") {
            if (!value(1, "a document file")) {
                return false;
            }
            request.input = args[++i];
            haveInput = true;
        } else if (a == "-o" || a == "--output") {
            if (!value(1, "an output file")) {
                return false;
            }
            request.output = args[++i];
            haveOutput = !request.output.empty();
        } else if (a == "--size") {
            if (!value(2, "a width and a height") ||
                !parseSide(args[i + 1], "width", request.width, request.clamped, &why) ||
                !parseSide(args[i + 2], "height", request.height, request.clamped, &why)) {
                return false;
            }
            i += 2;
        } else if (a == "--shading") {
            if (!value(1, "point, wire, flat or smooth")) {
                return false;
            }
            const std::string& name = args[++i];
            request.shading = -1;
            for (int t = 0; t < 4; ++t) {
                if (name == kShadingNames[t]) {
                    request.shading = t;
                }
            }
            if (request.shading < 0) {
                why = "--shading must be point, wire, flat or smooth, not \"" + name + "\"";
                return false;
            }
        } else {
            why = "unknown option \"" + a + "\" (quorl --help lists the options)";
            return false;
        }
    }
    if (!haveInput || request.input.empty()) {
        why = "--render needs a document file";
        return false;
    }
    if (!haveOutput) {
        why = "--render needs an output image: -o OUT.tga";
        return false;
    }
    return true;
}

KRenderStatus kRenderDocument(const KRenderRequest& request, std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    std::unique_ptr<CPexaDoc> doc = kOpenDocument(request.input, &why);
    if (!doc) {
        if (why.empty()) {
            why = "the document could not be read";
        }
        why = request.input + ": " + why;
        return RenderBadDocument;
    }
    const int w = request.width;
    const int h = request.height;

    // The preview's settings as a new preview window on this document starts with them:
    // the stored camera and shading, the default lights and background colours.
    KPreviewCamera camera;
    camera.eyeDistance = camera.nearPlane + 1.5f;
    camera.readSettings(*doc);
    if (request.shading >= 0) {
        camera.shadingType = request.shading;
    }
    camera.resize(w, h);
    const KPreviewLights lights(camera.leftHanded != 0);
    const KPreviewBackground background;
    const KPreviewScene scene{camera,
                              lights,
                              background,
                              QColor(kDefaultPerspectiveBackground),
                              QColor(kDefaultOrthographicBackground),
                              0};

    // Mesa's software rasteriser, when it has threads of its own, bins the next batch of
    // triangles while its threads draw the previous one, so it holds two batches at once
    // (some 35 MB each for a 512 x 512 grid). One frame drawn on this thread gives the
    // same pixels with one batch in memory. A value the user set is kept; other drivers
    // ignore the variable.
    setenv("LP_NUM_THREADS", "0", 0);
    KOffscreenGl context;
    if (!context.create(w, h, &why)) {
        why = "no OpenGL context for rendering: " + why;
        return RenderNoContext;
    }
    KPreviewRenderer renderer(*doc);
    if (!renderer.initialize(context.resolver(), &why)) {
        return RenderNoContext;
    }
    // About eight rows of the 512 x 512 benchmark grid at a time: the stored triangles of
    // its frame fall from some 35 MB to a few, at the same speed and with the same pixels.
    renderer.setFlushEvery(8192);
    renderer.gl().glViewport(0, 0, w, h);
    renderer.renderFrame(scene, KRenderOptions(), true, w, h);
    const std::vector<uint8_t> pixels = context.readPixels();
    if (pixels.empty()) {
        why = "the rendered frame could not be read back";
        return RenderNoContext;
    }
    std::unique_ptr<KImageMapTga> image = kCaptureImage(pixels.data(), w, h, size_t(w) * 4);
    if (!image) {
        why = "no image of " + std::to_string(w) + " x " + std::to_string(h) + " could be made";
        return RenderNoContext;
    }
    std::string reason;
    if (image->save(request.output, &reason) != KImageMapTga::SaveOk) {
        why = "the image could not be written: " + reason;
        return RenderWriteFailed;
    }
    return RenderOk;
}

int kRunRenderCommand(const std::vector<std::string>& args) {
    KRenderRequest request;
    std::string error;
    if (!kParseRenderArguments(args, request, &error)) {
        std::fprintf(stderr, "quorl: %s\n", error.c_str());
        return RenderBadUsage;
    }
    if (request.clamped) {
        std::fprintf(stderr, "quorl: sides are at most %d pixels: rendering %d x %d\n",
                     KRenderRequest::kMaxSide, request.width, request.height);
    }
    const KRenderStatus status = kRenderDocument(request, &error);
    if (status != RenderOk) {
        std::fprintf(stderr, "quorl: %s\n", error.c_str());
    }
    return status;
}
