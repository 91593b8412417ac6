#pragma once
// An owned list of vertices: curve snapshots for the curve editor's undo and redo, and
// the muscles' polylines that the UV map view draws.

#include <vector>

#include "model/KVertex.h"

class KBdlCurve;

class KVertexList {
public:
    KVertexList() = default;
    explicit KVertexList(const KBdlCurve& curve) { assign(curve); }

    // Copies the curve's control points (all four components).
    void assign(const KBdlCurve& curve);
    // Turns curve coordinates in [0, 1] into window pixels with y growing downward:
    // x = x·(right − left) + left, y = bottom − y·(bottom − top); z and w untouched.
    void mapToRect(int left, int top, int right, int bottom);

    int count() const { return static_cast<int>(vertices.size()); }

    std::vector<KVertex> vertices;
};
