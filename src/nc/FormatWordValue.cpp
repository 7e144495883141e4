#include "nc/FormatWordValue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kelvan::nc {

namespace {

// Integers written back are 32-bit as the machine controls read them; a value beyond
// that range is clamped instead of overflowing.
long long ClampToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<long long>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// The printf format of each non-coordinate letter; nullptr marks a coordinate letter.
const char* IntegerFormat(char letter) {
  switch (letter) {
    case 'A': case 'B': case 'C': return "%c%lld";  // "%.d": the plain integer
    case 'D': case 'G': case 'H': case 'M': case 'T': return "%c%.2lld";
    case 'N': case 'O': case 'P': return "%c%.4lld";
    case 'E': case 'F': case 'L': case 'S': return "%c%lld";
    default: return nullptr;
  }
}

}  // namespace

std::string FormatWordValue(std::string_view prefix, bool withDecimalPoint, double value,
                            int decimals) {
  decimals = std::clamp(decimals, 0, 9);
  std::string out(prefix);
  char buf[400];
  if (withDecimalPoint) {
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    out += buf;
    while (out.size() >= 2 && out.back() == '0' && out[out.size() - 2] != '.') out.pop_back();
    return out;
  }
  // Scale first, then round: adding half a unit before scaling loses 1.2345 -> 1235.
  const double scaled = std::round(value * std::pow(10.0, decimals));
  std::snprintf(buf, sizeof buf, "%lld", ClampToInt32(scaled));
  out += buf;
  return out;
}

void AppendWord(std::string& out, const NcWord& word, int decimals) {
  const char* format = IntegerFormat(word.Letter);
  if (!format) {
    out += FormatWordValue(std::string_view(&word.Letter, 1), true, word.Value, decimals);
    return;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, format, word.Letter, ClampToInt32(std::trunc(word.Value)));
  out += buf;
}

}  // namespace kelvan::nc
