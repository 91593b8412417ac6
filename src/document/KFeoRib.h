#pragma once
// Options of the RIB export (kept with the document, not stored).

#include <cstdint>

struct KFeoRib {
    enum MeshType : int32_t { PointsPolygon = 0, SubdivisionSurface = 1 };
    int32_t meshType = PointsPolygon;
};
