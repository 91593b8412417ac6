#include "model/KBdlMuscle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

// Evaluation of a muscle: its displacement at a map point and the points of its own
// patch, each in a live flavour (curves may build tables on the way, the point muscle's
// centre is recorded in anchor) and a prepared, const flavour. Both run the same
// templates below, so they give bit-identical results.

namespace {

constexpr double kPi = std::numbers::pi;

// Curve access that may build tables on the way (KBdlCurve::value).
struct LiveCurves {
    static double value(KBdlCurve& c, double t) { return c.value(t); }
    static void point(KBdlCurve& c, double t, KVertex& p) { c.point(t, p); }
};

// Curve access without side effects on prepared curves. Gives exactly what LiveCurves
// gives: a curve without points is 0 and leaves the point untouched.
struct PreparedCurves {
    static double value(const KBdlCurve& c, double t) {
        return c.count() < 1 ? 0.0 : c.evaluate(t).y;
    }
    static void point(const KBdlCurve& c, double t, KVertex& p) {
        if (c.count() >= 1) {
            p = c.evaluate(t);
        }
    }
};

double combine(const KBdlMuscle& m, double h, double x) {
    return m.heightType == KBdlMuscle::HeightOffset ? x + h : x * h;
}

template <class E, class M>
double lowWidth(M& m, double s) {
    return E::value(m.widthLo, s) * double(m.widthLoScale);
}

template <class E, class M>
double highWidth(M& m, double s) {
    return m.hasSymmetricWidth() ? lowWidth<E>(m, s)
                                 : E::value(m.widthHi, s) * double(m.widthHiScale);
}

// The signed distance across a linear muscle, folded around the seam at u = 0/1 so that
// a muscle near one edge of the map reaches over to the other. The sign is kept for
// points reached over the seam from either side, so an asymmetric muscle keeps its
// shape on both sides of the seam.
double foldAcrossSeam(double x) {
    const double t = x + 0.5;
    double e = std::fabs(t);
    if (e > 1.0) {
        e -= 1.0;
    }
    e -= 0.5;
    return t < 0.0 ? -e : e;
}

// Parameter along a band from the position along its length axis; a band of zero
// length is its start.
double alongParameter(const KBdlMuscle& m, double along) {
    const double length = double(m.end) - double(m.begin);
    return length != 0.0 ? (along - double(m.begin)) / length : 0.0;
}

// What a linear or orbital muscle's profile needs at one position along its band; it
// depends on that position only, so a grid evaluates it once per row (linear) or column
// (orbital).
template <class E, class M>
KBdlMuscle::BandSection bandSection(M& m, double along) {
    KBdlMuscle::BandSection b;
    if (!(double(m.begin) <= along && along <= double(m.end))) {
        return b;
    }
    const double s = alongParameter(m, along);
    b.inBand = true;
    b.center = E::value(m.center, s);
    b.low = lowWidth<E>(m, s);
    b.high = highWidth<E>(m, s);
    b.profile = E::value(m.heightCurve, s);
    return b;
}

// The profile at a position across the band, given the band's section there.
template <class E, class M>
double bandValue(M& m, const KBdlMuscle::BandSection& b, double across, bool foldSeam) {
    if (!b.inBand) {
        return 0.0;
    }
    double e = across - b.center;
    if (foldSeam) {
        e = foldAcrossSeam(e);
    }
    const double c = e > 0.0 ? e / (2.0 * b.high) + 0.5 : e / (2.0 * b.low) + 0.5;
    if (!(c >= 0.0 && c <= 1.0)) { // also a zero width
        return 0.0;
    }
    return combine(m, b.profile, E::value(m.crossSection, c));
}

// Profile of a linear or orbital muscle at a position along and across its band.
template <class E, class M>
double bandProfile(M& m, double along, double across, bool foldSeam) {
    return bandValue<E>(m, bandSection<E>(m, along), across, foldSeam);
}

// The centre of a point muscle at parameter t; the live evaluation records it in anchor.
template <class E, class M>
KVertex pointCenter(M& m, double t) {
    KVertex p = m.anchor;
    E::point(m.center, t, p);
    if constexpr (!std::is_const_v<M>) {
        m.anchor = p;
    }
    return p;
}

// The profile of a point muscle at (u, v) around its centre p (the centre at u).
template <class E, class M>
double pointValue(M& m, const KVertex& p, double u, double v) {
    const double dx = (u - p.x) * double(m.begin);
    const double dy = (v - p.y) * double(m.end);
    const double a = (std::atan2(dx, dy) + kPi) / (2.0 * kPi);
    const double rho = std::sqrt(dx * dx + dy * dy) / lowWidth<E>(m, a);
    if (!(rho <= 1.0)) { // also a zero width
        return 0.0;
    }
    return combine(m, E::value(m.heightCurve, a), E::value(m.crossSection, rho));
}

template <class E, class M>
double pointProfile(M& m, double u, double v) {
    return pointValue<E>(m, pointCenter<E>(m, u), u, v);
}

template <class E, class M>
double displacementOf(M& m, double u, double v) {
    if (m.active == 0 || m.height == 0.0f) {
        return 0.0;
    }
    const double mu = m.localU(u);
    const double mv = m.localV(v);
    double r = 0.0;
    switch (m.muscleType) {
    case KBdlMuscle::Linear:
        r = bandProfile<E>(m, mv, mu, true);
        break;
    case KBdlMuscle::Orbital:
        r = bandProfile<E>(m, mu, mv, false);
        break;
    case KBdlMuscle::Point:
        r = pointProfile<E>(m, mu, mv);
        break;
    default:
        break;
    }
    return r * double(m.height);
}

struct BandPoint {
    double across; // u of a linear muscle, v of an orbital one
    double along;  // v of a linear muscle, u of an orbital one
    double height;
};

// A point of a band's patch: s along the band, c across it (both mirrored as the
// muscle says), with the across position spread over the Lo and Hi sides by their
// scales when the widths are not symmetric.
template <class E, class M>
BandPoint bandPoint(M& m, double s, bool mirrorAlong, double c, bool mirrorAcross) {
    s = std::clamp(mirrorAlong ? 1.0 - s : s, 0.0, 1.0);
    c = std::clamp(mirrorAcross ? 1.0 - c : c, 0.0, 1.0);
    double p = c;
    const double loScale = m.widthLoScale;
    const double hiScale = m.widthHiScale;
    if (!m.hasSymmetricWidth() && loScale + hiScale != 0.0) {
        p = c <= 0.5 ? 2.0 * c * loScale / (loScale + hiScale)
                     : (2.0 * (c - 0.5) * hiScale + loScale) / (loScale + hiScale);
    }
    const double lo = lowWidth<E>(m, s);
    const double hi = highWidth<E>(m, s);
    const double mid = E::value(m.center, s);
    BandPoint out;
    out.across = mirrorAcross ? 1.0 - mid - hi + (hi + lo) * (1.0 - p) : mid - lo + p * (lo + hi);
    out.height =
        combine(m, E::value(m.heightCurve, s), E::value(m.crossSection, c)) * double(m.height);
    out.along = double(m.begin) + (double(m.end) - double(m.begin)) * s;
    if (mirrorAlong) {
        out.along = 1.0 - out.along;
    }
    return out;
}

template <class E, class M>
bool itemPointOf(M& m, double a, double b, KVertex& out) {
    switch (m.muscleType) {
    case KBdlMuscle::Linear: {
        const BandPoint bp = bandPoint<E>(m, b, m.mirrorV != 0, a, m.mirrorU != 0);
        double u = bp.across;
        // The linear item wraps around the seam like its displacement.
        if (u < 0.0) {
            u += 1.0;
        } else if (u > 1.0) {
            u -= 1.0;
        }
        out.x = u + double(m.offsetU);
        out.y = bp.height;
        out.z = bp.along + double(m.offsetV);
        return true;
    }
    case KBdlMuscle::Orbital: {
        const BandPoint bp = bandPoint<E>(m, a, m.mirrorU != 0, b, m.mirrorV != 0);
        out.x = bp.along + double(m.offsetU);
        out.y = bp.height;
        out.z = bp.across + double(m.offsetV);
        return true;
    }
    case KBdlMuscle::Point: {
        // a runs around the centre, b outward from it.
        if (m.mirrorU) {
            a = 1.0 - a;
        }
        if (m.mirrorV) {
            b = 1.0 - b;
        }
        KVertex p = pointCenter<E>(m, a);
        if (m.mirrorU) {
            p.x = 1.0 - p.x;
        }
        if (m.mirrorV) {
            p.y = 1.0 - p.y;
        }
        const double theta = (-a - 0.25) * 2.0 * kPi;
        const double rho = double(m.widthLoScale) * E::value(m.widthLo, a) * b;
        out.x = rho * std::cos(theta) / double(m.begin) + p.x + double(m.offsetU);
        out.z = rho * std::sin(theta) / double(m.end) + p.y + double(m.offsetV);
        out.y =
            combine(m, E::value(m.heightCurve, a), E::value(m.crossSection, b)) * double(m.height);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

double KBdlMuscle::displacement(double u, double v) {
    return displacementOf<LiveCurves>(*this, u, v);
}

bool KBdlMuscle::itemPoint(double a, double b, KVertex& out) {
    return itemPointOf<LiveCurves>(*this, a, b, out);
}

KVertex KBdlMuscle::itemPoint(double a, double b) {
    KVertex out;
    itemPoint(a, b, out);
    return out;
}

void KBdlMuscle::prepare() {
    for (KBdlCurve* c : {&center, &heightCurve, &widthLo, &widthHi, &crossSection}) {
        c->prepare();
    }
}

bool KBdlMuscle::isPrepared() const {
    return center.isPrepared() && heightCurve.isPrepared() && widthLo.isPrepared() &&
           widthHi.isPrepared() && crossSection.isPrepared();
}

double KBdlMuscle::displacementPrepared(double u, double v) const {
    return displacementOf<PreparedCurves>(*this, u, v);
}

bool KBdlMuscle::itemPointPrepared(double a, double b, KVertex& out) const {
    return itemPointOf<PreparedCurves>(*this, a, b, out);
}

double KBdlMuscle::localU(double u) const {
    const double mu = u - double(offsetU);
    return mirrorU ? 1.0 - mu : mu;
}

double KBdlMuscle::localV(double v) const {
    const double mv = v - double(offsetV);
    return mirrorV ? 1.0 - mv : mv;
}

KBdlMuscle::BandSection KBdlMuscle::bandSectionPrepared(double along) const {
    return bandSection<PreparedCurves>(*this, along);
}

double KBdlMuscle::bandValuePrepared(const BandSection& section, double across) const {
    return bandValue<PreparedCurves>(*this, section, across, muscleType == Linear);
}

KVertex KBdlMuscle::pointCenterPrepared(double mu) const {
    return pointCenter<PreparedCurves>(*this, mu);
}

double KBdlMuscle::pointValuePrepared(const KVertex& centerPoint, double mu, double mv) const {
    return pointValue<PreparedCurves>(*this, centerPoint, mu, mv);
}
