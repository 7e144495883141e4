#pragma once

#include <QString>

#include <array>
#include <string>

#include "comm/DncProfile.h"

namespace kelvan::settings {

class TRegManager;

// One of the four machine profiles of the DNC transfer, as stored: the keys are the field
// names followed by the profile digit ("XFlow3"). The integers are the item indexes of the
// settings dialog's choices; the transfer gives them their meaning.
struct MachineProfile {
  QString Machin;     // machine name
  int CommPort = 0;   // COM1..COM4
  int BaudRate = 0;   // 1200 .. 256000
  int ByteSize = 0;   // 7, 8 bits
  int StopBits = 0;   // 1, 2 bits
  int Parity = 0;     // none, odd, even
  int XFlow = 2;      // RTS/CTS, DTR/DSR, XON/XOFF
  int NcCode = 0;     // ISO, EIA
  int OutMode = 0;    // DNC, tape punch
  int FeedLen = 0;    // feed length for the punch
  bool DC2DC4 = true;
  int EOB = 1;        // LF, CR+LF, LF+CR, LF+CR+CR
  bool Standby = true;
  int TimeOut = 300;

  // Profile n is 1..4; another n is our own bug (asserts) and loads profile 1.
  static MachineProfile Load(const TRegManager& reg, int n);
  void Save(TRegManager& reg, int n) const;

  // The profile as the transfer takes it.
  comm::DncProfile ToDnc() const;
};

// The device paths of "COM1" .. "COM4".
std::array<std::string, 4> LoadComDevices(const TRegManager& reg);

}  // namespace kelvan::settings
