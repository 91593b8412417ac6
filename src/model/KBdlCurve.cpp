#include "model/KBdlCurve.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

#include "platform/KNumberText.h"
#include "platform/KUi.h"

K_IMPLEMENT_SERIAL(KBdlCurve, KBdlElement, KBdlObject::kSchema, true)

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A cursor over the working copy of a control-point string. Taking a run "blanks it
// out", which for a cursor that only moves forward is the same as stepping over it.
class Scanner {
public:
    explicit Scanner(std::string_view text) : s_(text) {}
    void skipBlanks() {
        while (p_ < s_.size() && isBlank(s_[p_])) {
            ++p_;
        }
    }
    bool atEnd() const { return p_ >= s_.size(); }
    template <class Pred>
    std::string_view takeRun(Pred pred) {
        const size_t start = p_;
        while (p_ < s_.size() && pred(s_[p_])) {
            ++p_;
        }
        return s_.substr(start, p_ - start);
    }

private:
    std::string_view s_;
    size_t p_ = 0;
};

void appendVertexText(std::string& out, const KVertex& v) {
    out += "< ";
    kAppendFixed(out, v.x, 4);
    out += ", ";
    kAppendFixed(out, v.y, 4);
    if (v.w != 0.0) {
        out += ", ";
        kAppendFixed(out, v.z, 4);
        out += ", ";
        kAppendFixed(out, v.w, 4);
    } else if (v.z != 0.0) {
        out += ", ";
        kAppendFixed(out, v.z, 4);
    }
    out += " >";
}

} // namespace

KBdlCurve::KBdlCurve(std::string_view text, int32_t res, int type) {
    resolution = std::clamp(res, 1, kMaxResolution);
    if (type >= 1 && type <= 5) {
        indexType = type;
    }
    parse(text);
}

void KBdlCurve::copySettingsFrom(const KBdlCurve& other) {
    basis = other.basis;
    repeatCount = other.repeatCount;
    auxiliary = other.auxiliary;
    indexType = other.indexType;
    flags = other.flags;
    resolution = other.resolution;
    texts = other.texts;
    controlString_ = other.controlString_;
}

KBdlCurve::KBdlCurve(const KBdlCurve& other) : KBdlElement(other) {
    copySettingsFrom(other);
    parse(other.controlString_); // points and knots are rebuilt, not copied
}

KBdlCurve& KBdlCurve::operator=(const KBdlCurve& other) {
    if (this != &other) {
        copySettingsFrom(other);
        parse(other.controlString_);
    }
    return *this;
}

// ---------------------------------------------------------------- parsing

int KBdlCurve::parse(std::string_view input) {
    std::string work(input);
    int openAngles = 0, closeAngles = 0, openSquares = 0, closeSquares = 0;
    for (char& c : work) {
        switch (c) {
        case ',':
            c = ' ';
            break;
        case '<':
            ++openAngles;
            break;
        case '>':
            ++closeAngles;
            break;
        case '[':
            ++openSquares;
            c = ' ';
            break;
        case ']':
            ++closeSquares;
            c = ' ';
            break;
        default:
            break;
        }
    }
    if (openSquares != closeSquares) {
        return ParseUnmatchedBrackets;
    }
    if (openAngles != closeAngles) {
        return ParseUnmatchedBraces;
    }
    Scanner scan(work);
    scan.skipBlanks();
    // Text without a single vertex has no values; the curve keeps what it had rather
    // than becoming an empty curve that reads as a success.
    if (scan.atEnd() || closeAngles == 0) {
        return ParseNoValues;
    }
    int status = closeAngles < 3 ? ParseFewVertices : ParseOk;

    std::vector<KVertex> fresh;
    try {
        fresh.assign(size_t(closeAngles) + 1, KVertex{});
    } catch (const std::bad_alloc&) {
        return ParseNoMemory;
    }
    points_ = std::move(fresh);
    count_ = closeAngles;
    knots_.clear();
    samples_.clear();

    for (int i = 0; i < count_ && (status == ParseOk || status == ParseFewVertices); ++i) {
        scan.skipBlanks();
        if (scan.takeRun([](char c) { return c == '<'; }).empty()) {
            status = ParseMissingOpenBrace;
            break;
        }
        double* components[4] = {&points_[i].x, &points_[i].y, &points_[i].z, &points_[i].w};
        for (double* component : components) {
            scan.skipBlanks();
            const std::string_view token =
                scan.takeRun([](char c) { return !isBlank(c) && c != '>'; });
            *component = kParseDouble(token);
        }
        scan.skipBlanks();
        if (scan.takeRun([](char c) { return isBlank(c) || c == '>'; }).empty()) {
            status = ParseMissingCloseBrace;
            break;
        }
    }
    if (status == ParseOk || status == ParseFewVertices) {
        controlString_ = std::string(input);
    }
    // A failed parse keeps the points read so far; the knot table always matches them.
    rebuild(-1);
    return status;
}

std::string KBdlCurve::parseStatusText(int status) {
    switch (status) {
    case ParseUnspecified:
        return "unspecified parse failure.";
    case ParseUnmatchedBrackets:
        return "unmatched []";
    case ParseUnmatchedBraces:
        return "unmatched <>";
    case ParseNoValues:
        return "no values";
    case ParseFewVertices:
        return "need three+ vertex's to create curve.\nusing value instead.";
    case ParseNoMemory:
        return "create vertex list failed.";
    case ParseMissingOpenBrace:
        return "missing opening vertex brace <";
    case ParseMissingCloseBrace:
        return "missing closing vertex brace >";
    default:
        return "unspecified program error";
    }
}

std::string KBdlCurve::parseMessage(int status) {
    return "Parsing error in control point string!\n\n" + parseStatusText(status);
}

void KBdlCurve::reportParseStatus(int status) {
    if (status == ParseOk || status == ParseFewVertices) {
        return;
    }
    kUi().message(parseMessage(status), KUi::Icon::Warning);
}

std::string KBdlCurve::getString() const {
    if (!controlString_.empty()) {
        return controlString_;
    }
    if (count_ < 1) {
        return "<0,0>";
    }
    std::string out;
    for (int i = 0; i < count_; ++i) {
        if (i > 0) {
            out += ", ";
        }
        appendVertexText(out, points_[i]);
    }
    return out;
}

void KBdlCurve::setPoints(std::vector<KVertex> newPoints, int newCount) {
    newCount = std::clamp(newCount, 0, int(newPoints.size()));
    newPoints.resize(size_t(newCount) + 1);
    points_ = std::move(newPoints);
    count_ = newCount;
    controlString_.clear();
    for (std::string& t : texts) {
        t.clear();
    }
    const std::string text = getString();
    parse(text);
}

// ---------------------------------------------------------------- knot table

void KBdlCurve::rebuild(int type) {
    samples_.clear();
    if (count_ < 1) {
        return;
    }
    if (type > 5 || type < 0) {
        type = -1;
    }
    if (type == Manual) {
        return;
    }
    if (type >= 1) {
        indexType = type;
    }
    fillKnots();
}

KVertex KBdlCurve::closingPoint() const {
    return isClosed() ? points_[0] : points_[size_t(count_ - 1)];
}

void KBdlCurve::fillKnots() {
    const size_t n = size_t(count_);
    if (n == 1) {
        knots_ = {1.0, 0.0};
        totalLength_ = 1.0;
        return;
    }
    if (indexType < PolyLine || indexType > AxisZ) {
        // Manual knots: nothing in the program supplies them, so the table that is
        // there is kept while it still fits the points; otherwise every segment gets
        // the same length, which evaluates the points evenly spaced.
        if (knots_.size() != n + 1) {
            knots_.assign(n + 1, 0.0);
            std::fill(knots_.begin(), knots_.begin() + long(n - 1), 1.0);
        }
    } else {
        knots_.assign(n + 1, 0.0);
        for (size_t i = 0; i + 1 < n; ++i) {
            const KVertex& a = points_[i];
            const KVertex& b = points_[i + 1];
            double e = 0.0;
            switch (indexType) {
            case PolyLine:
                e = (b - a).length();
                break;
            case Radial:
                e = (std::atan2(a.x, a.y) - std::atan2(b.x, b.y)) / (2.0 * std::numbers::pi);
                break;
            case AxisX:
                e = b.x - a.x;
                break;
            case AxisY:
                e = b.y - a.y;
                break;
            case AxisZ:
                e = b.z - a.z;
                break;
            default:
                break;
            }
            knots_[i] = e;
        }
        if (indexType == Radial) {
            knots_[n - 1] = 1.0 - knots_[n - 2];
        }
    }
    totalLength_ = 0.0;
    for (double k : knots_) {
        totalLength_ += k;
    }
}

double KBdlCurve::parameterAt(int i) {
    if (count_ < 1) {
        return 0.0;
    }
    if (i > count_) {
        return 1.0;
    }
    if (knots_.empty()) {
        rebuild(-1);
    }
    double sum = 0.0;
    for (int k = 0; k < i; ++k) {
        sum += knots_[size_t(k)];
    }
    return totalLength_ != 0.0 ? sum / totalLength_ : 0.0;
}

// ---------------------------------------------------------------- evaluation

double KBdlCurve::localParameter(double t) const {
    if (repeatCount >= 2) {
        t = std::fmod(repeatCount * t, 1.0);
    }
    if (!(t > 0.0)) {
        return 0.0;
    }
    if (t >= 1.0 || count_ < 2) {
        return 1.0;
    }
    return t;
}

void KBdlCurve::locate(double s, int& segment, double& fraction) const {
    const double a = totalLength_ * s;
    double start = 0.0;
    const int last = count_ - 1;
    int k = 0;
    for (;; ++k) {
        const double end = start + knots_[size_t(k)];
        if (end >= a || k == last) {
            break;
        }
        start = end;
    }
    // No segment reached a (knots that run backwards): the last real segment is used.
    if (k == last && start + knots_[size_t(k)] < a) {
        k = std::max(0, count_ - 2);
        start = 0.0;
        for (int i = 0; i < k; ++i) {
            start += knots_[size_t(i)];
        }
    }
    double f = (a - start) / knots_[size_t(k)];
    if (!(f > 0.0)) {
        f = 0.0; // also a zero-length segment
    } else if (f > 1.0) {
        f = 1.0;
    }
    segment = k;
    fraction = f;
}

KVertex KBdlCurve::neighbour(int i) const {
    const int n = count_;
    if (i >= 0 && i < n) {
        return points_[size_t(i)];
    }
    if (isClosed()) {
        return points_[size_t(((i % n) + n) % n)];
    }
    if (i < 0) {
        return 2.0 * points_[0] - points_[1];
    }
    return 2.0 * points_[size_t(n - 1)] - points_[size_t(n - 2)];
}

KVertex KBdlCurve::evaluateLocal(double s, int32_t useBasis) const {
    if (s <= 0.0) {
        return points_[0];
    }
    if (s >= 1.0 || count_ == 1) {
        return points_[size_t(count_ - 1)];
    }
    int k = 0;
    double f = 0.0;
    locate(s, k, f);
    if (count_ == 2) {
        useBasis = Polyline;
    }
    if (useBasis == Polyline || (useBasis == Simple && samples_.empty())) {
        // Past the last point (the closing segment of a Radial table) the curve runs
        // back to its first point when closed.
        const KVertex& a = points_[size_t(k)];
        const KVertex b = k + 1 < count_ ? points_[size_t(k) + 1] : closingPoint();
        return a + f * (b - a);
    }
    if (useBasis == Simple) {
        size_t index = size_t(k) * size_t(resolution) + size_t(std::trunc(resolution * f));
        return samples_[std::min(index, samples_.size() - 1)];
    }
    const double f2 = f * f;
    const double f3 = f2 * f;
    double w0, w1, w2, w3;
    if (useBasis == BSpline) {
        const double g = 1.0 - f;
        w0 = g * g * g / 6.0;
        w1 = (3.0 * f3 - 6.0 * f2 + 4.0) / 6.0;
        w2 = (-3.0 * f3 + 3.0 * f2 + 3.0 * f + 1.0) / 6.0;
        w3 = f3 / 6.0;
    } else if (useBasis == Bezier) {
        const double g = 1.0 - f;
        w0 = g * g * g;
        w1 = 3.0 * f * g * g;
        w2 = 3.0 * f2 * g;
        w3 = f3;
    } else { // Spline, and any basis a file may hold that is not known
        w0 = (-f3 + 2.0 * f2 - f) / 2.0;
        w1 = (3.0 * f3 - 5.0 * f2 + 2.0) / 2.0;
        w2 = (-3.0 * f3 + 4.0 * f2 + f) / 2.0;
        w3 = (f3 - f2) / 2.0;
    }
    // Inside the point list the neighbours are the points themselves.
    const bool inside = k >= 1 && k + 2 < count_;
    const KVertex q0 = inside ? points_[size_t(k) - 1] : neighbour(k - 1);
    const KVertex q1 = inside ? points_[size_t(k)] : neighbour(k);
    const KVertex q2 = inside ? points_[size_t(k) + 1] : neighbour(k + 1);
    const KVertex q3 = inside ? points_[size_t(k) + 2] : neighbour(k + 2);
    return {w0 * q0.x + w1 * q1.x + w2 * q2.x + w3 * q3.x,
            w0 * q0.y + w1 * q1.y + w2 * q2.y + w3 * q3.y,
            w0 * q0.z + w1 * q1.z + w2 * q2.z + w3 * q3.z,
            w0 * q0.w + w1 * q1.w + w2 * q2.w + w3 * q3.w};
}

void KBdlCurve::prepare() {
    if (count_ < 1) {
        return;
    }
    if (knots_.empty()) {
        rebuild(-1);
    }
    if (basis == Simple && samples_.empty()) {
        buildSamples();
    }
}

bool KBdlCurve::isPrepared() const {
    return count_ < 1 || (!knots_.empty() && (basis != Simple || !samples_.empty()));
}

KVertex KBdlCurve::evaluate(double t) const {
    assert(isPrepared() && "prepare() the curve before evaluating it");
    if (count_ < 1) {
        return {};
    }
    if (knots_.size() < size_t(count_) + 1) {
        return points_[0]; // not prepared: a safe answer rather than a read past the table
    }
    return evaluateLocal(localParameter(t), basis);
}

bool KBdlCurve::valueBounds(double& lo, double& hi) const {
    if (count_ < 1) {
        lo = hi = 0.0;
        return true;
    }
    if (!isPrepared()) {
        return false;
    }
    lo = hi = points_[0].y;
    auto widen = [&](double a, double b) {
        lo = std::min({lo, a, b});
        hi = std::max({hi, a, b});
    };
    if (basis == Simple && !samples_.empty()) {
        for (const KVertex& s : samples_) {
            widen(s.y, s.y);
        }
    } else {
        const bool cubic = count_ > 2 && basis != Polyline && basis != Simple;
        for (int k = 0; k < count_; ++k) {
            const double q1 = points_[size_t(k)].y;
            const double q2 = k + 1 < count_ ? points_[size_t(k) + 1].y : closingPoint().y;
            widen(q1, q2);
            if (!cubic) {
                continue;
            }
            const double q0 = neighbour(k - 1).y;
            const double q3 = neighbour(k + 2).y;
            if (basis == Bezier || basis == BSpline) {
                widen(q0, q3); // non-negative weights that sum to 1
                continue;
            }
            // Spline: w1, w2 ≥ 0 with w1 + w2 = 1 + e and w0 + w3 = −e, 0 ≤ e ≤ 1/8.
            const double inner = std::min(q1, q2), outer = std::max(q1, q2);
            widen(1.125 * inner - 0.125 * std::max(q0, q3),
                  1.125 * outer - 0.125 * std::min(q0, q3));
        }
    }
    return std::isfinite(lo) && std::isfinite(hi);
}

double KBdlCurve::point(double t, KVertex& out) {
    if (count_ < 1) {
        return 0.0;
    }
    if (knots_.empty()) {
        rebuild(-1);
    }
    const double s = localParameter(t);
    if (count_ == 2 && s > 0.0 && s < 1.0) {
        basis = Polyline; // a two-point curve is a straight line from now on
    }
    if (basis == Simple && samples_.empty()) {
        buildSamples();
    }
    out = evaluateLocal(s, basis);
    if (flags & DiscardSamplesAfterUse) {
        samples_.clear();
    }
    return out.y;
}

double KBdlCurve::value(double t) {
    KVertex p;
    return point(t, p);
}

bool KBdlCurve::buildSamples() {
    samples_.clear();
    if (count_ < 1) {
        return false;
    }
    const size_t r = size_t(std::clamp(resolution, 1, kMaxResolution));
    const size_t total = r * size_t(count_) + 1;
    if (total > kMaxSampleCount) {
        reportParseStatus(ParseNoMemory);
        return false;
    }
    samples_.assign(total, KVertex{});
    points_[0].z = 0.0;
    const KVertex closing = closingPoint();
    points_[size_t(count_)].x = closing.x;
    points_[size_t(count_)].y = closing.y;
    points_[size_t(count_)].z = closing.z;

    samples_[0] = points_[0];
    KVertex start = points_[0];
    const double step = 1.0 / double(r);
    for (size_t i = 1; i <= size_t(count_); ++i) {
        const KVertex c = points_[i];
        const size_t base = (i - 1) * r;
        if (c.z == 0.0) {
            for (size_t k = 1; k <= r; ++k) {
                const double t = double(k - 1) * step;
                samples_[base + k] = {start.x + t * (c.x - start.x), start.y + t * (c.y - start.y)};
            }
            start = c;
            continue;
        }
        // An off-curve control point: a quadratic Bezier from start through c to the next
        // on-curve point, or to the middle of two off-curve points.
        KVertex next = points_[std::min(i + 1, size_t(count_))];
        if (next.z != 0.0) {
            next = {(c.x + next.x) / 2.0, (c.y + next.y) / 2.0, next.z, next.w};
        }
        for (size_t k = 1; k <= r; ++k) {
            const double t = double(k - 1) * step;
            samples_[base + k] = {
                start.x + 2.0 * t * (c.x - start.x) + t * t * (start.x - 2.0 * c.x + next.x),
                start.y + 2.0 * t * (c.y - start.y) + t * t * (start.y - 2.0 * c.y + next.y)};
        }
        start = next;
    }
    return true;
}

// ---------------------------------------------------------------- settings

void KBdlCurve::setBasis(int32_t b) {
    basis = count_ > 2 ? b : Polyline;
    rebuild(-1);
    samples_.clear();
    if (basis == Simple) {
        buildSamples();
    }
}

void KBdlCurve::setResolution(int32_t r) {
    resolution = std::clamp(r, 1, kMaxResolution);
    samples_.clear();
    if ((flags & BuildSamplesWithResolution) && basis == Simple) {
        buildSamples();
    }
}

double KBdlCurve::maxY() const {
    double m = 0.0;
    for (int i = 0; i < count_; ++i) {
        m = std::max(m, points_[size_t(i)].y);
    }
    return m;
}

void KBdlCurve::mirror() {
    if (count_ < 1) {
        return;
    }
    double maxX = points_[0].x;
    for (int i = 1; i < count_; ++i) {
        maxX = std::max(maxX, points_[size_t(i)].x);
    }
    std::vector<KVertex> mirrored(size_t(count_) + 1);
    for (int i = 0; i < count_; ++i) {
        KVertex v = points_[size_t(count_ - 1 - i)];
        v.x = maxX - v.x;
        mirrored[size_t(i)] = v;
    }
    mirrored[size_t(count_)] = points_[0];
    setPoints(std::move(mirrored), count_);
}

// ---------------------------------------------------------------- storage

void KBdlCurve::serialize(KArchive& ar) {
    KBdlElement::serialize(ar);
    if (ar.isStoring()) {
        ar.writeString(controlString_);
        for (const std::string& t : texts) {
            ar.writeString(t);
        }
        ar.writeUInt32(flags);
        ar.writeInt32(basis);
        ar.writeInt32(repeatCount);
        ar.writeInt32(resolution);
        ar.writeInt32(auxiliary);
        ar.writeInt32(indexType);
        return;
    }

    if (ar.objectSchema() == 1) {
        // The first format stored the points themselves.
        flags = ar.readUInt32();
        basis = ar.readInt32();
        repeatCount = ar.readInt32();
        const int32_t n = ar.readInt32();
        if (n < 0) {
            ar.fail("negative curve point count");
        }
        ar.requireAvailable(uint64_t(n), 24, "curve point");
        std::vector<KVertex> pts;
        try {
            pts.resize(size_t(n) + 1);
        } catch (const std::bad_alloc&) {
            kUi().message(
                "LOW MEM FAILURE: can't create vertex list!\n\nCan't load remainder of file...",
                KUi::Icon::Error);
            ar.fail("out of memory for curve points");
        }
        for (int32_t i = 0; i < n; ++i) {
            pts[size_t(i)].x = ar.readDouble();
            pts[size_t(i)].y = ar.readDouble();
            pts[size_t(i)].z = ar.readDouble();
        }
        resolution = std::clamp(ar.readInt32(), 1, kMaxResolution);
        auxiliary = ar.readInt32();
        indexType = ar.readInt32();
        setPoints(std::move(pts), n);
        return;
    }

    controlString_ = ar.readString();
    for (std::string& t : texts) {
        t = ar.readString();
    }
    flags = ar.readUInt32();
    basis = ar.readInt32();
    repeatCount = ar.readInt32();
    resolution = std::clamp(ar.readInt32(), 1, kMaxResolution);
    auxiliary = ar.readInt32();
    indexType = ar.readInt32();
    const std::string stored = controlString_;
    parse(stored);
}
