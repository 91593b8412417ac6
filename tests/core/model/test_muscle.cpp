// Muscles: copies, displacement, item points, polylines, fitting to rectangles, lines
// and tracker drags, and storage across the stored schemas.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "model/KBdlMuscle.h"
#include "model/KModelClasses.h"
#include "platform/KArchive.h"
#include "platform/KScriptedUi.h"
#include "support/KArchiveWrite.h"

namespace {

constexpr double kEps = 1e-12;

const char* kTent = "< 0, 0.00 >, < 0.50, 1.00 >, < 1.00, 0.00 >";
const char* kBandWidth = "< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >";
// A straight ramp: with the Polyline basis its value at c is c.
const char* kRamp = "< 0, 0.00 >, < 0.50, 0.50 >, < 1.00, 1.00 >";

std::string bandString(const char* v) {
    return std::string("< 0, ") + v + " >, < 0.50, " + v + " >, < 1.00, " + v + " >";
}

void expectPoint(const KVertex& p, double u, double h, double v) {
    EXPECT_NEAR(p.x, u, kEps);
    EXPECT_NEAR(p.y, h, kEps);
    EXPECT_NEAR(p.z, v, kEps);
}

// begin, end, widthLoScale, widthHiScale, offsetU, offsetV: the fields fits and drags set.
void expectExtent(const KBdlMuscle& m, std::array<float, 6> want) {
    const float got[] = {m.begin, m.end, m.widthLoScale, m.widthHiScale, m.offsetU, m.offsetV};
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_FLOAT_EQ(got[i], want[i]) << "field " << i;
    }
}

// A curve written in place in the first format: the points themselves.
void writeCurveSchema1(KArchive& ar, std::initializer_list<KVertex> points) {
    // flags, basis Polyline, repeatCount, then the points
    kWriteFields(ar, 1u, 0, 0, int32_t(points.size()));
    for (const KVertex& p : points) {
        kWriteFields(ar, p.x, p.y, p.z);
    }
    kWriteFields(ar, 50, 0, 3); // resolution, auxiliary, indexType X
}

// Curves written in place in the later formats: their strings and settings.
void writeFiveCurves(KArchive& ar, const std::string& width) {
    // The fourth is a Hi width that the upgrade replaces.
    for (const std::string& text :
         {bandString("0.30"), std::string(kTent), width, bandString("0.90"), std::string(kTent)}) {
        kWriteFields(ar, text, "", "", "", 1u, int32_t(KBdlCurve::Spline), 0, 50, 0,
                     int32_t(KBdlCurve::AxisX));
    }
}

std::unique_ptr<KBdlMuscle> load(const KArchive& ar) {
    KArchive in(ar.bytes());
    auto m = in.readOwned<KBdlMuscle>();
    EXPECT_EQ(in.remaining(), 0u);
    return m;
}

} // namespace

TEST(MuscleNames, EachTypeHasANameAndOtherValuesNone) {
    std::vector<std::string> names;
    for (int32_t type = -1; type <= 4; ++type) {
        names.push_back(KBdlMuscle::typeName(type));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"", "linear", "orbital", "point", "compound", ""}));
}

namespace {

// The stored bytes of a muscle: every field but the anchor, which is scratch.
std::vector<uint8_t> storedBytes(const KBdlMuscle& m) {
    KArchive out;
    out.writeObject(&m);
    return out.bytes();
}

void setCurve(KBdlCurve& c, const char* points, int32_t basis, int32_t resolution) {
    c.parse(points);
    c.texts = {"a", "b", "c"};
    std::tie(c.repeatCount, c.auxiliary, c.indexType) = std::tuple(1, 5, KBdlCurve::AxisY);
    c.flags = KBdlCurve::DiscardSamplesAfterUse;
    c.setResolution(resolution);
    c.setBasis(basis);
}

// A muscle whose every field differs from the defaults of every muscle type.
KBdlMuscle everyFieldSet() {
    KBdlMuscle m(KBdlMuscle::Compound);
    std::tie(m.name, m.note, m.begin, m.end, m.height) =
        std::tuple("biceps", "private", 0.2f, 0.9f, 0.75f);
    std::tie(m.active, m.textureIndex, m.resolutionU, m.resolutionV) = std::tuple(0, 3, 21, 22);
    std::tie(m.mirrorU, m.mirrorV, m.offsetU, m.offsetV) = std::tuple(1, 1, 0.1f, -0.1f);
    std::tie(m.symmetricWidth, m.widthLoScale, m.widthHiScale) = std::tuple(0, 0.5f, 2.0f);
    m.heightType = KBdlMuscle::HeightOffset;
    m.anchor = {0.3, 0.4, 0.5, 0.6};
    setCurve(m.center, "< 0, 0.3 >, < 0.4, 0.35 >, < 1, 0.3 >", KBdlCurve::Bezier, 11);
    setCurve(m.heightCurve, kRamp, KBdlCurve::Polyline, 12);
    setCurve(m.widthLo, "< 0, 0.2 >, < 0.6, 0.25 >, < 1, 0.2 >", KBdlCurve::BSpline, 13);
    setCurve(m.widthHi, "< 0, 0.15 >, < 0.3, 0.1 >, < 1, 0.15 >", KBdlCurve::Simple, 14);
    setCurve(m.crossSection, "< 0, 0 >, < 0.2, 1 >, < 0.7, 0.5 >, < 1, 0 >", KBdlCurve::Spline, 15);
    return m;
}

} // namespace

// Copies carry every field but the note, and own their curves: changing the original's
// curves afterwards leaves the copies as they were.
TEST(MuscleCopy, CopyAndAssignmentCarryEveryFieldButTheNoteAndOwnTheirCurves) {
    KRegisterModelClasses();
    KBdlMuscle m = everyFieldSet();
    std::vector<KBdlMuscle> copies;
    copies.reserve(4); // elements are never copied again, which would drop their notes
    copies.emplace_back(m);
    for (int32_t type : {KBdlMuscle::Linear, KBdlMuscle::Orbital, KBdlMuscle::Point}) {
        copies.emplace_back(type).note = "mine";
        copies.back() = m;
    }
    m.note.clear();
    const std::vector<uint8_t> original = storedBytes(m);
    for (KBdlCurve* c : {&m.center, &m.heightCurve, &m.widthLo, &m.widthHi, &m.crossSection}) {
        c->parse(kBandWidth);
        c->setBasis(KBdlCurve::Polyline);
        c->texts[0] = "changed";
    }
    ASSERT_NE(storedBytes(m), original);
    for (KBdlMuscle& copy : copies) {
        EXPECT_EQ(std::tuple(copy.note, copy.anchor),
                  std::tuple(&copy == &copies[0] ? "" : "mine", KVertex(0.3, 0.4, 0.5, 0.6)));
        copy.note.clear();
        EXPECT_EQ(storedBytes(copy), original);
    }
}

// ---- displacement

namespace {

struct Probe {
    double u, v, want;
};

// The muscle lifts each probe's point by its wanted amount.
void expectLifts(const char* what, KBdlMuscle& m, std::initializer_list<Probe> probes,
                 double tolerance = 1e-9) {
    for (const Probe& p : probes) {
        EXPECT_NEAR(m.displacement(p.u, p.v), p.want, tolerance)
            << what << " at " << p.u << ", " << p.v;
    }
}

const double kQuarterTent = 0.25 * 0.625; // the spline through the tent at c = 0.25

} // namespace

TEST(MuscleDisplacement, LinearAcrossAlongAndOverTheSeam) {
    KBdlMuscle m;
    expectLifts("across", m, {{0.5, 0.5, 0.25}, {0.6, 0.5, 0}, {0.45, 0.5, kQuarterTent}});
    std::tie(m.begin, m.end) = std::tuple(0.2f, 0.6f);
    expectLifts("from begin to end", m, {{0.5, 0.1, 0}, {0.5, 0.7, 0}, {0.5, 0.4, 0.25}}, 1e-6);

    KBdlMuscle w;
    w.center.parse(bandString("0.02"));
    expectLifts("over the seam", w, {{0.97, 0.5, kQuarterTent}});
    // With a ramp cross-section the side shows: left of the centre samples c < 0.5,
    // right of it c > 0.5, whichever way the seam is crossed.
    w.crossSection.parse(kRamp);
    w.crossSection.setBasis(KBdlCurve::Polyline);
    expectLifts("sides right of 0", w, {{0.97, 0.5, 0.25 * 0.25}, {0.07, 0.5, 0.25 * 0.75}});
    w.center.parse(bandString("0.97"));
    expectLifts("sides left of 1", w, {{0.92, 0.5, 0.25 * 0.25}, {0.02, 0.5, 0.25 * 0.75}});
}

TEST(MuscleDisplacement, OrbitalAndPoint) {
    KBdlMuscle o(KBdlMuscle::Orbital);
    expectLifts("orbital", o, {{0.5, 0.5, 0.25}, {0.5, 0.45, kQuarterTent}, {0.5, 0.6, 0}});
    o.begin = 0.3f;
    expectLifts("orbital from begin", o, {{0.2, 0.5, 0}});
    o.begin = 0.0f;
    o.center.parse(bandString("0.02"));
    expectLifts("orbital does not fold", o, {{0.5, 0.97, 0}});

    KBdlMuscle p(KBdlMuscle::Point);
    expectLifts("point", p, {{0.5, 0.5, 0.25}, {0.6, 0.5, 0}, {0.55, 0.5, 0.125}});
    // begin stretches U: half the distance reaches as far; end stretches V.
    p.begin = 2.0f;
    expectLifts("point begin", p, {{0.525, 0.5, 0.125}, {0.5, 0.45, 0.125}});
    p.end = 4.0f;
    expectLifts("point end", p, {{0.5, 0.4875, 0.125}});
}

TEST(MuscleDisplacement, MirrorsOffsetsWidthsAndHeightTypes) {
    KBdlMuscle m;
    m.offsetU = 0.2f;
    expectLifts("offset U", m, {{0.7, 0.5, 0.25}, {0.5, 0.5, 0}}, 1e-6);
    KBdlMuscle mu;
    mu.center.parse(bandString("0.30"));
    mu.mirrorU = 1;
    expectLifts("mirror U", mu, {{0.7, 0.5, 0.25}, {0.3, 0.5, 0}});
    KBdlMuscle mv;
    std::tie(mv.end, mv.mirrorV) = std::tuple(0.5f, 1);
    expectLifts("mirror V", mv, {{0.5, 0.75, 0.25}, {0.5, 0.25, 0}});
    std::tie(mv.mirrorV, mv.offsetV) = std::tuple(0, 0.25f);
    expectLifts("offset V", mv, {{0.5, 0.5, 0.25}, {0.5, 0.2, 0}});
    KBdlMuscle p(KBdlMuscle::Point);
    p.center.parse("< 0.30, 0.50 >");
    std::tie(p.mirrorU, p.offsetV) = std::tuple(1, 0.1f);
    expectLifts("point mirrored and offset", p, {{0.7, 0.6, 0.25}}, 1e-6);

    KBdlMuscle a;
    // Lo side 0.05, Hi side 0.2.
    std::tie(a.symmetricWidth, a.widthLoScale, a.widthHiScale) = std::tuple(0, 0.5f, 2.0f);
    expectLifts("asymmetric", a,
                {{0.6, 0.5, kQuarterTent}, {0.475, 0.5, kQuarterTent}, {0.44, 0.5, 0}});
    a.symmetricWidth = 1; // ignores widthHi and its scale
    expectLifts("symmetric", a, {{0.6, 0.5, 0}, {0.525, 0.5, kQuarterTent}});

    KBdlMuscle h;
    h.heightType = KBdlMuscle::HeightOffset; // (1 + 1) * 0.25; height profile 0 at s = 0
    expectLifts("height offset", h, {{0.5, 0.5, 0.5}, {0.5, 0.0, 0.25}, {0.7, 0.5, 0}});
    KBdlMuscle hp(KBdlMuscle::Point);
    hp.heightType = KBdlMuscle::HeightOffset;
    expectLifts("point height offset", hp, {{0.5, 0.5, 0.5}});
}

TEST(MuscleDisplacement, InactiveFlatCompoundAndDegenerateMusclesLiftNothingOrStayFinite) {
    KBdlMuscle m;
    m.active = 0;
    expectLifts("inactive", m, {{0.5, 0.5, 0}});
    std::tie(m.active, m.height) = std::tuple(1, 0.0f);
    expectLifts("flat", m, {{0.5, 0.5, 0}});
    KBdlMuscle c(KBdlMuscle::Compound);
    expectLifts("compound", c, {{0.5, 0.5, 0}});

    // A band of zero length is its start: cross-section 1 plus height profile 0.
    KBdlMuscle z;
    std::tie(z.begin, z.end, z.heightType) = std::tuple(0.5f, 0.5f, KBdlMuscle::HeightOffset);
    expectLifts("zero length", z, {{0.5, 0.5, 0.25}, {0.5, 0.6, 0}});
    KBdlMuscle o(KBdlMuscle::Orbital);
    o.begin = o.end = 0.5f;
    EXPECT_TRUE(std::isfinite(o.displacement(0.5, 0.5)));
    // Zero widths lift nothing, not even exactly on the centre.
    KBdlMuscle w;
    w.widthLo.parse(bandString("0"));
    expectLifts("zero width", w, {{0.5, 0.5, 0}});
    KBdlMuscle r(KBdlMuscle::Point);
    r.widthLoScale = 0.0f;
    expectLifts("zero radius", r, {{0.5, 0.5, 0}, {0.52, 0.5, 0}});
}

// ---- item points

TEST(MuscleItemPoint, LinearPatch) {
    KBdlMuscle m;
    expectPoint(m.itemPoint(0.5, 0.5), 0.5, 0.25, 0.5);
    expectPoint(m.itemPoint(0.0, 0.5), 0.4, 0.0, 0.5);
    expectPoint(m.itemPoint(-0.5, 1.5), 0.4, 0.0, 1.0); // parameters are clamped to [0, 1]
    std::tie(m.begin, m.end, m.mirrorV, m.offsetV) = std::tuple(0.2f, 0.6f, 1, 0.1f);
    EXPECT_NEAR(m.itemPoint(0.0, 0.0).z, 0.5, 1e-7); // s = 1: 1 - 0.6 + 0.1

    KBdlMuscle mu;
    mu.center.parse(bandString("0.30"));
    mu.mirrorU = 1;
    expectPoint(mu.itemPoint(0.0, 0.5), 0.6, 0.0, 0.5);
    // The patch wraps around the seam; the offset comes after the wrap.
    KBdlMuscle w;
    w.center.parse(bandString("0.02"));
    EXPECT_NEAR(w.itemPoint(0.0, 0.5).x, 0.92, kEps);
    w.offsetU = 0.1f;
    EXPECT_NEAR(w.itemPoint(0.0, 0.5).x, 1.02, 1e-7);

    // Asymmetric widths spread the across parameter: 0.05 on the Lo side, 0.15 on the Hi.
    KBdlMuscle a;
    std::tie(a.symmetricWidth, a.widthLoScale, a.widthHiScale) = std::tuple(0, 0.5f, 1.5f);
    for (auto [across, u] : {std::pair{0.0, 0.45}, {0.25, 0.475}, {0.75, 0.575}}) {
        EXPECT_NEAR(a.itemPoint(across, 0.5).x, u, kEps) << across;
    }
    // Item points land where the displacement has the same cross-section sample.
    const KVertex p = a.itemPoint(0.75, 0.5);
    EXPECT_NEAR(a.displacement(p.x, p.z), p.y, 1e-9);
}

TEST(MuscleItemPoint, OrbitalPatch) {
    KBdlMuscle m(KBdlMuscle::Orbital);
    expectPoint(m.itemPoint(0.5, 0.5), 0.5, 0.25, 0.5);
    expectPoint(m.itemPoint(0.25, 1.0), 0.25, 0.0, 0.6);
    std::tie(m.begin, m.end, m.mirrorU, m.offsetU) = std::tuple(0.2f, 0.6f, 1, 0.1f);
    EXPECT_NEAR(m.itemPoint(0.0, 0.5).x, 0.5, 1e-7); // s = 1: 1 - 0.6 + 0.1
    // No wrapping for orbital muscles.
    KBdlMuscle o(KBdlMuscle::Orbital);
    o.center.parse(bandString("0.02"));
    EXPECT_NEAR(o.itemPoint(0.5, 0.0).z, -0.08, kEps);
}

TEST(MuscleItemPoint, PointPatchRunsAroundAndOutward) {
    KBdlMuscle m(KBdlMuscle::Point);
    expectPoint(m.itemPoint(0.3, 0.0), 0.5, 0.25, 0.5);
    expectPoint(m.itemPoint(0.25, 1.0), 0.4, 0.0, 0.5);
    expectPoint(m.itemPoint(0.5, 1.0), 0.5, 0.0, 0.6);
    expectPoint(m.itemPoint(0.0, 0.5), 0.5, 0.125, 0.45);
    m.begin = 2.0f;
    EXPECT_NEAR(m.itemPoint(0.25, 1.0).x, 0.45, kEps);

    KBdlMuscle mu(KBdlMuscle::Point);
    mu.center.parse("< 0.30, 0.50 >");
    mu.mirrorU = 1;
    EXPECT_NEAR(mu.itemPoint(0.75, 1.0).x, 0.6, kEps); // a' = 0.25 around the mirrored 0.7
    EXPECT_EQ(mu.anchor, KVertex(0.3, 0.5));           // the evaluated centre

    KBdlMuscle c(KBdlMuscle::Compound);
    KVertex untouched(9, 9, 9, 9);
    EXPECT_FALSE(c.itemPoint(0.5, 0.5, untouched));
    EXPECT_EQ(untouched, KVertex(9, 9, 9, 9));
}

TEST(MuscleEvaluation, PreparedPathsAgreeBitForBit) {
    std::vector<KBdlMuscle> muscles;
    muscles.reserve(5);
    for (int32_t type : {KBdlMuscle::Linear, KBdlMuscle::Orbital, KBdlMuscle::Point}) {
        muscles.emplace_back(type);
    }
    KBdlMuscle& odd = muscles.emplace_back();
    odd.center.parse("< 0, 0.10 >, < 0.30, 0.90 >, < 0.70, 0.20 >, < 1.00, 0.95 >");
    odd.center.setBasis(KBdlCurve::Simple);
    odd.heightCurve.setBasis(KBdlCurve::BSpline);
    odd.widthLo.parse("< 0, 0.1 >, < 1, 0.3 >"); // two points: a straight line
    std::tie(odd.symmetricWidth, odd.widthHiScale, odd.mirrorU) = std::tuple(0, 1.7f, 1);
    std::tie(odd.offsetV, odd.heightType) = std::tuple(0.05f, KBdlMuscle::HeightOffset);
    KBdlMuscle& spun = muscles.emplace_back(KBdlMuscle::Point);
    spun.center.parse("< 0, 0.3, 0.1 >, < 0.5, 0.6 >, < 1.0, 0.4 >");
    spun.crossSection.setBasis(KBdlCurve::Bezier);
    spun.widthLo.flags = KBdlCurve::DiscardSamplesAfterUse;
    spun.widthLo.setBasis(KBdlCurve::Simple);
    std::tie(spun.mirrorV, spun.begin) = std::tuple(1, 1.5f);

    for (KBdlMuscle& m : muscles) {
        KBdlMuscle live(m);
        m.prepare();
        ASSERT_TRUE(m.isPrepared());
        const KVertex anchorBefore = m.anchor;
        for (int k = 0; k < 41 * 41; ++k) {
            const double u = (k % 41) / 40.0, v = (k / 41) / 40.0;
            EXPECT_EQ(live.displacement(u, v), m.displacementPrepared(u, v));
            KVertex a(1, 2, 3, 4), b(1, 2, 3, 4);
            EXPECT_EQ(live.itemPoint(u, v, a), m.itemPointPrepared(u, v, b));
            EXPECT_EQ(a, b);
        }
        EXPECT_EQ(m.anchor, anchorBefore); // the const path leaves the scratch alone
    }
}

// ---- polylines

namespace {

// The list holds exactly these points, given as u (x), v (y) pairs.
void expectUv(const KVertexList& list, const std::vector<double>& uv, double tolerance = kEps) {
    ASSERT_EQ(size_t(list.count()) * 2, uv.size());
    for (size_t i = 0; i < uv.size() / 2; ++i) {
        EXPECT_NEAR(list.vertices[i].x, uv[2 * i], tolerance) << i;
        EXPECT_NEAR(list.vertices[i].y, uv[2 * i + 1], tolerance) << i;
    }
}

} // namespace

TEST(MusclePolylines, EdgesOfALinearMuscle) {
    KBdlMuscle m;
    std::tie(m.begin, m.end) = std::tuple(0.2f, 0.6f);
    KVertexList list;
    m.samplePolyline(KBdlMuscle::CenterLine, list, false);
    expectUv(list, {0.5, 0.2, 0.5, 0.4, 0.5, 0.6}, 1e-7);
    EXPECT_EQ(list.vertices[1].z, 0.0);
    m.samplePolyline(KBdlMuscle::WidthLoLine, list, false);
    ASSERT_EQ(list.count(), 3);
    EXPECT_NEAR(list.vertices[2].x, 0.4, kEps);
    std::tie(m.symmetricWidth, m.widthHiScale) = std::tuple(0, 2.0f);
    m.samplePolyline(KBdlMuscle::WidthHiLine, list, false);
    EXPECT_NEAR(list.vertices[2].x, 0.7, kEps);

    m.samplePolyline(KBdlMuscle::HeightLine, list, true);
    EXPECT_EQ(list.count(), 50); // resolution 50 > 3 points
    m.samplePolyline(7, list, false);
    EXPECT_EQ(list.count(), 0);

    // Full curves: resolution evenly spaced samples.
    m.center.resolution = 5;
    m.samplePolyline(KBdlMuscle::CenterLine, list, true);
    expectUv(list, {0.5, 0.2, 0.5, 0.3, 0.5, 0.4, 0.5, 0.5, 0.5, 0.6}, 1e-7);
    m.center.resolution = 2; // not above the point count: the control points
    m.samplePolyline(KBdlMuscle::CenterLine, list, true);
    EXPECT_EQ(list.count(), 3);
}

TEST(MusclePolylines, OutlinesOfEachType) {
    KVertexList list;
    KBdlMuscle linear;
    linear.sampleOutline(list, false);
    // 2n + 3 points: down one edge, across the end, back up the other and closed.
    expectUv(list, {0.4, 0, 0.4, 0.5, 0.4, 1, 0.5, 1, 0.6, 1, 0.6, 0.5, 0.6, 0, 0.5, 0, 0.4, 0});

    KBdlMuscle(KBdlMuscle::Orbital).sampleOutline(list, false);
    expectUv(list, {0, 0.4, 0, 0.5, 0, 0.6, 0.5, 0.6, 1, 0.6, 1, 0.5, 1, 0.4, 0.5, 0.4, 0, 0.4});
    KBdlMuscle point(KBdlMuscle::Point);
    point.sampleOutline(list, false);
    // Five width points and the closing one.
    expectUv(list, {0.5, 0.4, 0.4, 0.5, 0.5, 0.6, 0.6, 0.5, 0.5, 0.4, 0.5, 0.4});
    point.sampleOutline(list, true);
    EXPECT_EQ(list.count(), 51);
    KBdlMuscle(KBdlMuscle::Compound).sampleOutline(list, false);
    EXPECT_EQ(list.count(), 0);
}

// ---- fitting to a rectangle or a line

TEST(MuscleFit, RectangleForEachType) {
    struct Case {
        int32_t type;
        double u0, v0, u1, v1;
        float begin, end;
        std::string center, width;
    };
    const std::string ring =
        "< 0, 0.20 >, < 0.25, 0.20 >, < 0.50, 0.20 >, < 0.75, 0.20 >, < 1.00, 0.20 >";
    const KBdlMuscle compound(KBdlMuscle::Compound);
    const std::string compoundCenter = compound.center.getString(),
                      compoundWidth = compound.widthLo.getString();
    const Case cases[] = {
        // Corners in any order; a rectangle reaching outside is clamped.
        {0, 0.6, 0.2, 0.2, 0.8, 0.2f, 0.8f, bandString("0.40"), bandString("0.20")},
        {0, -0.2, 0.1, 0.4, 1.3, 0.1f, 1.0f, bandString("0.20"), bandString("0.20")},
        {1, 0.1, 0.3, 0.7, 0.5, 0.1f, 0.7f, bandString("0.40"), bandString("0.10")},
        {2, 0.2, 0.4, 0.6, 0.5, 1.0f, 4.0f, "< 0.40, 0.45 >", ring},
        {2, 0.2, 0.1, 0.3, 0.5, 4.0f, 1.0f, "< 0.25, 0.30 >", ring},
        {3, 0.1, 0.1, 0.3, 0.3, compound.begin, compound.end, compoundCenter, compoundWidth},
    };
    for (const Case& c : cases) {
        KBdlMuscle m(c.type);
        m.setFromRect(c.u0, c.v0, c.u1, c.v1);
        SCOPED_TRACE(testing::Message() << c.type << ": " << c.u0 << ", " << c.v0);
        EXPECT_FLOAT_EQ(m.begin, c.begin);
        EXPECT_FLOAT_EQ(m.end, c.end);
        EXPECT_EQ(std::tuple(m.center.getString(), m.widthLo.getString(), m.widthHi.getString()),
                  std::tuple(c.center, c.width, c.width));
    }
}

TEST(MuscleFit, EmptyRectangleAsksForTheDefaults) {
    KScriptedUi ui;
    KUiScope scope(ui);
    ui.answerValues(true, {0.4, 0.7});
    KBdlMuscle m;
    m.setFromRect(0.3, 0.2, 0.3, 0.6);
    ASSERT_EQ(ui.valueDialogs.size(), 1u);
    EXPECT_EQ(ui.valueDialogs[0].presets, (std::vector<double>{0.2, 0.5}));
    EXPECT_EQ(m.center.getString(), "< 0.0000, 0.7000 >, < 0.5000, 0.7000 >, < 1.0000, 0.7000 >");
    EXPECT_EQ(m.widthLo.getString(), "< 0.0000, 0.2000 >, < 0.5000, 0.2000 >, < 1.0000, 0.2000 >");
    EXPECT_EQ(m.widthHi.getString(), m.widthLo.getString());
    expectExtent(m, {0, 1, 1, 1, 0, 0}); // the extent stays as constructed

    // Cancel leaves the muscle as constructed, also where a point rectangle is too thin
    // for its aspect ratio.
    ui.answerValues(false);
    KBdlMuscle cancelled(KBdlMuscle::Point);
    cancelled.setFromRect(0.4, 0.4, 0.2, 0.4);
    ui.answerValues(false);
    KBdlMuscle thin(KBdlMuscle::Point);
    thin.setFromRect(0.0, 0.2, 1e-300, 0.8);
    EXPECT_EQ(ui.valueDialogs.size(), 3u);
    for (const KBdlMuscle* p : {&cancelled, &thin}) {
        EXPECT_EQ(p->center.getString(), "< 0.50, 0.50 >");
        EXPECT_EQ(p->widthLo.getString(), KBdlMuscle(KBdlMuscle::Point).widthLo.getString());
        expectExtent(*p, {1, 1, 1, 1, 0, 0});
    }

    // Values beyond the dialog's range are held to it.
    ui.answerValues(true, {3.0, -1.0});
    KBdlMuscle held;
    held.setFromRect(1.5, 0.2, 1.2, 0.4); // clamped to u = 1 on both sides
    EXPECT_EQ(held.center.getString(),
              "< 0.0000, 0.0000 >, < 0.5000, 0.0000 >, < 1.0000, 0.0000 >");
    EXPECT_EQ(held.widthLo.getString(),
              "< 0.0000, 0.5000 >, < 0.5000, 0.5000 >, < 1.0000, 0.5000 >");
}

TEST(MuscleFit, LineGivesTheCenterAndWidth) {
    KBdlMuscle linear;
    linear.setCenterFromPoints(0.3, 0.8, 0.5, 0.2, 1, 0.3); // drawn downwards
    expectExtent(linear, {0.2f, 0.8f, 1, 1, 0, 0});
    EXPECT_EQ(linear.center.getString(), "< 0.000, 0.500 >, < 0.500, 0.400 >, < 1.000, 0.300 >");
    EXPECT_EQ(linear.widthHi.getString(), bandString("0.15"));

    KBdlMuscle three;
    three.setCenterFromPoints(0.1, 0.0, 0.4, 0.9, 2, 0.1);
    EXPECT_EQ(three.center.getString(),
              "< 0.000, 0.100 >, < 0.333, 0.200 >, < 0.667, 0.300 >, < 1.000, 0.400 >");

    KBdlMuscle orbital(KBdlMuscle::Orbital);
    orbital.setCenterFromPoints(0.7, 0.6, 0.1, 0.2, 0, 0.1);
    expectExtent(orbital, {0.1f, 0.7f, 1, 1, 0, 0});
    EXPECT_EQ(orbital.center.getString(), "< 0.000, 0.200 >, < 1.000, 0.600 >");
    EXPECT_EQ(orbital.widthLo.getString(), bandString("0.05"));

    KBdlMuscle point(KBdlMuscle::Point);
    point.setCenterFromPoints(0.1, 0.1, 0.9, 0.9, 1, 0.5);
    EXPECT_EQ(point.center.getString(), "< 0.50, 0.50 >");
    EXPECT_EQ(point.begin, 1.0f);
}

// ---- tracker drags

// Each row drags one handle of a fresh muscle of the given kind (or of the muscle the row
// before left, where again is set) and lists the extent afterwards: begin, end,
// widthLoScale, widthHiScale, offsetU, offsetV.
TEST(MuscleTracker, HandlesMoveTheirEdges) {
    using M = KBdlMuscle;
    struct Row {
        int32_t type;
        bool again;
        KVertex change;
        int handle;
        std::array<float, 6> extent;
    };
    const Row rows[] = {
        {M::Orbital, false, {0.5, 0.5, 0.1, -0.2}, M::Move, {0, 1, 1, 1, 0.1f, -0.2f}},
        {M::Linear, false, {1.5, 1.0, 0.1, 0.0}, M::Left, {0, 1, 1.5f, 1, -0.05f, 0}},
        {M::Linear, true, {2.0, 1.0, 0.3, 0.0}, M::Right, {0, 1, 3, 1, 0.1f, 0}},
        {M::Linear, true, {1.0, 1.2, 0.0, -0.1}, M::Top, {0, 1.1f, 3, 1, 0.1f, 0}},
        {M::Linear, true, {1.0, 1.2, 0, -0.1}, M::Bottom, {-0.1f, 1.1f, 3, 1, 0.1f, 0}},
        // A corner moves both of its edges.
        {M::Linear, false, {2.0, 1.5, 0.2, -0.1}, M::TopLeft, {0, 1.1f, 2, 1, -0.1f, 0}},
        {M::Orbital, false, {1.2, 1.5, 0.1, -0.05}, M::BottomRight, {0, 1.1f, 1.5f, 1, 0, -0.025f}},
        {M::Orbital, true, {1, 1, 0.1, 0}, M::Left, {-0.1f, 1.1f, 1.5f, 1, 0, -0.025f}},
        {M::Point, false, {2.0, 4.0, 0.1, -0.2}, M::TopLeft, {0.5f, 0.25f, 1, 1, -0.05f, 0.1f}},
        // Unusable ratios change nothing: a collapsed box would make the stretch divisor
        // infinite; along V a negative ratio just moves.
        {M::Point, false, {0.0, 1.0, -0.1, 0.0}, M::Right, {1, 1, 1, 1, 0, 0}},
        {M::Linear, false, {1.0, 0.0, 0.0, 0.1}, M::Top, {0, 0.9f, 1, 1, 0, 0}},
        {M::Linear, true, {-1.0, 1.0, -0.2, 0.0}, M::Left, {0, 0.9f, 1, 1, 0, 0}},
        {M::Compound, false, {2.0, 2.0, 0.1, 0.1}, M::TopLeft, {0, 1, 1, 1, 0, 0}},
    };
    KBdlMuscle m;
    for (const Row& r : rows) {
        if (!r.again) {
            m = KBdlMuscle(r.type);
        }
        m.applyTrackerChange(r.change, r.handle);
        SCOPED_TRACE(testing::Message() << "row " << &r - rows);
        expectExtent(m, r.extent);
    }
}

TEST(MuscleTracker, AsymmetricWidthsGrowOnlyTheBoundedSide) {
    // The box grows by 0.1 across (T = 0.2, sx = 1.5), so the Hi side becomes 0.2.
    KBdlMuscle a;
    a.symmetricWidth = 0;
    a.applyTrackerChange({1.5, 1.0, 0.1, 0.0}, KBdlMuscle::Right);
    expectExtent(a, {0, 1, 1, 2, 0, 0});
    a.applyTrackerChange({1.0, 1.0, 0.0, 0.0}, KBdlMuscle::Left); // no change in size
    expectExtent(a, {0, 1, 1, 2, 0, 0});
    // Mirrored in U the right edge bounds the Lo side.
    KBdlMuscle am;
    std::tie(am.symmetricWidth, am.mirrorU) = std::tuple(0, 1);
    am.applyTrackerChange({1.5, 1.0, 0.1, 0.0}, KBdlMuscle::Right);
    expectExtent(am, {0, 1, 2, 1, 0, 0});
    // A side of zero width cannot be scaled to a size, and shrinking past the other
    // side would give a negative width.
    KBdlMuscle z;
    std::tie(z.symmetricWidth, z.widthLoScale) = std::tuple(0, 0.0f);
    z.applyTrackerChange({1.5, 1.0, 0.1, 0.0}, KBdlMuscle::Left);
    EXPECT_EQ(z.widthLoScale, 0.0f);
    z.widthLoScale = 1.0f;
    z.applyTrackerChange({0.25, 1.0, -0.15, 0.0}, KBdlMuscle::Left);
    expectExtent(z, {0, 1, 1, 1, 0, 0});
}

// ---- storage

TEST(MuscleStorage, RoundTripKeepsEveryField) {
    KRegisterModelClasses();
    KBdlMuscle m(KBdlMuscle::Point);
    std::tie(m.name, m.note, m.begin, m.end, m.height) =
        std::tuple("cheek", "kept in the file", 1.5f, 0.75f, -0.3f);
    std::tie(m.active, m.textureIndex, m.resolutionU, m.resolutionV) = std::tuple(0, 4, 20, 6);
    std::tie(m.mirrorU, m.mirrorV, m.offsetU, m.offsetV) = std::tuple(1, 1, 0.125f, -0.25f);
    std::tie(m.symmetricWidth, m.widthLoScale, m.widthHiScale) = std::tuple(0, 0.3f, 1.7f);
    m.heightType = KBdlMuscle::HeightOffset;
    m.center.parse("< 0.20, 0.70 >");
    m.heightCurve.parse(kRamp);
    m.widthHi.parse(bandString("0.40"));
    m.crossSection.resolution = 9;
    m.crossSection.setBasis(KBdlCurve::BSpline);

    KArchive out;
    out.writeObject(&m);
    const auto back = load(out);
    ASSERT_TRUE(back);
    // Storing writes every field, so storing the loaded muscle again gives the same bytes.
    KArchive again;
    again.writeObject(back.get());
    EXPECT_EQ(again.bytes(), out.bytes());
    EXPECT_EQ(std::tuple(back->note, back->offsetV, back->heightType, back->crossSection.basis),
              std::tuple("kept in the file", -0.25f, KBdlMuscle::HeightOffset, KBdlCurve::BSpline));
    EXPECT_EQ(back->widthHi.getString(), bandString("0.40"));
    EXPECT_EQ(back->displacement(0.2, 0.71), m.displacement(0.2, 0.71));

    kExpectEveryPrefixFails(out.bytes(), [](KArchive& a) { a.readOwned<KBdlMuscle>(); });
}

TEST(MuscleStorage, SchemaOneHadOneTotalWidth) {
    KRegisterModelClasses();
    KArchive one;
    kWriteClassHeader(one, "KBdlMuscle", 1);
    kWriteFields(one, "old", 0.1f, 0.9f, int32_t(KBdlMuscle::Linear), 0.5f, int32_t(1));
    writeCurveSchema1(one, {{0, 0.3}, {0.5, 0.3}, {1, 0.3}});
    writeCurveSchema1(one, {{0, 0}, {0.5, 1}, {1, 0}});
    writeCurveSchema1(one, {{0, 0.2}, {0.5, 0.2}, {1, 0.2}});
    writeCurveSchema1(one, {{0, 0.6}, {1, 0.6}});
    writeCurveSchema1(one, {{0, 0}, {0.5, 1}, {1, 0}});
    const auto m1 = load(one);
    ASSERT_TRUE(m1);
    EXPECT_EQ(std::tuple(m1->name, m1->begin, m1->end, m1->height),
              std::tuple("old", 0.1f, 0.9f, 0.5f));
    EXPECT_EQ(m1->widthLo.getString(),
              "< 0.0000, 0.2000 >, < 0.5000, 0.2000 >, < 1.0000, 0.2000 >");
    EXPECT_EQ(m1->widthHi.getString(), m1->widthLo.getString());
    EXPECT_EQ(std::tuple(m1->symmetricWidth, m1->widthLoScale, m1->widthHiScale),
              std::tuple(1, 0.5f, 1.0f));
    // The old single width was a total width: the muscle is 0.2 wide in all.
    EXPECT_NEAR(m1->displacement(0.3, 0.5), 0.5, 1e-6);
    EXPECT_EQ(m1->displacement(0.41, 0.5), 0.0);
}

TEST(MuscleStorage, LaterSchemasAreUpgraded) {
    KRegisterModelClasses();
    KArchive three;
    kWriteClassHeader(three, "KBdlMuscle", 3);
    // name, begin, end, type, height, active, resolutionU and V, textureIndex
    kWriteFields(three, "three", 1.0f, 2.0f, int32_t(KBdlMuscle::Point), 0.25f, 0, 10, 5, 2);
    writeFiveCurves(three, bandString("0.15"));
    const auto m3 = load(three);
    ASSERT_TRUE(m3);
    EXPECT_EQ(std::tuple(m3->muscleType, m3->end, m3->active),
              std::tuple(KBdlMuscle::Point, 2.0f, 0));
    EXPECT_EQ(std::tuple(m3->resolutionU, m3->resolutionV, m3->textureIndex), std::tuple(10, 5, 2));
    EXPECT_EQ(std::tuple(m3->center.getString(), m3->widthHi.getString()),
              std::tuple(bandString("0.30"), bandString("0.15")));
    // A point muscle keeps its radius.
    EXPECT_EQ(std::tuple(m3->symmetricWidth, m3->widthLoScale, m3->widthHiScale),
              std::tuple(1, 1.0f, 1.0f));

    KArchive four;
    kWriteClassHeader(four, "KBdlMuscle", 4);
    // ... then mirrorU, mirrorV, offsetU, offsetV
    kWriteFields(four, "four", 0.0f, 1.0f, int32_t(KBdlMuscle::Orbital), 0.25f, 1, 8, 4, 0, 1, 0,
                 0.2f, -0.1f);
    writeFiveCurves(four, kBandWidth);
    const auto m4 = load(four);
    ASSERT_TRUE(m4);
    EXPECT_EQ(std::tuple(m4->muscleType, m4->mirrorU, m4->offsetU, m4->offsetV),
              std::tuple(KBdlMuscle::Orbital, 1, 0.2f, -0.1f));
    EXPECT_EQ(m4->widthHi.getString(), kBandWidth);
    EXPECT_EQ(std::tuple(m4->symmetricWidth, m4->widthLoScale), std::tuple(1, 0.5f));

    KArchive six;
    kWriteClassHeader(six, "KBdlMuscle", 6);
    // ... textureIndex, note, mirrorU, mirrorV, offsetU, offsetV, width scales, symmetric
    kWriteFields(six, "six", 0.0f, 1.0f, int32_t(KBdlMuscle::Linear), 0.25f, 1, 4, 8, 1, "a note",
                 0, 1, 0.0f, 0.05f, 0.75f, 1.25f, 0);
    writeFiveCurves(six, kBandWidth);
    const auto m6 = load(six);
    ASSERT_TRUE(m6);
    EXPECT_EQ(std::tuple(m6->note, m6->mirrorV, m6->offsetV), std::tuple("a note", 1, 0.05f));
    // Stored widths are kept as they are: no upgrade.
    EXPECT_EQ(std::tuple(m6->widthLoScale, m6->widthHiScale, m6->symmetricWidth),
              std::tuple(0.75f, 1.25f, 0));
    EXPECT_EQ(m6->widthHi.getString(), bandString("0.90"));
}
