#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comm/TapeCode.h"

namespace kelvan::comm {

// Turns the bytes a machine sends into program lines.
//
// A DC3 or DC4 ends the reception (in EIA only DC4: 0x13 is the digit 3 there). Dropped
// bytes and, in ISO, CR are ignored. The first '%' starts the line buffer; the next one
// ends the program: the buffer, if any, becomes a line and "%" the last. An LF (ISO) or
// the end-of-block code (EIA, which has no LF) ends a line, less one trailing space. In
// EIA the feed code reads as a space, so a space at the start of a line is leader and
// dropped.
class ReceiveAssembler {
 public:
  enum class Step {
    More,     // go on reading
    Percent,  // the closing '%' arrived: the program is complete
    Control,  // a DC3 or DC4 ended the reception; the partial line is dropped
  };

  explicit ReceiveAssembler(TapeCode code) : code_(code) {}

  Step Feed(uint8_t byte);

  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string> TakeLines() { return std::move(lines_); }
  const std::string& Partial() const { return buffer_; }
  // Whether any byte became text (a line or part of one).
  bool ReceivedText() const { return !lines_.empty() || !buffer_.empty(); }

 private:
  void EndLine();

  TapeCode code_;
  bool firstPercent_ = true;
  bool ended_ = false;
  std::string buffer_;
  std::vector<std::string> lines_;
};

}  // namespace kelvan::comm
