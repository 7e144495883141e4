#include "report/SourceLineText.h"

#include "nc/LineSource.h"

namespace kelvan::report {

std::string SourceLineText(const nc::LineSource& lines, int32_t index, nc::TextEncoding encoding) {
  if (index < 0 || index >= lines.LineCount()) return {};
  return nc::DecodeToUtf8(lines.Line(index), encoding);
}

}  // namespace kelvan::report
