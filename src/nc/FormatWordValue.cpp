#include "nc/FormatWordValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kelvan::nc {

namespace {

// Integers written back are 32-bit as the machine controls read them; a value beyond
// that range is clamped instead of overflowing.
long long ClampToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  return static_cast<long long>(std::clamp(v, -2147483648.0, 2147483647.0));
}

// The least number of digits of each non-coordinate letter (as "%.2d" writes "G01");
// -1 marks a coordinate letter. "%.d" writes the plain integer, so A0 is 'A0'.
int IntegerDigits(char letter) {
  switch (letter) {
    case 'A': case 'B': case 'C': case 'E': case 'F': case 'L': case 'S': return 1;
    case 'D': case 'G': case 'H': case 'M': case 'T': return 2;
    case 'N': case 'O': case 'P': return 4;
    default: return -1;
  }
}

// An integer with at least `digits` digits after its sign, as printf's "%.Nd".
void AppendInteger(std::string& out, long long v, int digits) {
  char buf[24];
  const bool negative = v < 0;
  const unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  const auto r = std::to_chars(buf, buf + sizeof buf, magnitude);
  const int length = static_cast<int>(r.ptr - buf);
  if (negative) out += '-';
  if (length < digits) out.append(static_cast<size_t>(digits - length), '0');
  out.append(buf, static_cast<size_t>(length));
}

}  // namespace

void AppendWordValue(std::string& out, std::string_view prefix, bool withDecimalPoint, double value, int decimals) {
  decimals = std::clamp(decimals, 0, 9);
  out += prefix;
  if (withDecimalPoint) {
    // The exact decimal rounding of printf's "%.*f", without its cost.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    const char* first = buf;
    size_t length = static_cast<size_t>(r.ptr - buf);
    // A value that rounds to zero is zero: 'X0.0', never 'X-0.0' (mirroring X0 would
    // otherwise write one).
    if (buf[0] == '-' && std::all_of(buf + 1, r.ptr, [](char c) { return c == '0' || c == '.'; })) {
      ++first;
      --length;
    }
    const size_t start = out.size();
    out.append(first, length);
    // Trailing zeros go, but one digit stays after the point; a number printed without
    // one (inf, nan, or no decimals) keeps its text.
    if (std::string_view(out).substr(start).find('.') == std::string_view::npos) return;
    while (out.size() >= start + 2 && out.back() == '0' && out[out.size() - 2] != '.') out.pop_back();
    return;
  }
  // Scale first, then round: adding half a unit before scaling loses 1.2345 -> 1235.
  AppendInteger(out, ClampToInt32(std::round(value * std::pow(10.0, decimals))), 1);
}

std::string FormatWordValue(std::string_view prefix, bool withDecimalPoint, double value, int decimals) {
  std::string out;
  AppendWordValue(out, prefix, withDecimalPoint, value, decimals);
  return out;
}

void AppendWord(std::string& out, const NcWord& word, int decimals) {
  const int digits = IntegerDigits(word.Letter);
  if (digits < 0) {
    AppendWordValue(out, std::string_view(&word.Letter, 1), true, word.Value, decimals);
    return;
  }
  out += word.Letter;
  AppendInteger(out, ClampToInt32(std::trunc(word.Value)), digits);
}

}  // namespace kelvan::nc
