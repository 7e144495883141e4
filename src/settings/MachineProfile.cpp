#include "settings/MachineProfile.h"

#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"

namespace kelvan::settings {

namespace {

int CheckedProfile(int n) {
  Q_ASSERT_X(n >= 1 && n <= ProfileCount, "MachineProfile", "profile number out of range");
  return (n >= 1 && n <= ProfileCount) ? n : 1;
}

}  // namespace

MachineProfile MachineProfile::Load(const TRegManager& reg, int n) {
  n = CheckedProfile(n);
  auto key = [n](const char16_t* base) { return ProfileKey(QStringView(base), n); };
  MachineProfile p;
  p.Machin = reg.ReadString(key(u"Machin"));
  p.CommPort = reg.ReadInteger(key(u"CommPort"));
  p.BaudRate = reg.ReadInteger(key(u"BaudRate"));
  p.ByteSize = reg.ReadInteger(key(u"ByteSize"));
  p.StopBits = reg.ReadInteger(key(u"StopBits"));
  p.Parity = reg.ReadInteger(key(u"Parity"));
  p.XFlow = reg.ReadInteger(key(u"XFlow"));
  p.NcCode = reg.ReadInteger(key(u"NcCode"));
  p.OutMode = reg.ReadInteger(key(u"OutMode"));
  p.FeedLen = reg.ReadInteger(key(u"FeedLen"));
  p.DC2DC4 = reg.ReadBool(key(u"DC2DC4"));
  p.EOB = reg.ReadInteger(key(u"EOB"));
  p.Standby = reg.ReadBool(key(u"Standby"));
  p.TimeOut = reg.ReadInteger(key(u"TimeOut"));
  return p;
}

void MachineProfile::Save(TRegManager& reg, int n) const {
  n = CheckedProfile(n);
  auto key = [n](const char16_t* base) { return ProfileKey(QStringView(base), n); };
  reg.WriteString(key(u"Machin"), Machin);
  reg.WriteInteger(key(u"CommPort"), CommPort);
  reg.WriteInteger(key(u"BaudRate"), BaudRate);
  reg.WriteInteger(key(u"ByteSize"), ByteSize);
  reg.WriteInteger(key(u"StopBits"), StopBits);
  reg.WriteInteger(key(u"Parity"), Parity);
  reg.WriteInteger(key(u"XFlow"), XFlow);
  reg.WriteInteger(key(u"NcCode"), NcCode);
  reg.WriteInteger(key(u"OutMode"), OutMode);
  reg.WriteInteger(key(u"FeedLen"), FeedLen);
  reg.WriteBool(key(u"DC2DC4"), DC2DC4);
  reg.WriteInteger(key(u"EOB"), EOB);
  reg.WriteBool(key(u"Standby"), Standby);
  reg.WriteInteger(key(u"TimeOut"), TimeOut);
}

}  // namespace kelvan::settings
