#include "model/KVertexList.h"

#include "model/KBdlCurve.h"

void KVertexList::assign(const KBdlCurve& curve) {
    vertices.assign(curve.points().begin(), curve.points().begin() + curve.count());
}

void KVertexList::mapToRect(int left, int top, int right, int bottom) {
    for (KVertex& v : vertices) {
        v.x = v.x * (right - left) + left;
        v.y = bottom - v.y * (bottom - top);
    }
}
