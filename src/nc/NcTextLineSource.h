#pragma once

#include <vector>

#include "nc/LineSource.h"
#include "nc/NcText.h"

namespace kelvan::nc {

// The lines of a loaded file as the analysis reads them; the marks are kept beside them.
class NcTextLineSource : public LineSource {
 public:
  explicit NcTextLineSource(const NcText& text)
      : text_(text), marks_(static_cast<size_t>(text.LineCount()), 0) {}

  int32_t LineCount() const override { return text_.LineCount(); }
  std::string_view Line(int32_t index) const override { return text_.Line(index); }
  void ClearRowMarks(int32_t index) override { marks_[static_cast<size_t>(index)] = 0; }
  void SetRowMark(int32_t index, RowMark mark) override {
    marks_[static_cast<size_t>(index)] |= static_cast<uint8_t>(1u << (mark - MarkBlockSkip));
  }

 private:
  const NcText& text_;
  std::vector<uint8_t> marks_;
};

}  // namespace kelvan::nc
