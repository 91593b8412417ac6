#pragma once
// Builds a grey image of the object's displacement: the sum of chosen user layers, or the
// whole surface height, sampled on a grid of its own. Used by the displacement image
// window and the command line.

#include <vector>

class CPexaDoc;
class KImageMapTga;

struct KDisplacementImageRequest {
    int width = 100;  // U samples, 1 to 512
    int height = 100; // V samples, 1 to 512
    float scale = 1.0f;
    // User layer indices in selection order; empty samples the whole surface.
    std::vector<int> layers;
};

// Fills image (reformatted to 8-bit grey when it has no pixels yet) with one pixel per
// sample: column x at u = x / width, row y at v = y / height, so row 0 is v = 0. The
// scaled heights are clamped to [0, 1], the range a pixel holds. Runs
// under the progress window; returns false when the user cancelled (the rows already
// built stay).
bool kBuildDisplacementImage(CPexaDoc& doc, const KDisplacementImageRequest& request,
                             KImageMapTga& image);
