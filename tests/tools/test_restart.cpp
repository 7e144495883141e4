// Restart from a line: the path from the restart block on is the program's own, the
// preamble restores what the path cannot show (plane, compensation, tool, spindle, coolant)
// in a safe order, and what cannot be restarted exactly is refused with its reason.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"
#include "tools/ModalTracker.h"
#include "tools/Restart.h"
#include "tools/RestartPreamble.h"
#include "ProgramText.h"

using namespace kelvan;
using test::Data;
using test::ReadProgram;
using test::Split;
using tools::RestartRefusal;

namespace {

struct Analysed {
  nc::PathList Path{200000};
  nc::AnalysisResult Result;
};

std::unique_ptr<Analysed> Analyse(const std::vector<std::string>& lines, const tools::RestartOptions& o) {
  auto a = std::make_unique<Analysed>();
  nc::AnalyseOptions options;
  options.Tokenize = o.Tool.Tokenize;
  options.AtcHeight = o.Tool.AtcHeight;
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::RowMarks marks;
  a->Result = nc::AnalyseProgram(nc::StringLineSource(lines), options, calc, a->Path, state, marks);
  return a;
}

bool Near(float a, float b) { return std::fabs(a - b) <= 1e-4 + 1e-6 * std::fabs(a); }

// The restarted program, analysed on its own, must give the original's items from the
// restart line on. Where they start in the original is found without the restart's own
// bookkeeping: the program with that line turned into M02 stops right there.
void ExpectSamePath(const std::vector<std::string>& lines, const tools::RestartResult& r,
                    const tools::RestartOptions& o, const std::string& where) {
  const auto original = Analyse(lines, o);
  std::vector<std::string> cut = lines;
  cut[static_cast<size_t>(r.Line)] = "M02";
  const int32_t before = Analyse(cut, o)->Path.Count - 1;
  const auto restarted = Analyse(Split(r.Output.Text()), o);
  ASSERT_EQ(restarted->Result.Code, original->Result.Code) << where;
  int32_t p = 0;
  while (p < restarted->Path.Count && restarted->Path[p].Line < r.PreambleLines) ++p;
  ASSERT_EQ(restarted->Path.Count - p, original->Path.Count - before) << where;
  for (int32_t i = 0; i < original->Path.Count - before; ++i) {
    const nc::PathItem& a = original->Path[before + i];
    const nc::PathItem& b = restarted->Path[p + i];
    const std::string at = where + " item " + std::to_string(i);
    ASSERT_EQ(a.Kind, b.Kind) << at;
    if (b.Line >= r.PreambleLines) {
      ASSERT_EQ(a.Line, b.Line - r.PreambleLines + r.Line) << at;
    }
    for (int v = 0; v < 8; ++v) ASSERT_TRUE(Near(a.Values[v], b.Values[v])) << at << " value " << v;
    ASSERT_TRUE(Near(a.CutLength, b.CutLength) && Near(a.RapidLength, b.RapidLength) && Near(a.Time, b.Time)) << at;
  }
}

// The words of a line, as the tokenizer reads them.
nc::NcWordTable Words(const std::string& line) {
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::NcWordTable words;
  nc::TokenizeError error;
  nc::BlockAttributes attrs;
  nc::TokenizeBlock(line, nc::TokenizeOptions(), calc, state, words, error, attrs);
  return words;
}

bool Has(const nc::NcWordTable& w, char letter, double value = NAN) {
  for (int i = 0; i < w.WordCount; ++i)
    if (w.Words[i].Letter == letter && (std::isnan(value) || std::trunc(w.Words[i].Value) == value)) return true;
  return false;
}

// What every preamble keeps to, whatever the state: G43/G44 comes with the first move in Z;
// spindle and coolant come before any feed move; cutter compensation never starts on a
// move in Z; G91 comes with or after the last move of the preamble, never before one.
void ExpectSafeOrder(const std::vector<std::string>& out, int32_t preamble, const std::string& where) {
  int firstZ = -1, firstFeed = -1, lastMove = -1, firstG91 = -1, length = -1, spindle = -1;
  for (int i = 0; i < preamble; ++i) {
    const nc::NcWordTable w = Words(out[static_cast<size_t>(i)]);
    bool cycle = false;  // a cycle stored without drilling (L0): no move
    for (int g = 73; g <= 89; ++g) cycle |= Has(w, 'G', g);
    const bool moves = !cycle && (Has(w, 'X') || Has(w, 'Y') || Has(w, 'Z'));
    if (Has(w, 'G', 92)) continue;
    if (Has(w, 'Z') && !cycle && firstZ < 0) firstZ = i;
    if (Has(w, 'G', 1) && firstFeed < 0) firstFeed = i;
    if (moves) lastMove = i;
    if (Has(w, 'G', 91) && firstG91 < 0) firstG91 = i;
    if (Has(w, 'G', 43) || Has(w, 'G', 44)) length = i;
    if (Has(w, 'M', 3) || Has(w, 'M', 4) || Has(w, 'M', 7) || Has(w, 'M', 8)) spindle = std::max(spindle, i);
    if ((Has(w, 'G', 41) || Has(w, 'G', 42)) && Has(w, 'Z')) ADD_FAILURE() << where << ": compensation on a Z move";
  }
  if (length >= 0 && firstZ >= 0) {
    EXPECT_EQ(length, firstZ) << where << ": length compensation not on the first Z move";
  }
  if (firstFeed >= 0) {
    EXPECT_LT(spindle, firstFeed) << where << ": spindle or coolant after the feed move";
  }
  if (firstG91 >= 0) {
    EXPECT_GE(firstG91, lastMove) << where << ": G91 before a move of the approach";
  }
}

}  // namespace

// Every line of several programs: a restart either reproduces the path from there on, in a
// safe order, or is refused for the reason the table gives (0-based lines).
TEST(Restart, ReproducesThePathFromEveryLine) {
  using R = RestartRefusal;
  const struct {
    const char* file;
    std::map<int, R> refused;
    std::map<int, R> refusedWithSkip = {};  // besides, while the block-skip toggle is down
  } cases[] = {
      {"../../examples/sample.nc",
       {{55, R::InSubprogram}, {56, R::InSubprogram}, {57, R::InSubprogram}, {58, R::InSubprogram},
        {59, R::InSubprogram}, {60, R::InSubprogram}, {61, R::InSubprogram}, {62, R::InSubprogram},
        {63, R::InSubprogram}, {64, R::NoBlock}}},
      {"subprogram.nc",
       {{7, R::InSubprogram}, {8, R::InSubprogram}, {9, R::InSubprogram}, {10, R::InSubprogram},
        {11, R::InSubprogram}, {12, R::InSubprogram}, {13, R::InSubprogram}, {14, R::NoBlock}}},
      {"restart_incremental.nc", {{17, R::NoBlock}}},
      {"restart_plane.nc", {}},
      {"restart_comp.nc", {}},
      {"restart_cycle.nc", {}},
      {"restart_g92.nc", {}},
      {"restart_refusals.nc",
       {{3, R::CyclePlane}, {4, R::CyclePlane}, {6, R::CompensationPlane}, {7, R::CompensationPlane},
        {10, R::CycleCompensation}, {11, R::CycleCompensation}, {13, R::NotExecuted}, {14, R::NotExecuted},
        {15, R::NotExecuted}, {16, R::NotExecuted}}},
      {"restart_fault.nc", {{2, R::Fault}, {3, R::Fault}, {4, R::Fault}}},
      {"restart_noblock.nc", {{2, R::NoBlock}, {3, R::NoBlock}}},
      {"drill.nc", {}},
      {"tools_cycles.nc", {}},
      {"taper_g92_g28.nc", {{10, R::NotExecuted}}},
      {"arcs.nc", {}},
      {"tools_incremental.nc", {}},
      {"tools_transform.nc", {}},
      {"tools_optimise.nc", {}, {{13, R::NoBlock}}},  // the last line is a skipped block
      {"skip_and_tags.nc", {{4, R::Fault}, {5, R::Fault}, {6, R::Fault}}},
      {"dwell_call.nc", {{1, R::TooLong}, {2, R::TooLong}, {3, R::InSubprogram}, {4, R::InSubprogram}}},
      {"full_list_call.nc",
       {{2, R::Fault}, {3, R::Fault}, {4, R::InSubprogram}, {5, R::InSubprogram}, {6, R::InSubprogram}}},
  };
  for (const bool skip : {false, true}) {
    tools::RestartOptions o;
    o.Tool.Tokenize.BlockSkipOn = skip;
    for (const auto& c : cases) {
      const std::vector<std::string> lines = ReadProgram(Data(c.file));
      const nc::StringLineSource source(lines);
      for (int32_t line = 0; line < static_cast<int32_t>(lines.size()); ++line) {
        const std::string where = std::string(c.file) + ":" + std::to_string(line) + (skip ? " skip" : "");
        const tools::RestartResult r = tools::RestartFromLine(source, line, o);
        std::optional<R> refused;
        if (const auto it = c.refused.find(line); it != c.refused.end()) refused = it->second;
        if (const auto it = c.refusedWithSkip.find(line); skip && it != c.refusedWithSkip.end()) refused = it->second;
        if (refused) {
          EXPECT_EQ(r.Refusal, *refused) << where << " " << r.Message;
          EXPECT_FALSE(r.Message.empty()) << where;
          EXPECT_EQ(r.Output.LineCount(), 0) << where;
          continue;
        }
        ASSERT_TRUE(r.Ok()) << where << ": " << r.Message << " at " << r.FaultLine;
        ExpectSamePath(lines, r, o, where);
        const std::vector<std::string> out = Split(r.Output.Text());
        ExpectSafeOrder(out, r.PreambleLines, where);
        // The program itself follows the preamble unchanged.
        ASSERT_EQ(out.size(), r.PreambleLines + lines.size() - r.Line) << where;
        for (size_t i = static_cast<size_t>(r.Line); i < lines.size(); ++i)
          ASSERT_EQ(out[r.PreambleLines + i - r.Line], lines[i]) << where;
      }
    }
  }
}

// The refusals name the line a user has to look at.
TEST(Restart, RefusalsNameTheirLine) {
  const struct {
    const char* file;
    int32_t line;
    RestartRefusal why;
    int32_t faultLine, faultColumn;
  } cases[] = {
      {"restart_fault.nc", 3, RestartRefusal::Fault, 2, 0},        // the arc before it
      {"skip_and_tags.nc", 6, RestartRefusal::Fault, 4, 0},        // the syntax fault before it
      {"skip_and_tags.nc", 4, RestartRefusal::Fault, 4, 0},        // the line itself cannot be read
      {"subprogram.nc", 9, RestartRefusal::InSubprogram, 3, 0},     // the call to restart at
      {"restart_refusals.nc", 15, RestartRefusal::NotExecuted, 15, 0},
      {"restart_noblock.nc", 3, RestartRefusal::NoBlock, 3, 0},
      {"restart_noblock.nc", 4, RestartRefusal::LineOutOfRange, 4, 0},
      {"dwell_call.nc", 1, RestartRefusal::TooLong, 1, 0},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> lines = ReadProgram(Data(c.file));
    const tools::RestartResult r = tools::RestartFromLine(nc::StringLineSource(lines), c.line, tools::RestartOptions());
    EXPECT_EQ(r.Refusal, c.why) << c.file << ":" << c.line;
    EXPECT_EQ(r.FaultLine, c.faultLine) << c.file << ":" << c.line;
    EXPECT_EQ(r.FaultColumn, c.faultColumn) << c.file << ":" << c.line;
  }
  const tools::RestartResult negative =
      tools::RestartFromLine(nc::StringLineSource({"G00 X1."}), -1, tools::RestartOptions());
  EXPECT_EQ(negative.Refusal, RestartRefusal::LineOutOfRange);
}

// What the path cannot show: the tracker's state before a line, for the words the
// analyser does not keep.
TEST(ModalTracker, KeepsWhatTheAnalyserDoesNot) {
  const std::vector<std::string> program = {
      "G90 G17 G00 X0 Y0 Z50.",   // 0
      "T5 M6",                    // 1
      "T6",                       // 2  next tool called, not changed
      "S2500 M4",                 // 3
      "M7 M8",                    // 4
      "G19 G44 H7 Z10.",          // 5
      "G18 G42 D3",               // 6  compensation given, no move in the plane yet
      "G01 X5. F100",             // 7  the vector is set up here
      "G40",                      // 8  cancelled, the tool still carries it
      "M9 M5",                    // 9
      "G17 G99 G83 X1. Z-3. R1. Q0.5 P200",  // 10
      "G82 X2.",                  // 11 another cycle: its own words
      "G80",                      // 12
  };
  nc::AnalyseOptions o;
  const nc::StringLineSource lines(program);
  auto at = [&](int32_t line) {
    const tools::TrackResult t = tools::TrackToLine(lines, line, o, 1000);
    EXPECT_EQ(t.Outcome, tools::TrackResult::Reached);
    return t.State;
  };
  EXPECT_EQ(*at(2).T, 5);
  EXPECT_EQ(*at(2).ToolInSpindle, 5);
  EXPECT_EQ(*at(3).T, 6);
  EXPECT_EQ(*at(3).ToolInSpindle, 5);
  EXPECT_EQ(at(4).Spindle, 4);
  EXPECT_EQ(*at(4).S, 2500);
  EXPECT_TRUE(at(5).Mist && at(5).Flood);
  EXPECT_EQ(at(6).Plane, 19);
  EXPECT_EQ(at(6).Length, 44);
  EXPECT_EQ(*at(6).H, 7);
  EXPECT_EQ(at(7).Comp, 42);
  EXPECT_EQ(at(7).CompVector, 0);
  EXPECT_EQ(at(8).CompVector, 42);
  EXPECT_EQ(*at(8).DVector, 3);
  EXPECT_EQ(at(9).Comp, 40);
  EXPECT_EQ(at(9).CompVector, 42);
  EXPECT_TRUE(at(10).CoolantOff && !at(10).Mist && !at(10).Flood);
  EXPECT_EQ(at(10).Spindle, 5);
  const tools::ModalState cycle = at(11);
  EXPECT_EQ(cycle.Cycle, 83);
  EXPECT_EQ(cycle.ReturnLevel, 99);
  EXPECT_DOUBLE_EQ(*cycle.CycleQ, 0.5);
  EXPECT_DOUBLE_EQ(*cycle.CycleP, 200);
  EXPECT_DOUBLE_EQ(cycle.CycleR, 1.0);
  EXPECT_DOUBLE_EQ(cycle.CycleBottom, -3.0);
  EXPECT_FALSE(at(12).CycleQ.has_value());
  EXPECT_EQ(at(12).Cycle, 82);
  EXPECT_FALSE(at(12).CycleP.has_value());
}

// Numbers the preamble writes read back as the same numbers, in the program's decimals
// where those are enough.
TEST(RestartPreamble, ValuesReadBackExactly) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {10, 3, "X10.0"}, {-0.25, 3, "X-0.25"}, {1.0 / 3, 3, "X0.333333333"}, {12.3456, 3, "X12.3456"},
      {12.3456, 4, "X12.3456"}, {0.1 + 0.2, 2, "X0.3"}, {-0.0, 3, "X0.0"},
  };
  for (const auto& c : cases) {
    std::string out;
    EXPECT_TRUE(tools::AppendExactValue(out, "X", c.value, c.decimals));
    EXPECT_EQ(out, c.text);
  }
  std::string out;
  EXPECT_FALSE(tools::AppendExactValue(out, "X", INFINITY, 3));
}
