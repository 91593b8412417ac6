// Numbers as text must not depend on the process locale.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "model/KBdlCurve.h"
#include "platform/KNumberText.h"

namespace {

// Switches the process to a decimal-comma locale when one is installed.
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
            if (std::setlocale(LC_ALL, name)) {
                active_ = true;
                break;
            }
        }
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    bool active() const { return active_; }

private:
    bool active_ = false;
};

} // namespace

TEST(NumberText, FormatsLikePrintfInTheCLocale) {
    char buf[64];
    for (double v : {0.0, -0.0, 0.1, 1.0 / 3.0, 12345.678, 1e-7, 1e21, -2.5e-5, 123456.0, 1234567.0,
                     0.00012345}) {
        std::snprintf(buf, sizeof buf, "%.4f", v);
        EXPECT_EQ(kFormatFixed(v, 4), buf) << v;
        std::snprintf(buf, sizeof buf, "%g", v);
        EXPECT_EQ(kFormatGeneral(v), buf) << v;
    }
}

// The general form has a fast path for ordinary magnitudes; printf is the reference for
// every precision it serves, across magnitudes, near rounding ties, next to powers of
// ten, for floats widened to double (what vertices hold) and for random bit patterns.
TEST(NumberText, GeneralFormMatchesPrintfEverywhere) {
    char buf[64];
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::vector<double> values = {1e-5,      1e-4,           9.999995e-5, 0.5,
                                  999999.5,  999999.4,       9999995,     1e6,
                                  1e15,      123456.5,       0.1234565,   2.5e-5,
                                  1.0000005, -0.00099999995, 1e-300,      1.7976931348623157e308,
                                  4.9e-324};
    for (int i = 0; i < 50000; ++i) {
        const double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        values.push_back(v);
        values.push_back(-double(float(v)));
        // Values sitting on a tie of the sixth digit, and one ulp either side.
        const double tie = (std::floor(v * 1e5 / std::pow(10.0, std::floor(std::log10(v)))) + 0.5) *
                           std::pow(10.0, std::floor(std::log10(v))) / 1e5;
        values.push_back(tie);
        values.push_back(std::nextafter(tie, 0.0));
        values.push_back(std::nextafter(tie, 1e300));
        uint64_t bits = rng();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        values.push_back(any);
    }
    for (double v : values) {
        for (int precision : {6, 1, 3, 9}) {
            std::snprintf(buf, sizeof buf, "%.*g", precision, v);
            ASSERT_EQ(kFormatGeneral(v, precision), buf) << v << " precision " << precision;
        }
    }
}

TEST(NumberText, ParsesLikeStrtod) {
    for (const char* text : {"0.25abc", "abc", "", "-1e2", "+.5"}) {
        char* end = nullptr;
        const double want = std::strtod(text, &end);
        size_t used = 99;
        EXPECT_EQ(kParseDouble(text, &used), want) << text;
        EXPECT_EQ(used, size_t(end - text)) << text;
    }
}

TEST(NumberText, DecimalCommaLocaleChangesNothing) {
    const std::string text = "< 0, 0.10 >, < 0.50, 1.25 >, < 1.00, 0.10 >";
    KBdlCurve reference;
    ASSERT_EQ(reference.parse(text), 0);
    const double refValue = reference.value(0.3);

    CommaLocale comma;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    // scripts/install-deps generates de_DE.UTF-8 so this check has a locale to run in.
    ASSERT_TRUE(comma.active()) << "no decimal-comma locale installed";
    EXPECT_STREQ(probe, "0,5");
    EXPECT_EQ(kFormatFixed(0.5, 4), "0.5000");
    EXPECT_EQ(kFormatGeneral(1.25), "1.25");
    EXPECT_EQ(kParseDouble("1.25"), 1.25);
    KBdlCurve curve;
    ASSERT_EQ(curve.parse(text), 0);
    EXPECT_EQ(curve.points()[1].y, 1.25);
    EXPECT_EQ(curve.value(0.3), refValue);
    std::vector<KVertex> pts = {{0, 0.1}, {1, 0.5, 2}};
    curve.setPoints(pts, 2);
    EXPECT_EQ(curve.getString(), "< 0.0000, 0.1000 >, < 1.0000, 0.5000, 2.0000 >");
}
