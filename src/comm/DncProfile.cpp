#include "comm/DncProfile.h"

#include <cstdint>
#include <iterator>

#include "comm/Trs232c.h"

namespace kelvan::comm {
namespace {

rsflowset FlowSet(int32_t xflow) {
  using F = FlowFlag;
  rsflowset set;
  if (xflow == 0 || xflow == 1) {
    set.Add(F::dfBinary).Add(F::dfOutxCtsFlow).Add(F::dfOutxDsrFlow).Add(F::dfOutX)
        .Add(F::dfInX).Add(F::dfErrorChar);
    if (xflow == 1) set.Add(F::dfDtrControl_b1);
  } else if (xflow == 2) {
    set.Add(F::dfBinary).Add(F::dfErrorChar);
  }
  return set;
}

}  // namespace

TransferOptions ApplyProfile(const DncProfile& p, Trs232c& port) {
  static constexpr const char* kPorts[] = {"COM1", "COM2", "COM3", "COM4"};
  if (p.CommPort >= 0 && p.CommPort < 4) port.portname = kPorts[p.CommPort];
  if (p.BaudRate >= 0 && p.BaudRate < int32_t(std::size(BaudRates))) port.bps = BaudRates[p.BaudRate];
  if (p.ByteSize == 0 || p.ByteSize == 1) port.charbit = p.ByteSize == 0 ? 7 : 8;
  if (p.StopBits == 0 || p.StopBits == 1) port.stopbit = p.StopBits == 0 ? "1" : "2";
  static constexpr const char* kParities[] = {"無し", "奇数", "偶数"};
  if (p.Parity >= 0 && p.Parity < 3) port.paritymode = kParities[p.Parity];
  port.SetFlow(FlowSet(p.XFlow));

  TransferOptions o;
  if (p.TimeOut >= 0) {
    port.rxtimeout = port.txtimeout = p.TimeOut;
    o.PacingMs = 0;
  } else {
    port.rxtimeout = port.txtimeout = 30000;
    o.PacingMs = p.TimeOut == INT32_MIN ? INT32_MAX : -p.TimeOut;
  }
  o.Code = p.NcCode == 0 ? TapeCode::Iso : TapeCode::Eia;
  o.Punch = p.OutMode == 1;
  o.FeedLen = p.FeedLen;
  o.DC2DC4 = p.DC2DC4;
  o.EOB = p.EOB;
  o.Standby = p.Standby;
  o.XFlow = p.XFlow;
  return o;
}

int32_t ProfileBaudRate(const DncProfile& p) {
  return p.BaudRate >= 0 && p.BaudRate < int32_t(std::size(BaudRates)) ? BaudRates[p.BaudRate] : 0;
}

int32_t BitsPerCharacter(const DncProfile& p) {
  const int32_t data = p.ByteSize == 0 ? 7 : 8;
  const int32_t parity = (p.Parity == 1 || p.Parity == 2) ? 1 : 0;
  const int32_t stop = p.StopBits == 1 ? 2 : 1;
  return 1 + data + parity + stop;
}

}  // namespace kelvan::comm
