#pragma once

#include "nc/LineSource.h"
#include "nc/NcText.h"

namespace kelvan::nc {

// The lines of a loaded file as the analysis reads them.
class NcTextLineSource : public LineSource {
 public:
  explicit NcTextLineSource(const NcText& text) : text_(text) {}

  int32_t LineCount() const override { return text_.LineCount(); }
  std::string_view Line(int32_t index) const override { return text_.Line(index); }

 private:
  const NcText& text_;
};

}  // namespace kelvan::nc
