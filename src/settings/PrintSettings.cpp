#include "settings/PrintSettings.h"

#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"

namespace kelvan::settings {

PrintSettings PrintSettings::Load(const TRegManager& reg) {
  PrintSettings p;
  p.MarginTop = reg.ReadInteger(keys::MarginTop);
  p.MarginBottom = reg.ReadInteger(keys::MarginBottom);
  p.MarginLeft = reg.ReadInteger(keys::MarginLeft);
  p.MarginRight = reg.ReadInteger(keys::MarginRight);
  p.Header = reg.ReadString(keys::Header);
  p.Footer = reg.ReadString(keys::Footer);
  p.EconoPrint = reg.ReadBool(keys::EconoPrint);
  p.EconoPrintRow = reg.ReadInteger(keys::EconoPrintRow);
  p.EconoPrintCol = reg.ReadInteger(keys::EconoPrintCol);
  reg.ReadFont(keys::PrintFont, p.PrintFont);
  return p;
}

}  // namespace kelvan::settings
