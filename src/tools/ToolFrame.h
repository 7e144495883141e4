#pragma once
// What every conversion tool shares: its options, its output, its error, and the walk over
// the program's lines that tokenises each one and copies through the lines the tools leave
// alone.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "nc/LineSource.h"
#include "nc/NcWord.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

namespace kelvan::tools {

// What a tool reads besides the lines and its own parameters.
struct ToolOptions {
  nc::TokenizeOptions Tokenize;  // value unit, error-avoidance words, block-skip toggle
  int Decimals = 3;              // of the decimal-point form, 2, 3 or 4 by "FloatPos"
  double AtcHeight = 500;        // the Z a program starts at
  std::string LineEnd = "\n";    // written after every line of the result
};

// The lines a tool writes, in one buffer, each followed by the line end.
class ToolOutput {
 public:
  void SetLineEnd(std::string_view end) { end_ = end; }
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  void Add(std::string_view line) {
    text_.append(line);
    text_ += end_;
    ++lines_;
  }
  // A line written in parts: Append them, then EndLine.
  void Append(std::string_view part) { text_.append(part); }
  void EndLine() {
    text_ += end_;
    ++lines_;
  }
  int64_t LineCount() const { return lines_; }
  // Every line followed by the line end.
  const std::string& Text() const { return text_; }
  std::string& Text() { return text_; }
  const std::string& LineEnd() const { return end_; }

 private:
  std::string text_;
  std::string end_ = "\n";
  int64_t lines_ = 0;
};

// Why a tool stopped: a line the tokenizer rejects ("構文エラー") or, for the expansion and
// the roughing, a result too large to be written.
struct ToolError {
  bool Failed = false;
  int32_t Line = 0;    // 0-based
  int32_t Column = 0;  // 0-based, in the line's bytes
  std::string Message; // UTF-8, for the status bar
};

// The outcome of a tool: its lines (on failure, those written before the fault, as the work
// buffer keeps them) and its error.
struct ToolResult {
  ToolResult() = default;
  explicit ToolResult(const struct ToolOptions& options) { Output.SetLineEnd(options.LineEnd); }
  ToolOutput Output;
  ToolError Error;
  bool Ok() const { return !Error.Failed; }
};

// Told the number of lines handled so far, now and then; it may be called from the thread
// that runs the tool. Empty for none.
using Progress = std::function<void(int64_t done)>;

inline constexpr std::string_view kSyntaxError = "構文エラー";
// A value a tool computed (a rotation, a distance) beyond the range of numbers: written,
// it would be no number, and the program could not be read again.
inline constexpr std::string_view kValueOutOfRange = "計算した値が範囲を超えます";

// Counts the lines handled and tells `progress` every 1024 of them and at the end.
class ProgressCounter {
 public:
  explicit ProgressCounter(const Progress& progress) : progress_(progress) {}
  void Step() {
    if ((++done_ & 1023) == 0 && progress_) progress_(done_);
  }
  void Finish() {
    if (progress_) progress_(done_);
  }

 private:
  const Progress& progress_;
  int64_t done_ = 0;
};

// One tokenised block as a tool sees it.
struct Block {
  std::string_view Text;
  const nc::NcWordTable& Words;
  const nc::BlockAttributes& Attrs;
};

// Walks over the lines: tokenises each; a tokenizer error ends the walk with kSyntaxError
// at its line and column (false). Comment, "%", empty and assignment lines, and block-skip
// lines while the toggle is down (the tokenizer then reads no words and the block would
// be lost), are handed to `copy` (which usually writes them unchanged); every other line
// to `rebuild`, which writes what the tool makes of it.
class LineWalk {
 public:
  LineWalk(const nc::LineSource& lines, const ToolOptions& options, ProgressCounter& progress)
      : lines_(lines), options_(options), progress_(progress) {}

  // Room in out for about as much text as the lines hold, so that a large result is not
  // copied as it grows (and held twice meanwhile).
  void ReserveAbout(ToolOutput& out, double factor = 1.1) const;

  template <class Copy, class Rebuild>
  bool Run(ToolError& error, Copy&& copy, Rebuild&& rebuild) {
    const int32_t count = lines_.LineCount();
    for (int32_t i = 0; i < count; ++i) {
      progress_.Step();
      const std::string_view text = lines_.Line(i);
      nc::TokenizeBlock(text, options_.Tokenize, calc_, state_, words_, tokenizeError_, attrs_);
      if (tokenizeError_.Failed) {
        error = {true, i, tokenizeError_.Column, std::string(kSyntaxError)};
        return false;
      }
      if (CopiedThrough()) {
        copy(text, attrs_);
        continue;
      }
      if (!rebuild(Block{text, words_, attrs_}, i)) return false;
    }
    return true;
  }

  int32_t LineCount() const { return lines_.LineCount(); }

 private:
  bool CopiedThrough() const;

  const nc::LineSource& lines_;
  const ToolOptions& options_;
  ProgressCounter& progress_;
  nc::TEasyCalc calc_;
  nc::MachineState state_;
  nc::NcWordTable words_;
  nc::TokenizeError tokenizeError_;
  nc::BlockAttributes attrs_;
};

// The run of a tool that rewrites the program block by block into r.Output: what passes
// through is copied, every block goes to `rebuild(block, line)` (false stops the tool,
// with r.Error saying why), and the progress is told. `reserve` is the expected size of
// the output against the program's.
template <class Rebuild>
void RewriteBlocks(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress, ToolResult& r,
                   Rebuild&& rebuild, double reserve = 1.1) {
  ProgressCounter counter(progress);
  LineWalk walk(lines, options, counter);
  walk.ReserveAbout(r.Output, reserve);
  walk.Run(
      r.Error, [&](std::string_view text, const nc::BlockAttributes&) { r.Output.Add(text); }, rebuild);
  counter.Finish();
}

// The fault of a block whose computed value is beyond range.
inline ToolError OutOfRange(int32_t line) { return {true, line, 0, std::string(kValueOutOfRange)}; }

// Appends a line rebuilt from block b (words without spaces, as the tools write them):
// - a block-skip block keeps its "/", so that what the control may skip stays skippable
//   (without it the block would always run);
// - the sequence number goes first, where controls look for it, wherever the tool wrote it;
// - with `withComment`, the block's comment (from its first "(" to the end of the line)
//   follows, so that neither the machinist's notes nor a tool comment (which gives the
//   tool radius) are lost. A block written as several lines takes it on the first only.
void AddLine(ToolOutput& out, const Block& b, std::string_view text, bool withComment = true);

// A word in its letter's write-back format: integers for A B C D E F G H L M N O P S T,
// the decimal-point form for I J K Q R U V W X Y Z.
void AppendWord(std::string& out, char letter, double value, int decimals);
// The decimal-point form of a value after a letter ("Z-5.0").
void AppendValue(std::string& out, char letter, double value, int decimals);
// The integer part of a word's value, for G and M codes.
int Code(double value);
// Whether the block has a word of `letter` (of code `code` unless that is -1).
bool HasWord(const Block& b, char letter, int code);

// Where the text order stops telling what a program's state is: a subprogram runs from
// wherever it is called, and a call returns wherever the subprogram left the tool, with
// the subprogram's G90 or G91. A tool that works from positions (the incremental
// conversion, the rotation) forgets them there.
class CallBoundaries {
 public:
  // Whether block b is a subprogram's program number: one after the first, or after the
  // main program's end.
  bool StartsSubprogram(const Block& b);
  // Whether the state after block b is the called subprogram's.
  static bool Calls(const Block& b) { return HasWord(b, 'M', 98); }

 private:
  bool seenProgram_ = false;
  bool ended_ = false;
};

// The messages of a block whose values the text order cannot give: the tool stops there.
// Short, for the status bar; the manual says where this happens.
inline constexpr std::string_view kUnknownMode = "G90／G91 が分からないため変換できません";
inline constexpr std::string_view kUnknownPosition = "前の位置が分からないため変換できません";

}  // namespace kelvan::tools
