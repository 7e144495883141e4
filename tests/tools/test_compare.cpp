// The path comparison: programs that differ only in their form agree; a rotation, a changed
// block, a rapid for a feed, a pass more or less differ exactly where they do.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "tools/ComparePaths.h"
#include "tools/Tools.h"
#include "ProgramText.h"

using namespace kelvan;
using test::Split;

namespace {

std::vector<std::string> ReadProgram(const std::string& name) { return test::ReadProgram(test::Data(name)); }

// The conversion tools take a program to start at the origin; so does the analysis here.
nc::AnalyseOptions AtOrigin() {
  nc::AnalyseOptions o;
  o.AtcHeight = 0;
  return o;
}

tools::CompareResult Compare(const std::vector<std::string>& a, const std::vector<std::string>& b,
                             double tolerance = 0.001, const nc::AnalyseOptions& options = AtOrigin()) {
  const tools::ProgramComparison c = tools::ComparePrograms(nc::StringLineSource(a), options, nc::StringLineSource(b),
                                                            options, 0, tools::CompareOptions{tolerance});
  EXPECT_TRUE(c.Ok()) << "program " << c.Failed << " does not analyse";
  return c.Result;
}

int LineOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == text) return static_cast<int>(i);
  ADD_FAILURE() << "no line " << text;
  return -1;
}

}  // namespace

// What the conversion tools make of a program is the same path in another form.
TEST(ComparePaths, ConversionsAgree) {
  const tools::ToolOptions tool;
  // (drill.nc would not do: its G91 blocks give a single X or Y, which the turning and the
  // incremental conversion take as absolute, and the comparison says so.)
  for (const char* file : {"compare_part.nc", "arcs.nc", "tools_cycles.nc"}) {
    const std::vector<std::string> lines = ReadProgram(file);
    const nc::StringLineSource source(lines);
    const struct {
      const char* name;
      tools::ToolResult r;
    } variants[] = {
        {"optimise", tools::Optimise(source, tool)},
        {"incremental", tools::ToIncremental(source, tool)},
        {"decimal points removed", tools::RemoveDecimalPoints(source, tool)},
        {"turned by 0 degrees", tools::Rotate(source, tool, 0)},
        {"mirrored twice", [&] {
           const std::vector<std::string> once = Split(tools::Mirror(source, tool, tools::Axis::X).Output.Text());
           return tools::Mirror(nc::StringLineSource(once), tool, tools::Axis::X);
         }()},
    };
    for (const auto& v : variants) {
      ASSERT_TRUE(v.r.Ok()) << file << " " << v.name;
      const tools::CompareResult r = Compare(lines, Split(v.r.Output.Text()));
      EXPECT_TRUE(r.Agree()) << file << " " << v.name << ": " << r.Stretches.size() << " stretches, first at A "
                             << (r.Stretches.empty() ? -1 : r.Stretches[0].FirstLineA);
      EXPECT_LT(r.Largest, 1e-4) << file << " " << v.name;
    }
  }
  // The bundled sample (G92, subprogram, UV): the tools that keep its geometry.
  const std::vector<std::string> sample = ReadProgram("../../examples/sample.nc");
  const nc::StringLineSource source(sample);
  for (const tools::ToolResult& r : {tools::Optimise(source, tool), tools::RemoveDecimalPoints(source, tool)}) {
    EXPECT_TRUE(Compare(sample, Split(r.Output.Text()), 0.001, nc::AnalyseOptions()).Agree());
  }
}

// A turn by 0.01 degree about the origin moves every point by its distance from the origin
// times the angle: the largest deviation is at the hole farthest from it (90, 60), where the
// drill goes down and up a line parallel to the original one.
TEST(ComparePaths, RotationDiffersMostFarthestOut) {
  const std::vector<std::string> lines = ReadProgram("compare_part.nc");
  const tools::ToolResult turned = tools::Rotate(nc::StringLineSource(lines), tools::ToolOptions(), 0.01);
  ASSERT_TRUE(turned.Ok());
  const tools::CompareResult r = Compare(lines, Split(turned.Output.Text()));
  ASSERT_FALSE(r.Agree());
  const double farthest = std::hypot(90.0, 60.0);
  const double chord = 2 * farthest * std::sin(0.01 / 2 * M_PI / 180);
  // The turned program is written with three decimals: its points lie up to 0.0005 off.
  EXPECT_NEAR(r.Largest, chord, 0.0008);
  EXPECT_EQ(r.LineA, LineOf(lines, "X90. Y60."));
  EXPECT_EQ(r.LineB, r.LineA);
  // Near the origin the paths still agree: the first moves are not in any stretch.
  EXPECT_GT(r.Stretches.front().FirstLineA, LineOf(lines, "S2000 M03"));
  // A tolerance above the largest deviation takes them all as agreeing.
  EXPECT_TRUE(Compare(lines, Split(turned.Output.Text()), chord + 0.001).Agree());
}

// One change to a program is one stretch, in both programs, where the paths part.
TEST(ComparePaths, ChangesShowWhereTheyAre) {
  const std::vector<std::string> base = ReadProgram("compare_part.nc");
  const int corner = LineOf(base, "X-50. Y20.");
  const int feed = LineOf(base, "X40. F600");
  const int pass = LineOf(base, "X-40. Y-30.");
  const int side = LineOf(base, "Y-20.");
  auto with = [&](int line, const std::vector<std::string>& replacement) {
    std::vector<std::string> out(base.begin(), base.begin() + line);
    out.insert(out.end(), replacement.begin(), replacement.end());
    out.insert(out.end(), base.begin() + line + 1, base.end());
    return out;
  };
  const std::vector<std::string> contour(base.begin() + feed, base.begin() + pass + 1);
  std::vector<std::string> twice = {base[static_cast<size_t>(pass)]};
  twice.insert(twice.end(), contour.begin(), contour.end());
  // Six more passes, deeper each: more than the walk looks ahead, so it finds its way back
  // through the grid.
  std::vector<std::string> more = {base[static_cast<size_t>(pass)]};
  for (int i = 1; i <= 6; ++i) {
    more.push_back("G01 Z" + std::to_string(-3 - i) + ". F200");
    more.insert(more.end(), contour.begin(), contour.end());
  }
  more.push_back("G01 Z-3.");
  const struct {
    const char* name;
    std::vector<std::string> other;
    int firstA, lastA, firstB, lastB;
    double largest;  // negative: at least that much
    bool rapidFeed;
  } cases[] = {
      // The corner moves 0.4 in Y: the block itself, nothing else (the next move runs along
      // the same line). The moved corner lies 0.4 / sqrt(2) off the 45-degree side.
      {"one block changed", with(corner, {"X-50. Y20.4"}), corner, corner, corner, corner, 0.4 / std::sqrt(2.0), false},
      {"rapid for feed", with(feed, {"G00 X40."}), feed, feed, feed, feed, 0, true},
      // The contour once more at the same depth: the second pass is no agreement, though it
      // runs over the first. It stands after the first pass's last line; its distance is
      // to where the first program goes instead (up and away), so only a bound is sure.
      {"a second pass", with(pass, twice), pass, pass, pass + 1, pass + static_cast<int>(contour.size()), -10, false},
      {"six more passes", with(pass, more), pass, pass, pass + 1, pass + static_cast<int>(more.size()) - 1, -1, false},
      // A side of the contour left out: the tool cuts across the corner, 400/sqrt(2600) off
      // it at most.
      {"a block left out", with(side, {}), side, side + 1, side, side, 400 / std::sqrt(2600.0), false},
  };
  for (const auto& c : cases) {
    const tools::CompareResult r = Compare(base, c.other);
    ASSERT_EQ(r.Stretches.size(), 1u) << c.name;
    const tools::PathDifference& d = r.Stretches[0];
    EXPECT_EQ(d.FirstLineA, c.firstA) << c.name;
    EXPECT_EQ(d.LastLineA, c.lastA) << c.name;
    EXPECT_EQ(d.FirstLineB, c.firstB) << c.name;
    EXPECT_EQ(d.LastLineB, c.lastB) << c.name;
    if (c.largest >= 0) {
      EXPECT_NEAR(d.Largest, c.largest, 0.01) << c.name;
    } else {
      EXPECT_GT(d.Largest, -c.largest) << c.name;
    }
    EXPECT_EQ(d.RapidFeed, c.rapidFeed) << c.name;
    EXPECT_NEAR(r.Largest, d.Largest, 1e-9) << c.name;
  }
}

// A program against itself, and against nothing.
TEST(ComparePaths, EmptyAndSame) {
  const std::vector<std::string> base = ReadProgram("compare_part.nc");
  const tools::CompareResult same = Compare(base, base);
  EXPECT_TRUE(same.Agree());
  EXPECT_LT(same.Largest, 1e-9);
  const tools::CompareResult none = Compare(base, {"(NOTHING)", "M30"});
  ASSERT_EQ(none.Stretches.size(), 1u);
  EXPECT_EQ(none.Stretches[0].FirstLineB, -1);
  EXPECT_GT(none.Largest, 100);
  EXPECT_TRUE(Compare({"M30"}, {"(NOTE)", "M30"}).Agree());
}

// A program that does not analyse is named, and so is one too long for its list.
TEST(ComparePaths, FaultsAreReported) {
  const std::vector<std::string> good = {"G01 X10. F100", "M30"};
  const std::vector<std::string> bad = {"G01 X10. F100", "G03 X20. Y10. R3.", "M30"};
  const nc::AnalyseOptions o;
  tools::ProgramComparison c =
      tools::ComparePrograms(nc::StringLineSource(good), o, nc::StringLineSource(bad), o, 0, tools::CompareOptions());
  EXPECT_EQ(c.Failed, 2);
  EXPECT_EQ(c.Error.Code, nc::ErrArcRadius);
  EXPECT_EQ(c.Error.Line, 1);
  c = tools::ComparePrograms(nc::StringLineSource({"G01 X1.y"}), o, nc::StringLineSource(good), o, 0,
                             tools::CompareOptions());
  EXPECT_EQ(c.Failed, 1);
  EXPECT_EQ(c.Error.Code, nc::ErrSyntax);
  c = tools::ComparePrograms(nc::StringLineSource(ReadProgram("long_call.nc")), o, nc::StringLineSource(good), o, 0,
                             tools::CompareOptions());
  EXPECT_EQ(c.Failed, 1);
  EXPECT_TRUE(c.ListFull);
  // Beyond single precision the path is no number: nothing to measure.
  c = tools::ComparePrograms(nc::StringLineSource(good), o, nc::StringLineSource({"G00 X1" + std::string(60, '0') + "."}),
                             o, 0, tools::CompareOptions());
  EXPECT_EQ(c.Failed, 2);
  EXPECT_TRUE(c.OutOfRange);
}
