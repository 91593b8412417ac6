#pragma once
// How the preview fills the object in each shading type: Point and Wire are white
// outlines of the triangles, Flat and Smooth fill them in the object colour with one
// colour per triangle or colours blended across it.

#include <array>
#include <cstdint>

struct KPreviewShading {
    enum Fill : int { Points, Lines, Filled };
    enum Model : int { KeepModel, FlatModel, SmoothModel };

    std::array<float, 3> color{1, 1, 1};
    Fill fill = Filled;
    // Point and Wire leave the shade model as the last filled frame set it.
    Model model = KeepModel;

    // The style of a shading type (KPreviewCamera's Point..Smooth; anything above is
    // Smooth) for an object colour packed with red in the low byte.
    static KPreviewShading of(int shadingType, uint32_t objectColor);
    bool operator==(const KPreviewShading&) const = default;
};
