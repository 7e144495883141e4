#include "view/core/PositionReadout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelvan::view {

namespace {

constexpr int kPositionPrecision = 10;
constexpr int kUVPrecision = 7;
constexpr int kReadoutDigits = 3;

std::string Scientific(double value, int precision) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", precision - 1, value);
  std::string s = buf;
  const size_t e = s.find('E');
  size_t cut = e;
  while (cut > 0 && s[cut - 1] == '0') --cut;
  if (cut > 0 && s[cut - 1] == '.') --cut;
  return s.substr(0, cut) + s.substr(e);
}

int IntegerDigits(const std::string& fixed) {
  const size_t point = fixed.find('.');
  const size_t end = point == std::string::npos ? fixed.size() : point;
  const size_t start = (!fixed.empty() && fixed[0] == '-') ? 1 : 0;
  return static_cast<int>(end - start);
}

}  // namespace

std::string FormatFixed(double value, int precision, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);
  // The number is rounded once, at whichever comes first: the last significant digit or
  // the last decimal.
  const int exponent = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
  if (exponent >= precision) return Scientific(value, precision);
  const int keep = std::clamp(precision - 1 - exponent, 0, digits);
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", keep, value);
  std::string s = buf;
  if (IntegerDigits(s) > precision) return Scientific(value, precision);  // rounded up past it
  if (digits > keep) {
    if (keep == 0) s += '.';
    s.append(static_cast<size_t>(digits - keep), '0');
  }
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::array<std::optional<std::string>, ReadoutPanelCount> PositionReadout::PanelTexts() const {
  std::array<std::optional<std::string>, ReadoutPanelCount> texts;
  if (HasPosition) {
    texts[0] = "X " + FormatFixed(X, kPositionPrecision, kReadoutDigits);
    texts[1] = "Y " + FormatFixed(Y, kPositionPrecision, kReadoutDigits);
    texts[2] = "Z " + FormatFixed(Z, kPositionPrecision, kReadoutDigits);
  }
  if (HasUV) {
    texts[3] = "U " + FormatFixed(U, kUVPrecision, kReadoutDigits);
    texts[4] = "V " + FormatFixed(V, kUVPrecision, kReadoutDigits);
  }
  return texts;
}

}  // namespace kelvan::view
