// Numbers as text must not depend on the process locale.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

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

TEST(NumberText, ParsesLikeStrtod) {
    size_t used = 0;
    EXPECT_EQ(kParseDouble("0.25abc", &used), 0.25);
    EXPECT_EQ(used, 4u);
    EXPECT_EQ(kParseDouble("abc"), 0.0);
    EXPECT_EQ(kParseDouble(""), 0.0);
    EXPECT_EQ(kParseDouble("-1e2"), -100.0);
    EXPECT_EQ(kParseDouble("+.5"), 0.5);
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
