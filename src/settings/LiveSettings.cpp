#include "settings/LiveSettings.h"

#include "nc/NcWord.h"
#include "settings/StartSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"

namespace kelvan::settings {

LiveSettings::LiveSettings(QObject* parent) : QObject(parent) {}

int LiveSettings::Decimals() const { return nc::DecimalsForFloatPos(FloatPos); }

void LiveSettings::Load(const TRegManager& reg) {
  // A stored index outside the three choices counts as the default, as the value unit
  // set at start does.
  FloatPos = StartSettings::FloatPosFromStored(reg.ReadInteger(keys::FloatPos));
  ErrorTags = reg.ReadStrings(keys::ErrorTag);
  MakeBack = reg.ReadBool(keys::MakeBack);
  HoleDisp = reg.ReadBool(keys::HoleDisp);
  ShowG00 = reg.ReadBool(keys::ShowG00);
  ShowArrow = reg.ReadBool(keys::ShowArrow);
  ShowPos = reg.ReadBool(keys::ShowPos);
  emit Changed();
}

}  // namespace kelvan::settings
