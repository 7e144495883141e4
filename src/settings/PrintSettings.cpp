#include "settings/PrintSettings.h"

#include "settings/TRegManager.h"

namespace kelvan::settings {

PrintSettings PrintSettings::Load(const TRegManager& reg) {
  PrintSettings p;
  p.MarginTop = reg.ReadInteger(u"MarginTop");
  p.MarginBottom = reg.ReadInteger(u"MarginBottom");
  p.MarginLeft = reg.ReadInteger(u"MarginLeft");
  p.MarginRight = reg.ReadInteger(u"MarginRight");
  p.Header = reg.ReadString(u"Header");
  p.Footer = reg.ReadString(u"Footer");
  p.EconoPrint = reg.ReadBool(u"EconoPrint");
  p.EconoPrintRow = reg.ReadInteger(u"EconoPrintRow");
  p.EconoPrintCol = reg.ReadInteger(u"EconoPrintCol");
  reg.ReadFont(u"PrintFont", p.PrintFont);
  return p;
}

}  // namespace kelvan::settings
