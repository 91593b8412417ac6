// Control-point strings and curves: parsing, formatting, knots and evaluation.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

#include "model/KBdlCurve.h"
#include "model/KModelClasses.h"
#include "platform/KScriptedUi.h"
#include "support/KArchiveWrite.h"

namespace {

const char* kTent = "< 0, 0.00 >, < 0.50, 1.00 >, < 1.00, 0.00 >";

} // namespace

// ---- parsing

TEST(CurveParse, StatusesForMalformedText) {
    struct Case {
        const char* text;
        int status;
    };
    const Case cases[] = {
        {"[ < 0, 1 >, < 1, 1 >, < 2, 1 >", KBdlCurve::ParseUnmatchedBrackets},
        {"< 0, 1 >, < 1, 1 >, < 2, 1", KBdlCurve::ParseUnmatchedBraces},
        {"", KBdlCurve::ParseNoValues},
        {"   ,, ", KBdlCurve::ParseNoValues},
        {"> 0, 1 <", KBdlCurve::ParseMissingOpenBrace},
        {"< 0, 1, 2, 3, 4 >", KBdlCurve::ParseMissingCloseBrace},
        {"[< 0, 1 >], [< 1, 1 >], [< 2, 1 >]", KBdlCurve::ParseOk},
        {"<0 1><1,1>,<2 ,1>", KBdlCurve::ParseOk},
        {"< 0.50, 0.50 >", KBdlCurve::ParseFewVertices},
    };
    for (const Case& c : cases) {
        KBdlCurve curve;
        EXPECT_EQ(curve.parse(c.text), c.status) << c.text;
    }
}

TEST(CurveParse, FailedParseKeepsThePreviousString) {
    KBdlCurve c(kTent);
    EXPECT_EQ(c.parse("< 0, 1 > < 1"), KBdlCurve::ParseUnmatchedBraces);
    EXPECT_EQ(std::tuple(c.getString(), c.count()), std::tuple(kTent, 3));
    // Text without any vertex leaves the curve as it was.
    EXPECT_EQ(c.parse("garbage"), KBdlCurve::ParseNoValues);
    EXPECT_EQ(c.count(), 3);
    // A failure inside the vertices keeps the points read so far, with a knot table
    // that fits them, so evaluation stays safe.
    EXPECT_EQ(c.parse("< 0, 1 >, < 1, 2, 3, 4, 5 >, < 2, 3 >"), KBdlCurve::ParseMissingCloseBrace);
    EXPECT_EQ(c.getString(), kTent);
    EXPECT_EQ(c.points()[0], KVertex(0, 1));
    EXPECT_EQ(c.knots().size(), size_t(c.count()) + 1);
    EXPECT_TRUE(std::isfinite(c.value(0.5)));
}

TEST(CurveParse, MissingNumbersAreZeroAndFourAreKept) {
    KBdlCurve c("< 1 >, < 2, 3, 4, 5 >, < abc, 7 >");
    ASSERT_EQ(c.count(), 3);
    EXPECT_EQ(std::vector(c.points().begin(), c.points().begin() + 3),
              (std::vector<KVertex>{{1, 0, 0, 0}, {2, 3, 4, 5}, {0, 7, 0, 0}}));
}

// Every status has its own text; failures other than too few vertices are reported.
TEST(CurveParse, MessagesAndReporting) {
    std::set<std::string> texts;
    for (int status = KBdlCurve::ParseUnspecified; status <= KBdlCurve::ParseMissingCloseBrace + 1;
         ++status) {
        texts.insert(KBdlCurve::parseStatusText(status));
    }
    EXPECT_EQ(texts.size(), 9u);
    KScriptedUi ui;
    KUiScope scope(ui);
    KBdlCurve::reportParseStatus(KBdlCurve::ParseFewVertices);
    KBdlCurve::reportParseStatus(KBdlCurve::ParseOk);
    EXPECT_TRUE(ui.messages().empty());
    KBdlCurve::reportParseStatus(KBdlCurve::ParseMissingCloseBrace);
    EXPECT_EQ(ui.messages(),
              std::vector<std::string>{
                  "Parsing error in control point string!\n\nmissing closing vertex brace >"});
}

// ---- formatting

TEST(CurveFormat, BuildsStringFromPoints) {
    KBdlCurve c;
    EXPECT_EQ(c.getString(), "<0,0>");
    c.setPoints({{0, 0.1, 0, 0}, {1, 0.5, 2, 0}}, 2);
    EXPECT_EQ(c.getString(), "< 0.0000, 0.1000 >, < 1.0000, 0.5000, 2.0000 >");
    c.setPoints({{0, 1, 0, 3}, {-1, 0.123456, 0, 0}, {2, 2}}, 3);
    EXPECT_EQ(c.getString(),
              "< 0.0000, 1.0000, 0.0000, 3.0000 >, < -1.0000, 0.1235 >, < 2.0000, 2.0000 >");
    EXPECT_EQ(c.points()[1].y, 0.1235); // the points are re-parsed from the string
    // Mirroring reverses the points along x.
    KBdlCurve m("< 0, 0.1 >, < 0.25, 0.5 >, < 1, 0.9 >");
    m.mirror();
    EXPECT_EQ(m.getString(), "< 0.0000, 0.9000 >, < 0.7500, 0.5000 >, < 1.0000, 0.1000 >");
}

// ---- knots

TEST(CurveKnots, EveryIndexType) {
    KBdlCurve c("< 0, 0 >, < 1, 1 >, < 2, 0 >");
    c.rebuild(KBdlCurve::PolyLine);
    EXPECT_EQ(c.indexType, KBdlCurve::PolyLine);
    EXPECT_EQ(c.knots(), (std::vector<double>{std::sqrt(2.0), std::sqrt(2.0), 0, 0}));

    c.rebuild(KBdlCurve::AxisY);
    EXPECT_EQ(std::tuple(c.knots(), c.totalLength()),
              std::tuple(std::vector<double>{1, -1, 0, 0}, 0.0));

    KBdlCurve z("< 0, 0, 1 >, < 1, 1, 3 >, < 2, 0, 6 >");
    z.rebuild(KBdlCurve::AxisZ);
    EXPECT_EQ(z.knots(), (std::vector<double>{2, 3, 0, 0}));

    // Radial: angle steps of the points around the origin, and a closing entry.
    KBdlCurve r("< 0, 1 >, < 1, 0 >, < 0, -1 >");
    r.rebuild(KBdlCurve::Radial);
    EXPECT_EQ(std::tuple(r.knots(), r.totalLength()),
              std::tuple(std::vector<double>{-0.25, -0.25, 1.25, 0}, 0.75));

    // Out-of-range types keep the current one; Manual rebuilds nothing.
    c.rebuild(9);
    EXPECT_EQ(c.indexType, KBdlCurve::AxisY);
    const std::vector<double> before = c.knots();
    c.rebuild(KBdlCurve::Manual);
    EXPECT_EQ(std::tuple(c.knots(), c.indexType), std::tuple(before, KBdlCurve::AxisY));
}

TEST(CurveKnots, OnePointManualAndParameterAt) {
    KBdlCurve one("< 0.3, 0.7 >");
    EXPECT_EQ(std::tuple(one.knots(), one.totalLength()),
              std::tuple(std::vector<double>{1.0, 0.0}, 1.0));

    // A curve whose index type is Manual keeps a table that fits, else spaces evenly.
    KBdlCurve m(kTent);
    m.indexType = KBdlCurve::Manual;
    m.rebuild(-1);
    EXPECT_EQ(m.knots(), (std::vector<double>{0.5, 0.5, 0, 0}));
    m.parse("< 0, 0 >, < 0.1, 1 >, < 0.2, 2 >, < 1, 3 >");
    EXPECT_EQ(m.knots(), (std::vector<double>{1, 1, 1, 0, 0}));
    m.basis = KBdlCurve::Polyline;
    EXPECT_DOUBLE_EQ(m.value(0.5), 1.5);

    KBdlCurve c("< 0, 0 >, < 0.25, 1 >, < 1, 0 >");
    EXPECT_EQ(std::tuple(c.parameterAt(0), c.parameterAt(1), c.parameterAt(2), c.parameterAt(4)),
              std::tuple(0.0, 0.25, 1.0, 1.0));
    EXPECT_EQ(KBdlCurve().parameterAt(1), 0.0);
}

// ---- evaluation

TEST(CurveValue, OutsideTheRangeGivesTheEndPoints) {
    KBdlCurve c("< 0, 0.2 >, < 0.5, 1.0 >, < 1, 0.4 >");
    for (int basis = 0; basis <= 4; ++basis) {
        c.setBasis(basis);
        EXPECT_EQ(std::tuple(c.value(-0.5), c.value(0.0), c.value(std::nan(""))),
                  std::tuple(0.2, 0.2, 0.2))
            << basis;
        EXPECT_EQ(std::tuple(c.value(1.0), c.value(7.0)), std::tuple(0.4, 0.4)) << basis;
    }
}

TEST(CurveValue, FewPoints) {
    KBdlCurve single("< 0.50, 0.50 >");
    EXPECT_EQ(std::tuple(single.value(-1.0), single.value(0.3), single.value(2.0)),
              std::tuple(0.5, 0.5, 0.5));
    // Two points are evaluated, and from then on set, as a polyline.
    KBdlCurve two("< 0, 0 >, < 1, 2 >");
    EXPECT_EQ(two.basis, KBdlCurve::Spline);
    EXPECT_DOUBLE_EQ(two.value(0.25), 0.5);
    two.setBasis(KBdlCurve::Spline);
    EXPECT_EQ(two.basis, KBdlCurve::Polyline);
    KBdlCurve none;
    KVertex out(9, 9, 9, 9);
    EXPECT_EQ(none.point(0.5, out), 0.0);
    EXPECT_EQ(out, KVertex(9, 9, 9, 9));
}

TEST(CurveValue, CubicBasesMatchTheirWeights) {
    // Four points in y: 0, 1, 3, 2 at x = 0, 1, 2, 3 (knots by X, each segment 1).
    KBdlCurve c("< 0, 0 >, < 1, 1 >, < 2, 3 >, < 3, 2 >");
    const double s = 0.5; // middle of segment 1 (f = 0.5)
    const double f = 0.5, f2 = f * f, f3 = f2 * f;
    const double q0 = 0, q1 = 1, q2 = 3, q3 = 2;
    c.setBasis(KBdlCurve::Spline);
    EXPECT_DOUBLE_EQ(c.value(s), ((-f3 + 2 * f2 - f) * q0 + (3 * f3 - 5 * f2 + 2) * q1 +
                                  (-3 * f3 + 4 * f2 + f) * q2 + (f3 - f2) * q3) /
                                     2);
    c.setBasis(KBdlCurve::BSpline);
    EXPECT_DOUBLE_EQ(c.value(s), (std::pow(1 - f, 3) * q0 + (3 * f3 - 6 * f2 + 4) * q1 +
                                  (-3 * f3 + 3 * f2 + 3 * f + 1) * q2 + f3 * q3) /
                                     6);
    c.setBasis(KBdlCurve::Bezier);
    EXPECT_DOUBLE_EQ(c.value(s), std::pow(1 - f, 3) * q0 + 3 * f * (1 - f) * (1 - f) * q1 +
                                     3 * f2 * (1 - f) * q2 + f3 * q3);
    c.setBasis(KBdlCurve::Polyline);
    EXPECT_DOUBLE_EQ(c.value(s), 2.0);
    // The Spline passes through its control points.
    c.setBasis(KBdlCurve::Spline);
    EXPECT_DOUBLE_EQ(c.value(1.0 / 3.0), 1.0);
    EXPECT_DOUBLE_EQ(c.value(2.0 / 3.0), 3.0);
}

TEST(CurveValue, NeighboursBeyondTheEnds) {
    // Open: the missing neighbour before the first point is 2·P0 − P1.
    KBdlCurve open("< 0, 0 >, < 1, 1 >, < 2, 0 >");
    open.setBasis(KBdlCurve::BSpline);
    const double f = 0.5;
    const double w0 = std::pow(1 - f, 3) / 6, w1 = (3 * f * f * f - 6 * f * f + 4) / 6,
                 w2 = (-3 * f * f * f + 3 * f * f + 3 * f + 1) / 6;
    EXPECT_DOUBLE_EQ(open.value(0.25), w0 * -1 + w1 * 0 + w2 * 1 + (f * f * f / 6) * 0);
    // Closed: the indices wrap around.
    KBdlCurve closed("< 0, 0 >, < 1, 1 >, < 2, 0 >");
    closed.repeatCount = 1;
    closed.setBasis(KBdlCurve::BSpline);
    EXPECT_DOUBLE_EQ(closed.value(0.25), w0 * 0 + w1 * 0 + w2 * 1 + (f * f * f / 6) * 0);
}

TEST(CurveValue, RepeatCountRepeatsTheCurve) {
    KBdlCurve once("< 0, 0 >, < 0.3, 1 >, < 1, 0.5 >");
    once.repeatCount = 1;
    KBdlCurve twice(once);
    twice.repeatCount = 2;
    EXPECT_DOUBLE_EQ(twice.value(0.75), once.value(0.5));
    EXPECT_DOUBLE_EQ(twice.value(0.2), once.value(0.4));
}

TEST(CurveValue, SimpleBasisSampleTable) {
    KBdlCurve c("< 0, 0 >, < 0.5, 1 >, < 1, 0 >", 10);
    c.setBasis(KBdlCurve::Simple);
    ASSERT_EQ(c.samples().size(), 31u); // resolution × count + 1
    EXPECT_EQ(c.samples()[6].y, 0.5);   // segment 0: sample k lies (k−1)/r of the way
    // Value at the middle of segment 0: sample 0·10 + trunc(10·0.5) = 5.
    EXPECT_DOUBLE_EQ(c.value(0.25), c.samples()[5].y);
    // Discarding after use rebuilds on demand with the same result.
    c.flags |= KBdlCurve::DiscardSamplesAfterUse;
    const double v = c.value(0.6);
    EXPECT_TRUE(c.samples().empty());
    EXPECT_EQ(c.value(0.6), v);
}

TEST(CurveValue, SimpleBasisOffCurvePointsMakeQuadratics) {
    // The middle point is an off-curve control point (z ≠ 0).
    KBdlCurve c("< 0, 0 >, < 0.5, 1, 1 >, < 1, 0 >", 4);
    c.setBasis(KBdlCurve::Simple);
    const auto& s = c.samples();
    ASSERT_EQ(s.size(), 13u);
    // Samples 1..4 run from S = P0 through C = P1 towards N = P2 with t = 0, 1/4, ...
    for (int k = 1; k <= 4; ++k) {
        const double t = (k - 1) / 4.0;
        EXPECT_DOUBLE_EQ(s[size_t(k)].y, 2 * t * 1 + t * t * (0 - 2 + 0)) << k;
        EXPECT_DOUBLE_EQ(s[size_t(k)].x, 2 * t * 0.5 + t * t * (0 - 1 + 1)) << k;
    }
    // The last off-curve point of an open curve reads no point beyond the array.
    KBdlCurve tail("< 0, 0 >, < 0.5, 1 >, < 1, 0, 1 >", 4);
    tail.setBasis(KBdlCurve::Simple);
    EXPECT_EQ(tail.samples().size(), 13u);
}

TEST(CurveSettings, ResolutionRebuildsTheSamples) {
    KBdlCurve c(kTent);
    c.setBasis(KBdlCurve::Simple);
    EXPECT_EQ(c.samples().size(), 151u);
    c.setResolution(20);
    EXPECT_EQ(c.samples().size(), 61u);
    c.setResolution(0);
    EXPECT_EQ(c.resolution, 1);
    EXPECT_EQ(std::tuple(c.maxY(), KBdlCurve("< 0, -1 >, < 1, -2 >").maxY()), std::tuple(1.0, 0.0));
}

TEST(CurveValue, EvaluateMatchesValue) {
    for (int basis = 0; basis <= 4; ++basis) {
        KBdlCurve a("< 0, 0.1 >, < 0.2, 0.7 >, < 0.5, 0.3, 1 >, < 0.8, 0.9 >, < 1, 0.2 >", 17);
        a.repeatCount = basis % 3;
        a.setBasis(basis);
        KBdlCurve b(a);
        b.prepare();
        for (int i = -2; i <= 102; ++i) {
            const double t = i / 100.0;
            EXPECT_EQ(b.evaluate(t).y, a.value(t)) << basis << " " << t;
        }
    }
}

// ---- storage

TEST(CurveStorage, SchemaOneStoredThePoints) {
    KRegisterModelClasses();
    KArchive ar;
    kWriteClassHeader(ar, "KBdlCurve", 1);
    kWriteFields(ar, 1u, 0, 0, 3); // flags, basis, repeatCount, count
    for (double v : {0.0, 0.0, 0.0, 0.5, 2.0, 0.0, 1.0, 0.0, 0.0}) {
        ar.writeDouble(v);
    }
    kWriteFields(ar, 25, 4, 3); // resolution, auxiliary, indexType
    KArchive in(ar.bytes());
    auto c = in.readOwned<KBdlCurve>();
    ASSERT_TRUE(c);
    EXPECT_EQ(c->getString(), "< 0.0000, 0.0000 >, < 0.5000, 2.0000 >, < 1.0000, 0.0000 >");
    EXPECT_EQ(std::tuple(c->resolution, c->auxiliary), std::tuple(25, 4));
    EXPECT_DOUBLE_EQ(c->value(0.25), 1.0);

    // A count larger than the file is an error, not an allocation.
    KArchive bad;
    kWriteClassHeader(bad, "KBdlCurve", 1);
    kWriteFields(bad, 1u, 0, 0, 0x7FFFFFFF);
    KArchive badIn(bad.bytes());
    std::string error;
    EXPECT_FALSE(loadArchive(
        badIn, [](KArchive& a) { a.readOwned<KBdlCurve>(); }, &error));
}

TEST(CurveValue, ValueBoundsHoldEverywhere) {
    // Curves of every basis, open and closed, with spiky values: no evaluation may leave
    // the bounds the curve reports.
    const char* texts[] = {"< 0, 0.1 >, < 0.2, 0.9 >, < 0.4, 0.05 >, < 0.7, 1.0 >, < 1, 0.2 >",
                           "< 0, 1 >, < 0.5, -1, 1 >, < 1, 1 >", "< 0, 0.3 >, < 1, 0.7 >",
                           "< 0.5, 0.4 >", "< 0, 0 >, < 0.1, 5 >, < 0.2, 0 >, < 1, 0 >"};
    for (const char* text : texts) {
        for (int basis = 0; basis <= 4; ++basis) {
            for (int repeat : {0, 1, 3}) {
                KBdlCurve c(text, 7);
                c.repeatCount = repeat;
                c.setBasis(basis);
                c.prepare();
                double lo = 0, hi = 0;
                ASSERT_TRUE(c.valueBounds(lo, hi));
                for (int i = -10; i <= 1010; ++i) {
                    const double y = c.evaluate(i / 1000.0).y;
                    EXPECT_GE(y, lo) << text << " basis " << basis << " t " << i;
                    EXPECT_LE(y, hi) << text << " basis " << basis << " t " << i;
                }
            }
        }
    }
}
