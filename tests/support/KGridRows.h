#pragma once
// The rows of a grid whose object points differ from a copy taken earlier: the region a
// calculation that changed only those samples reports.

#include <algorithm>
#include <vector>

#include "mesh/KGridRegion.h"
#include "mesh/KMeshGrid.h"

inline std::vector<KVertex> kObjectPointsOf(const KMeshGrid& grid) {
    const auto points = grid.objectPoints();
    return {points.begin(), points.end()};
}

inline KGridRegion kRowsThatDiffer(const std::vector<KVertex>& before, const KMeshGrid& grid) {
    int32_t first = grid.vCount();
    int32_t last = -1;
    for (int32_t j = 0; j < grid.vCount(); ++j) {
        for (int32_t i = 0; i < grid.uCount(); ++i) {
            const KVertex& a = before[grid.index(i, j)];
            const KVertex& b = grid.objectPoints()[grid.index(i, j)];
            if (a.x != b.x || a.y != b.y || a.z != b.z) {
                first = std::min(first, j);
                last = std::max(last, j);
            }
        }
    }
    return KGridRegion::rect(0, grid.uCount() - 1, first, last);
}
