#include "settings/StartSettings.h"

#include "nc/NcWord.h"
#include "nc/PathList.h"
#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"
#include "settings/ValueText.h"

namespace kelvan::settings {

double StartSettings::AtcHeightFromText(QStringView text) { return DecimalOr(text, 500.0); }

double StartSettings::GridSizeFromText(QStringView text) {
  const double g = DecimalOr(text, 50.0);
  return g < 1.0 ? 1.0 : g;
}

double StartSettings::ScaleFacFromText(QStringView text) {
  const double f = DecimalOr(text, 2.0);
  return (f < 1.0 || f > 2.0) ? 2.0 : f;
}

int StartSettings::FloatPosFromStored(int stored) {
  return (stored >= 0 && stored <= 2) ? stored : 1;
}

uint32_t StartSettings::CompareColorFromText(QStringView text) { return ColorFromText(text).value_or(0x00FF00); }

double StartSettings::CompareToleranceFromText(QStringView text) {
  const std::optional<double> t = ParseDecimal(text);
  return (!t || !(*t >= 0) || *t > 1000) ? 0.001 : *t;
}

StartSettings StartSettings::Load(const TRegManager& reg) {
  StartSettings s;
  s.Folda = reg.ReadString(keys::Folda);
  s.PathCapacity = nc::CapacityFromBufSize(reg.ReadInteger(keys::BufSize));
  s.AtcHeight = AtcHeightFromText(reg.ReadDecimal(keys::AtcHight));
  s.FloatPos = FloatPosFromStored(reg.ReadInteger(keys::FloatPos));
  s.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  s.Decimals = nc::DecimalsForFloatPos(s.FloatPos);
  s.BlockSkip = reg.ReadBool(keys::BlockSkip);
  s.MaxWindow = reg.ReadBool(keys::MaxWindow);
  s.GridSize = GridSizeFromText(reg.ReadDecimal(keys::GridSize));
  s.ScaleFac = ScaleFacFromText(reg.ReadDecimal(keys::ScaleFac));
  reg.ReadFont(keys::Font, s.Font);
  s.ToolBar = reg.ReadInteger(keys::ToolBar);
  s.Split = reg.ReadInteger(keys::Split);
  // Empty entries (an item value gone missing) name no file; the menu shows ten at most.
  for (const QString& path : reg.ReadStrings(keys::History)) {
    if (s.History.size() >= MaxHistory) break;
    if (!path.isEmpty()) s.History.append(path);
  }
  for (int n = 1; n <= CommandCount; ++n) s.Commands.append(reg.ReadString(keys::Command(n)));
  s.ShowSuperHole = reg.ReadBool(keys::ShowSuperHole);
  s.CompareColor = CompareColorFromText(reg.ReadString(keys::CompareColor));
  s.CompareTolerance = CompareToleranceFromText(reg.ReadDecimal(keys::CompareTolerance));
  return s;
}

}  // namespace kelvan::settings
