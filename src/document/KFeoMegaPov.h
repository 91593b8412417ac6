#pragma once
// Options of the POV-Ray 3.1 / MegaPOV export (kept with the document, not stored).

#include <cstdint>

struct KFeoMegaPov {
    enum Type : int32_t { Mesh = 0, Mesh2 = 1 };
    int32_t type = Mesh2;
    int32_t includeUdo = 1;
    int32_t uGridScale = 1;       // 1 to 20
    int32_t vGridScale = 1;       // 1 to 20
    int32_t quadsOrTriangles = 0; // 0 "Quads", 1 "Triangles"
};
