#pragma once
// A rectangle of grid samples: rows vFirst..vLast and columns uFirst..uLast (inclusive,
// u fastest in memory, so a row is contiguous), or the whole grid. The document records
// which samples its last calculation changed, so that a view can refresh only those.

#include <cstdint>

struct KGridRegion {
    bool whole = true;
    int32_t uFirst = 0;
    int32_t uLast = -1;
    int32_t vFirst = 0;
    int32_t vLast = -1;

    static KGridRegion all() { return {}; }
    static KGridRegion rect(int32_t u0, int32_t u1, int32_t v0, int32_t v1) {
        return {false, u0, u1, v0, v1};
    }
    bool isEmpty() const { return !whole && (uLast < uFirst || vLast < vFirst); }
};
