#include "script/NcUnit.h"

#include <cmath>
#include <cstdio>

#include "script/HostFunctions.h"
#include "script/ScriptText.h"

namespace kelvan::script {

namespace {

using namespace host;

constexpr double kPi = 3.14159265358979323846;

std::string Int(char letter, int64_t value) { return letter + std::to_string(value); }


// The words of a motion: the G code, then each letter's number.
struct Words {
  std::string Text;
  Words(const char* g) : Text(g) {}
  Words& Add(char letter, double v) {
    Text += FormatNcNumber(letter, v);
    return *this;
  }
  Words& Feed(int64_t f) {
    if (f > 0) Text += Int('F', f);
    return *this;
  }
};

void AddCodes(std::vector<HostFunction>& u, ScriptText& text) {
  auto code = [&text](const char* name, char letter, const char* param) {
    return Proc(name, {I(param)}, [&text, letter, p = std::string(param)](CallContext& c) {
      text.Append(Int(letter, c.Integer(p)));
    });
  };
  u.push_back(code("GCode", 'G', "g"));
  u.push_back(code("MCode", 'M', "m"));
  // SCode is declared with a result it never sets, as scripts have always seen it.
  HostFunction scode = code("SCode", 'S', "s");
  scode.HasResult = true;
  u.push_back(scode);
  u.push_back(code("TCode", 'T', "t"));
  u.push_back(code("Feed", 'F', "f"));
  u.push_back(Proc("Term", {}, [&text](CallContext&) { text.Append("%"); }));
  u.push_back(Proc("Plane", {I("p")}, [&text](CallContext& c) {
    const int64_t p = c.Integer("p");
    text.Append(p == 18 ? "G18" : p == 19 ? "G19" : "G17");
  }));
}

void AddPositions(std::vector<HostFunction>& u, ScriptText& text, NcState& s) {
  auto xyz = [&](const char* name, const char* g) {
    return Proc(name, {F("x"), F("y"), F("z")}, [&text, &s, g](CallContext& c) {
      s.X = c.Float("x"), s.Y = c.Float("y"), s.Z = c.Float("z");
      text.Append(Words(g).Add('X', s.X).Add('Y', s.Y).Add('Z', s.Z).Text);
    });
  };
  u.push_back(xyz("From", "G92"));
  u.push_back(xyz("Rapid3D", "G00"));
  // "Rapid" is the name the input support list offers for the same function.
  u.push_back(xyz("Rapid", "G00"));
  u.push_back(Proc("RapidXY", {F("x"), F("y")}, [&text, &s](CallContext& c) {
    s.X = c.Float("x"), s.Y = c.Float("y");
    text.Append(Words("G00").Add('X', s.X).Add('Y', s.Y).Text);
  }));
  u.push_back(Proc("RapidZ", {F("z")}, [&text, &s](CallContext& c) {
    s.Z = c.Float("z");
    text.Append(Words("G00").Add('Z', s.Z).Text);
  }));
  u.push_back(Proc("GoTo3D", {F("x"), F("y"), F("z"), I("f")}, [&text, &s](CallContext& c) {
    s.X = c.Float("x"), s.Y = c.Float("y"), s.Z = c.Float("z");
    text.Append(Words("G01").Add('X', s.X).Add('Y', s.Y).Add('Z', s.Z).Feed(c.Integer("f")).Text);
  }));
  u.push_back(Proc("GoToXY", {F("x"), F("y"), I("f")}, [&text, &s](CallContext& c) {
    s.X = c.Float("x"), s.Y = c.Float("y");
    text.Append(Words("G01").Add('X', s.X).Add('Y', s.Y).Feed(c.Integer("f")).Text);
  }));
  u.push_back(Proc("GoToZ", {F("z"), I("f")}, [&text, &s](CallContext& c) {
    s.Z = c.Float("z");
    text.Append(Words("G01").Add('Z', s.Z).Feed(c.Integer("f")).Text);
  }));
}

void AddArcs(std::vector<HostFunction>& u, ScriptText& text, NcState& s) {
  auto ij = [&](const char* name, const char* g) {
    return Proc(name, {F("x"), F("y"), F("i"), F("j")}, [&text, &s, g](CallContext& c) {
      s.X = c.Float("x"), s.Y = c.Float("y");
      text.Append(Words(g).Add('X', s.X).Add('Y', s.Y).Add('I', c.Float("i")).Add('J', c.Float("j")).Text);
    });
  };
  auto r = [&](const char* name, const char* g) {
    return Proc(name, {F("x"), F("y"), F("r")}, [&text, &s, g](CallContext& c) {
      s.X = c.Float("x"), s.Y = c.Float("y");
      text.Append(Words(g).Add('X', s.X).Add('Y', s.Y).Add('R', c.Float("r")).Text);
    });
  };
  u.push_back(ij("CW", "G02"));
  u.push_back(ij("CCW", "G03"));
  u.push_back(r("CWR", "G02"));
  u.push_back(r("CCWR", "G03"));
}

void AddTurtle(std::vector<HostFunction>& u, ScriptText& text, NcState& s) {
  auto line = [&text, &s] { text.Append(Words("G01").Add('X', s.X).Add('Y', s.Y).Text); };
  u.push_back(Proc("Move", {F("l")}, [&s, line](CallContext& c) {
    s.X += std::cos(s.Angle) * c.Float("l");
    s.Y += std::sin(s.Angle) * c.Float("l");
    line();
  }));
  u.push_back(Proc("Move3D", {F("l"), F("z")}, [&text, &s](CallContext& c) {
    s.X += std::cos(s.Angle) * c.Float("l");
    s.Y += std::sin(s.Angle) * c.Float("l");
    s.Z = c.Float("z");
    text.Append(Words("G01").Add('X', s.X).Add('Y', s.Y).Add('Z', s.Z).Text);
  }));
  u.push_back(Proc("MoveTo", {F("x"), F("y")}, [&s, line](CallContext& c) {
    s.X = c.Float("x"), s.Y = c.Float("y");
    line();
  }));
  u.push_back(Proc("MoveRel", {F("x"), F("y")}, [&s, line](CallContext& c) {
    s.X += c.Float("x"), s.Y += c.Float("y");
    line();
  }));
  u.push_back(Proc("SetAngl", {F("a")}, [&s](CallContext& c) { s.Angle = c.Float("a") * kPi / 180; }));
  u.push_back(Proc("Turn", {F("a")}, [&s](CallContext& c) { s.Angle += c.Float("a") * kPi / 180; }));
  u.push_back(Proc("GetLP", {VarF("x"), VarF("y")}, [&s](CallContext& c) {
    c.SetFloat("x", s.X);
    c.SetFloat("y", s.Y);
  }));
}

// Rounding to the nearest integer, ties to the even neighbour; a value beyond the
// integers is an error of the script, not a wrapped number.
void SetRounded(CallContext& c, double v) {
  if (!std::isfinite(v) || std::fabs(v) > 9.0e18) {
    c.Fail("結果が整数の範囲を超えます。");
    return;
  }
  c.SetInteger("Result", static_cast<int64_t>(std::nearbyint(v)));
}

void AddCutting(std::vector<HostFunction>& u) {
  u.push_back(Fn("CutterSpeed", {F("cutter"), F("meter")}, HostType::Integer, [](CallContext& c) {
    SetRounded(c, c.Float("meter") * 1000.0 / (c.Float("cutter") * kPi));
  }));
  u.push_back(Fn("FeedRate", {I("rpm"), F("rev")}, HostType::Integer, [](CallContext& c) {
    SetRounded(c, double(c.Integer("rpm")) * c.Float("rev"));
  }));
}

}  // namespace

std::string FormatNcNumber(char letter, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%c%.3f", letter, value);
  std::string s = buf;
  // Only a number with a point loses its zeros (inf and nan have none).
  if (s.find('.') == std::string::npos) return s;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.push_back('0');
  return s;
}

scriptengine::HostUnit MakeNcUnit(ScriptText& text, NcState& state) {
  scriptengine::HostUnit unit;
  unit.Name = "Nc";
  AddCodes(unit.Functions, text);
  AddPositions(unit.Functions, text, state);
  AddArcs(unit.Functions, text, state);
  AddTurtle(unit.Functions, text, state);
  AddCutting(unit.Functions);
  return unit;
}

}  // namespace kelvan::script
