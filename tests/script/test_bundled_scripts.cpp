// The scripts Kelvan puts into a new user's script folder (resources/Script), run the way
// the program runs them: read from their Shift-JIS files, decoded, and handed to the script
// host, with a user who types into the script-built dialog and presses OK or Cancel. What
// the generators write is read back with Kelvan's own analyser.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/Cp932.h"
#include "nc/DecodedText.h"
#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "script/GuiDlgModel.h"
#include "script/ScriptHost.h"
#include "script/ScriptUi.h"

namespace kelvan::script {
namespace {

const std::string kFolder = KELVAN_TEST_DATA "/../../resources/Script/";
const char* const kSequence = "シーケンス番号";
const char* const kBolt = "ボルト穴円周";
const char* const kPocket = "矩形ポケット";
const char* const kFacing = "正面削り";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Types into the dialog's edit boxes, sets its check boxes and presses OK or Cancel. Every
// message box is answered with OK and its text kept.
class User : public ScriptUi {
 public:
  bool pressOk = true;
  std::map<int, std::string> type;
  std::map<int, bool> tick;
  std::vector<std::string> messages;
  int dialogs = 0;
  GuiDlgModel shown;

  bool MessageBox(const std::string& text, bool) override { return messages.push_back(text), true; }
  bool InputBox(const std::string&, std::string&) override { return false; }
  void Beep() override {}
  void ErrorBox(const std::string& text) override { messages.push_back(text); }
  bool ShowDialog(GuiDlgModel& d) override {
    ++dialogs;
    shown = d;
    for (const auto& [no, text] : type) d.Edits[size_t(no - 1)].Text = text;
    for (const auto& [no, on] : tick) d.CheckBoxes[size_t(no - 1)].Checked = on;
    return pressOk;
  }
  bool FileExists(const std::string&) override { return false; }
};

// The numbers typed into edit boxes 1, 2, ... as a user writes them (12.5, -30, 100).
std::map<int, std::string> Typed(std::initializer_list<double> values) {
  std::map<int, std::string> out;
  for (double v : values) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    out[int(out.size()) + 1] = buf;
  }
  return out;
}

struct Outcome {
  bool ok = false, changed = false;
  std::vector<std::string> lines;
  std::string error;
  int64_t statements = 0;  // the engine polls after every statement
};

Outcome RunScript(const std::string& name, User& user, std::vector<std::string> program = {}) {
  nc::DecodedText decoded;
  std::string source, error;
  EXPECT_TRUE(nc::ReadDecodedText(kFolder + name + ".PAS", decoded, error)) << error;
  for (int32_t i = 0; decoded.Utf8 && i < decoded.Utf8->LineCount(); ++i)
    source += std::string(decoded.Utf8->Line(i)) + "\n";
  ScriptHost host(user, kFolder);
  host.Text().Lines = std::move(program);
  Outcome out;
  ScriptHost::Options options;
  options.PollEvery = 1;
  options.Poll = [&out] { return ++out.statements < 50'000'000; };
  out.ok = host.RunScriptText(source, options);
  if (!out.ok) out.error = std::to_string(host.Messages().front().Line) + ": " + host.Messages().front().Text;
  out.changed = host.Text().Changed;
  out.lines = host.Text().Lines;
  return out;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

struct Move {
  nc::PathKind kind;
  double x1, y1, z1, x2, y2, z2;
  bool Lateral() const { return std::fabs(x2 - x1) > 1e-6 || std::fabs(y2 - y1) > 1e-6; }
  double DistanceTo(double px, double py) const {
    const double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(px - (x1 + t * dx), py - (y1 + t * dy));
  }
};

struct Path {
  nc::AnalysisResult result;
  std::vector<nc::PathItem> items;
  std::vector<Move> Moves(nc::PathKind kind) const {
    std::vector<Move> out;
    for (const nc::PathItem& it : items)
      if (it.Kind == kind)
        out.push_back({kind, it.Values[0], it.Values[1], it.Values[2], it.Values[3], it.Values[4], it.Values[5]});
    return out;
  }
};

Path Analyse(const std::vector<std::string>& lines) {
  std::vector<std::string> bytes;
  for (const std::string& l : lines) bytes.push_back(nc::EncodeFromUtf8(l, nc::TextEncoding::Cp932));
  nc::StringLineSource source(std::move(bytes));
  nc::PathList list(10000);
  nc::MachineState state;
  nc::RowMarks marks;
  nc::TEasyCalc calc;
  Path p;
  p.result = nc::AnalyseProgram(source, nc::AnalyseOptions{}, calc, list, state, marks);
  p.items.assign(list.begin(), list.end());
  return p;
}

// The files as the program reads them, their glyphs, their dialogs (inside the frame, away
// from the OK and Cancel buttons), Cancel, and OK on the defaults.
TEST(BundledScripts, FilesDialogsCancelAndDefaults) {
  const struct { const char* name; int edits; } cases[] = {{kSequence, 2}, {kBolt, 10}, {kPocket, 10}, {kFacing, 9}};
  const std::vector<std::string> program = {"%", "O0100", "G00 X0. Y0.", "N5 G01 X1.", "M30"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = ReadBytes(kFolder + c.name + ".PAS");
    EXPECT_EQ(nc::DetectEncoding(bytes), nc::TextEncoding::Cp932);
    EXPECT_FALSE(nc::IsAscii(bytes));
    const std::string text = nc::DecodeToUtf8(bytes, nc::TextEncoding::Cp932);
    EXPECT_TRUE(text.find("\xEF\x9E") == std::string::npos && text.find("\xEF\x9F") == std::string::npos)
        << "a byte that code page 932 cannot read";
    size_t lf = 0, crlf = 0;
    for (size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] == '\n') ++lf, crlf += i > 0 && bytes[i - 1] == '\r';
    EXPECT_TRUE(lf > 0 && lf == crlf) << "every line ends with CR LF";
    const std::string png = ReadBytes(kFolder + c.name + ".png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_LT(png.size(), 2048u);
    EXPECT_EQ(png.substr(1, 3) + png.substr(16, 8), std::string("PNG") + std::string("\0\0\0\x18\0\0\0\x18", 8));

    User cancel;
    cancel.pressOk = false;
    const Outcome o = RunScript(c.name, cancel, program);
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_FALSE(o.changed);
    EXPECT_EQ(o.lines, program);
    ASSERT_EQ(cancel.dialogs, 1);
    const GuiDlgModel& d = cancel.shown;
    EXPECT_NE(d.Caption.find(c.name), std::string::npos) << d.Caption;
    EXPECT_EQ(std::count_if(d.Edits.begin(), d.Edits.end(), [](auto& e) { return e.Visible && !e.Text.empty(); }),
              c.edits);
    for (const auto* group : {&d.Labels, &d.Edits, &d.CheckBoxes})
      for (const GuiDlgModel::Control& k : *group) {
        const auto& b = k.Box;
        EXPECT_TRUE(!k.Visible || (b.Left >= d.Bevel.Left && b.Top >= d.Bevel.Top &&
                                   b.Left + b.Width <= d.Bevel.Left + d.Bevel.Width &&
                                   b.Top + b.Height <= d.Bevel.Top + d.Bevel.Height))
            << k.Text << " at " << b.Left << "," << b.Top << " leaves the frame";
      }

    User ok;
    const Outcome defaults = RunScript(c.name, ok, program);
    ASSERT_TRUE(defaults.ok) << defaults.error;
    EXPECT_TRUE(ok.messages.empty()) << ok.messages[0];
    EXPECT_TRUE(Analyse(defaults.lines).result.Ok()) << Join(defaults.lines);
    if (c.name != kSequence) {
      EXPECT_EQ(std::vector<std::string>(defaults.lines.begin(), defaults.lines.begin() + 5), program) << "appended";
      EXPECT_EQ(defaults.lines.at(5).front(), '(') << "a comment says what follows";
    }
  }
}

// A bad entry is named in one message, and nothing is written.
TEST(BundledScripts, BadEntriesWriteNothing) {
  const struct { const char* name; int field; const char* typed; bool tick; const char* says; } cases[] = {
      {kSequence, 1, "abc", true, "開始番号"},  {kSequence, 1, "1.5", true, "開始番号"},
      {kSequence, 1, "-10", true, "開始番号"},  {kSequence, 2, "0", true, "増分"},
      {kSequence, 2, " ", true, "増分"},        {kBolt, 1, "x1", false, "中心 X"},
      {kBolt, 3, "", false, "P.C.D."},          {kBolt, 3, "0", false, "P.C.D."},
      {kBolt, 4, "2.5", false, "穴数"},         {kBolt, 4, "0", false, "穴数"},
      {kBolt, 7, "5", false, "穴底 Z"},         // above the R level 3
      {kBolt, 9, "0", false, "初期点 Z"},       // under the R level
      {kBolt, 8, "1e3", false, "送り F"},       {kBolt, 10, "0", true, "切込み Q"},
      {kPocket, 3, "8", false, "狭い"},         // the tool is 10
      {kPocket, 4, "9.99", false, "狭い"},      {kPocket, 7, "abc", false, "工具径"},
      {kPocket, 8, "0", false, "ステップ"},     {kPocket, 5, "-1", false, "深さ"},
      {kPocket, 6, "0", false, "切込み"},       {kPocket, 1, "--1", false, "位置 X"},
      {kPocket, 10, "-5", false, "安全高さ"},   {kFacing, 2, "-5", false, "X 最大"},
      {kFacing, 4, "0", false, "Y 最大"},       {kFacing, 9, "0", false, "安全高さ"},
      {kFacing, 6, "1..2", false, "工具径"},    {kFacing, 7, "101", false, "ステップ"},
  };
  const std::vector<std::string> program = {"G00 X0. Y0.", "M30"};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.says);
    User user;
    user.type = {{c.field, c.typed}};
    user.tick = {{1, c.tick}};
    const Outcome o = RunScript(c.name, user, program);
    EXPECT_TRUE(o.ok) << o.error;
    EXPECT_FALSE(o.changed);
    EXPECT_EQ(o.lines, program);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_NE(user.messages[0].find(c.says), std::string::npos) << user.messages[0];
  }
}

TEST(SequenceNumbers, Table) {
  const struct {
    const char* what;
    std::map<int, std::string> type;
    bool renumber;
    std::vector<std::string> in, out;
  } cases[] = {
      {"defaults: 10 by 10, an old N replaced, what is no block left alone", {}, true,
       {"%", "O1234 (TEST)", "(COMMENT ONLY)", "", "G90 G00 X0. Y0.", "N5 G01 X10. F100", "   G01 X20.", "/G01 X30.",
        "/N7 G01 X40.", "M30", "%"},
       {"%", "O1234 (TEST)", "(COMMENT ONLY)", "", "N10 G90 G00 X0. Y0.", "N20 G01 X10. F100", "   N30 G01 X20.",
        "/N40 G01 X30.", "/N50 G01 X40.", "N60 M30", "%"}},
      {"compact blocks stay compact", {}, true, {"G90G00X0.Y0.", "N100G01X10.F100", "M30"},
       {"N10G90G00X0.Y0.", "N20G01X10.F100", "N30M30"}},
      {"start and increment", {{1, "100"}, {2, "5"}}, true, {"G01X1.", "G01X2.", "G01X3."},
       {"N100G01X1.", "N105G01X2.", "N110G01X3."}},
      {"start 0, spaces around the number", {{1, " 0 "}, {2, "1"}}, true, {"G01X1.", "G01X2."},
       {"N0G01X1.", "N1G01X2."}},
      {"renumbering off keeps numbered blocks and does not count them", {}, false,
       {"G00X0.", "N5G01X1.", "/N7G01X2.", "G01X3."}, {"N10G00X0.", "N5G01X1.", "/N7G01X2.", "N20G01X3."}},
      {"block skip levels and indents", {}, true, {"/2G01X1.", "  /N3 G01 X2.", "\tG01X3."},
       {"/2N10G01X1.", "  /N20 G01 X2.", "\tN30G01X3."}},
      {"lines that are no block", {}, true,
       {" (INDENTED COMMENT)", ";NOTE", ":0001", "o100", "   ", "% ", "/(SKIPPED NOTE)", "/"},
       {" (INDENTED COMMENT)", ";NOTE", ":0001", "o100", "   ", "% ", "/(SKIPPED NOTE)", "/"}},
      {"a long N is replaced whole", {}, true, {"N00012345 G01 X1.", "N1"}, {"N10 G01 X1.", "N20"}},
      {"spaces inside a comment do not make a block spaced", {}, true,
       {"G01 X1. (A B)", "G01X2.(C D)", "G01X3.(穴あけ 1)"}, {"N10 G01 X1. (A B)", "N20G01X2.(C D)", "N30G01X3.(穴あけ 1)"}},
      {"a one-word block follows the block before it", {}, true, {"G01 X1.", "M05", "G01X2.", "M30"},
       {"N10 G01 X1.", "N20 M05", "N30G01X2.", "N40M30"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    User user;
    user.type = c.type;
    user.tick = {{1, c.renumber}};
    const Outcome o = RunScript(kSequence, user, c.in);
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(o.lines, c.out);
  }
}

// Only the indent, the old number and the first word are read character by character, so
// a program of long commented blocks costs no more than one of short blocks.
TEST(SequenceNumbers, CostDoesNotGrowWithLineLength) {
  std::vector<std::string> shortLines, longLines;
  for (int i = 0; i < 200; ++i) {
    shortLines.push_back("N" + std::to_string(i) + "G01X1.(A)");
    longLines.push_back("N" + std::to_string(i) + "G01X1.(" + std::string(300, 'A') + ")");
  }
  User a, b;
  const Outcome s = RunScript(kSequence, a, shortLines), l = RunScript(kSequence, b, longLines);
  ASSERT_TRUE(s.ok && l.ok);
  EXPECT_EQ(s.statements, l.statements);
  EXPECT_LT(s.statements, 200 * 50) << "statements per block";
  EXPECT_EQ(l.lines.back(), "N2000G01X1.(" + std::string(300, 'A') + ")");
}

TEST(BoltHoleCircle, HolesOnTheCircle) {
  const struct {
    const char* what;
    double cx, cy, pcd, holes, start, r, bottom, feed, initial, q;  // q 0: no peck
    const char* cycle;
  } cases[] = {
      {"six holes drilled", 0, 0, 100, 6, 0, 3, -20, 100, 50, 0, "G98G81X50.Y0.Z-20.R3.F100"},
      {"five pecked off centre", 120.5, -30, 75, 5, 18, 2, -12.5, 80.5, 25, 3,
       "G98G83X156.165Y-18.412Z-12.5R2.Q3.F80.5"},
      {"one hole", 10, 10, 40, 1, 90, 1, -5, 60, 1, 0, "G98G81X10.Y30.Z-5.R1.F60"},
      {"eight from a negative angle", -50, 20, 30.25, 8, -22.5, 5, -0.5, 120, 100, 0.25,
       "G98G83X-36.026Y14.212Z-0.5R5.Q0.25F120"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    User user;
    user.type = Typed({c.cx, c.cy, c.pcd, c.holes, c.start, c.r, c.bottom, c.feed, c.initial, c.q});
    if (c.q == 0) user.type[10] = "not read without peck";
    user.tick = {{1, c.q != 0}};
    const Outcome o = RunScript(kBolt, user, {"(EARLIER WORK)", "G00X0.Y0."});
    ASSERT_TRUE(o.ok && user.messages.empty()) << o.error;
    const Path p = Analyse(o.lines);
    ASSERT_TRUE(p.result.Ok()) << p.result.Code << " line " << p.result.Line << "\n" << Join(o.lines);

    std::vector<nc::PathItem> holes;
    std::copy_if(p.items.begin(), p.items.end(), std::back_inserter(holes),
                 [](const nc::PathItem& it) { return it.Kind == nc::PathKind::pkDrill; });
    ASSERT_EQ(holes.size(), size_t(c.holes)) << Join(o.lines);
    for (size_t i = 0; i < holes.size(); ++i) {
      const double a = (c.start + double(i) * 360 / c.holes) * M_PI / 180;
      EXPECT_NEAR(holes[i].Values[3], c.cx + c.pcd / 2 * std::cos(a), 1e-3) << "hole " << i;
      EXPECT_NEAR(holes[i].Values[4], c.cy + c.pcd / 2 * std::sin(a), 1e-3) << "hole " << i;
      EXPECT_NEAR(holes[i].Values[5], c.r, 1e-4);
      EXPECT_NEAR(holes[i].Values[6], c.bottom, 1e-4);
    }
    // G90 G17 first; a rapid over the first hole at the initial level, one cycle block, G80
    // after the holes, and back at the initial level.
    const std::vector<std::string> added(o.lines.begin() + 2, o.lines.end());
    ASSERT_EQ(added.size(), size_t(c.holes) + 6) << Join(added);
    EXPECT_EQ(added[1], "G90G17");
    EXPECT_EQ(added[4], c.cycle);
    EXPECT_EQ(added[4 + size_t(c.holes)], "G80");
    const std::vector<Move> rapids = p.Moves(nc::PathKind::pkRapid);
    ASSERT_GE(rapids.size(), 3u);
    const Move& over = rapids[rapids.size() - 2];
    EXPECT_TRUE(std::fabs(over.x2 - holes[0].Values[3]) < 1e-3 && std::fabs(over.y2 - holes[0].Values[4]) < 1e-3 &&
                std::fabs(over.z2 - c.initial) < 1e-4) << over.x2 << "," << over.y2 << "," << over.z2;
    EXPECT_EQ(p.items.back().Kind, nc::PathKind::pkRapid);
    EXPECT_NEAR(p.items.back().Values[5], c.initial, 1e-4);
  }
}

TEST(RectangularPocket, StaysInsideAndClearsToTheDepth) {
  const struct {
    const char* what;
    double x, y, width, length, depth, perPass, tool, stepover, feed, safe;
    bool centred;
    int levels;
  } cases[] = {
      {"corner given, four levels", 0, 0, 60, 40, 10, 3, 10, 50, 300, 5, false, 4},
      {"centre given, square, one level", 25, -10, 30, 30, 4, 4, 10, 60, 200, 3, true, 1},
      {"slot as wide as the tool", -5, 0, 10, 50, 2, 1, 10, 50, 100, 2, false, 2},
      {"odd sizes and stepover", 12.5, 7.25, 41, 23, 5.5, 2, 8, 37, 250, 10, false, 3},
      {"full stepover leaves no pins at the ring corners", -40, -30, 52, 35, 1, 0.5, 12, 100, 400, 1.5, true, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    User user;
    user.type = Typed({c.x, c.y, c.width, c.length, c.depth, c.perPass, c.tool, c.stepover, c.feed, c.safe});
    user.tick = {{1, c.centred}};
    const Outcome o = RunScript(kPocket, user);
    ASSERT_TRUE(o.ok && user.messages.empty()) << o.error;
    const Path p = Analyse(o.lines);
    ASSERT_TRUE(p.result.Ok()) << p.result.Code << " line " << p.result.Line << "\n" << Join(o.lines);

    const double cx = c.centred ? c.x : c.x + c.width / 2, cy = c.centred ? c.y : c.y + c.length / 2;
    const double r = c.tool / 2, xIn = c.width / 2 - r, yIn = c.length / 2 - r;  // tool centres stay in cx±xIn, cy±yIn
    std::set<double> levels;
    double lowest = 0;
    std::vector<Move> floor;
    for (const Move& m : p.Moves(nc::PathKind::pkLinear)) {
      for (auto [px, py] : {std::pair{m.x1, m.y1}, std::pair{m.x2, m.y2}})
        EXPECT_TRUE(std::fabs(px - cx) <= xIn + 1e-3 && std::fabs(py - cy) <= yIn + 1e-3)
            << "cut to " << px << "," << py;
      lowest = std::min({lowest, m.z1, m.z2});
      if (m.Lateral()) levels.insert(std::round(m.z2 * 1000) / 1000);
      if (m.Lateral() && std::fabs(m.z1 + c.depth) < 1e-4 && std::fabs(m.z2 + c.depth) < 1e-4) floor.push_back(m);
    }
    EXPECT_NEAR(lowest, -c.depth, 1e-4);
    ASSERT_EQ(levels.size(), size_t(c.levels));
    EXPECT_LE(-*levels.rbegin(), c.perPass + 1e-4);
    for (auto it = std::next(levels.begin()); it != levels.end(); ++it)
      EXPECT_LE(*it - *std::prev(it), c.perPass + 1e-4);
    for (const Move& m : p.Moves(nc::PathKind::pkRapid))
      EXPECT_TRUE(!m.Lateral() || std::min(m.z1, m.z2) >= c.safe - 1e-4) << "a rapid to " << m.x2 << "," << m.y2;
    EXPECT_NEAR(p.items.back().Values[5], c.safe, 1e-4) << "ends at the safe height";

    // Every point of the floor the round tool can reach lies under the cutter on some cut
    // of the last level.
    int missed = 0;
    const double grid = std::min(c.width, c.length) / 40;
    for (double px = cx - c.width / 2; px <= cx + c.width / 2; px += grid)
      for (double py = cy - c.length / 2; py <= cy + c.length / 2; py += grid) {
        const double toCentres =
            std::hypot(std::max(std::fabs(px - cx) - xIn, 0.0), std::max(std::fabs(py - cy) - yIn, 0.0));
        if (toCentres > r - 1e-6) continue;  // a corner the round tool cannot reach
        double nearest = 1e300;
        for (const Move& m : floor) nearest = std::min(nearest, m.DistanceTo(px, py));
        missed += nearest > r + 1e-3;
      }
    EXPECT_EQ(missed, 0) << "points of the floor left standing";
  }
}

TEST(Facing, CoversTheStockAndRunsOffBothEdges) {
  const struct {
    const char* what;
    double xMin, xMax, yMin, yMax, face, tool, stepover, feed, safe;
    bool oneWay;
  } cases[] = {
      {"zig-zag", 0, 100, 0, 60, 0, 50, 70, 500, 10, false},
      {"one way", 0, 100, 0, 60, 0, 50, 70, 500, 10, true},
      {"stock narrower than the cutter: one pass", 0, 200, 0, 30, -0.5, 50, 70, 800, 2, false},
      {"wide stock, small cutter", -50, 50, -80, 80, -1.25, 16, 60, 300, 5, false},
      {"one way, safe height close to the face", -50, 50, -80, 80, 3, 16, 100, 300, 3.5, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    User user;
    user.type = Typed({c.xMin, c.xMax, c.yMin, c.yMax, c.face, c.tool, c.stepover, c.feed, c.safe});
    user.tick = {{1, c.oneWay}};
    const Outcome o = RunScript(kFacing, user);
    ASSERT_TRUE(o.ok && user.messages.empty()) << o.error;
    const Path p = Analyse(o.lines);
    ASSERT_TRUE(p.result.Ok()) << p.result.Code << " line " << p.result.Line << "\n" << Join(o.lines);

    const double r = c.tool / 2;
    std::vector<Move> passes;
    for (const Move& m : p.Moves(nc::PathKind::pkLinear)) {
      if (!m.Lateral()) continue;
      EXPECT_TRUE(std::fabs(m.z1 - c.face) < 1e-4 && std::fabs(m.z2 - c.face) < 1e-4) << "cuts on the face";
      if (std::fabs(m.y2 - m.y1) < 1e-6) {
        passes.push_back(m);
      } else {
        EXPECT_FALSE(c.oneWay) << "one way steps over in the air";
        EXPECT_TRUE(m.x1 == m.x2 && (m.x1 < c.xMin - r || m.x1 > c.xMax + r)) << "steps over off the stock at " << m.x1;
      }
    }
    ASSERT_FALSE(passes.empty());
    for (size_t i = 0; i < passes.size(); ++i) {
      const Move& m = passes[i];
      EXPECT_TRUE(std::min(m.x1, m.x2) < c.xMin - r && std::max(m.x1, m.x2) > c.xMax + r)
          << "pass " << i << " runs off";
      EXPECT_EQ(m.x2 > m.x1, c.oneWay || i % 2 == 0) << "direction of pass " << i;
      if (i > 0) {
        EXPECT_TRUE(m.y1 > passes[i - 1].y1 && m.y1 - passes[i - 1].y1 <= c.tool * c.stepover / 100 + 1e-3) << i;
      }
    }
    EXPECT_LT(passes.front().y1 - r, c.yMin) << "the first pass overhangs the edge";
    EXPECT_GT(passes.back().y1 + r, c.yMax) << "the last pass overhangs the edge";
    for (const Move& m : p.Moves(nc::PathKind::pkRapid)) {
      EXPECT_GE(m.z2, std::min(c.safe, c.face + 1) - 1e-4) << "no rapid down to the face";
      EXPECT_TRUE(!m.Lateral() || std::min(m.z1, m.z2) >= c.safe - 1e-4) << "a rapid to " << m.x2 << "," << m.y2;
    }
    EXPECT_NEAR(p.items.back().Values[5], c.safe, 1e-4) << "ends at the safe height";
  }
}

}  // namespace
}  // namespace kelvan::script
