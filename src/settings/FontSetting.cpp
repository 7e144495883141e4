#include "settings/FontSetting.h"

#include <array>

namespace kelvan::settings {

namespace {

// Colour identifiers that stored fonts use. The system colours ("clWindowText", ...) are
// resolved to the values of the classic light desktop theme; `system` is their index
// in the "$FF0000nn" form, -1 for the fixed colours.
struct NamedColor {
  const char16_t* ident;
  uint32_t bgr;
  int system;
};

constexpr std::array<NamedColor, 27> kColors{{
    {u"clBlack", 0x000000, -1},      {u"clMaroon", 0x000080, -1},
    {u"clGreen", 0x008000, -1},      {u"clOlive", 0x008080, -1},
    {u"clNavy", 0x800000, -1},       {u"clPurple", 0x800080, -1},
    {u"clTeal", 0x808000, -1},       {u"clGray", 0x808080, -1},
    {u"clSilver", 0xC0C0C0, -1},     {u"clRed", 0x0000FF, -1},
    {u"clLime", 0x00FF00, -1},       {u"clYellow", 0x00FFFF, -1},
    {u"clBlue", 0xFF0000, -1},       {u"clFuchsia", 0xFF00FF, -1},
    {u"clAqua", 0xFFFF00, -1},       {u"clWhite", 0xFFFFFF, -1},
    {u"clMoneyGreen", 0xC0DCC0, -1}, {u"clSkyBlue", 0xF0CAA6, -1},
    {u"clCream", 0xF0FBFF, -1},      {u"clMedGray", 0xA4A0A0, -1},
    {u"clWindow", 0xFFFFFF, 5},      {u"clWindowText", 0x000000, 8},
    {u"clHighlight", 0xD77800, 13},  {u"clHighlightText", 0xFFFFFF, 14},
    {u"clBtnFace", 0xF0F0F0, 15},    {u"clGrayText", 0x6D6D6D, 17},
    {u"clBtnText", 0x000000, 18},
}};

std::optional<uint32_t> ColorFromHex(QStringView digits) {
  if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
  bool ok = false;
  const uint32_t v = digits.toUInt(&ok, 16);
  if (!ok) return std::nullopt;
  const uint32_t high = v >> 24;
  // High byte 0 is a plain colour, 2 a palette-relative one of the same RGB.
  if (high == 0 || high == 2) return v & 0xFFFFFF;
  if (high == 0xFF) {
    for (const NamedColor& c : kColors)
      if (c.system >= 0 && static_cast<uint32_t>(c.system) == (v & 0xFFFFFF)) return c.bgr;
  }
  return std::nullopt;
}

}  // namespace

FontSetting DesignFont() {
  return FontSetting{QString::fromUtf8("ＭＳ ゴシック"), 11, QStringLiteral("clWindowText"), 0,
                     ShiftJisCharset};
}

std::optional<uint32_t> ColorFromText(QStringView text) {
  const QStringView t = text.trimmed();
  if (t.startsWith(u'$')) return ColorFromHex(t.mid(1));
  for (const NamedColor& c : kColors)
    if (t.compare(QStringView(c.ident), Qt::CaseInsensitive) == 0) return c.bgr;
  return std::nullopt;
}

QString ColorToText(uint32_t bgr) {
  for (const NamedColor& c : kColors)
    if (c.system < 0 && c.bgr == bgr) return QString::fromUtf16(c.ident);
  return QStringLiteral("$%1").arg(bgr, 8, 16, QLatin1Char('0')).toUpper();
}

}  // namespace kelvan::settings
