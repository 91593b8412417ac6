#pragma once
// The program's command-line modes that need no window: the help text and
// "--render FILE -o OUT.tga", which draws a document's 3D preview offscreen (no display
// server) with the preview window's own drawing code and writes it as a 24-bit TGA file.

#include <string>
#include <vector>

struct KRenderRequest {
    static constexpr int kDefaultWidth = 400;
    static constexpr int kDefaultHeight = 300;
    static constexpr int kMaxSide = 4096;

    std::string input;
    std::string output;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    int shading = -1; // -1: the document's own; else a KPreviewCamera::Shading
    // Set when a side asked for was larger than kMaxSide and was reduced to it.
    bool clamped = false;
};

// The usage text of the program.
std::string kCommandLineHelp();
// True when the arguments (after the program name) ask for the help text.
bool kWantsHelp(const std::vector<std::string>& args);
// True when the arguments ask for an offscreen render.
bool kWantsRender(const std::vector<std::string>& args);
// Reads the render mode's arguments. False with the reason in error for a missing or
// unknown option, a missing value, a size that is no whole number of 1 or more, or an
// unknown shading type. Sides above kMaxSide are reduced to it (and clamped is set).
bool kParseRenderArguments(const std::vector<std::string>& args, KRenderRequest& request,
                           std::string* error);
// Exit statuses of the render mode, the same as the command-line tool's where they meet.
enum KRenderStatus : int {
    RenderOk = 0,
    RenderBadUsage = 1,
    RenderBadDocument = 2, // missing, unreadable or malformed
    RenderWriteFailed = 3,
    RenderNoContext = 4, // no OpenGL context, or the frame could not be drawn or read
};
// Loads the document and renders it as the request says. On failure the reason is in
// error and the output file is left as it was.
KRenderStatus kRenderDocument(const KRenderRequest& request, std::string* error);
// The whole render mode: parses, renders, reports on stderr; returns the exit status.
int kRunRenderCommand(const std::vector<std::string>& args);
