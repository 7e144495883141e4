#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvan::nc {

// Row marks that the analysis puts on lines; the editor shows them as images in its bar.
enum RowMark : int { MarkBlockSkip = 10, MarkM00 = 11, MarkM01 = 12 };

// The program text as the analysis reads it: an ordered list of lines of 8-bit bytes,
// with row marks. The editor implements it over its own buffer, so an analysis never
// copies the whole text.
class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual int32_t LineCount() const = 0;
  // The line without its line end; valid until the text changes.
  virtual std::string_view Line(int32_t index) const = 0;
  // Removes marks 10, 11 and 12 from the line.
  virtual void ClearRowMarks(int32_t index) = 0;
  virtual void SetRowMark(int32_t index, RowMark mark) = 0;
};

// Lines held in memory, with the marks kept as bits (10 -> 1, 11 -> 2, 12 -> 4).
class StringLineSource : public LineSource {
 public:
  StringLineSource() = default;
  explicit StringLineSource(std::vector<std::string> lines)
      : lines_(std::move(lines)), marks_(lines_.size(), 0) {}

  int32_t LineCount() const override { return static_cast<int32_t>(lines_.size()); }
  std::string_view Line(int32_t index) const override { return lines_[static_cast<size_t>(index)]; }
  void ClearRowMarks(int32_t index) override { marks_[static_cast<size_t>(index)] = 0; }
  void SetRowMark(int32_t index, RowMark mark) override {
    marks_[static_cast<size_t>(index)] |= static_cast<uint8_t>(1u << (mark - MarkBlockSkip));
  }
  bool HasRowMark(int32_t index, RowMark mark) const {
    return (marks_[static_cast<size_t>(index)] >> (mark - MarkBlockSkip)) & 1u;
  }

 private:
  std::vector<std::string> lines_;
  std::vector<uint8_t> marks_;
};

}  // namespace kelvan::nc
