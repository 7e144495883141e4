#include "nc/TokenizeBlock.h"

#include <charconv>
#include <cmath>
#include <string>

#include "nc/PathList.h"
#include "nc/TEasyCalc.h"

namespace kelvan::nc {

namespace {

constexpr std::string_view kAttrNames[] = {
    "HasA", "HasB", "HasC", "HasD", "HasE", "HasF", "HasG", "HasH", "HasI", "HasJ",
    "HasK", "HasL", "HasM", "HasN", "HasO", "HasP", "HasQ", "HasR", "HasS", "HasT",
    "HasU", "HasV", "HasW", "HasX", "HasY", "HasZ", "G43Given", "RefReturn", "G92Given",
    "PercentLine", "CommentLine", "EmptyLine", "ProgramEndM02", "AssignmentLine",
    "BlockSkip", "CycleCode", "CycleCancel", "ToolComment"};
static_assert(std::size(kAttrNames) == BlockAttrCount);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Converts the whole text as a decimal number; false when any of it is left over, when
// it holds no digits, or when the number is out of range.
bool ToDouble(std::string_view text, double& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
  return ec == std::errc() && ptr == last;
}

// The integer part of a G value, or -1 when it is far outside any G code.
int IntegerPart(double v) { return std::fabs(v) < 1e6 ? static_cast<int>(v) : -1; }

// Step 3 of a block: a tool comment '(T...-<diameter>' gives the tool radius.
void ReadToolComment(std::string_view line, MachineState& state, BlockAttributes& attrs) {
  const size_t t = line.find("(T");
  if (t == std::string_view::npos) return;
  const std::string_view after = line.substr(t + 2);
  const size_t dash = after.find('-');
  if (dash == std::string_view::npos) return;
  const std::string_view rest = after.substr(dash + 1);
  size_t n = 0;
  while (n < rest.size() && (IsDigit(rest[n]) || rest[n] == '.')) ++n;
  double diameter = 0;
  if (!ToDouble(rest.substr(0, n), diameter)) diameter = 0;
  state.ToolRadius = diameter / 2;
  attrs.Set(BlockAttr::ToolComment);
}

void ApplyLetter(NcWord& word, bool hasDecimalPoint, double valueUnit, BlockAttributes& attrs) {
  const char letter = word.Letter;
  switch (letter) {
    case 'I': case 'J': case 'R': case 'X': case 'Y': case 'Z':
      attrs.Set(static_cast<BlockAttr>(letter - 'A'));
      [[fallthrough]];
    case 'Q': case 'U': case 'V': case 'W':
      if (!hasDecimalPoint) word.Value *= valueUnit;
      break;
    case 'A': case 'B': case 'C': case 'K': case 'L': case 'O': case 'P':
      attrs.Set(static_cast<BlockAttr>(letter - 'A'));
      break;
    case 'G': {
      const int g = IntegerPart(word.Value);
      if (g >= 28 && g <= 30) attrs.Set(BlockAttr::RefReturn);
      else if (g == 43) attrs.Set(BlockAttr::G43Given);
      else if ((g >= 73 && g <= 76) || (g >= 81 && g <= 89)) attrs.Set(BlockAttr::CycleCode);
      else if (g == 80) attrs.Set(BlockAttr::CycleCancel);
      else if (g == 92) attrs.Set(BlockAttr::G92Given);
      break;
    }
    case 'M':
      if (word.Value == 2) attrs.Set(BlockAttr::ProgramEndM02);
      break;
    default:
      break;
  }
}

// The scan of one word's value. Positions are indexes into the original line.
struct ValueScan {
  bool ok = false;
  size_t next = 0;     // where the next word starts
  int32_t column = 0;  // the fault's column when !ok
  double value = 0;
  bool hasDecimalPoint = false;
};

// "[...]" after the letter: digits, '.', '+', '-', '*', '/' go to the calculator; spaces
// are skipped; ']' ends the value, any other character ends it where it stands.
ValueScan ScanBracketValue(std::string_view s, size_t open, size_t end, bool negative,
                           TEasyCalc& calc) {
  constexpr size_t kMaxExpression = 255;  // the calculator's own limit
  char text[kMaxExpression + 1];
  size_t len = 0;
  bool tooLong = false;
  size_t k = open + 1;
  bool closed = false;
  for (; k < end; ++k) {
    const char c = s[k];
    if (IsDigit(c) || c == '.' || c == '+' || c == '-' || c == '*' || c == '/') {
      if (len < kMaxExpression) text[len++] = c; else tooLong = true;
    } else if (c == ']') {
      closed = true;
      break;
    } else if (c != ' ') {
      break;
    }
  }
  ValueScan r;
  r.column = static_cast<int32_t>(k) - 1;
  const std::string_view expr(text, len);
  double v = 0;
  if (len == 0 || expr == "-" || tooLong || !calc.Evaluate(expr, v)) return r;
  r.ok = true;
  r.value = negative ? -v : v;
  r.hasDecimalPoint = true;  // a bracketed value is never scaled
  r.next = k;
  if (closed) {
    ++r.next;
    while (r.next < end && s[r.next] == ' ') ++r.next;
  }
  return r;
}

// A plain value: digits, '-' and '.', with spaces skipped ('X1 0' reads X10).
ValueScan ScanPlainValue(std::string_view s, size_t letterPos, size_t start, size_t end) {
  size_t k = start;
  size_t chars = 0;
  bool spaces = false;
  for (; k < end; ++k) {
    const char c = s[k];
    if (IsDigit(c) || c == '-' || c == '.') ++chars;
    else if (c == ' ') spaces = true;
    else break;
  }
  ValueScan r;
  r.next = k;
  r.column = static_cast<int32_t>(k) - 1;
  std::string_view text = s.substr(start, k - start);
  std::string joined;  // only for values written with spaces inside, which are rare
  if (spaces) {
    joined.reserve(chars);
    for (char c : text) if (c != ' ') joined.push_back(c);
    text = joined;
  }
  if (text.empty() || text == "-") return r;
  r.hasDecimalPoint = text.find('.') != std::string_view::npos;
  if (!ToDouble(text, r.value)) {
    // Text such as '1-2' or '1.2.3' passes the character filter but is no number: it is a
    // syntax fault of this word, not a reason to abandon the whole operation.
    r.column = static_cast<int32_t>(letterPos);
    return r;
  }
  r.ok = true;
  return r;
}

void Fail(TokenizeError& error, size_t column) {
  error.Failed = true;
  error.Column = static_cast<int32_t>(column);
}

// Steps 8 to 11: the block after comments and the skip mark are gone, as [begin, end) of s.
void ScanWords(std::string_view s, size_t begin, size_t end, const TokenizeOptions& options,
               TEasyCalc& calc, NcWordTable& words, TokenizeError& error, BlockAttributes& attrs) {
  const std::string_view body = s.substr(begin, end - begin);
  for (std::string_view pair : {"..", "--", "++", "+-", "-+"}) {
    const size_t p = body.find(pair);
    if (p != std::string_view::npos) return Fail(error, begin + p);
  }
  if (body.find('%') != std::string_view::npos) return attrs.Set(BlockAttr::PercentLine);
  if (body.find('=') != std::string_view::npos) return attrs.Set(BlockAttr::AssignmentLine);

  size_t i = begin;
  while (i < end) {
    const char c = s[i];
    if (c == ' ') { ++i; continue; }
    if (c < 'A' || c > 'Z') return Fail(error, i);
    // A block of more words than the table holds fails at its first surplus word rather
    // than losing words silently.
    if (words.WordCount >= MaxWordsPerBlock) return Fail(error, i);
    NcWord& word = words.Words[words.WordCount];
    word.Letter = c;
    size_t j = i + 1;
    bool negative = false;
    if (j + 1 < end && s[j] == '-' && s[j + 1] == '[') {
      negative = true;
      ++j;
    }
    const ValueScan v = (j < end && s[j] == '[') ? ScanBracketValue(s, j, end, negative, calc)
                                                 : ScanPlainValue(s, i, j, end);
    if (!v.ok) return Fail(error, static_cast<size_t>(v.column));
    word.Value = v.value;
    ApplyLetter(word, v.hasDecimalPoint, options.ValueUnit, attrs);
    ++words.WordCount;
    i = v.next;
  }
}

}  // namespace

std::string_view BlockAttrName(BlockAttr a) {
  const int i = static_cast<int>(a);
  return i >= 0 && i < BlockAttrCount ? kAttrNames[i] : std::string_view();
}

double ValueUnitForFloatPos(int floatPos) {
  switch (floatPos) {
    case 0: return 0.01;
    case 2: return 0.0001;
    default: return 0.001;
  }
}

int DecimalsForFloatPos(int floatPos) {
  switch (floatPos) {
    case 0: return 2;
    case 2: return 4;
    default: return 3;
  }
}

void TokenizeBlock(std::string_view line, const TokenizeOptions& options, TEasyCalc& calc,
                   MachineState& state, NcWordTable& words, TokenizeError& error,
                   BlockAttributes& attrs) {
  error = TokenizeError{};
  attrs.Clear();
  words.WordCount = 0;
  if (line.empty()) return attrs.Set(BlockAttr::EmptyLine);
  if (line[0] == ';') return attrs.Set(BlockAttr::CommentLine);
  ReadToolComment(line, state, attrs);

  // The block is [begin, end) of the line; deleting text only moves these bounds, so
  // every column stays an index into the line as it was passed in.
  size_t begin = 0;
  size_t end = line.size();
  const size_t paren = line.find('(');
  if (paren != std::string_view::npos) {
    if (paren == 0) return attrs.Set(BlockAttr::CommentLine);
    end = paren;  // no closing-parenthesis handling: the rest of the line is comment
  }
  for (const std::string& tag : options.ErrorTags) {
    if (!tag.empty() && line.substr(0, end).find(tag) != std::string_view::npos)
      return attrs.Set(BlockAttr::CommentLine);
  }
  if (end > 0 && line[0] == '/') {
    attrs.Set(BlockAttr::BlockSkip);
    if (options.BlockSkipOn) return;
    begin = 1;
  }
  if (begin >= end) return attrs.Set(BlockAttr::EmptyLine);
  ScanWords(line, begin, end, options, calc, words, error, attrs);
}

}  // namespace kelvan::nc
