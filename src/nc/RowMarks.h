#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvan::nc {

// Row marks that the analysis gives lines; the editor shows them as images in its bar,
// and a continuous run stops at the M00 and M01 marks.
enum RowMark : int { MarkBlockSkip = 10, MarkM00 = 11, MarkM01 = 12 };

// The row marks of one analysis: which lines hold a skipped block, an M00 or an M01. The
// analysis writes them here and nowhere else; whoever shows the text applies them. Marks
// are rare, so the per-line bits are only allocated at the first mark.
class RowMarks {
 public:
  // No marks, for a text of lineCount lines.
  void Reset(int32_t lineCount);
  // Lines outside the text and other marks are ignored.
  void Set(int32_t line, RowMark mark);
  bool Has(int32_t line, RowMark mark) const;
  // The marks of a line as bits: 1 << (mark - MarkBlockSkip).
  uint8_t Bits(int32_t line) const;
  int32_t LineCount() const { return lineCount_; }
  bool Empty() const { return bits_.empty(); }

  // Calls f(line, bits) for every marked line, in line order.
  template <class F>
  void ForEach(F&& f) const {
    for (int32_t i = 0; i < static_cast<int32_t>(bits_.size()); ++i)
      if (bits_[static_cast<size_t>(i)] != 0) f(i, bits_[static_cast<size_t>(i)]);
  }

 private:
  int32_t lineCount_ = 0;
  std::vector<uint8_t> bits_;  // empty until the first mark, then one byte per line
};

}  // namespace kelvan::nc
