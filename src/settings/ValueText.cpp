#include "settings/ValueText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kelvan::settings {

namespace {

// The text without surrounding blanks and without one leading "+", as 8-bit characters for
// from_chars; nullopt when it holds anything outside ASCII (no number does).
std::optional<std::string> NumberChars(QStringView text) {
  QStringView t = text.trimmed();
  std::string s;
  s.reserve(static_cast<size_t>(t.size()));
  for (QChar c : t) {
    if (c.unicode() > 0x7f) return std::nullopt;
    s.push_back(static_cast<char>(c.unicode()));
  }
  // from_chars takes "-" but not "+"; a typed "+5" is a number, "+-5" is not.
  if (!s.empty() && s[0] == '+') {
    s.erase(0, 1);
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) return std::nullopt;
  }
  if (s.empty()) return std::nullopt;
  return s;
}

}  // namespace

std::optional<int> ParseInteger(QStringView text) {
  const std::optional<std::string> s = NumberChars(text);
  if (!s) return std::nullopt;
  int value = 0;
  const char* end = s->data() + s->size();
  auto [ptr, ec] = std::from_chars(s->data(), end, value, 10);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimal(QStringView text) {
  const std::optional<std::string> s = NumberChars(text);
  if (!s) return std::nullopt;
  double value = 0;
  const char* end = s->data() + s->size();
  auto [ptr, ec] = std::from_chars(s->data(), end, value, std::chars_format::general);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

double DecimalOr(QStringView text, double fallback) {
  return ParseDecimal(text).value_or(fallback);
}

QString IntegerText(int value) { return QString::number(value); }

QString BoolText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

bool StoredBoolIsTrue(QStringView text) { return ParseInteger(text).value_or(0) != 0; }

bool DefaultBoolIsTrue(QStringView text) {
  return text == u"1" || text.compare(u"TRUE", Qt::CaseInsensitive) == 0 ||
         text.compare(u"YES", Qt::CaseInsensitive) == 0;
}

}  // namespace kelvan::settings
