#pragma once
// A profile curve: control points parsed from a control-point string such as
// "< 0, 0.10 >, < 0.50, 0.10 >, < 1.00, 0.10 >", a knot table, and evaluation at a
// parameter t in [0, 1] with one of five bases. The value of a curve is the y of the
// interpolated point.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/KBdlObject.h"
#include "model/KVertex.h"

class KBdlCurve : public KBdlElement {
    K_DECLARE_SERIAL(KBdlCurve)
public:
    enum Basis : int32_t { Polyline = 0, Simple = 1, Bezier = 2, BSpline = 3, Spline = 4 };
    enum IndexType : int32_t {
        Manual = 0,
        PolyLine = 1, // chord length
        Radial = 2,   // angle around the origin
        AxisX = 3,
        AxisY = 4,
        AxisZ = 5
    };
    enum Flags : uint32_t {
        BuildSamplesWithResolution = 1, // build the Simple sample table when the resolution is set
        DiscardSamplesAfterUse = 2      // discard the sample table after every evaluation
    };
    // Results of parse(). Warning is a success that found fewer than three vertices.
    enum ParseStatus : int {
        ParseOk = 0,
        ParseUnspecified = 1,
        ParseUnmatchedBrackets = 2,
        ParseUnmatchedBraces = 3,
        ParseNoValues = 4,
        ParseFewVertices = 5,
        ParseNoMemory = 6,
        ParseMissingOpenBrace = 7,
        ParseMissingCloseBrace = 8
    };
    static constexpr int32_t kMaxResolution = 65536;
    static constexpr size_t kMaxSampleCount = size_t(1) << 24;

    KBdlCurve() = default;
    // A curve parsed from text, with the given resolution and index type (-1 keeps the
    // default). A convenience for building default curves.
    explicit KBdlCurve(std::string_view text, int32_t resolution = 50, int indexType = -1);
    KBdlCurve(const KBdlCurve& other);
    KBdlCurve& operator=(const KBdlCurve& other);

    // Parses a control-point string; returns a ParseStatus and reports nothing.
    int parse(std::string_view text);
    // The status text of a ParseStatus, and the whole message a caller shows.
    static std::string parseStatusText(int status);
    static std::string parseMessage(int status);
    // Shows parseMessage in a message box for every status but 0 and 5.
    static void reportParseStatus(int status);

    // controlString when it is not empty, else a string built from the points.
    std::string getString() const;
    // Replaces the points, clears the texts, builds the string from the points and
    // parses it again. Points beyond count are ignored.
    void setPoints(std::vector<KVertex> newPoints, int count);

    // Rebuilds the knot table: type 1 to 5 becomes the index type, 0 (Manual) returns
    // without rebuilding, -1 or anything above 5 keeps the current index type.
    void rebuild(int type);

    // The curve's value (the y of the interpolated point) at t.
    double value(double t);
    // The same value; also stores the whole interpolated vertex in out (untouched when
    // the curve has no points).
    double point(double t, KVertex& out);

    void setBasis(int32_t b);
    void setResolution(int32_t r);
    // Parameter of control point i: the sum of the first i knot entries over the total.
    double parameterAt(int i);
    // The largest y over the points, never below 0.
    double maxY() const;
    // Reverses the curve along x: x becomes (largest x) − x.
    void mirror();

    void serialize(KArchive& ar) override;

    // ---- evaluation without side effects, for sampling grids in any order ----
    // Builds the knot table and, for the Simple basis, the sample table.
    void prepare();
    bool isPrepared() const;
    // The interpolated vertex at t (zero for a curve without points). The curve must be
    // prepared; parsing, setPoints, rebuild, setBasis and setResolution unprepare it.
    KVertex evaluate(double t) const;

    // Bounds of every value (y) evaluate() can give, from the control points, the basis
    // and the neighbours beyond the ends. False for a curve that is not prepared or holds
    // a value that is not finite.
    bool valueBounds(double& lo, double& hi) const;

    int count() const { return count_; }
    // The control points; element count() is the scratch closing point.
    const std::vector<KVertex>& points() const { return points_; }
    const std::vector<double>& knots() const { return knots_; }
    double totalLength() const { return totalLength_; }
    const std::vector<KVertex>& samples() const { return samples_; }
    const std::string& controlString() const { return controlString_; }
    bool isClosed() const { return repeatCount >= 1; }

    int32_t basis = Spline;
    std::array<std::string, 3> texts; // stored and copied, unused by parsing and evaluation
    int32_t repeatCount = 0;
    int32_t auxiliary = 0;
    int32_t indexType = AxisX;
    uint32_t flags = BuildSamplesWithResolution;
    int32_t resolution = 50;

private:
    void copySettingsFrom(const KBdlCurve& other);
    void fillKnots();
    KVertex closingPoint() const;
    bool buildSamples();
    double localParameter(double t) const;
    // Locates arc position s in the knot table: segment index and fraction within it.
    void locate(double s, int& segment, double& fraction) const;
    KVertex neighbour(int i) const;
    KVertex evaluateLocal(double s, int32_t useBasis) const;

    std::string controlString_;
    int count_ = 0;
    std::vector<KVertex> points_;
    double totalLength_ = 0.0;
    std::vector<double> knots_;
    std::vector<KVertex> samples_;
};
