// The host units Nc, Math and Stnd, called the way the engine calls them: arguments by
// name, results and var parameters written back by name.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <variant>

#include "script/GuiDlgModel.h"
#include "script/MathUnit.h"
#include "script/NcUnit.h"
#include "script/ScriptText.h"
#include "script/ScriptUi.h"
#include "script/StndUnit.h"
#include "script/TextFormat.h"

namespace kelvan::script {
namespace {

using Arg = std::variant<int64_t, double, std::string, bool>;

// The engine's side of a call, as a map from lower-case names to values.
class MapContext : public scriptengine::CallContext {
 public:
  std::map<std::string, Arg> values;
  std::string failed;
  static std::string Key(std::string_view n) {
    std::string k(n);
    for (char& c : k) c = char(std::tolower(static_cast<unsigned char>(c)));
    return k;
  }
  const Arg& Get(std::string_view n) const { return values.at(Key(n)); }
  int64_t Integer(std::string_view n) const override { return std::get<int64_t>(Get(n)); }
  double Float(std::string_view n) const override {
    const Arg& a = Get(n);
    return std::holds_alternative<int64_t>(a) ? double(std::get<int64_t>(a)) : std::get<double>(a);
  }
  std::string String(std::string_view n) const override { return std::get<std::string>(Get(n)); }
  bool Boolean(std::string_view n) const override { return std::get<bool>(Get(n)); }
  void SetInteger(std::string_view n, int64_t v) override { values[Key(n)] = v; }
  void SetFloat(std::string_view n, double v) override { values[Key(n)] = v; }
  void SetString(std::string_view n, std::string v) override { values[Key(n)] = std::move(v); }
  void SetBoolean(std::string_view n, bool v) override { values[Key(n)] = v; }
  void Fail(std::string message) override { failed = std::move(message); }
};

// Calls a unit's function with positional arguments; returns the context for results.
MapContext Call(const scriptengine::HostUnit& unit, const std::string& name, std::vector<Arg> args) {
  for (const scriptengine::HostFunction& f : unit.Functions) {
    if (f.Name != name) continue;
    MapContext c;
    EXPECT_EQ(f.Params.size(), args.size()) << name;
    for (size_t i = 0; i < f.Params.size() && i < args.size(); ++i) c.values[MapContext::Key(f.Params[i].Name)] = args[i];
    f.Handler(c);
    return c;
  }
  ADD_FAILURE() << "no function " << name;
  return {};
}

class QuietUi : public ScriptUi {
 public:
  bool MessageBox(const std::string&, bool) override { return false; }
  bool InputBox(const std::string&, std::string&) override { return false; }
  void Beep() override { ++beeps; }
  void ErrorBox(const std::string& text) override { errors.push_back(text); }
  bool ShowDialog(GuiDlgModel&) override { return false; }
  bool FileExists(const std::string& path) override { return path.find("there.png") != std::string::npos; }
  int beeps = 0;
  std::vector<std::string> errors;
};

TEST(NcUnit, NumberFormat) {
  const struct { double v; const char* text; } cases[] = {
      {10, "X10.0"}, {12.5, "X12.5"}, {-0.25, "X-0.25"}, {0, "X0.0"}, {1.23456, "X1.235"}, {100, "X100.0"}};
  for (const auto& c : cases) EXPECT_EQ(FormatNcNumber('X', c.v), c.text) << c.v;
}

TEST(NcUnit, EachFunctionWritesItsLine) {
  ScriptText text;
  NcState state;
  const scriptengine::HostUnit nc = MakeNcUnit(text, state);
  const struct { const char* name; std::vector<Arg> args; const char* line; } cases[] = {
      {"GCode", {int64_t(0)}, "G0"},
      {"SCode", {int64_t(1200)}, "S1200"},
      {"Plane", {int64_t(0)}, "G17"},
      {"Plane", {int64_t(19)}, "G19"},
      {"Term", {}, "%"},
      {"RapidXY", {10.0, -2.5}, "G00X10.0Y-2.5"},
      {"GoTo3D", {1.0, 2.0, -3.0, int64_t(0)}, "G01X1.0Y2.0Z-3.0"},
      {"GoTo3D", {1.0, 2.0, -3.0, int64_t(150)}, "G01X1.0Y2.0Z-3.0F150"},
      {"CW", {10.0, 0.0, 5.0, 0.0}, "G02X10.0Y0.0I5.0J0.0"},
      {"CCWR", {0.0, 0.0, 12.5}, "G03X0.0Y0.0R12.5"},
      {"From", {0.0, 0.0, 100.0}, "G92X0.0Y0.0Z100.0"},
      {"Rapid", {1.0, 2.0, 3.0}, "G00X1.0Y2.0Z3.0"},
  };
  for (const auto& c : cases) {
    Call(nc, c.name, c.args);
    EXPECT_EQ(text.Lines.back(), c.line) << c.name;
  }
  // The turtle: a heading of 90 degrees moves along +Y from where the tool stands.
  Call(nc, "MoveTo", {0.0, 0.0});
  Call(nc, "SetAngl", {90.0});
  Call(nc, "Move", {5.0});
  EXPECT_EQ(text.Lines.back(), "G01X0.0Y5.0");
  Call(nc, "SetAngl", {0.0});
  Call(nc, "Turn", {30.0});
  Call(nc, "Turn", {30.0});
  EXPECT_NEAR(state.Angle, 60 * M_PI / 180, 1e-12);
  MapContext lp = Call(nc, "GetLP", {0.0, 0.0});
  EXPECT_NEAR(lp.Float("x"), 0.0, 1e-12);
  EXPECT_DOUBLE_EQ(lp.Float("y"), 5.0);
  EXPECT_EQ(Call(nc, "CutterSpeed", {10.0, 100.0}).Integer("Result"), 3183);
  EXPECT_EQ(Call(nc, "FeedRate", {int64_t(1000), 0.0125}).Integer("Result"), 12);  // 12.5: ties to even
  EXPECT_FALSE(Call(nc, "CutterSpeed", {0.0, 100.0}).failed.empty()) << "a zero cutter is no speed";
}

TEST(MathUnit, DegreesDirectionsAndCrossings) {
  const scriptengine::HostUnit m = MakeMathUnit();
  EXPECT_NEAR(Call(m, "Sin", {30.0}).Float("Result"), 0.5, 1e-12);
  EXPECT_NEAR(Call(m, "ArcTan", {1.0}).Float("Result"), 45, 1e-12);
  EXPECT_NEAR(Call(m, "PosToAngl", {0.0, 0.0, -1.0, -1.0}).Float("Result"), 225, 1e-9);
  EXPECT_NEAR(Call(m, "PosToAngl", {1.0, 1.0, 1.0, 1.0}).Float("Result"), 90, 1e-9);
  const struct { double sa, ea, wantSa, wantEa; } checks[] = {
      {350, 10, -10, 10}, {10, 350, 10, 350}, {-400, -500, -400, -140}};
  for (const auto& c : checks) {
    MapContext r = Call(m, "AnglCheck", {c.sa, c.ea});
    EXPECT_NEAR(r.Float("sa"), c.wantSa, 1e-9) << c.sa;
    EXPECT_NEAR(r.Float("ea"), c.wantEa, 1e-9) << c.sa;
  }
  MapContext ll = Call(m, "LineLineCross", {0.0, 0.0, 4.0, 2.0, 0.0, 3.0, 3.0, 0.0, 0.0, 0.0});
  EXPECT_TRUE(ll.Boolean("Result"));
  EXPECT_NEAR(ll.Float("px"), 2, 1e-9);
  EXPECT_NEAR(ll.Float("py"), 1, 1e-9);
  EXPECT_FALSE(Call(m, "LineLineCross", {0.0, 0.0, 1.0, 1.0, 0.0, 1.0, 1.0, 2.0, 0.0, 0.0}).Boolean("Result"));
  MapContext la = Call(m, "LineArcCross", {5.0, 0.0, -5.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0});
  EXPECT_EQ(la.Integer("Result"), 2);
  EXPECT_NEAR(la.Float("p1x"), 2, 1e-9);
  EXPECT_NEAR(la.Float("p2x"), -2, 1e-9);
  MapContext tangent = Call(m, "LineArcCross", {-5.0, 2.0, 5.0, 2.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0});
  EXPECT_EQ(tangent.Integer("Result"), 1);
  EXPECT_NEAR(tangent.Float("p1y"), 2, 1e-9);
  MapContext aa = Call(m, "ArcArcCross", {0.0, 0.0, 2.0, 2.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0});
  EXPECT_EQ(aa.Integer("Result"), 2);
  EXPECT_NEAR(aa.Float("p1x"), 1, 1e-9);
  EXPECT_NEAR(aa.Float("p1y"), std::sqrt(3.0), 1e-9);
  EXPECT_NEAR(aa.Float("p2y"), -std::sqrt(3.0), 1e-9);
  EXPECT_EQ(Call(m, "ArcArcCross", {0.0, 0.0, 1.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 0.0}).Integer("Result"), 0);
}

TEST(StndUnit, LineFunctionsKeepTheirRanges) {
  ScriptText text;
  text.Lines = {"A", "B", "C"};
  QuietUi ui;
  GuiDlgModel dialog;
  const scriptengine::HostUnit u = MakeStndUnit(text, ui, dialog, "/scripts/");
  EXPECT_EQ(Call(u, "GetText", {int64_t(0)}).String("Result"), "");
  EXPECT_EQ(Call(u, "GetText", {int64_t(4)}).String("Result"), "");
  EXPECT_FALSE(Call(u, "PutText", {int64_t(4), std::string("X")}).Boolean("Result"));
  EXPECT_TRUE(Call(u, "InsertLine", {int64_t(4), std::string("D")}).Boolean("Result"));
  EXPECT_FALSE(Call(u, "InsertLine", {int64_t(6), std::string("F")}).Boolean("Result"));
  EXPECT_TRUE(Call(u, "DeleteLine", {int64_t(4)}).Boolean("Result"));
  EXPECT_FALSE(Call(u, "DeleteLine", {int64_t(0)}).Boolean("Result"));
  EXPECT_EQ(text.Lines, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(Call(u, "Readln", {std::string("?"), std::string("old")}).String("s"), "Cancel");
  Call(u, "ClrScr", {});
  Call(u, "Writeln", {std::string("G00")});
  EXPECT_EQ(Call(u, "GetLineLength", {}).Integer("Result"), 1);
  Call(u, "Locate", {int64_t(9), int64_t(3)});
  EXPECT_EQ(Call(u, "Row", {}).Integer("Result"), 1);
  EXPECT_EQ(Call(u, "Col", {}).Integer("Result"), 3);
}

TEST(StndUnit, TextHelpers) {
  ScriptText text;
  QuietUi ui;
  GuiDlgModel dialog;
  const scriptengine::HostUnit u = MakeStndUnit(text, ui, dialog, "/scripts/");
  const struct { const char* s; bool numeric; } numeric[] = {{"", false}, {".5", true}, {"-x", true}, {"x", false}};
  for (const auto& c : numeric) EXPECT_EQ(Call(u, "IsNumeric", {std::string(c.s)}).Boolean("Result"), c.numeric) << c.s;
  const struct { const char* s; int64_t i, n; const char* out; } copies[] = {
      {"ABCDEF", 2, 3, "BCD"}, {"ABC", 4, 1, ""}, {"ABC", 2, 0, ""}, {"ABC", 2, 99, "BC"},
      {"ABC", 0, 2, ""},
      // Bytes, as Length and Pos count them; a cut character is left out, never split.
      {"あいう", 4, 3, "い"}, {"あいう", 2, 6, "い"}, {"あいう", 1, 5, "あ"}, {"あいう", 2, 1, ""},
      {"(穴)X1", 6, 2, "X1"}};
  for (const auto& c : copies)
    EXPECT_EQ(Call(u, "Copy", {std::string(c.s), c.i, c.n}).String("Result"), c.out) << c.s << c.i;
  EXPECT_EQ(Call(u, "Space", {int64_t(3)}).String("Result"), "   ");
  EXPECT_EQ(Call(u, "Space", {int64_t(-2)}).String("Result"), "");
  Call(u, "Beep", {});
  EXPECT_EQ(ui.beeps, 1);
}

TEST(TextFormat, PatternsAreCheckedBeforeUse) {
  const struct { const char* pattern; int64_t v; const char* out; } ints[] = {
      {"N%04d", 25, "N0025"}, {"%x", 255, "ff"}, {"%5d|", 42, "   42|"}, {"100%% %d", 7, "100% 7"}, {"%.4d", 3, "0003"}};
  for (const auto& c : ints) {
    std::string out, error;
    EXPECT_TRUE(FormatInteger(c.pattern, c.v, out, error)) << c.pattern << error;
    EXPECT_EQ(out, c.out) << c.pattern;
  }
  const struct { const char* pattern; double v; const char* out; } floats[] = {
      {"%.3f", 3.14159, "3.142"}, {"%g", 0.5, "0.5"}, {"%n", 1234567.891, "1,234,567.89"}, {"%.1n", -1234.5, "-1,234.5"}};
  for (const auto& c : floats) {
    std::string out, error;
    EXPECT_TRUE(FormatFloat(c.pattern, c.v, out, error)) << c.pattern << error;
    EXPECT_EQ(out, c.out) << c.pattern;
  }
  // Anything the argument cannot fill, or that would reach past a sane field, is refused.
  for (const char* bad : {"%s", "%d %d", "no conversion", "%1000d", "%.999d", "%n", "%f", "%ld", "%"}) {
    std::string out, error;
    EXPECT_FALSE(FormatInteger(bad, 1, out, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  for (const char* bad : {"%d", "%s", "%.3f %f", "%p"}) {
    std::string out, error;
    EXPECT_FALSE(FormatFloat(bad, 1.0, out, error)) << bad;
  }
}

TEST(GuiDlgModel, PlacingAndReadingBack) {
  ScriptText text;
  QuietUi ui;
  GuiDlgModel d;
  const scriptengine::HostUnit u = MakeStndUnit(text, ui, d, "/scripts/");
  d.Edits[2].Text = "abc";  // what the user typed last time
  Call(u, "InitDlg", {});
  Call(u, "AddEdit", {int64_t(3), int64_t(10), int64_t(10), int64_t(80), int64_t(20), std::string()});
  EXPECT_TRUE(d.Edits[2].Visible);
  EXPECT_EQ(Call(u, "GetDlgText", {int64_t(3)}).String("Result"), "abc");
  for (int i = 0; i < 11; ++i)
    Call(u, "AddLabel", {int64_t(i), int64_t(0), int64_t(50), int64_t(20), "L" + std::to_string(i)});
  EXPECT_EQ(d.LabelsPlaced, 10);
  EXPECT_EQ(d.Labels[9].Text, "L9");
  for (int64_t no : {int64_t(0), int64_t(11)})
    EXPECT_FALSE(Call(u, "AddCheckBox", {no, int64_t(0), int64_t(0), int64_t(9), int64_t(9), std::string("c"), true})
                     .Boolean("Result"));
  EXPECT_FALSE(Call(u, "CheckBoxChecked", {int64_t(11)}).Boolean("Result"));
  EXPECT_EQ(Call(u, "GetDlgText", {int64_t(0)}).String("Result"), "");
  EXPECT_FALSE(Call(u, "AddImage", {int64_t(1), int64_t(2), std::string("missing.png")}).Boolean("Result"));
  EXPECT_EQ(ui.errors, std::vector<std::string>{"ファイル /scripts/missing.png が見つかりません。"});
  EXPECT_TRUE(Call(u, "AddImage", {int64_t(1), int64_t(2), std::string("there.png")}).Boolean("Result"));
  EXPECT_FALSE(Call(u, "ShowDlg", {int64_t(300), int64_t(200), std::string("Test")}).Boolean("Result"));
  EXPECT_EQ(d.Caption, "Torvik２　Test");
  EXPECT_EQ(Call(u, "GetCaption", {}).String("Result"), "Torvik２　Test");
  EXPECT_FALSE(Call(u, "AddDlg", {}).failed.empty());
  EXPECT_EQ(d.OkButton.Left, 100);
  EXPECT_EQ(d.OkButton.Top, 168);
  EXPECT_EQ(d.CancelButton.Left, 200);
  EXPECT_EQ(d.Bevel.Width, 284);
  EXPECT_EQ(d.Bevel.Height, 150);
}

}  // namespace
}  // namespace kelvan::script
