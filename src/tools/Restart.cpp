#include "tools/Restart.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"
#include "tools/ModalTracker.h"
#include "tools/RestartPreamble.h"

namespace kelvan::tools {

namespace {

using nc::BlockAttr;

constexpr std::string_view kLineOutOfRange = "指定の行がプログラムにありません";
constexpr std::string_view kNoBlock = "この行から後に実行するブロックがありません";
constexpr std::string_view kFaultBefore = "再開行より前で解析が止まります: ";
constexpr std::string_view kFaultAt = "再開する行で解析が止まります: ";
constexpr std::string_view kNotExecuted = "この行はメインプログラムの終わりより後にあり、実行されません";
constexpr std::string_view kInSubprogram =
    "サブプログラムの中の行からは再開できません（呼び出しの行から再開してください）";
constexpr std::string_view kTooLong = "この行に着くまでに読むブロックが多すぎます";
constexpr std::string_view kListFull = "経路リストの容量が足りません";
constexpr std::string_view kMismatch = "再開したプログラムの経路が元のプログラムと一致しません";

// One analysis with everything it needs of its own.
struct Analysis {
  explicit Analysis(int32_t capacity) : Path(capacity) {}
  nc::TEasyCalc Calc;
  nc::PathList Path;
  nc::MachineState State;
  nc::RowMarks Marks;
  nc::AnalysisResult Result;
  void Run(const nc::LineSource& lines, const nc::AnalyseOptions& options) {
    Result = nc::AnalyseProgram(lines, options, Calc, Path, State, Marks);
  }
};

// The analysis of the original program, run on a second thread while the restart is built
// (or at once where no thread can be started).
class Background {
 public:
  Background(Analysis& a, const nc::LineSource& lines, const nc::AnalyseOptions& options) {
    auto run = [&a, &lines, &options, this] {
      try {
        a.Run(lines, options);
      } catch (...) {
        error_ = std::current_exception();
      }
    };
    try {
      thread_ = std::thread(run);
    } catch (const std::system_error&) {
      run();
    }
  }
  ~Background() {
    if (thread_.joinable()) thread_.join();
  }
  void Wait() {
    if (thread_.joinable()) thread_.join();
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
  }

 private:
  std::thread thread_;
  std::exception_ptr error_;
};

// The restarted program as the analysis reads it: the lines above the program's own, then
// the program from the restart line on, without copying it.
class JoinedLines : public nc::LineSource {
 public:
  JoinedLines(const std::vector<std::string>& head, const nc::LineSource& tail, int32_t from)
      : head_(head), tail_(tail), from_(from) {}
  int32_t LineCount() const override {
    return static_cast<int32_t>(head_.size()) + tail_.LineCount() - from_;
  }
  std::string_view Line(int32_t index) const override {
    const auto h = static_cast<int32_t>(head_.size());
    return index < h ? std::string_view(head_[static_cast<size_t>(index)]) : tail_.Line(index - h + from_);
  }

 private:
  const std::vector<std::string>& head_;
  const nc::LineSource& tail_;
  int32_t from_;
};

// What a line is to the tokenizer, with no effect on anything else.
struct LineKind {
  bool Failed = false, Block = false, Percent = false;
  int32_t Column = 0;  // of a syntax fault
  nc::NcWordTable Words;
};

LineKind Classify(std::string_view text, const nc::TokenizeOptions& options) {
  static thread_local nc::TEasyCalc calc;
  nc::MachineState scratch;
  nc::TokenizeError error;
  nc::BlockAttributes a;
  LineKind k;
  nc::TokenizeBlock(text, options, calc, scratch, k.Words, error, a);
  k.Failed = error.Failed;
  k.Column = error.Column;
  k.Percent = a.Has(BlockAttr::PercentLine);
  const bool skipped = a.Has(BlockAttr::BlockSkip) && options.BlockSkipOn;
  k.Block = !error.Failed && !skipped && !k.Percent && !a.Has(BlockAttr::CommentLine) &&
            !a.Has(BlockAttr::EmptyLine) && !a.Has(BlockAttr::AssignmentLine);
  return k;
}

// The first block (or faulty line, which the restarted program then stops at as the
// program does) at or after `line`; -1 when there is none.
int32_t BlockFrom(const nc::LineSource& lines, int32_t line, const nc::TokenizeOptions& options, LineKind& kind) {
  for (int32_t i = line; i < lines.LineCount(); ++i) {
    kind = Classify(lines.Line(i), options);
    if (kind.Failed || kind.Block) return i;
  }
  return -1;
}

bool SetsMotion(const LineKind& k) {
  for (int w = 0; w < k.Words.WordCount; ++w) {
    const nc::NcWord& word = k.Words.Words[w];
    if (word.Letter == 'G' && word.Value >= 0 && word.Value < 4) return true;
  }
  return false;
}

// The program's leading "%" line and its O number line (one that holds nothing but the O
// word and perhaps a sequence number): they stay on top of the restarted program.
struct Head {
  std::vector<std::string> Lines;
  int32_t End = 0;  // the line after the last of them
};

Head Header(const nc::LineSource& lines, const nc::TokenizeOptions& options) {
  Head head;
  for (int32_t i = 0; i < lines.LineCount(); ++i) {
    const std::string_view text = lines.Line(i);
    const LineKind k = Classify(text, options);
    if (k.Failed) break;
    if (k.Percent) {
      if (i > 0) continue;
      head.Lines.emplace_back(text);
      head.End = 1;
      continue;
    }
    if (!k.Block) continue;
    bool onlyO = false;
    for (int w = 0; w < k.Words.WordCount; ++w) {
      const char letter = k.Words.Words[w].Letter;
      if (letter == 'O') {
        onlyO = true;
      } else if (letter != 'N') {
        onlyO = false;
        break;
      }
    }
    if (onlyO) {
      head.Lines.emplace_back(text);
      head.End = i + 1;
    }
    break;
  }
  return head;
}

bool Near(double a, double b) { return std::fabs(a - b) <= 1e-6 + 4e-7 * std::max(std::fabs(a), std::fabs(b)); }

bool SameItem(const nc::PathItem& a, const nc::PathItem& b) {
  if (a.Kind != b.Kind) return false;
  for (int i = 0; i < 8; ++i)
    if (!Near(a.Values[i], b.Values[i])) return false;
  return Near(a.CutLength, b.CutLength) && Near(a.RapidLength, b.RapidLength) && Near(a.Time, b.Time);
}

RestartResult& Refuse(RestartResult& r, RestartRefusal why, int32_t line, std::string_view message,
                      int32_t column = 0) {
  r.Refusal = why;
  r.FaultLine = line;
  r.FaultColumn = column;
  r.Message = message;
  r.Output = ToolOutput();
  return r;
}

// The program's line of an item of the restarted program.
int32_t OriginalLine(int32_t restartedLine, int32_t head, int32_t line) {
  return restartedLine >= head ? restartedLine - head + line : line;
}

// The restarted program's path from the block on against the original's from the items the
// tracker counted before the line: the same items, and the same end.
bool Verify(const Analysis& original, const Analysis& restarted, int64_t itemsBefore, int32_t head, int32_t line,
            int32_t block, RestartResult& r) {
  const nc::AnalysisResult& ro = original.Result;
  const nc::AnalysisResult& rr = restarted.Result;
  const bool sameEnd = ro.Code == rr.Code && (ro.Ok() || (rr.Line >= head && rr.Line - head + line == ro.Line));
  if (sameEnd && !ro.Ok() && ro.Line == block) {
    // The restarted program would stop at once, at its first block.
    Refuse(r, RestartRefusal::Fault, ro.Line, std::string(kFaultAt) + std::string(nc::AnalysisMessage(ro.Code)),
           ro.Column);
    return false;
  }
  if (!sameEnd) {
    if (!ro.Ok()) {
      Refuse(r, RestartRefusal::Fault, ro.Line, std::string(kFaultBefore) + std::string(nc::AnalysisMessage(ro.Code)),
             ro.Column);
    } else {
      Refuse(r, RestartRefusal::Mismatch, OriginalLine(rr.Line, head, line), kMismatch);
    }
    return false;
  }
  const nc::PathList& a = original.Path;
  const nc::PathList& b = restarted.Path;
  if (a.Count >= a.Capacity || b.Count >= b.Capacity) {
    Refuse(r, RestartRefusal::ListFull, line, kListFull);
    return false;
  }
  int32_t p = 0;
  while (p < b.Count && b[p].Line < head) ++p;
  const int64_t tail = b.Count - p;
  if (itemsBefore + tail != a.Count) {
    // The first item that has no partner names the place.
    int32_t at = line;
    for (int64_t i = 0; i < tail && itemsBefore + i < a.Count; ++i) {
      at = a[static_cast<int32_t>(itemsBefore + i)].Line;
      if (!SameItem(a[static_cast<int32_t>(itemsBefore + i)], b[static_cast<int32_t>(p + i)])) break;
    }
    Refuse(r, RestartRefusal::Mismatch, at, kMismatch);
    return false;
  }
  for (int64_t i = 0; i < tail; ++i) {
    const nc::PathItem& x = a[static_cast<int32_t>(itemsBefore + i)];
    const nc::PathItem& y = b[static_cast<int32_t>(p + i)];
    if (!SameItem(x, y) || (y.Line >= head && OriginalLine(y.Line, head, line) != x.Line)) {
      Refuse(r, RestartRefusal::Mismatch, x.Line, kMismatch);
      return false;
    }
  }
  return true;
}

// The tracker's outcome as a refusal; false when the line is reached.
bool Refused(const TrackResult& t, int32_t line, RestartResult& r) {
  switch (t.Outcome) {
    case TrackResult::Reached: return false;
    case TrackResult::NotExecuted: Refuse(r, RestartRefusal::NotExecuted, line, kNotExecuted); break;
    case TrackResult::InSubprogram: Refuse(r, RestartRefusal::InSubprogram, t.Line, kInSubprogram); break;
    case TrackResult::TooLong: Refuse(r, RestartRefusal::TooLong, line, kTooLong); break;
    case TrackResult::Fault:
      Refuse(r, RestartRefusal::Fault, t.Line, std::string(kFaultBefore) + std::string(nc::AnalysisMessage(t.Code)),
             t.Column);
      break;
  }
  return true;
}

}  // namespace

int32_t PathCapacityFor(int32_t lineCount, int32_t given) {
  const int64_t wanted = std::max<int64_t>(given, 2 * int64_t{lineCount} + 1024);
  return static_cast<int32_t>(std::min<int64_t>(wanted, nc::MaxPathCapacity));
}

RestartResult RestartFromLine(const nc::LineSource& lines, int32_t line, const RestartOptions& options) {
  RestartResult r;
  r.Output.SetLineEnd(options.Tool.LineEnd);
  r.Line = line;
  const int32_t count = lines.LineCount();
  if (line < 0 || line >= count) return std::move(Refuse(r, RestartRefusal::LineOutOfRange, line, kLineOutOfRange));

  nc::AnalyseOptions analyse;
  analyse.Tokenize = options.Tool.Tokenize;
  analyse.AtcHeight = options.Tool.AtcHeight;
  analyse.WorkHeight = options.WorkHeight;
  // A restart at the "%" or O number line on top is one at the line after them: they stay
  // above the preamble.
  Head head = Header(lines, analyse.Tokenize);
  if (line < head.End) line = r.Line = head.End;
  LineKind block;
  const int32_t first = line < count ? BlockFrom(lines, line, analyse.Tokenize, block) : -1;
  if (first < 0) return std::move(Refuse(r, RestartRefusal::NoBlock, std::min(line, count - 1), kNoBlock));
  if (block.Failed) {
    // A block that cannot be read is no place to start from.
    return std::move(Refuse(r, RestartRefusal::Fault, first,
                            std::string(kFaultAt) + std::string(nc::AnalysisMessage(nc::ErrSyntax)), block.Column));
  }

  const int32_t capacity = PathCapacityFor(count, options.Capacity);
  auto original = std::make_unique<Analysis>(capacity);
  Background background(*original, lines, analyse);

  const TrackResult t = TrackToLine(lines, line, analyse, nc::MaxBlocksAnalysed(count, capacity));
  if (Refused(t, line, r)) return r;
  if (t.ItemsBefore >= capacity) return std::move(Refuse(r, RestartRefusal::ListFull, line, kListFull));

  PreambleSettings settings;
  settings.Line = line;
  settings.AtcHeight = options.Tool.AtcHeight;
  settings.Decimals = options.Tool.Decimals;
  settings.Clearance = options.Clearance;
  settings.LeadIn = options.LeadIn;
  settings.BlockSetsMotion = SetsMotion(block);
  for (const std::string& h : head.Lines) settings.ToolCommentAbove |= h.find("(T") != std::string::npos;
  PreambleResult pre = BuildPreamble(t.State, settings);
  if (pre.Refusal != RestartRefusal::None) return std::move(Refuse(r, pre.Refusal, line, pre.Message));
  std::vector<std::string> top = std::move(head.Lines);
  top.insert(top.end(), std::make_move_iterator(pre.Lines.begin()), std::make_move_iterator(pre.Lines.end()));
  const auto topCount = static_cast<int32_t>(top.size());

  const JoinedLines joined(top, lines, line);
  auto restarted = std::make_unique<Analysis>(capacity + topCount);
  restarted->Run(joined, analyse);
  background.Wait();
  if (!Verify(*original, *restarted, t.ItemsBefore, topCount, line, first, r)) return r;

  r.PreambleLines = topCount;
  size_t bytes = 0;
  for (int32_t i = line; i < count; ++i) bytes += lines.Line(i).size() + options.Tool.LineEnd.size();
  r.Output.Reserve(bytes + 64 * top.size());
  for (const std::string& h : top) r.Output.Add(h);
  for (int32_t i = line; i < count; ++i) r.Output.Add(lines.Line(i));
  return r;
}

}  // namespace kelvan::tools
