#include "platform/KNumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

// The C locale as an object, so conversions never depend on setlocale.
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

template <class Fmt>
void appendWith(std::string& out, double v, Fmt fmt, int precision) {
    char buf[400];
    if (!std::isfinite(v)) {
        // Match printf: "inf", "-inf", "nan" (to_chars agrees, but keep it explicit).
        out += std::isnan(v) ? (std::signbit(v) ? "-nan" : "nan") : (v < 0 ? "-inf" : "inf");
        return;
    }
    const auto r = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
    out.append(buf, r.ptr);
}

} // namespace

void kAppendFixed(std::string& out, double v, int decimals) {
    appendWith(out, v, std::chars_format::fixed, decimals);
}

std::string kFormatFixed(double v, int decimals) {
    std::string s;
    kAppendFixed(s, v, decimals);
    return s;
}

void kAppendGeneral(std::string& out, double v, int precision) {
    appendWith(out, v, std::chars_format::general, precision);
}

std::string kFormatGeneral(double v, int precision) {
    std::string s;
    kAppendGeneral(s, v, precision);
    return s;
}

double kParseDouble(std::string_view text, size_t* consumed) {
    // strtod needs a terminated string; control-point tokens are short.
    std::string copy(text);
    char* end = nullptr;
    const double v = strtod_l(copy.c_str(), &end, cLocale());
    if (consumed) {
        *consumed = size_t(end - copy.c_str());
    }
    return v;
}
