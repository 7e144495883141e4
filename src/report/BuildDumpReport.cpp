#include "report/BuildDumpReport.h"

#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "report/FormatFixed.h"
#include "report/SourceLineText.h"

namespace kelvan::report {

std::vector<std::string> BuildDumpReport(const nc::PathList& path, const nc::LineSource& lines,
                                         nc::TextEncoding encoding) {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(path.Count) * 2);
  for (const nc::PathItem& it : path) {
    const std::string text = SourceLineText(lines, it.Line, encoding);
    if (it.Kind == nc::PathKind::pkToolComment) out.push_back(text);
    std::string line = std::to_string(it.Line) + ":" + text;
    // The item's own machining time stands beside its length: that is what a reader
    // checking the analysis compares, and it is the same on every run.
    if (it.CutLength > 0)
      line += " Leng:" + FormatFixed(it.CutLength, 7, 5) + " Time:" + FormatFixed(it.Time, 7, 5);
    out.push_back(std::move(line));
    out.emplace_back();
  }
  return out;
}

}  // namespace kelvan::report
