#include "cli/Output.h"

#include "nc/NcText.h"

namespace kelvan::cli {

int WriteProgram(std::string& text, const std::string& lineEnd, const nc::NcText& file,
                 const std::optional<std::string>& path) {
  const bool finalEnd = file.LineCount() == 0 || file.End(file.LineCount() - 1) != nc::LineEnd::None;
  if (!finalEnd && text.size() >= lineEnd.size() &&
      text.compare(text.size() - lineEnd.size(), lineEnd.size(), lineEnd) == 0)
    text.resize(text.size() - lineEnd.size());
  if (!path) {
    WriteOut(text);
    return 0;
  }
  std::string error;
  if (!nc::WriteFileAtomically(*path, text, error)) {
    std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
    return 2;
  }
  return 0;
}

}  // namespace kelvan::cli
