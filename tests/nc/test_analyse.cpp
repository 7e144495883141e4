#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/Geometry.h"
#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"

using namespace kelvan::nc;

namespace {

struct Analysis {
  explicit Analysis(std::vector<std::string> program, int32_t capacity = 1000)
      : lines(std::move(program)), path(capacity) {}
  StringLineSource lines;
  PathList path;
  MachineState state;
  RowMarks marks;
  TEasyCalc calc;
  AnalysisResult result;
};

Analysis& Analyse(Analysis& a, AnalyseOptions opt = {}) {
  a.result = AnalyseProgram(a.lines, opt, a.calc, a.path, a.state, a.marks);
  return a;
}

// An item as "kind@line v0 v1 ... v7" with values rounded to 4 decimals, so that tables
// can hold whole items.
std::string Item(const PathItem& it) {
  std::string s = std::to_string(KindCode(it.Kind)) + "@" + std::to_string(it.Line);
  char buf[32];
  for (float v : it.Values) {
    double r = std::round(v * 10000.0) / 10000.0;
    std::snprintf(buf, sizeof buf, " %g", r == 0 ? 0.0 : r);
    s += buf;
  }
  return s;
}

std::vector<std::string> Items(const Analysis& a) {
  std::vector<std::string> out;
  for (const PathItem& it : a.path) out.push_back(Item(it));
  return out;
}

struct Program {
  const char* name;
  std::vector<std::string> lines;
  std::vector<std::string> items;
};

void ExpectItems(const Program& p, AnalyseOptions opt = {}) {
  SCOPED_TRACE(p.name);
  Analysis a(p.lines);
  Analyse(a, opt);
  EXPECT_TRUE(a.result.Ok()) << a.result.Code << " at " << a.result.Line << ":" << a.result.Column;
  EXPECT_EQ(Items(a), p.items);
}

}  // namespace

TEST(Analyse, MovesAndModalState) {
  const Program programs[] = {
      {"incremental and G01 are modal", {"G91 G01 X10.", "X10."},
       {"1@0 0 0 500 10 0 500 0 0", "1@1 10 0 500 20 0 500 0 0"}},
      {"G04 moves nothing until a motion code", {"G04 X1.0", "X10.", "G01 X5."},
       {"1@2 0 0 500 5 0 500 0 0"}},
      {"G43 is a rapid whatever the mode", {"G01 G43 H1 Z50.", "G43 H1"},
       {"0@0 0 0 500 0 0 50 0 0", "-1@1 0 0 0 0 0 0 0 0"}},
      {"block skip up: a pkNone before the block's items", {"/G01 X10."},
       {"-1@0 0 0 0 0 0 0 0 0", "1@0 0 0 500 10 0 500 0 0"}},
      {"non-moving lines", {"%", "(T1-10.)", "(ROUGH)", "", "#1=5", "S1000 M3", "M5 M5"},
       {"-1@0 0 0 0 0 0 0 0 0", "100@1 0 0 0 0 0 0 0 0", "-1@2 0 0 0 0 0 0 0 0",
        "-1@3 0 0 0 0 0 0 0 0", "-1@4 0 0 0 0 0 0 0 0", "-1@5 0 0 0 0 0 0 0 0",
        "-1@6 0 0 0 0 0 0 0 0", "-1@6 0 0 0 0 0 0 0 0", "-1@6 0 0 0 0 0 0 0 0"}},
      {"G28 rises to the ATC height, G92 sets Z to 0", {"G00 X10. Y20. Z5.", "G28 X0. Y0. Z0.", "G92 X1. Y2.", "G01 X3."},
       {"0@0 0 0 500 10 20 5 0 0", "10@1 10 20 5 10 20 500 0 0", "92@2 1 2 0 0 0 0 0 0",
        "1@3 1 2 0 3 2 0 0 0"}},
      {"G28 with X only keeps Y", {"G00 X10. Y20. Z5.", "G28 X0.", "G01 Z1."},
       {"0@0 0 0 500 10 20 5 0 0", "10@1 10 20 5 10 20 500 0 0", "1@2 0 20 5 0 20 1 0 0"}},
      {"taper keeps U and V", {"G01 X10. U1. V2.", "X20. U3.", "X30."},
       {"11@0 0 0 10 0 0 0 11 2", "11@1 10 0 20 0 11 2 23 2", "1@2 20 0 500 30 0 500 0 0"}},
      {"M98 block produces nothing, O and M99 lines do", {"M98 P100", "M30", "O100", "G01 X10.", "M99"},
       {"-1@2 0 0 0 0 0 0 0 0", "1@3 0 0 500 10 0 500 0 0", "-1@0 0 0 0 0 0 0 0 0",
        "-1@1 0 0 0 0 0 0 0 0"}},
      {"X10. M99 moves after the return with the M98 line", {"M98 P7", "M30", "O7", "X10. M99"},
       {"-1@2 0 0 0 0 0 0 0 0", "0@0 0 0 500 10 0 500 0 0", "-1@1 0 0 0 0 0 0 0 0"}},
      {"M02 ends, also inside a subprogram", {"M98 P1", "X5.", "O1", "M02", "X9."},
       {"-1@2 0 0 0 0 0 0 0 0", "-1@3 0 0 0 0 0 0 0 0"}},
      {"the first O line wins", {"M98 P5", "M30", "O5 (A)", "X1. M99", "O5 (B)", "X2. M99"},
       {"-1@2 0 0 0 0 0 0 0 0", "0@0 0 0 500 1 0 500 0 0", "-1@1 0 0 0 0 0 0 0 0"}},
      {"M5 adds an item and goes on", {"G01 X1. M5"},
       {"-1@0 0 0 0 0 0 0 0 0", "1@0 0 0 500 1 0 500 0 0"}},
  };
  for (const Program& p : programs) ExpectItems(p);
}

TEST(Analyse, Arcs) {
  const Program programs[] = {
      {"G02 half circle by R: end angle first", {"G02 X20. Y0. R10. Z-1."}, {"2@0 10 0 -1 10 0 3.1416 0 0"}},
      {"G02 R10 quarter: centre right of the chord", {"G02 X10. Y10. R10."}, {"2@0 10 0 500 10 1.5708 3.1416 0 0"}},
      {"G02 R-10: the long way round", {"G02 X10. Y10. R-10."}, {"2@0 0 10 500 10 0 4.7124 0 0"}},
      {"G03 R10 quarter: centre left", {"G03 X10. Y10. R10."}, {"3@0 0 10 500 10 -1.5708 0 0 0"}},
      {"G03 R-10", {"G03 X10. Y10. R-10."}, {"3@0 10 0 500 10 -3.1416 1.5708 0 0"}},
      {"G03 by I/J is drawn at the target Z", {"G03 X10. Y10. I10. Z-2."}, {"3@0 10 0 -2 10 -3.1416 1.5708 0 0"}},
      {"G02 by I/J at the start Z", {"G02 X10. Y10. J10. Z-2."}, {"2@0 0 10 500 10 0 4.7124 0 0"}},
      {"G02 full circle", {"G02 I10."}, {"2@0 10 0 500 10 3.1416 9.4148 0 0"}},
      {"G03 full circle at the target Z", {"G03 I10. Z3."}, {"3@0 10 0 3 10 -3.1316 3.1416 0 0"}},
  };
  for (const Program& p : programs) ExpectItems(p);
}

TEST(Analyse, ArcFaults) {
  const struct {
    const char* line;
    int code;
  } cases[] = {
      {"G03 X10. Y10. R5.", ErrArcRadius},   // chord 14.14 > 2R
      {"G02 X0.01 R5.", ErrArcRadius},       // end within 0.02 of the start
      {"G02 X0.01 R0.005", AnalysisOk},      // a half circle however small
      {"G02 X10. Y10. R7.0711", AnalysisOk}, // within the crossing tolerance: one centre
  };
  for (const auto& c : cases) {
    Analysis a({"G00 X0 Y0", c.line});
    Analyse(a);
    EXPECT_EQ(a.result.Code, c.code) << c.line;
    if (c.code != AnalysisOk) {
      EXPECT_EQ(a.result.Line, 1);
      EXPECT_EQ(a.result.Column, 0);
    }
  }
}

TEST(Analyse, DrillingCycles) {
  const Program programs[] = {
      {"absolute cycle and a second hole",
       {"G00 X5. Y5. Z50.", "G81 Z-10. R2. F100", "X15."},
       {"0@0 0 0 500 5 5 50 0 0", "81@1 5 5 50 5 5 2 -10 0", "81@2 5 5 50 15 5 2 -10 0"}},
      {"incremental R and Z from the initial level",
       {"G00 Z50.", "G91 G81 Z-12. R-48."}, {"0@0 0 0 500 0 0 50 0 0", "81@1 0 0 50 0 0 2 -10 0"}},
      {"G91 X10. K3 drills three holes", {"(T1-8.)", "G00 Z10.", "G81 Z-5. R2.", "G91 X10. K3"},
       {"100@0 0 0 0 0 0 0 0 0", "0@1 0 0 500 0 0 10 0 0", "81@2 0 0 10 0 0 2 -5 4",
        "81@3 0 0 10 10 0 2 -5 4", "81@3 10 0 10 20 0 2 -5 4", "81@3 20 0 10 30 0 2 -5 4"}},
      {"L wins over K; L0 on the cycle block drills nothing", {"G81 Z-5. R2. L0", "G91 X1. K5 L2"},
       {"-1@0 0 0 0 0 0 0 0 0", "81@1 0 0 500 1 0 2 -5 0", "81@1 1 0 500 2 0 2 -5 0"}},
      {"K below 1 drills nothing in G91; absolute drills one", {"G81 Z-5. R2. L0", "G91 X1. K0", "G90 X7. K0"},
       {"-1@0 0 0 0 0 0 0 0 0", "81@2 0 0 500 7 0 2 -5 0"}},
      {"G80, then an ordinary move", {"G81 Z-5. R2.", "G80", "G01 X20."},
       {"81@0 0 0 500 0 0 2 -5 0", "-1@1 0 0 0 0 0 0 0 0", "1@2 0 0 500 20 0 500 0 0"}},
      {"G00 cancels the cycle", {"G81 Z-5. R2.", "G00 X3.", "X4."},
       {"81@0 0 0 500 0 0 2 -5 0", "0@1 0 0 500 3 0 500 0 0", "0@2 3 0 500 4 0 500 0 0"}},
      {"a cycle block without Z keeps the last Z", {"G01 Z-3.", "G81 R1."},
       {"1@0 0 0 500 0 0 -3 0 0", "81@1 0 0 -3 0 0 1 -3 0"}},
      // The control positions over the block's X and Y first: the hole is there.
      {"a cycle block that names its position drills there", {"G00 X5. Y5. Z50.", "G99 G81 X20. Y10. Z-10. R2. F100", "X30."},
       {"0@0 0 0 500 5 5 50 0 0", "81@1 5 5 50 20 10 2 -10 0", "81@2 20 10 50 30 10 2 -10 0"}},
      {"an incremental cycle block with a row", {"G00 Z50.", "G91 G81 X10. Z-12. R-48. K2"},
       {"0@0 0 0 500 0 0 50 0 0", "81@1 0 0 50 10 0 2 -10 0", "81@1 10 0 50 20 0 2 -10 0"}},
  };
  for (const Program& p : programs) ExpectItems(p);
}

TEST(Analyse, BlockSkipToggleAndRowMarks) {
  Analysis a({"/G01 X10.", "M00", "G01 X1. M01", "/"});
  AnalyseOptions on;
  on.Tokenize.BlockSkipOn = true;
  Analyse(a, on);
  EXPECT_EQ(Items(a), (std::vector<std::string>{"-1@0 0 0 0 0 0 0 0 0", "-1@1 0 0 0 0 0 0 0 0",
                                                "1@2 0 0 500 1 0 500 0 0", "-1@3 0 0 0 0 0 0 0 0"}));
  EXPECT_TRUE(a.marks.Has(0, MarkBlockSkip));
  EXPECT_TRUE(a.marks.Has(1, MarkM00));
  EXPECT_TRUE(a.marks.Has(2, MarkM01));
  EXPECT_TRUE(a.marks.Has(3, MarkBlockSkip));
  Analyse(a);  // toggle up: the skip marks go
  EXPECT_FALSE(a.marks.Has(0, MarkBlockSkip));
  EXPECT_FALSE(a.marks.Has(3, MarkBlockSkip));
  EXPECT_TRUE(a.marks.Has(1, MarkM00));
  EXPECT_EQ(a.path.Count, 6);
}

TEST(Analyse, RowMarksBelongToTheLinesRead) {
  // Lines after the program end are not read, so they get no marks; a subprogram's marks
  // stand on its own lines however often it runs.
  Analysis a({"M98 P10 L3", "M30", "M00", "O10", "G01 X1. M01", "M99"});
  Analyse(a);
  ASSERT_TRUE(a.result.Ok());
  std::vector<std::pair<int32_t, int>> marked;
  a.marks.ForEach([&](int32_t line, uint8_t bits) { marked.push_back({line, bits}); });
  EXPECT_EQ(marked, (std::vector<std::pair<int32_t, int>>{{4, 4}}));
  EXPECT_EQ(a.marks.LineCount(), 6);
  Analysis none({"G01 X1.", "G01 X2."});
  Analyse(none);
  EXPECT_TRUE(none.marks.Empty());
}

TEST(Analyse, FaultsWithLineAndColumn) {
  std::vector<std::string> nest;
  for (int i = 0; i < 11; ++i) nest.push_back("O" + std::to_string(i) + " M98 P" + std::to_string(i + 1));
  nest.push_back("O11");
  const struct {
    const char* name;
    std::vector<std::string> lines;
    int code, line, column;
  } cases[] = {
      {"syntax", {"G00 X1.", "G01 X1..2"}, ErrSyntax, 1, 6},
      {"unknown program, caret at P", {"G00 M98 P200"}, ErrUnknownProgram, 0, 8},
      {"M98 without P", {"M98"}, ErrUnknownProgram, 0, 0},
      {"M99 in the main program", {"X1.", "M99"}, ErrM99InMain, 1, 0},
      {"M30 inside a subprogram", {"M98 P1", "O1", "M30"}, ErrM30InSub, 2, 0},
      {"a fault above the O line hides it", {"M98 P1", "M30", "X++", "O1", "M99"}, ErrUnknownProgram, 0, 4},
      {"eleven nested calls", nest, ErrNestTooDeep, 10, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Analysis a(c.lines);
    Analyse(a);
    EXPECT_EQ(a.result.Code, c.code);
    EXPECT_EQ(a.result.Line, c.line);
    EXPECT_EQ(a.result.Column, c.column);
    EXPECT_FALSE(AnalysisMessage(c.code).empty());
  }
  EXPECT_EQ(AnalysisMessage(ErrNestTooDeep), "サブプロのネストが深すぎる");
}

TEST(Analyse, SubprogramRepeatsAndNesting) {
  const struct {
    const char* call;
    int linearItems;
  } cases[] = {{"M98 P100", 1}, {"M98 P100 L2", 2}, {"M98 P100 K3", 3}, {"M98 P100 L2 K4", 4}, {"M98 P100 L0", 1}};
  for (const auto& c : cases) {
    Analysis a({c.call, "M30", "O100", "G91 G01 X1.", "M99"});
    Analyse(a);
    ASSERT_TRUE(a.result.Ok());
    int linear = 0;
    for (const PathItem& it : a.path) linear += it.Kind == PathKind::pkLinear;
    EXPECT_EQ(linear, c.linearItems) << c.call;
    EXPECT_DOUBLE_EQ(a.state.RangeMaxX, c.linearItems) << c.call;
  }
  // Two levels: the inner subprogram runs twice per outer pass.
  Analysis a({"M98 P1 L3", "M30", "O1", "M98 P2 L2", "M99", "O2", "G91 G01 X1.", "M99"});
  Analyse(a);
  ASSERT_TRUE(a.result.Ok());
  EXPECT_DOUBLE_EQ(a.state.RangeMaxX, 6);
  EXPECT_EQ(a.state.SubDepth, 0);
}

TEST(Analyse, LengthsTimesAndRange) {
  Analysis a({"G00 Z50.", "G01 X30. Y40. F200", "G00 X90.", "G43 H1 Z10.", "G00 Y70.", "F0", "G01 X0"});
  Analyse(a);
  ASSERT_TRUE(a.result.Ok());
  const PathItem& lin = a.path[1];
  EXPECT_FLOAT_EQ(lin.CutLength, 50);
  EXPECT_FLOAT_EQ(lin.Time, 0.25);
  EXPECT_FLOAT_EQ(a.path[2].RapidLength, 60);
  EXPECT_FLOAT_EQ(a.path[2].Time, 0.01);
  EXPECT_FLOAT_EQ(a.path[0].Time, 0);  // straight down: no XY travel
  EXPECT_FLOAT_EQ(a.path[6].Time, 0);  // F0: timed 0, never a division by zero
  // The first rapids do not count; after G43 with Z they do.
  EXPECT_DOUBLE_EQ(a.state.RangeMaxX, 90);
  EXPECT_DOUBLE_EQ(a.state.RangeMaxY, 70);
  EXPECT_DOUBLE_EQ(a.state.RangeMaxZ, 50);
  EXPECT_DOUBLE_EQ(a.state.RangeMinZ, 0);
  EXPECT_DOUBLE_EQ(a.state.MaxCutZ, -1000);  // no G01 block gave Z
}

TEST(Analyse, FullListDropsItemsButKeepsTheRange) {
  Analysis a({"G01 X1.", "X2.", "X3.", "X4."}, 2);
  Analyse(a);
  ASSERT_TRUE(a.result.Ok());
  EXPECT_EQ(a.path.Count, 2);
  EXPECT_DOUBLE_EQ(a.state.RangeMaxX, 4);
}

TEST(Analyse, EndlessRepeatsEndSoonAndRight) {
  // A repeat count of a billion over a full list: the passes past it are settled, and the
  // range reaches as far as all of them would.
  Analysis sub({"M98 P1 L999999999", "M30", "O1", "G91 G01 X1.", "M99"}, 100);
  Analyse(sub);
  EXPECT_TRUE(sub.result.Ok());
  EXPECT_EQ(sub.path.Count, 100);
  EXPECT_DOUBLE_EQ(sub.state.RangeMaxX, 999999999.0);

  // A row of two billion holes past the full list is settled at once, exactly.
  Analysis row({"G81 Z-1. R1. L0", "G91 X1. K2000000000"}, 100);
  Analyse(row);
  EXPECT_TRUE(row.result.Ok());
  EXPECT_EQ(row.path.Count, 100);
  EXPECT_DOUBLE_EQ(row.state.RangeMaxX, 2000000000.0);

  // Passes that store nothing (a dwell) do not fill the list, and are settled too: the
  // fault after the call is found.
  Analysis dwell({"M98 P1 L2000000000", "G03 X10. R1.", "M30", "O1 G04 X1.", "X1. M99"}, 100000);
  Analyse(dwell);
  EXPECT_EQ(dwell.result.Code, ErrArcRadius);
  EXPECT_EQ(dwell.result.Line, 1);
  EXPECT_EQ(dwell.path.Count, 0);
}

// Passes past a full list used to end the whole analysis as the end of the text would,
// and a bound on the blocks ended it silently: both gave wrong results as success.
TEST(Analyse, AFullListNeitherEndsNorCutsTheAnalysis) {
  // The arc fault after the call is found whatever the list's size.
  for (const int32_t capacity : {2, 1000}) {
    Analysis a({"M98 P100 L2", "G01 X100. Y100. F100", "G03 X110. Y100. R1.", "M30", "O100", "G01 X1.", "M99"},
               capacity);
    Analyse(a);
    EXPECT_EQ(a.result.Code, ErrArcRadius) << capacity;
    EXPECT_EQ(a.result.Line, 2) << capacity;
  }
  // The blocks after a long call count.
  Analysis after({"M98 P1 L600000", "G01 X500. Y500. F100", "M30", "O1", "G01 X1. F100", "M99"}, 1000000);
  Analyse(after);
  ASSERT_TRUE(after.result.Ok());
  EXPECT_DOUBLE_EQ(after.state.RangeMaxX, 500);
  EXPECT_DOUBLE_EQ(after.state.RangeMaxY, 500);
}

// Settled passes leave what running them leaves: the range, the highest cut, the position
// and the modal state, checked against the same program run in full in a list that holds
// every item.
TEST(Analyse, SettledPassesMatchPassesRun) {
  const std::vector<std::vector<std::string>> programs = {
      {"M98 P1 L700", "G01 X500. Y-5. F100", "M30", "O1", "G01 X1. Y2. F100", "M99"},
      {"M98 P1 L700", "G90 G01 X0. Y0.", "M30", "O1", "G91 G01 X1.5 Y-2. Z-0.01 F100", "M99"},
      {"G91 M98 P1 L400", "G01 X1.", "M30", "O1", "G02 X10. I5. J0. F50", "G01 Y3. Z0.02", "M99"},
      {"G00 Z10.", "M98 P1 L300", "G80", "M30", "O1", "G91 G81 X5. Z-3. R-1. F100", "G80 Z-0.5", "M99"},
      {"M98 P1 L30", "M30", "O1", "M98 P2 L40", "G91 G01 Y1. F100", "M99", "O2", "G91 G01 X0.5", "M99"},
      {"M98 P1 L500", "M30", "O1", "G01 X1. F100", "G91 G01 Y1.", "G90", "M99"},
  };
  for (size_t i = 0; i < programs.size(); ++i) {
    Analysis full(programs[i], 1000000), settled(programs[i], 5);
    Analyse(full);
    Analyse(settled);
    SCOPED_TRACE(i);
    EXPECT_EQ(settled.result.Code, full.result.Code);
    EXPECT_EQ(settled.path.Count, 5);
    auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-6 * (1 + std::fabs(a)); };
    const MachineState& f = full.state;
    const MachineState& s = settled.state;
    EXPECT_PRED2(near, s.RangeMinX, f.RangeMinX);
    EXPECT_PRED2(near, s.RangeMaxX, f.RangeMaxX);
    EXPECT_PRED2(near, s.RangeMinY, f.RangeMinY);
    EXPECT_PRED2(near, s.RangeMaxY, f.RangeMaxY);
    EXPECT_PRED2(near, s.RangeMinZ, f.RangeMinZ);
    EXPECT_PRED2(near, s.RangeMaxZ, f.RangeMaxZ);
    EXPECT_PRED2(near, s.MaxCutZ, f.MaxCutZ);
    EXPECT_PRED2(near, s.CycleRLevel, f.CycleRLevel);
    EXPECT_PRED2(near, s.CycleBottom, f.CycleBottom);
    EXPECT_EQ(s.MotionMode, f.MotionMode);
    EXPECT_EQ(s.CycleMode, f.CycleMode);
  }
}

// What cannot be settled runs, and an analysis that reaches the block bound says so at
// the line it reached instead of reporting success.
// A block with both a call and a return: M99 moves the current line before the call is
// made, but a fault of the call belongs to the block's own line and column.
TEST(Analyse, AFaultStaysOnItsBlock) {
  Analysis a({"M98 P1", "M30", "O1", "M98 P7. M99", "M99"});
  Analyse(a);
  EXPECT_EQ(a.result.Code, ErrUnknownProgram);
  EXPECT_EQ(a.result.Line, 3);
  EXPECT_EQ(a.result.Column, 4);
}

TEST(Analyse, TheBlockBoundIsAFault) {
  Analysis a({"M98 P1 L1000", "M30", "O1", "G01 X1. F100", "G01 X2.", "M99"}, 100000);
  AnalyseOptions opt;
  opt.BlockLimit = 100;
  Analyse(a, opt);
  EXPECT_EQ(a.result.Code, ErrAnalysisCut);
  EXPECT_GE(a.result.Line, 3);
  EXPECT_EQ(AnalysisMessage(ErrAnalysisCut), "解析を打ち切りました");
  EXPECT_GT(MaxBlocksAnalysed(6, 100000), 400000);
}
