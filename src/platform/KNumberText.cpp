#include "platform/KNumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

// Powers of ten that doubles hold exactly.
constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPow10 = 22;

// Writes the digits of n (exactly count of them, leading zeros kept) ending at end.
void putDigits(char* end, uint64_t n, int count) {
    for (int i = 0; i < count; ++i) {
        *--end = char('0' + n % 10);
        n /= 10;
    }
}

// "%.<precision>g" for the common case, without the exact big-number arithmetic the
// library needs in general: the value is scaled to an integer of precision digits with
// at most two roundings, which can only change the result when the scaled value lies
// within a hair of a rounding tie; those values (and magnitudes whose power of ten is not
// exact) return false and go the exact way. Writes at most 16 characters.
bool fastGeneral(char* out, char** outEnd, double v, int precision) {
    if (precision < 1 || precision > 9 || !std::isfinite(v) || v == 0.0) {
        return false;
    }
    const double a = std::fabs(v);
    // The binary exponent gives the decimal one to within one (fixed below).
    uint64_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);
    const int biased = int(bits >> 52);
    if (biased == 0) { // subnormal
        return false;
    }
    int exp10 = int(std::floor((biased - 1023) * 0.30102999566398120));
    const auto scaled = [&](int e) {
        const int shift = precision - 1 - e;
        if (shift >= 0) {
            return shift <= kMaxExactPow10 ? a * kPow10[shift] : -1.0;
        }
        return -shift <= kMaxExactPow10 ? a / kPow10[-shift] : -1.0;
    };
    const double low = kPow10[precision - 1], high = kPow10[precision];
    double m = scaled(exp10);
    if (m >= 0 && m < low) {
        m = scaled(--exp10);
    } else if (m >= high) {
        m = scaled(++exp10);
    }
    if (m < low || m >= high) {
        return false;
    }
    const double whole = std::floor(m);
    const double fraction = m - whole;
    // The scaled value is within about 1e-16 * 1e9 of the true one.
    if (std::fabs(fraction - 0.5) < 1e-6) {
        return false;
    }
    auto n = uint64_t(whole) + (fraction > 0.5 ? 1 : 0);
    if (n == uint64_t(high)) { // 999999.7 rounds up to the next power of ten
        n /= 10;
        ++exp10;
    }
    char digits[16];
    putDigits(digits + precision, n, precision);
    int used = precision; // significant digits left after dropping trailing zeros
    while (used > 1 && digits[used - 1] == '0') {
        --used;
    }
    char* p = out;
    if (std::signbit(v)) {
        *p++ = '-';
    }
    if (exp10 >= -4 && exp10 < precision) {
        if (exp10 < 0) {
            *p++ = '0';
            *p++ = '.';
            for (int z = -1; z > exp10; --z) {
                *p++ = '0';
            }
            for (int i = 0; i < used; ++i) {
                *p++ = digits[i];
            }
        } else {
            for (int i = 0; i <= exp10; ++i) {
                *p++ = digits[i];
            }
            if (used > exp10 + 1) {
                *p++ = '.';
                for (int i = exp10 + 1; i < used; ++i) {
                    *p++ = digits[i];
                }
            }
        }
    } else {
        *p++ = digits[0];
        if (used > 1) {
            *p++ = '.';
            for (int i = 1; i < used; ++i) {
                *p++ = digits[i];
            }
        }
        *p++ = 'e';
        *p++ = exp10 < 0 ? '-' : '+';
        const int e = std::abs(exp10);
        const int width = e >= 100 ? 3 : 2;
        putDigits(p + width, uint64_t(e), width);
        p += width;
    }
    *outEnd = p;
    return true;
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
    char buf[32];
    char* end = nullptr;
    if (fastGeneral(buf, &end, v, precision)) {
        out.append(buf, end);
        return;
    }
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
