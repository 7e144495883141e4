// The conversion tools' frame and bounds; what each tool writes is checked by the golden
// files in tests/cli/convert.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/LineSource.h"
#include "tools/ComparePaths.h"
#include "tools/Tools.h"
#include "ProgramText.h"

using namespace kelvan;
using tools::ToolOptions;
using tools::ToolResult;
using test::Split;

namespace {

nc::StringLineSource Lines(std::vector<std::string> lines) { return nc::StringLineSource(std::move(lines)); }

}  // namespace

// A line the tokenizer rejects stops every tool at that line and column, with what was
// written before it and nothing after.
TEST(ToolFrame, ASyntaxFaultStopsEveryTool) {
  const auto lines = Lines({"G01 X1. F100", "(NOTE)", "G01 X1..2", "G01 X3."});
  const ToolOptions o;
  const std::vector<ToolResult> results = {
      tools::ExpandCycles(lines, o), tools::Optimise(lines, o), tools::ToIncremental(lines, o),
      tools::RemoveDecimalPoints(lines, o), tools::Rotate(lines, o, 30), tools::Mirror(lines, o, tools::Axis::Y),
      tools::Rough(lines, o, {5, 0, 1})};
  for (const ToolResult& r : results) {
    ASSERT_FALSE(r.Ok());
    EXPECT_EQ(r.Error.Line, 2);
    EXPECT_EQ(r.Error.Column, 6);
    EXPECT_EQ(r.Error.Message, "構文エラー");
    EXPECT_LE(r.Output.LineCount(), 3);  // the roughing's "%" and the two lines before
    EXPECT_EQ(r.Output.Text().find("X3"), std::string::npos);
  }
}

// Lines the tools leave alone pass through; a block-skip line keeps its "/" whether the
// toggle is up (rebuilt) or down (copied as it stands).
TEST(ToolFrame, LinesPassedThroughAndBlockSkip) {
  const auto lines = Lines({"%", "(T1-10.)", "", "A=1", "/N10 G1 X1.", "M30"});
  for (const bool skipOn : {false, true}) {
    ToolOptions o;
    o.Tokenize.BlockSkipOn = skipOn;
    const ToolResult r = tools::Optimise(lines, o);
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(Split(r.Output.Text()),
              (std::vector<std::string>{"%", "(T1-10.)", "", "A=1", skipOn ? "/N10 G1 X1." : "/N0010G01X1.0", "M30"}));
  }
}

// Whatever order a tool writes words in, the sequence number leads the rebuilt line, and
// the block's comment (a tool comment included) follows it, on the first line only of a
// block that becomes several.
TEST(ToolFrame, SequenceNumberFirstAndCommentKept) {
  const auto lines = Lines({"N5 G00 X1. Y2. (T1-10. MILL)", "/N6 G01 Z-1. F100 (CUT)", "G98 (RETURN)",
                            "N7 G81 X3. Z-2. R1. F50 (HOLE)", "N8 G80"});
  const ToolOptions o;
  const struct {
    const char* tool;
    ToolResult r;
    std::vector<std::string> expected;
  } cases[] = {
      {"mirror", tools::Mirror(lines, o, tools::Axis::X),
       {"N0005G00X-1.0Y2.0(T1-10. MILL)", "/N0006G01Z-1.0F100(CUT)", "G98(RETURN)",
        "N0007G81X-3.0Z-2.0R1.0F50(HOLE)", "N0008G80"}},
      {"optimise", tools::Optimise(lines, o),
       {"N0005G00X1.0Y2.0(T1-10. MILL)", "/N0006G01Z-1.0F100(CUT)", "G98(RETURN)",
        "N0007G81X3.0Z-2.0R1.0F50(HOLE)", "N0008G80"}},
      {"expand", tools::ExpandCycles(lines, o),
       {"N0005G00X1.0Y2.0(T1-10. MILL)", "/N0006G01Z-1.0F100(CUT)", "G98(RETURN)", "N0007G00X3.0(HOLE)", "G00Z1.0",
        "G01Z-2.0F50", "G00Z100.0", "N0008"}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(c.r.Ok()) << c.tool;
    EXPECT_EQ(Split(c.r.Output.Text()), c.expected) << c.tool;
  }
}

// Distances run as distances only under G91: a program that moves before it states its
// mode gets one on that move; one that states it keeps its own.
TEST(ToIncremental, AMoveBeforeAnyModeGetsG91) {
  const struct {
    std::vector<std::string> in, out;
  } cases[] = {
      {{"(T1-10.)", "N1 G00 X5.", "X8."}, {"(T1-10.)", "N0001G91G00X5.0", "X3.0"}},
      {{"M03", "G90 X5.", "X8."}, {"M03", "G91X5.0", "X3.0"}},
      {{"G91 X5.", "X5."}, {"G91X5.0", "X5.0"}},
      // Twenty words leave no room for a twenty-first.
      {{"G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 G00 X5.", "X8."},
       {"G91", "G00G00G00G00G00G00G00G00G00G00G00G00G00G00G00G00G00G00G00X5.0", "X3.0"}},
  };
  for (const auto& c : cases) {
    const ToolResult r = tools::ToIncremental(Lines(c.in), ToolOptions());
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(Split(r.Output.Text()), c.out) << c.in[1];
  }
}

// A subprogram runs from wherever it is called, and a call leaves the subprogram's state
// behind: the optimiser drops nothing across either on the strength of the text order.
TEST(Optimise, NothingDroppedAcrossProgramsAndCalls) {
  const ToolResult r = tools::Optimise(
      Lines({"G01 X5. Y5. F100", "M98 P10", "G01 X5. Y5.", "X5. Y6.", "M30", "O10", "G01 X5. Y6.", "M99"}),
      ToolOptions());
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(Split(r.Output.Text()), (std::vector<std::string>{"G01X5.0Y5.0F100", "M98P0010", "G01X5.0Y5.0", "Y6.0",
                                                              "M30", "O0010", "G01X5.0Y6.0", "M99"}));
}

// Rotation and mirroring keep the motion code a call returns with: the subprogram's G01
// must not turn the G00 after the call into a feed.
TEST(RotateMirror, MotionCodeWrittenAfterCallsAndAtPrograms) {
  const auto lines =
      Lines({"G00 X5. Y5.", "M98 P10", "G00 Z50.", "M30", "O10", "G90 G00 X1. Y1.", "G01 X2. Y1. F100", "M99"});
  const std::vector<std::string> out{"G00X-5.0Y5.0", "M98P0010", "G00Z50.0", "M30", "O0010", "G90G00X-1.0Y1.0",
                                     "G01X-2.0Y1.0F100", "M99"};
  const ToolResult mirrored = tools::Mirror(lines, ToolOptions(), tools::Axis::X);
  ASSERT_TRUE(mirrored.Ok());
  EXPECT_EQ(Split(mirrored.Output.Text()), out);
  const ToolResult turned = tools::Rotate(lines, ToolOptions(), 180);
  ASSERT_TRUE(turned.Ok());
  const std::vector<std::string> t = Split(turned.Output.Text());
  ASSERT_EQ(t.size(), out.size());
  EXPECT_EQ(t[2], "G00Z50.0");
  EXPECT_EQ(t[5].substr(0, 6), "G90G00");
}

// The incremental form of a program runs the same path where the text order cannot tell
// the position: a subprogram starts where it is called, a call returns where the
// subprogram ended, a reference return ends at a point the program does not name. There
// the block stays a position (G90 ... then G91 again). A row of holes moves K times; G92
// names a position and keeps its values.
TEST(ToIncremental, SamePathAcrossCallsReturnsAndHoleRows) {
  const std::vector<std::vector<std::string>> programs = {
      test::ReadProgram(test::Data("../../examples/sample.nc")),
      {"G90 G00 X10. Y10. Z5.", "M98 P100", "G90 G00 Z20.", "X40.", "M98 P100", "G90 Y5.", "M30",
       "O100", "G90 G01 X30. F100", "Y25.", "G91 X5.", "M99"},
      {"G90 G00 X10. Y5. Z50.", "G91 G28 Z0.", "G90 G43 H1 Z20.", "G28 X0. Y0.", "G90 X5.", "Y7.", "M30"},
      {"G90 G00 X10. Y10. Z20.", "G91 G99 G81 X10. Z-5. R-18. K3 F100", "G90 G80 X0.", "Y0.", "M30"},
      {"G90 G00 X10. Y10. Z20.", "G92 X5. Y5. Z7.", "G00 X8.", "Z3.", "M30"},
  };
  nc::AnalyseOptions atOrigin;  // the conversion takes a program to start at the origin
  atOrigin.AtcHeight = 0;
  for (const auto& program : programs) {
    const nc::StringLineSource lines(program);
    const ToolResult r = tools::ToIncremental(lines, ToolOptions());
    ASSERT_TRUE(r.Ok()) << program[1] << ": " << r.Error.Message;
    const std::vector<std::string> converted = Split(r.Output.Text());
    const tools::ProgramComparison c = tools::ComparePrograms(lines, atOrigin, nc::StringLineSource(converted),
                                                              atOrigin, 0, tools::CompareOptions());
    ASSERT_TRUE(c.Ok()) << program[1] << ": the conversion does not analyse";
    EXPECT_TRUE(c.Result.Agree()) << program[1] << ": largest " << c.Result.Largest << " at line "
                                  << c.Result.LineB + 1 << " " << converted[size_t(c.Result.LineB)];
  }
}

// What the text order cannot give at all stops the conversion at the block, with the reason.
TEST(ToIncremental, StopsWhereTheTextCannotTell) {
  struct Case {
    std::vector<std::string> in;
    int32_t line;
    std::string_view message;
  };
  const std::vector<Case> cases = {
      {{"G90 G00 X1. Y1.", "M98 P100", "X5.", "M30", "O100", "G91 X1.", "M99"}, 2, tools::kUnknownMode},
      {{"G90 G00 X1. Y1.", "M30", "O100", "G00 X1.", "M99"}, 3, tools::kUnknownMode},
      {{"G90 G00 X1. Y1. Z10.", "G81 X2. Z-5. R2. F100", "G91 G28 X0.", "G90 X3.", "G80", "M30"}, 3,
       tools::kUnknownPosition},
  };
  for (const Case& c : cases) {
    const ToolResult r = tools::ToIncremental(nc::StringLineSource(c.in), ToolOptions());
    EXPECT_TRUE(r.Error.Failed) << c.in[2];
    EXPECT_EQ(r.Error.Line, c.line) << c.in[2];
    EXPECT_EQ(r.Error.Message, c.message) << c.in[2];
  }
}

// A block that gives one of X and Y is turned with the position on the other axis
// (absolute) or no move on it (incremental); where the text does not give that position,
// the rotation stops at the block.
TEST(Rotate, OneAxisBlocksTurnedOrRefused) {
  struct Case {
    std::vector<std::string> in;
    std::string last;         // the last block turned by 90 degrees, when it converts
    int32_t line = -1;        // else where it stops
    std::string_view message;
  };
  const std::vector<Case> cases = {
      {{"G90 G00 X0 Y0", "G91 G01 X5. Y5. F100", "X5."}, "X0.0Y5.0", -1, {}},
      {{"G90 G00 X3. Y4.", "X5."}, "X-4.0Y5.0", -1, {}},
      {{"G90 G00 X3. Y4.", "G92 X1. Y2.", "X5."}, "X-2.0Y5.0", -1, {}},
      {{"G90 G00 X0 Y0", "G91 Y5.", "G90 X5."}, "", 2, tools::kUnknownPosition},
      {{"G90 G00 X0 Y0", "G91 G28 Y0.", "G90 X5."}, "", 2, tools::kUnknownPosition},
      {{"G90 G00 X0 Y0", "M30", "O10", "G90 X5.", "M99"}, "", 3, tools::kUnknownPosition},
      {{"G90 G00 X0 Y0", "M98 P10", "X5.", "M30", "O10", "G90 X1. Y1.", "M99"}, "", 2, tools::kUnknownMode},
  };
  // A half turn needs no other axis: the given one is turned alone where the other is unknown.
  const ToolResult half = tools::Rotate(Lines({"G90 G00 X0 Y0", "M30", "O10", "G90 X5.", "M99"}), ToolOptions(), 180);
  ASSERT_TRUE(half.Ok()) << half.Error.Message;
  EXPECT_EQ(Split(half.Output.Text())[3], "G90X-5.0");
  for (const Case& c : cases) {
    const ToolResult r = tools::Rotate(Lines(c.in), ToolOptions(), 90);
    if (c.line < 0) {
      ASSERT_TRUE(r.Ok()) << c.in[1] << ": " << r.Error.Message;
      EXPECT_EQ(Split(r.Output.Text()).back(), c.last) << c.in[1];
    } else {
      EXPECT_EQ(r.Error.Line, c.line) << c.in[1];
      EXPECT_EQ(r.Error.Message, c.message) << c.in[1];
    }
  }
}

TEST(ToolFrame, LineEndAndProgress) {
  std::vector<std::string> program(5000, "G01 X1. F100");
  const auto lines = Lines(program);
  ToolOptions o;
  o.LineEnd = "\r\n";
  std::vector<int64_t> reports;
  const ToolResult r = tools::Mirror(lines, o, tools::Axis::X, [&](int64_t done) { reports.push_back(done); });
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(r.Output.LineCount(), 5000);
  EXPECT_EQ(Split(r.Output.Text(), "\r\n").front(), "G01X-1.0F100");
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), 5000);
  for (size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1], reports[i]);
}

TEST(Rough, PassesAndTheirBounds) {
  const struct {
    tools::RoughParameters p;
    int64_t passes;
  } cases[] = {
      {{10, 0, 4}, 4},       // 10, 6, 2, 0
      {{5, 5, 1}, 1},        // start at the end: one pass
      {{1.3, 0.3, 1}, 2},    // 1.3, then 0.3 (within rounding: 0.30000000000000004 > 0.3 counts)
      {{0, 10, 4}, 0},       // start below end
      {{10, 0, 0.5}, 0},     // step below 1
      {{1e300, 0, 1}, tools::kMaxOutputLines + 1},  // a step that cannot change the start
  };
  for (const auto& c : cases) {
    const int64_t passes = tools::RoughPasses(c.p);
    if (c.p.Start == 1.3) EXPECT_GE(passes, 2);
    else EXPECT_EQ(passes, c.passes) << c.p.Start << " " << c.p.End << " " << c.p.Step;
  }
  const ToolResult tooMany = tools::Rough(Lines({"G01 Z-1."}), ToolOptions{}, {1e9, 0, 1});
  EXPECT_FALSE(tooMany.Ok());
  EXPECT_EQ(tooMany.Output.LineCount(), 0);
}

// A drilling cycle whose pecks would not fit the editor is refused at its line; one whose
// peck depth is 0 or less plunges once instead of looping for ever.
TEST(Expand, PeckBounds) {
  const ToolResult many = tools::ExpandCycles(Lines({"G83 X1. Z-100000. R1. Q0.001 F10"}), ToolOptions{});
  ASSERT_FALSE(many.Ok());
  EXPECT_EQ(many.Error.Line, 0);
  for (const char* q : {"Q0.", "Q-1.", ""}) {
    const ToolResult r =
        tools::ExpandCycles(Lines({std::string("G73 X1. Z-5. R1. F10 ") + q}), ToolOptions{});
    ASSERT_TRUE(r.Ok()) << q;
    EXPECT_EQ(Split(r.Output.Text()),
              (std::vector<std::string>{"G00X1.0", "G00Z1.0", "F10", "G01Z-5.0", "G00Z-4.5", "G00Z100.0"}))
        << q;
  }
}

// A value computed beyond the range of numbers would be written as no number, which the
// program could not read again: the tool stops at that line instead.
TEST(ToolFrame, AComputedValueBeyondRangeStopsTheTool) {
  const std::string huge = "17" + std::string(307, '0') + ".";
  const ToolResult turned = tools::Rotate(Lines({"G01 X1.", "G01 X" + huge + " Y" + huge}), ToolOptions{}, 45);
  ASSERT_FALSE(turned.Ok());
  EXPECT_EQ(turned.Error.Line, 1);
  EXPECT_EQ(turned.Error.Message, "計算した値が範囲を超えます");
  const ToolResult apart = tools::ToIncremental(Lines({"G01 X-" + huge, "X" + huge}), ToolOptions{});
  ASSERT_FALSE(apart.Ok());
  EXPECT_EQ(apart.Error.Line, 1);
}
