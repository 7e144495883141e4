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
  MachineProfile p;
  p.Machin = reg.ReadString(keys::Machin(n));
  p.CommPort = reg.ReadInteger(keys::CommPort(n));
  p.BaudRate = reg.ReadInteger(keys::BaudRate(n));
  p.ByteSize = reg.ReadInteger(keys::ByteSize(n));
  p.StopBits = reg.ReadInteger(keys::StopBits(n));
  p.Parity = reg.ReadInteger(keys::Parity(n));
  p.XFlow = reg.ReadInteger(keys::XFlow(n));
  p.NcCode = reg.ReadInteger(keys::NcCode(n));
  p.OutMode = reg.ReadInteger(keys::OutMode(n));
  p.FeedLen = reg.ReadInteger(keys::FeedLen(n));
  p.DC2DC4 = reg.ReadBool(keys::DC2DC4(n));
  p.EOB = reg.ReadInteger(keys::EOB(n));
  p.Standby = reg.ReadBool(keys::Standby(n));
  p.TimeOut = reg.ReadInteger(keys::TimeOut(n));
  return p;
}

void MachineProfile::Save(TRegManager& reg, int n) const {
  n = CheckedProfile(n);
  reg.WriteString(keys::Machin(n), Machin);
  reg.WriteInteger(keys::CommPort(n), CommPort);
  reg.WriteInteger(keys::BaudRate(n), BaudRate);
  reg.WriteInteger(keys::ByteSize(n), ByteSize);
  reg.WriteInteger(keys::StopBits(n), StopBits);
  reg.WriteInteger(keys::Parity(n), Parity);
  reg.WriteInteger(keys::XFlow(n), XFlow);
  reg.WriteInteger(keys::NcCode(n), NcCode);
  reg.WriteInteger(keys::OutMode(n), OutMode);
  reg.WriteInteger(keys::FeedLen(n), FeedLen);
  reg.WriteBool(keys::DC2DC4(n), DC2DC4);
  reg.WriteInteger(keys::EOB(n), EOB);
  reg.WriteBool(keys::Standby(n), Standby);
  reg.WriteInteger(keys::TimeOut(n), TimeOut);
}

comm::DncProfile MachineProfile::ToDnc() const {
  comm::DncProfile d;
  d.Machin = Machin.toStdString();
  d.CommPort = CommPort;
  d.BaudRate = BaudRate;
  d.ByteSize = ByteSize;
  d.StopBits = StopBits;
  d.Parity = Parity;
  d.XFlow = XFlow;
  d.NcCode = NcCode;
  d.OutMode = OutMode;
  d.FeedLen = FeedLen;
  d.DC2DC4 = DC2DC4;
  d.EOB = EOB;
  d.Standby = Standby;
  d.TimeOut = TimeOut;
  return d;
}

std::array<std::string, 4> LoadComDevices(const TRegManager& reg) {
  std::array<std::string, 4> paths;
  for (int n = 1; n <= ProfileCount; ++n) paths[size_t(n - 1)] = reg.ReadString(keys::ComDevice(n)).toStdString();
  return paths;
}

}  // namespace kelvan::settings
