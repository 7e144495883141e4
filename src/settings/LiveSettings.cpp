#include "settings/LiveSettings.h"

#include "nc/NcWord.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"

namespace kelvan::settings {

LiveSettings::LiveSettings(QObject* parent) : QObject(parent) {}

int LiveSettings::Decimals() const { return nc::DecimalsForFloatPos(FloatPos); }

void LiveSettings::Load(const TRegManager& reg) {
  // A stored index outside the three choices counts as the default, as the value unit
  // set at start does.
  FloatPos = StartSettings::FloatPosFromStored(reg.ReadInteger(u"FloatPos"));
  ErrorTags = reg.ReadStrings(u"ErrorTag");
  MakeBack = reg.ReadBool(u"MakeBack");
  HoleDisp = reg.ReadBool(u"HoleDisp");
  ShowG00 = reg.ReadBool(u"ShowG00");
  ShowArrow = reg.ReadBool(u"ShowArrow");
  ShowPos = reg.ReadBool(u"ShowPos");
  emit Changed();
}

}  // namespace kelvan::settings
