// Decimal-point removal and blank-line removal.

#include <cmath>
#include <string>

#include "nc/FormatWordValue.h"
#include "tools/Tools.h"

namespace kelvan::tools {

namespace {

// The coordinate letters, read in least increments and written as integer counts of them.
bool IsCounted(char letter) {
  switch (letter) {
    case 'I': case 'J': case 'Q': case 'R': case 'U': case 'V': case 'W': case 'X': case 'Y': case 'Z':
      return true;
    default:
      return false;
  }
}

}  // namespace

ToolResult RemoveDecimalPoints(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress) {
  ToolResult r(options);
  RewriteBlocks(lines, options, progress, r, [&](const Block& b, int32_t) {
    std::string text;
    for (int w = 0; w < b.Words.WordCount; ++w) {
      const nc::NcWord& word = b.Words.Words[w];
      if (IsCounted(word.Letter)) {
        nc::AppendWordValue(text, std::string_view(&word.Letter, 1), false, word.Value, options.Decimals);
      } else if (word.Letter == 'K') {
        // K is a repeat count, read as written: scaled, K3 would become K3000, and a second
        // run K3000000.
        text += "K" + std::to_string(Code(word.Value));
      } else {
        AppendWord(text, word.Letter, word.Value, options.Decimals);
      }
    }
    AddLine(r.Output, b, text);
    return true;
  });
  return r;
}

ToolResult RemoveBlankLines(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress) {
  ToolResult r(options);
  ProgressCounter counter(progress);
  const int32_t count = lines.LineCount();
  for (int32_t i = 0; i < count; ++i) {
    counter.Step();
    const std::string_view line = lines.Line(i);
    if (!line.empty()) r.Output.Add(line);
  }
  counter.Finish();
  return r;
}

}  // namespace kelvan::tools
