#include "tools/ToolFrame.h"

#include "nc/Geometry.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "nc/FormatWordValue.h"

namespace kelvan::tools {

void LineWalk::ReserveAbout(ToolOutput& out, double factor) const {
  const int32_t count = lines_.LineCount();
  if (count == 0) return;
  // A few lines spread over the program stand for the length of them all.
  constexpr int32_t kSamples = 16;
  const int32_t stride = std::max<int32_t>(1, count / kSamples);
  size_t sampled = 0, total = 0;
  for (int32_t i = 0; i < count && sampled < kSamples; i += stride, ++sampled)
    total += lines_.Line(i).size() + 2;
  const double guess = static_cast<double>(total) / static_cast<double>(sampled) * count * factor;
  // Only a hint: an odd sample must not ask for more than a program can sensibly grow to.
  constexpr double kMostReserved = 1u << 30;
  try {
    out.Reserve(static_cast<size_t>(std::min(guess, kMostReserved)));
  } catch (const std::bad_alloc&) {
    // The text then grows as it goes.
  }
}

bool LineWalk::CopiedThrough() const {
  using nc::BlockAttr;
  if (attrs_.Has(BlockAttr::PercentLine) || attrs_.Has(BlockAttr::CommentLine) ||
      attrs_.Has(BlockAttr::EmptyLine) || attrs_.Has(BlockAttr::AssignmentLine))
    return true;
  return attrs_.Has(BlockAttr::BlockSkip) && options_.Tokenize.BlockSkipOn;
}

void AddLine(ToolOutput& out, const Block& b, std::string_view text, bool withComment) {
  if (b.Attrs.Has(nc::BlockAttr::BlockSkip)) out.Append("/");
  // A rebuilt text holds letters with their numbers (and perhaps a note of the tool's in
  // parentheses), so an 'N' before any "(" is the sequence number.
  const size_t n = text.substr(0, text.find('(')).find('N');
  if (n != std::string_view::npos && n > 0) {
    size_t end = n + 1;
    while (end < text.size() && !(text[end] >= 'A' && text[end] <= 'Z') && text[end] != '(') ++end;
    out.Append(text.substr(n, end - n));
    out.Append(text.substr(0, n));
    out.Append(text.substr(end));
  } else {
    out.Append(text);
  }
  if (withComment) {
    const size_t paren = b.Text.find('(');
    if (paren != std::string_view::npos) out.Append(b.Text.substr(paren));
  }
  out.EndLine();
}

void AppendWord(std::string& out, char letter, double value, int decimals) {
  nc::AppendWord(out, nc::NcWord{letter, value}, decimals);
}

void AppendValue(std::string& out, char letter, double value, int decimals) {
  nc::AppendWordValue(out, std::string_view(&letter, 1), true, value, decimals);
}

bool HasWord(const Block& b, char letter, int code) {
  for (int w = 0; w < b.Words.WordCount; ++w) {
    const nc::NcWord& word = b.Words.Words[w];
    if (word.Letter == letter && (code < 0 || Code(word.Value) == code)) return true;
  }
  return false;
}

int Code(double value) { return nc::TruncToInt(value); }

bool CallBoundaries::StartsSubprogram(const Block& b) {
  bool sub = false;
  if (HasWord(b, 'O', -1)) {
    sub = seenProgram_ || ended_;
    seenProgram_ = true;
  }
  if (HasWord(b, 'M', 2) || HasWord(b, 'M', 30)) ended_ = true;
  return sub;
}

}  // namespace kelvan::tools
