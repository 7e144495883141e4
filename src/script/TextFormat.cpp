#include "script/TextFormat.h"

#include <cstdio>
#include <cstring>

namespace kelvan::script {

namespace {

constexpr int kMaxField = 100;

struct Conversion {
  std::string Prefix, Suffix;  // the text around the conversion, "%%" already undone
  std::string Flags;
  int Width = -1, Precision = -1;
  char Letter = 0;
};

bool ReadNumber(const std::string& p, size_t& i, int& value) {
  value = 0;
  const size_t start = i;
  while (i < p.size() && p[i] >= '0' && p[i] <= '9') {
    value = value * 10 + (p[i] - '0');
    if (value > kMaxField) return false;
    ++i;
  }
  return i > start;
}

// Reads the conversion at p[i] (just after its '%').
bool ReadConversion(const std::string& p, size_t& i, Conversion& s) {
  while (i < p.size() && std::strchr("-+ 0#", p[i])) s.Flags += p[i++];
  if (i < p.size() && p[i] >= '0' && p[i] <= '9' && !ReadNumber(p, i, s.Width)) return false;
  if (i < p.size() && p[i] == '.') {
    ++i;
    if (!ReadNumber(p, i, s.Precision)) s.Precision = 0;
    if (s.Precision > kMaxField) return false;
  }
  if (i >= p.size()) return false;
  s.Letter = p[i++];
  return true;
}

bool Parse(const std::string& p, const char* conversions, Conversion& s, std::string& error) {
  bool found = false;
  for (size_t i = 0; i < p.size();) {
    if (p[i] != '%') {
      (found ? s.Suffix : s.Prefix) += p[i++];
      continue;
    }
    if (i + 1 < p.size() && p[i + 1] == '%') {
      (found ? s.Suffix : s.Prefix) += '%';
      i += 2;
      continue;
    }
    ++i;
    if (found || !ReadConversion(p, i, s) || !std::strchr(conversions, s.Letter)) {
      error = "書式 '" + p + "' は使えません。";
      return false;
    }
    found = true;
  }
  if (!found) error = "書式 '" + p + "' に変換指定がありません。";
  return found;
}

std::string CFormat(const Conversion& s, const char* length) {
  std::string f = "%" + s.Flags;
  if (s.Width >= 0) f += std::to_string(s.Width);
  if (s.Precision >= 0) f += "." + std::to_string(s.Precision);
  return f + length + s.Letter;
}

// "1234567.891" -> "1,234,567.891"
std::string WithThousands(std::string digits) {
  size_t start = (digits[0] == '-' || digits[0] == '+' || digits[0] == ' ') ? 1 : 0;
  size_t point = digits.find('.');
  if (point == std::string::npos) point = digits.size();
  for (size_t k = point; k > start + 3; k -= 3) digits.insert(k - 3, ",");
  return digits;
}

}  // namespace

bool FormatInteger(const std::string& pattern, int64_t value, std::string& out, std::string& error) {
  Conversion s;
  if (!Parse(pattern, "diuxXoc", s, error)) return false;
  char buf[256];
  if (s.Letter == 'c') {
    std::snprintf(buf, sizeof buf, CFormat(s, "").c_str(), int(static_cast<unsigned char>(value)));
  } else {
    std::snprintf(buf, sizeof buf, CFormat(s, "ll").c_str(), static_cast<long long>(value));
  }
  out = s.Prefix + buf + s.Suffix;
  return true;
}

bool FormatFloat(const std::string& pattern, double value, std::string& out, std::string& error) {
  Conversion s;
  if (!Parse(pattern, "fFeEgGn", s, error)) return false;
  char buf[512];
  if (s.Letter == 'n') {
    Conversion fixed = s;
    fixed.Letter = 'f';
    fixed.Width = -1;
    if (fixed.Precision < 0) fixed.Precision = 2;
    std::snprintf(buf, sizeof buf, CFormat(fixed, "").c_str(), value);
    std::string text = WithThousands(buf);
    if (s.Width > int(text.size())) {
      const std::string pad(size_t(s.Width) - text.size(), ' ');
      text = s.Flags.find('-') != std::string::npos ? text + pad : pad + text;
    }
    out = s.Prefix + text + s.Suffix;
    return true;
  }
  std::snprintf(buf, sizeof buf, CFormat(s, "").c_str(), value);
  out = s.Prefix + buf + s.Suffix;
  return true;
}

}  // namespace kelvan::script
