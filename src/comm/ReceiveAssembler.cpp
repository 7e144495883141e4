#include "comm/ReceiveAssembler.h"

namespace kelvan::comm {

ReceiveAssembler::Step ReceiveAssembler::Feed(uint8_t byte) {
  if (ended_) return Step::Percent;
  const bool control = code_ == TapeCode::Iso ? (byte == DC3 || byte == DC3Iso || byte == DC4)
                                              : byte == DC4;
  if (control) return Step::Control;
  const uint8_t c = Decode(code_, byte);
  if (c == 0) return Step::More;
  // ISO ends a block with LF and sends CR only as filler; EIA has only its end-of-block code.
  const bool endOfLine = code_ == TapeCode::Iso ? c == '\n' : c == '\r';
  if (c == '\r' && !endOfLine) return Step::More;
  if (c == '%') {
    if (firstPercent_) {
      firstPercent_ = false;
      buffer_.push_back('%');
      return Step::More;
    }
    if (!buffer_.empty()) lines_.push_back(std::move(buffer_));
    buffer_.clear();
    lines_.emplace_back("%");
    ended_ = true;
    return Step::Percent;
  }
  if (endOfLine) {
    EndLine();
    return Step::More;
  }
  if (c == ' ' && code_ == TapeCode::Eia && buffer_.empty()) return Step::More;
  buffer_.push_back(char(c));
  return Step::More;
}

void ReceiveAssembler::EndLine() {
  if (!buffer_.empty() && buffer_.back() == ' ') buffer_.pop_back();
  lines_.push_back(std::move(buffer_));
  buffer_.clear();
}

}  // namespace kelvan::comm
