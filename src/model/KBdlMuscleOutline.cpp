#include "model/KBdlMuscle.h"

#include <vector>

// The UV polylines and the outline of a muscle's patch that the map views draw and
// hit-test, sampled through itemPoint.

void KBdlMuscle::sampleParameters(KBdlCurve& curve, bool full, std::vector<double>& out) {
    out.clear();
    if (full && curve.resolution > curve.count()) {
        const int n = curve.resolution;
        for (int i = 0; i < n; ++i) {
            out.push_back(n > 1 ? double(i) / double(n - 1) : 0.0);
        }
        return;
    }
    for (int i = 0; i < curve.count(); ++i) {
        out.push_back(curve.parameterAt(i));
    }
}

void KBdlMuscle::samplePolyline(int which, KVertexList& list, bool full) {
    list.vertices.clear();
    KBdlCurve* curve = nullptr;
    double across = 0.0;
    switch (which) {
    case CenterLine:
        curve = &center;
        across = 0.5;
        break;
    case WidthLoLine:
        curve = &widthLo;
        break;
    case WidthHiLine:
        curve = hasSymmetricWidth() ? &widthLo : &widthHi;
        across = 1.0;
        break;
    case CrossSectionLine:
    case HeightLine: {
        std::vector<double> params;
        sampleParameters(which == CrossSectionLine ? crossSection : heightCurve, full, params);
        list.vertices.assign(params.size(), KVertex{});
        return;
    }
    default:
        return;
    }
    std::vector<double> params;
    sampleParameters(*curve, full, params);
    for (double t : params) {
        const KVertex p = muscleType == Linear ? itemPoint(across, t) : itemPoint(t, across);
        list.vertices.push_back({p.x, p.z});
    }
}

void KBdlMuscle::sampleOutline(KVertexList& list, bool full) {
    list.vertices.clear();
    // (c, s): across and along the band; the item point's argument order depends on the
    // type, so the outline is written in the band's own terms.
    auto add = [&](double c, double s) {
        const KVertex p = muscleType == Linear ? itemPoint(c, s) : itemPoint(s, c);
        list.vertices.push_back({p.x, p.z});
    };
    std::vector<double> params;
    switch (muscleType) {
    case Linear:
        sampleParameters(center, full, params);
        for (double s : params) {
            add(0.0, s);
        }
        add(0.5, 1.0);
        for (auto it = params.rbegin(); it != params.rend(); ++it) {
            add(1.0, *it);
        }
        add(0.5, 0.0);
        add(0.0, 0.0);
        break;
    case Orbital:
        sampleParameters(center, full, params);
        add(0.0, 0.0);
        add(0.5, 0.0);
        for (double s : params) {
            add(1.0, s);
        }
        add(0.5, 1.0);
        for (auto it = params.rbegin(); it != params.rend(); ++it) {
            add(0.0, *it);
        }
        break;
    case Point: {
        // The outer ring (b = 1) around the centre, closed at a = 0.
        sampleParameters(widthLo, full, params);
        for (double a : params) {
            const KVertex p = itemPoint(a, 1.0);
            list.vertices.push_back({p.x, p.z});
        }
        const KVertex p = itemPoint(0.0, 1.0);
        list.vertices.push_back({p.x, p.z});
        break;
    }
    default:
        break;
    }
}
