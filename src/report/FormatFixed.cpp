#include "report/FormatFixed.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kelvan::report {

namespace {

// Drops the sign of a text such as "-0.000" whose digits are all zero.
std::string WithoutNegativeZero(std::string text) {
  if (!text.empty() && text[0] == '-' &&
      text.find_first_not_of("0.", 1) == std::string::npos)
    text.erase(0, 1);
  return text;
}

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value > 0 ? "INF" : "-INF";
}

// "1.234568E+7": the mantissa without trailing zeros, the exponent without padding.
std::string Scientific(double value, int precision) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                               precision - 1);
  std::string text(buf, r.ptr);
  const size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  const int exponent = std::atoi(text.c_str() + e + 1);
  return mantissa + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
}

}  // namespace

std::string FormatDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return NonFinite(value);
  char buf[400];  // room for the largest double written out in full
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                               std::max(decimals, 0));
  return WithoutNegativeZero(std::string(buf, r.ptr));
}

std::string FormatFixed(double value, int precision, int digits) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, 17);
  digits = std::max(digits, 0);
  if (value == 0) return FormatDecimals(0.0, digits);
  // The decimal exponent after rounding to `precision` significant digits decides how
  // many integer digits the value has (9999999.6 rounds to 1.000000E+7).
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                               precision - 1);
  const std::string text(buf, r.ptr);
  const int exponent = std::atoi(text.c_str() + text.find('e') + 1);
  const int integerDigits = exponent >= 0 ? exponent + 1 : 0;
  if (integerDigits > precision) return Scientific(value, precision);
  return FormatDecimals(value, std::min(precision - integerDigits, digits));
}

}  // namespace kelvan::report
