#include "model/KBdlMuscle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "platform/KArchive.h"
#include "platform/KNumberText.h"
#include "platform/KUi.h"

K_IMPLEMENT_SERIAL(KBdlMuscle, KBdlElement, KBdlObject::kSchema, true)

const char* const KBdlMuscle::kItemDefaultsTitle = "Create New Item - Default Values";
const char* const KBdlMuscle::kItemDefaultsNote =
    "Note:\nYou are creating an item with a zero sized bounding rectangle, so the item default "
    "values will be used. You may modify the following values before continuing: ";

namespace {

constexpr double kPi = std::numbers::pi;

const char* const kBandCenter = "< 0, 0.50 >, < 0.50, 0.50 >, < 1.00, 0.50 >";
const char* const kBandTent = "< 0, 0.00 >, < 0.50, 1.00 >, < 1.00, 0.00 >";
const char* const kBandWidth = "< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >";
const char* const kPointCenter = "< 0.50, 0.50 >";
const char* const kPointHeight = "< 0, 1.00 >, < 0.50, 1.00 >, < 1.00, 1.00 >";
const char* const kPointWidth =
    "< 0, 0.10 >, < 0.25, 0.10 >, < 0.50, 0.10 >, < 0.75, 0.10 >, < 1.00, 0.10 >";
const char* const kPointCrossSection = "< 0, 1.00 >, < 0.50, 0.50 >, < 1.00, 0.00 >";

// "< 0, v >, < 0.50, v >, < 1.00, v >": a constant profile along a band.
std::string bandString(const std::string& v) {
    return "< 0, " + v + " >, < 0.50, " + v + " >, < 1.00, " + v + " >";
}

// The same around a point muscle, with five points.
std::string ringString(const std::string& v) {
    return "< 0, " + v + " >, < 0.25, " + v + " >, < 0.50, " + v + " >, < 0.75, " + v +
           " >, < 1.00, " + v + " >";
}

void appendLinePoint(std::string& out, double x, double y) {
    out += "< ";
    kAppendFixed(out, x, 3);
    out += ", ";
    kAppendFixed(out, y, 3);
    out += " >";
}

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

bool isSymmetric(const KBdlMuscle& m) {
    return m.symmetricWidth == 1;
}

double combine(const KBdlMuscle& m, double h, double x) {
    return m.heightType == KBdlMuscle::HeightOffset ? x + h : x * h;
}

template <class E, class M>
double lowWidth(M& m, double s) {
    return E::value(m.widthLo, s) * double(m.widthLoScale);
}

template <class E, class M>
double highWidth(M& m, double s) {
    return isSymmetric(m) ? lowWidth<E>(m, s) : E::value(m.widthHi, s) * double(m.widthHiScale);
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
    if (!isSymmetric(m) && loScale + hiScale != 0.0) {
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

// Multiplies or divides a float field by a tracker ratio; a ratio that is not a finite
// positive number (a collapsed box, a side of zero width) leaves the field alone.
bool usableRatio(double f) {
    return std::isfinite(f) && f > 0.0;
}

void scaleBy(float& field, double f) {
    if (usableRatio(f)) {
        field = float(double(field) * f);
    }
}

void divideBy(float& field, double f) {
    if (usableRatio(f)) {
        field = float(double(field) / f);
    }
}

void addTo(float& field, double d) {
    field = float(double(field) + d);
}

} // namespace

// ---------------------------------------------------------------- construction

KBdlMuscle::KBdlMuscle() {
    setDefaults(Linear);
}

KBdlMuscle::KBdlMuscle(int32_t type) {
    setDefaults(type);
}

KBdlMuscle::KBdlMuscle(const KBdlMuscle& other) : KBdlElement(other) {
    copyFrom(other);
}

KBdlMuscle& KBdlMuscle::operator=(const KBdlMuscle& other) {
    if (this != &other) {
        copyFrom(other);
    }
    return *this;
}

void KBdlMuscle::setDefaults(int32_t type) {
    muscleType = type;
    if (type == Point) {
        begin = 1.0f;
        resolutionU = 12;
        resolutionV = 4;
        center.parse(kPointCenter);
        heightCurve.parse(kPointHeight);
        widthLo.parse(kPointWidth);
        widthHi.parse(kPointWidth);
        crossSection.parse(kPointCrossSection);
        return;
    }
    // Orbital muscles run along U; linear and compound ones along V.
    resolutionU = type == Orbital ? 8 : 4;
    resolutionV = type == Orbital ? 4 : 8;
    center.parse(kBandCenter);
    heightCurve.parse(kBandTent);
    widthLo.parse(kBandWidth);
    widthHi.parse(kBandWidth);
    crossSection.parse(kBandTent);
}

void KBdlMuscle::copyFrom(const KBdlMuscle& o) {
    // The note stays with the original.
    name = o.name;
    begin = o.begin;
    end = o.end;
    muscleType = o.muscleType;
    height = o.height;
    active = o.active;
    textureIndex = o.textureIndex;
    anchor = o.anchor;
    center = o.center;
    heightCurve = o.heightCurve;
    widthLo = o.widthLo;
    widthHi = o.widthHi;
    crossSection = o.crossSection;
    resolutionU = o.resolutionU;
    resolutionV = o.resolutionV;
    mirrorU = o.mirrorU;
    mirrorV = o.mirrorV;
    offsetU = o.offsetU;
    offsetV = o.offsetV;
    symmetricWidth = o.symmetricWidth;
    widthLoScale = o.widthLoScale;
    widthHiScale = o.widthHiScale;
    heightType = o.heightType;
}

std::string KBdlMuscle::typeName(int32_t type) {
    switch (type) {
    case Linear:
        return "linear";
    case Orbital:
        return "orbital";
    case Point:
        return "point";
    case Compound:
        return "compound";
    default:
        return {};
    }
}

// ---------------------------------------------------------------- evaluation

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

// ---------------------------------------------------------------- polylines

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
        curve = isSymmetric(*this) ? &widthLo : &widthHi;
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

// ---------------------------------------------------------------- fitting

void KBdlMuscle::setFromRect(double uMin, double vMin, double uMax, double vMax) {
    if (uMin > uMax) {
        std::swap(uMin, uMax);
    }
    if (vMin > vMax) {
        std::swap(vMin, vMax);
    }
    uMin = std::clamp(uMin, 0.0, 1.0);
    uMax = std::clamp(uMax, 0.0, 1.0);
    vMin = std::clamp(vMin, 0.0, 1.0);
    vMax = std::clamp(vMax, 0.0, 1.0);
    if (!(uMax - uMin > 0.0) || !(vMax - vMin > 0.0)) {
        askItemDefaults();
        return;
    }
    switch (muscleType) {
    case Linear:
    case Orbital: {
        const bool linear = muscleType == Linear;
        const double lo = linear ? uMin : vMin;
        const double hi = linear ? uMax : vMax;
        begin = float(linear ? vMin : uMin);
        end = float(linear ? vMax : uMax);
        const std::string width = kFormatFixed(0.5 * (hi - lo), 2);
        widthLo.parse(bandString(width));
        widthHi.parse(bandString(width));
        center.parse(bandString(kFormatFixed(lo + 0.5 * (hi - lo), 2)));
        break;
    }
    case Point: {
        const double hu = 0.5 * (uMax - uMin);
        const double hv = 0.5 * (vMax - vMin);
        // A rectangle so thin that its aspect ratio overflows is as good as empty: the
        // stretch divisors would become infinite.
        const float ratio = float(hu >= hv ? hu / hv : hv / hu);
        if (!std::isfinite(ratio)) {
            askItemDefaults();
            return;
        }
        std::string centerText = "< ";
        kAppendFixed(centerText, uMin + hu, 2);
        centerText += ", ";
        kAppendFixed(centerText, vMin + hv, 2);
        centerText += " >";
        center.parse(centerText);
        const std::string width = kFormatFixed(std::max(hu, hv), 2);
        widthLo.parse(ringString(width));
        widthHi.parse(ringString(width));
        begin = hu >= hv ? 1.0f : ratio;
        end = hu >= hv ? ratio : 1.0f;
        break;
    }
    default:
        break;
    }
}

bool KBdlMuscle::askItemDefaults() {
    const double presetWidth = widthLo.count() > 0 ? 2.0 * widthLo.points()[0].y : 0.0;
    const double presetCenter = center.count() > 0 ? center.points()[0].y : 0.0;
    double totalWidth = presetWidth;
    double centerPosition = presetCenter;
    if (!kUi().askItemDefaults(kItemDefaultsTitle, kItemDefaultsNote, totalWidth, centerPosition)) {
        return false;
    }
    // The dialog accepts values from 0 to 1 only.
    totalWidth = std::isfinite(totalWidth) ? std::clamp(totalWidth, 0.0, 1.0) : presetWidth;
    centerPosition =
        std::isfinite(centerPosition) ? std::clamp(centerPosition, 0.0, 1.0) : presetCenter;

    std::vector<KVertex> points = center.points();
    for (int i = 0; i < center.count(); ++i) {
        points[size_t(i)].y = centerPosition;
    }
    center.setPoints(std::move(points), center.count());
    points = widthLo.points();
    for (int i = 0; i < widthLo.count(); ++i) {
        points[size_t(i)].y = totalWidth / 2.0;
    }
    widthLo.setPoints(std::move(points), widthLo.count());
    widthHi.parse(widthLo.getString());
    return true;
}

void KBdlMuscle::setCenterFromPoints(double uStart, double vStart, double uEnd, double vEnd,
                                     int midPoints, double width) {
    if (muscleType != Linear && muscleType != Orbital) {
        return;
    }
    const bool linear = muscleType == Linear;
    // The length axis is V for a linear muscle and U for an orbital one; the line runs
    // from its lower end along that axis.
    double alongStart = linear ? vStart : uStart;
    double alongEnd = linear ? vEnd : uEnd;
    double acrossStart = linear ? uStart : vStart;
    double acrossEnd = linear ? uEnd : vEnd;
    if (alongStart > alongEnd) {
        std::swap(alongStart, alongEnd);
        std::swap(acrossStart, acrossEnd);
    }
    begin = float(alongStart);
    end = float(alongEnd);

    const int n = std::max(midPoints, 0) + 1;
    std::string text;
    appendLinePoint(text, 0.0, acrossStart);
    text += ", ";
    for (int i = 1; i <= n - 1; ++i) {
        appendLinePoint(text, double(i) / n, acrossStart + i * (acrossEnd - acrossStart) / n);
        text += ", ";
    }
    appendLinePoint(text, 1.0, acrossEnd);
    center.parse(text);

    const std::string half = kFormatFixed(0.5 * width, 2);
    widthLo.parse(bandString(half));
    widthHi.parse(bandString(half));
}

void KBdlMuscle::applyTrackerChange(const KVertex& record, int handle) {
    const double du = record.z;
    const double dv = record.w;
    if (handle == Move) {
        addTo(offsetU, du);
        addTo(offsetV, dv);
        return;
    }
    if (handle < TopLeft || handle > Left) {
        return;
    }
    const double sx = record.x;
    const double sy = record.y;
    const bool left = handle == TopLeft || handle == BottomLeft || handle == Left;
    const bool right = handle == TopRight || handle == BottomRight || handle == Right;
    const bool bottom = handle == BottomRight || handle == BottomLeft || handle == Bottom;
    const bool top = handle == TopLeft || handle == TopRight || handle == Top;

    const double lo = double(widthLoScale) * widthLo.maxY();
    const double hi = double(widthHiScale) * widthHi.maxY();
    const double total = lo + hi;
    // Resizes the side of an asymmetric band that the moved edge bounds: the Lo side
    // for the lower edge of the across axis, the Hi side for the upper one, exchanged
    // when the axis is mirrored. The other side keeps its width.
    auto resizeSide = [&](bool lowerEdge, double ratio, bool mirrored) {
        if (lowerEdge != mirrored) {
            scaleBy(widthLoScale, (total * ratio - hi) / lo);
        } else {
            scaleBy(widthHiScale, (total * ratio - lo) / hi);
        }
    };
    const bool symmetric = isSymmetric(*this);

    switch (muscleType) {
    case Linear:
        if (left || right) {
            if (symmetric) {
                if (usableRatio(sx)) {
                    scaleBy(widthLoScale, sx);
                    addTo(offsetU, left ? -du / 2.0 : du / 2.0);
                }
            } else {
                resizeSide(left, sx, mirrorU != 0);
            }
        }
        if (bottom) {
            addTo(begin, dv);
        }
        if (top) {
            addTo(end, -dv);
        }
        break;
    case Orbital:
        if (left) {
            addTo(begin, -du);
        }
        if (right) {
            addTo(end, du);
        }
        if (bottom || top) {
            if (symmetric) {
                if (usableRatio(sy)) {
                    scaleBy(widthLoScale, sy);
                    addTo(offsetV, bottom ? dv / 2.0 : -dv / 2.0);
                }
            } else {
                resizeSide(bottom, sy, mirrorV != 0);
            }
        }
        break;
    case Point:
        if ((left || right) && usableRatio(sx)) {
            divideBy(begin, sx);
            addTo(offsetU, left ? -du / 2.0 : du / 2.0);
        }
        if ((bottom || top) && usableRatio(sy)) {
            divideBy(end, sy);
            addTo(offsetV, bottom ? dv / 2.0 : -dv / 2.0);
        }
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- storage

void KBdlMuscle::serialize(KArchive& ar) {
    KBdlElement::serialize(ar);
    if (ar.isStoring()) {
        ar.writeString(name);
        ar.writeFloat(begin);
        ar.writeFloat(end);
        ar.writeInt32(muscleType);
        ar.writeFloat(height);
        ar.writeInt32(active);
        ar.writeInt32(resolutionU);
        ar.writeInt32(resolutionV);
        ar.writeInt32(textureIndex);
        ar.writeString(note);
        ar.writeInt32(mirrorU);
        ar.writeInt32(mirrorV);
        ar.writeFloat(offsetU);
        ar.writeFloat(offsetV);
        ar.writeFloat(widthLoScale);
        ar.writeFloat(widthHiScale);
        ar.writeInt32(symmetricWidth);
        ar.writeInt32(heightType);
        center.serialize(ar);
        heightCurve.serialize(ar);
        widthLo.serialize(ar);
        widthHi.serialize(ar);
        crossSection.serialize(ar);
        return;
    }

    const uint32_t schema = ar.objectSchema();
    if (schema < 1 || schema == KArchive::kNoSchema) {
        ar.fail("muscle stored with schema " + std::to_string(schema));
    }
    name = ar.readString();
    begin = ar.readFloat();
    end = ar.readFloat();
    muscleType = ar.readInt32();
    height = ar.readFloat();
    active = ar.readInt32();
    if (schema >= 2) {
        resolutionU = ar.readInt32();
        resolutionV = ar.readInt32();
        textureIndex = ar.readInt32();
    }
    if (schema >= 5) {
        note = ar.readString();
    }
    if (schema >= 4) {
        mirrorU = ar.readInt32();
        mirrorV = ar.readInt32();
        offsetU = ar.readFloat();
        offsetV = ar.readFloat();
    }
    if (schema >= 5) {
        widthLoScale = ar.readFloat();
        widthHiScale = ar.readFloat();
        symmetricWidth = ar.readInt32();
    }
    if (schema >= 7) {
        heightType = ar.readInt32();
    }
    // The curves are written in place and read with this muscle's schema.
    center.serialize(ar);
    heightCurve.serialize(ar);
    widthLo.serialize(ar);
    widthHi.serialize(ar);
    crossSection.serialize(ar);

    if (schema <= 4) {
        // Muscles before separate Lo and Hi widths: one width, scaled by one half.
        widthHi.parse(widthLo.getString());
        symmetricWidth = 1;
        widthLoScale = muscleType == Point ? 1.0f : 0.5f;
        widthHiScale = 1.0f;
    }
}
