#pragma once
// Numbers as text, independent of the process locale: a desktop that uses a decimal
// comma reads and writes exactly the same text as one that uses a point.

#include <string>
#include <string_view>

// Like printf("%.<decimals>f", v) in the C locale.
std::string kFormatFixed(double v, int decimals);
// Appends the same to out (no allocation when out has room).
void kAppendFixed(std::string& out, double v, int decimals);

// Like printf("%.<precision>g", v) in the C locale: the shortest general form with
// that many significant digits, exponent form only for very large or small magnitudes.
std::string kFormatGeneral(double v, int precision = 6);
void kAppendGeneral(std::string& out, double v, int precision = 6);

// Like the C library's strtod in the C locale: converts the longest leading part of
// text that forms a number and ignores the rest; text that starts with no number gives
// 0. consumed, when given, receives the number of characters used.
double kParseDouble(std::string_view text, size_t* consumed = nullptr);
