#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "report/BuildAreaReport.h"
#include "report/BuildDetailsReport.h"
#include "report/BuildDumpReport.h"
#include "report/BuildEconomyLines.h"
#include "report/BuildToolsReport.h"
#include "report/FormatFixed.h"

using namespace kelvan;
using Lines = std::vector<std::string>;

namespace {

// A program analysed with the default options (ATC height 500, start at X0 Y0 Z500).
struct Analysed {
  explicit Analysed(Lines program) : lines(std::move(program)), path(1000) {
    nc::TEasyCalc calc;
    nc::RowMarks marks;
    result = nc::AnalyseProgram(lines, nc::AnalyseOptions{}, calc, path, state, marks);
  }
  nc::StringLineSource lines;
  nc::PathList path;
  nc::MachineState state;
  nc::AnalysisResult result;
};

// "0:(T1 あ)" in Shift-JIS: the reports must show it decoded.
const std::string kSjisToolComment = "(T1 \x82\xa0)";

}  // namespace

TEST(FormatFixed, SevenSignificantDigitsAtMostFiveDecimals) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {14.142136, "14.14214"},   {0.0023570, "0.00236"},   {1234.5678, "1234.568"},
      {10.0, "10.00000"},        {0.0, "0.00000"},         {0.5, "0.50000"},
      {0.999999, "1.00000"},     {99999.9996, "100000.0"}, {1234567.4, "1234567"},
      {12345678.9, "1.234568E+7"}, {9999999.6, "1E+7"},    {-3.25, "-3.25000"},
      {-0.000001, "0.00000"},    {0.0000012, "0.00000"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const Case& c : cases) EXPECT_EQ(report::FormatFixed(c.value, 7, 5), c.text) << c.value;
}

TEST(FormatFixed, DecimalsNeverShowANegativeZero) {
  EXPECT_EQ(report::FormatDecimals(-0.0004, 3), "0.000");
  EXPECT_EQ(report::FormatDecimals(-0.0, 1), "0.0");
  EXPECT_EQ(report::FormatDecimals(-0.06, 1), "-0.1");
  EXPECT_EQ(report::FormatDecimals(123456.0, 3), "123456.000");
}

TEST(AreaReport, ExtentsAndStrokesWithFullWidthLabels) {
  Analysed a({"G00 X-12.5 Y4.", "G01 Z-3.25 F100", "X30.1234"});
  ASSERT_TRUE(a.result.Ok());
  const Lines expected = {
      "加工範囲レポート", "",
      "Ｘ－最小値：-12.500", "Ｘ＋最大値：30.123", "Ｙ－最小値：0.000", "Ｙ＋最大値：4.000",
      "Ｚ－最小値：-3.250", "Ｚ＋最大値：0.000", "",
      "所要Ｘストローク：42.623", "所要Ｙストローク：4.000", "所要Ｚストローク：3.250",
  };
  EXPECT_EQ(report::BuildAreaReport(a.state), expected);
}

TEST(AreaReport, UsesTheStateAsItStands) {
  nc::MachineState s;  // never analysed: the extents are all zero
  s.RangeMaxX = 7;
  const Lines r = report::BuildAreaReport(s);
  ASSERT_EQ(r.size(), 12u);
  EXPECT_EQ(r[3], "Ｘ＋最大値：7.000");
  EXPECT_EQ(r[9], "所要Ｘストローク：7.000");
  EXPECT_EQ(r[11], "所要Ｚストローク：0.000");
}

TEST(ToolsReport, ListsPostAndToolLines) {
  struct Case {
    const char* name;
    Lines program;
    Lines listed;  // after title, file name and empty line
  };
  const Case cases[] = {
      {"no markers: header only", {"G00 X0", "(ROUGH)", "M30"}, {}},
      {"empty program", {}, {}},
      {"POST without T once", {"(POSTPROCESSOR A)", "G00"}, {"(POSTPROCESSOR A)"}},
      {"both on one line twice", {"(POST X) (T1-10.)"}, {"(POST X) (T1-10.)", "(POST X) (T1-10.)"}},
      {"case-sensitive", {"(t1-10.)", "(post x)", "( T2)", "X(T3"}, {"X(T3"}},
      {"program order kept", {"(T2)", "G01", "(POST B)", "(T1)"}, {"(T2)", "(POST B)", "(T1)"}},
      {"Shift-JIS decoded", {kSjisToolComment}, {"(T1 あ)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nc::StringLineSource src(c.program);
    Lines expected = {"使用工具レポート", "/work/a.nc", ""};
    expected.insert(expected.end(), c.listed.begin(), c.listed.end());
    EXPECT_EQ(report::BuildToolsReport(src, nc::TextEncoding::Cp932, "/work/a.nc"), expected);
  }
}

TEST(DetailsReport, TotalsAtF1WithoutFeedAndNoSectionsWithoutToolComments) {
  // The extents cover cutting moves only, so the rapid to Y20 widens nothing.
  Analysed a({"G01 X10.", "G00 Y20."});
  ASSERT_TRUE(a.result.Ok());
  const Lines expected = {
      "【加工詳細レポート】", "", "ファイル名=/nc/プレート.nc", "",
      "加工長：10.0 mm", "早送り長：20.0 mm", "加工時間：10.0 min(*1)", "",
      "X最小値：0.000", "X最大値：10.000", "Y最小値：0.000", "Y最大値：0.000",
      "Z最小値：0.000", "Z最大値：500.000", "",
      "所要Xストローク：10.000", "所要Yストローク：0.000", "所要Zストローク：500.000", "",
      "*1送り速度が含まれていない場合はF1とみなします。",
  };
  EXPECT_EQ(report::BuildDetailsReport(a.path, a.state, a.lines, nc::TextEncoding::Cp932,
                                       "/nc/プレート.nc"),
            expected);
}

TEST(DetailsReport, EmptyProgramStillHasTheNote) {
  Analysed a({});
  const Lines r = report::BuildDetailsReport(a.path, a.state, a.lines, nc::TextEncoding::Cp932, "");
  ASSERT_EQ(r.size(), 20u);
  EXPECT_EQ(r[2], "ファイル名=");
  EXPECT_EQ(r[6], "加工時間：0.0 min(*1)");
  EXPECT_EQ(r.back(), "*1送り速度が含まれていない場合はF1とみなします。");
}

TEST(DetailsReport, ToolSectionsFollowTheNote) {
  // The first move comes before any tool comment and belongs to no section; the
  // rapid of T2 adds no cutting length but a little time.
  Analysed a({"G01 X10. F100", kSjisToolComment, "G01 X40. F300", "(T2)", "G00 X0",
              "G01 Y50. F50"});
  ASSERT_TRUE(a.result.Ok());
  const Lines r =
      report::BuildDetailsReport(a.path, a.state, a.lines, nc::TextEncoding::Cp932, "f");
  const Lines tail(r.begin() + 19, r.end());
  const Lines expected = {
      "*1送り速度が含まれていない場合はF1とみなします。", "",
      "(T1 あ)", "加工長：30.0 mm 加工時間：0.1 min", "",
      "(T2)", "加工長：50.0 mm 加工時間：1.0 min", "",
  };
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(r[4], "加工長：90.0 mm");
  EXPECT_EQ(r[5], "早送り長：40.0 mm");
  EXPECT_EQ(r[6], "加工時間：1.2 min(*1)");
}

TEST(DumpReport, ItemsWithLengthAndTheirOwnTime) {
  Analysed a({"(T1 A)", "G01 X10. Y10. F100", "G00 Z5."});
  ASSERT_TRUE(a.result.Ok());
  const Lines expected = {
      "(T1 A)", "0:(T1 A)", "",
      "1:G01 X10. Y10. F100 Leng:14.14214 Time:0.14142", "",
      "2:G00 Z5.", "",
  };
  EXPECT_EQ(report::BuildDumpReport(a.path, a.lines, nc::TextEncoding::Cp932), expected);
}

TEST(DumpReport, DecodesLinesAndToleratesLinesTheTextNoLongerHas) {
  nc::PathList path(10);
  const float none[8] = {};
  nc::AddPathItem(path, 1.0, 0, nc::PathKind::pkToolComment, none);
  nc::AddPathItem(path, 1.0, 7, nc::PathKind::pkNone, none);
  nc::StringLineSource src(Lines{kSjisToolComment});
  const Lines expected = {"(T1 あ)", "0:(T1 あ)", "", "7:", ""};
  EXPECT_EQ(report::BuildDumpReport(path, src, nc::TextEncoding::Cp932), expected);
}

TEST(EconomyLines, TwoColumnsPerGroupOfTwoRows) {
  struct Case {
    const char* name;
    Lines in;
    int rows, width;
    Lines out;
  };
  const Lines ag = {"A", "B", "C", "D", "E", "F", "G"};
  const Case cases[] = {
      {"seven lines, R 3, W 10", ag, 3, 10,
       {"A         D", "B         E", "C         F", "G", "", ""}},
      {"long left line meets its partner directly", {"0123456789AB", "X", "Y", "Z"}, 2, 10,
       {"0123456789ABY", "X         Z"}},
      {"left line of exactly W", {"0123456789", "Q"}, 1, 10, {"0123456789Q"}},
      {"full-width characters count two bytes", {"あい", "Z"}, 1, 6, {"あい  Z"}},
      {"R of 0 prints normally", ag, 0, 10, ag},
      {"negative R prints normally", ag, -4, 10, ag},
      {"R past the text: no empty rows", {"A", "B", "C"}, 1000000000, 10, {"A", "B", "C"}},
      {"empty program", {}, 3, 10, {}},
      {"negative W: no padding", {"A", "B"}, 1, -5, {"AB"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(report::BuildEconomyLines(c.in, c.rows, c.width), c.out);
  }
}

TEST(EconomyLines, Cp932Width) {
  EXPECT_EQ(report::Cp932Width("G01 X1."), 7);
  EXPECT_EQ(report::Cp932Width("(エンドミル φ10)"), 17);
  EXPECT_EQ(report::Cp932Width("\xF0\x9F\x98\x80"), 1);  // an emoji prints as one "?"
}
