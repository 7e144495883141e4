#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace kelvan::settings {

// A font as the settings store keeps it, in five values. The windows turn it into their
// font type; the store itself stays free of any window code.
struct FontSetting {
  QString name;       // face name
  int size = 0;       // points
  QString color;      // a colour identifier ("clBlack") or "$" and eight hex digits
  int style = 0;      // FontBold | FontItalic | FontUnderline | FontStrikeOut
  int charset = 0;    // character set number; 128 is Shift-JIS

  bool operator==(const FontSetting&) const = default;
};

inline constexpr int FontBold = 1;
inline constexpr int FontItalic = 2;
inline constexpr int FontUnderline = 4;
inline constexpr int FontStrikeOut = 8;

inline constexpr int ShiftJisCharset = 128;

// The font of the editors and of the printer before the user chooses one: "ＭＳ ゴシック"
// 15 pixels, which on a 96-dpi screen is 11 points. Where the face is not installed the
// windows substitute a Japanese fixed-pitch face.
FontSetting DesignFont();

// The colour a stored colour text stands for, as a $00BBGGRR value (red in the low byte),
// or nullopt when the text names no colour we know. Identifiers ignore letter case.
std::optional<uint32_t> ColorFromText(QStringView text);

// The text stored for a $00BBGGRR colour: its identifier when it has one, else "$" and
// eight upper-case hex digits.
QString ColorToText(uint32_t bgr);

}  // namespace kelvan::settings
