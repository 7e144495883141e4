#pragma once

#include <cstdint>
#include <string>

#include "comm/TapeCode.h"

namespace kelvan::comm {

class Trs232c;

// One machine profile as the store keeps it: item indexes of the settings pages.
struct DncProfile {
  std::string Machin;    // the machine's name
  int32_t CommPort = 0;  // 0..3: "COM1".."COM4"
  int32_t BaudRate = 0;  // index into BaudRates
  int32_t ByteSize = 0;  // 0: 7 data bits, 1: 8
  int32_t StopBits = 0;  // 0: one, 1: two
  int32_t Parity = 0;    // 0 none, 1 odd, 2 even
  int32_t XFlow = 2;     // 0 RTS/CTS, 1 DTR/DSR, 2 XON/XOFF
  int32_t NcCode = 0;    // 0 ISO, any other EIA
  int32_t OutMode = 0;   // 1 paper-tape punch, any other DNC
  int32_t FeedLen = 0;   // feed characters before and after the program (punch only)
  bool DC2DC4 = true;    // DC2 before the program and DC4 after it
  int32_t EOB = 1;       // ISO end of block: 0 LF, 1 CR+LF, 2 LF+CR, 3 LF+CR+CR
  bool Standby = true;   // wait for the machine's start code instead of asking the user
  int32_t TimeOut = 300; // ms; below 0: pacing delay before each byte, port time-outs 30 s
};

// The baud rates of the profile's BaudRate items.
inline constexpr int32_t BaudRates[] = {1200, 2400, 4800, 9600, 14400, 38400, 56000, 115200, 128000, 256000};

// What the transfer loops take from the profile.
struct TransferOptions {
  TapeCode Code = TapeCode::Iso;
  bool Punch = false;          // paper-tape punch mode: feeds, no start wait
  int32_t FeedLen = 0;
  bool DC2DC4 = true;
  int32_t EOB = 1;
  bool Standby = true;
  int32_t XFlow = 2;
  int32_t PacingMs = 0;        // wait before each byte
  // How long a send paused by the machine's DC3 waits for its DC1. A machine pauses while
  // its buffer drains, which at a slow feed takes minutes; this only catches a machine
  // that has gone silent.
  int32_t XoffHoldMs = 600000;
  bool SoftwareFlow() const { return XFlow == 2; }
};

// Sets the port's properties from the profile (a value outside its items leaves the
// property as it was) and returns the transfer options. The flow set is cleared and then
// set: RTS/CTS 0x70D, DTR/DSR 0x72D, XON/XOFF 0x401, anything else empty.
TransferOptions ApplyProfile(const DncProfile& profile, Trs232c& port);

// The bits one character takes on the line: start, data, parity and stop bits.
int32_t BitsPerCharacter(const DncProfile& profile);
// The baud rate of the profile; 0 for an index outside the items.
int32_t ProfileBaudRate(const DncProfile& profile);

}  // namespace kelvan::comm
