#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nc/RowMarks.h"

namespace kelvan::nc {

// The program text as the analysis and the reports read it: an ordered list of lines of
// 8-bit bytes. Reading is all they do; what the analysis finds out about the lines (the
// row marks) it returns as data.
class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual int32_t LineCount() const = 0;
  // The line without its line end; valid until the text changes.
  virtual std::string_view Line(int32_t index) const = 0;
};

// Lines held in memory.
class StringLineSource : public LineSource {
 public:
  StringLineSource() = default;
  explicit StringLineSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  int32_t LineCount() const override { return static_cast<int32_t>(lines_.size()); }
  std::string_view Line(int32_t index) const override { return lines_[static_cast<size_t>(index)]; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace kelvan::nc
