#include "print/ApplyStoredPrintSettings.h"

namespace kelvan::print {

void ApplyStoredPageSettings(const settings::PrintSettings& stored, StringsPrinterSettings& out) {
  out.MarginTop = stored.MarginTop;
  out.MarginBottom = stored.MarginBottom;
  out.MarginLeft = stored.MarginLeft;
  out.MarginRight = stored.MarginRight;
  out.Header = stored.Header;
  out.Footer = stored.Footer;
}

void ApplyStoredFont(const settings::FontSetting& font, StringsPrinterSettings& out) {
  if (!font.name.isEmpty()) out.FontName = font.name;
  if (font.size > 0) out.FontSize = font.size;
  const uint32_t bgr = settings::ColorFromText(font.color).value_or(0);
  out.FontColor = QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                         static_cast<int>((bgr >> 16) & 0xFF));
}

EconomyPrint StoredEconomy(const settings::PrintSettings& stored) {
  return {stored.EconoPrint, stored.EconoPrintRow, stored.EconoPrintCol};
}

}  // namespace kelvan::print
