#include "report/BuildToolsReport.h"

#include "nc/LineSource.h"
#include "report/SourceLineText.h"

namespace kelvan::report {

std::vector<std::string> BuildToolsReport(const nc::LineSource& lines, nc::TextEncoding encoding,
                                          std::string_view fileName) {
  std::vector<std::string> out{"使用工具レポート", std::string(fileName), ""};
  for (int32_t i = 0; i < lines.LineCount(); ++i) {
    // Both markers are ASCII, and a Shift-JIS trail byte is never '(' (0x28), so a
    // byte search cannot match inside a Japanese character.
    const std::string_view raw = lines.Line(i);
    const bool post = raw.find("(POST") != std::string_view::npos;
    const bool tool = raw.find("(T") != std::string_view::npos;
    if (!post && !tool) continue;
    const std::string text = SourceLineText(lines, i, encoding);
    if (post) out.push_back(text);
    if (tool) out.push_back(text);
  }
  return out;
}

}  // namespace kelvan::report
