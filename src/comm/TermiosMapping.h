#pragma once

// The internal half of Trs232c that needs no device: how the published properties become a
// termios record plus the few things termios cannot express, and the filter received
// bytes pass through. Kept apart from the device code so the mapping can be checked
// without a serial port.

#include <cstddef>
#include <cstdint>
#include <string>

struct termios;

namespace kelvan::comm {

class Trs232c;

// What reads do to the received bytes before the caller sees them.
struct RxFilter {
  bool discardNul = false;    // flag bit 11: NUL bytes are dropped and do not count
  bool markedErrors = false;  // PARMRK is on: undo its marking (see RxDecoder)
  uint8_t errorChar = 0;      // what a marked byte becomes
};

// What Open does beside applying the termios record.
struct LinePlan {
  int32_t customBaud = 0;  // a rate without a termios constant, set through termios2; 0 none
  int dtr = 1;             // 1 raise DTR, 0 drop it
  int rts = 1;             // 1 raise RTS, 0 drop it, -1 leave it to the kernel (CRTSCTS)
  bool waitDsr = false;    // writes wait for DSR (flag bit 3)
  RxFilter filter;
  std::string error;       // not empty: the properties cannot be applied, and why
};

// Turns `t`, the device's current record, into the one Open applies: raw mode, speed,
// frame and the flag word. Fields a property leaves alone keep the device's value.
LinePlan MapLineSettings(const Trs232c& port, termios& t);

// Undoes what the line discipline does to received bytes under the settings of a
// LinePlan. With PARMRK a byte received with a parity or framing error (or a break)
// arrives as 0xFF 0x00 X and a real 0xFF as 0xFF 0xFF; the first becomes the error
// character, the second one 0xFF. A sequence split over two reads is completed by the
// next Feed. Decoded bytes wait in the decoder until taken.
class RxDecoder {
 public:
  explicit RxDecoder(RxFilter filter = {}) : filter_(filter) {}
  void Feed(const uint8_t* raw, size_t count);
  // Moves at most `room` decoded bytes to `out`; returns how many.
  size_t Take(uint8_t* out, size_t room);
  size_t Ready() const { return ready_.size() - taken_; }
  void Clear();

 private:
  void Emit(uint8_t byte);

  RxFilter filter_;
  std::string pending_;  // the start of a mark sequence: 0xFF, or 0xFF 0x00
  std::string ready_;
  size_t taken_ = 0;     // bytes of ready_ already taken
};

}  // namespace kelvan::comm
