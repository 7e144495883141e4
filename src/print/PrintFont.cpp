#include "print/PrintFont.h"

#include <QStringList>

namespace kelvan::print {

QFont PrintFont(const StringsPrinterSettings& s) {
  QFont font(s.FontName);
  QStringList families{s.FontName};
  if (s.FontName != QLatin1String(kJapaneseFallbackFont))
    families << QString::fromLatin1(kJapaneseFallbackFont);
  font.setFamilies(families);
  font.setPointSizeF(s.FontSize > 0 ? s.FontSize : 11);
  return font;
}

}  // namespace kelvan::print
