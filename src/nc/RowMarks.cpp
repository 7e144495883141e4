#include "nc/RowMarks.h"

namespace kelvan::nc {

void RowMarks::Reset(int32_t lineCount) {
  lineCount_ = lineCount < 0 ? 0 : lineCount;
  bits_.clear();
}

void RowMarks::Set(int32_t line, RowMark mark) {
  if (line < 0 || line >= lineCount_ || mark < MarkBlockSkip || mark > MarkM01) return;
  if (bits_.empty()) bits_.assign(static_cast<size_t>(lineCount_), 0);
  bits_[static_cast<size_t>(line)] |= static_cast<uint8_t>(1u << (mark - MarkBlockSkip));
}

uint8_t RowMarks::Bits(int32_t line) const {
  if (line < 0 || static_cast<size_t>(line) >= bits_.size()) return 0;
  return bits_[static_cast<size_t>(line)];
}

bool RowMarks::Has(int32_t line, RowMark mark) const {
  if (mark < MarkBlockSkip || mark > MarkM01) return false;
  return (Bits(line) >> (mark - MarkBlockSkip)) & 1u;
}

}  // namespace kelvan::nc
