#pragma once

#include <cstdint>

#include "comm/DncProfile.h"

namespace kelvan::nc {
class NcText;
class PathList;
}  // namespace kelvan::nc

namespace kelvan::comm {

// Will the line keep up? What a send of the program costs at the profile's rate, and
// whether a machine that runs the program while it arrives (drip feeding) would have to
// wait for a block in the middle of a cut.
struct LineRateReport {
  int64_t Bytes = 0;            // on the wire: the lines, their ends of block, DC2/DC4, feeds
  int32_t Baud = 0;
  int32_t BitsPerChar = 0;
  double CharsPerSecond = 0;    // what the line delivers (pacing included)
  double TransferSeconds = 0;
  bool Starves = false;
  int32_t Line = -1;            // 0-based: the first block the machine waits for mid-cut
  double NeededCharsPerSecond = 0;  // what the run of blocks before it needs
};

// The machine is taken to start a block once the block has arrived whole and the block
// before it is done, and to buffer everything that arrives early. It starves where a
// block arrives after the cutting move before it has ended (lines that move nothing keep
// the tool where the last move left it). Blocks are timed by the analysis (`items`, per
// line in text order; subprograms are run where they stand); the transfer is taken to
// run from the start of the machine's first block.
LineRateReport CheckLineRate(const nc::NcText& text, const nc::PathList& items, const DncProfile& profile);

}  // namespace kelvan::comm
