#include "script/StndUnit.h"

#include <algorithm>

#include "script/GuiDlgModel.h"
#include "script/HostFunctions.h"
#include "script/ScriptText.h"
#include "script/ScriptUi.h"
#include "script/TextFormat.h"

namespace kelvan::script {

namespace {

using namespace host;

// The characters of UTF-8 text: their byte offsets, and the end.
std::vector<size_t> CharStarts(const std::string& s) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

void AddLines(std::vector<HostFunction>& u, ScriptText& t) {
  auto count = [&t] { return int64_t(t.Lines.size()); };
  u.push_back(Proc("ClrScr", {}, [&t](CallContext&) {
    t.Lines.clear();
    t.Changed = true;
  }));
  u.push_back(Proc("Writeln", {S("s")}, [&t](CallContext& c) { t.Append(c.String("s")); }));
  u.push_back(Fn("GetLineLength", {}, HostType::Integer, [count](CallContext& c) { c.SetInteger("Result", count()); }));
  u.push_back(Fn("GetText", {I("n")}, HostType::String, [&t, count](CallContext& c) {
    const int64_t n = c.Integer("n");
    c.SetString("Result", n >= 1 && n <= count() ? t.Lines[size_t(n - 1)] : std::string());
  }));
  u.push_back(Fn("PutText", {I("n"), S("s")}, HostType::Boolean, [&t, count](CallContext& c) {
    const int64_t n = c.Integer("n");
    const bool ok = n >= 1 && n <= count();
    if (ok) t.Lines[size_t(n - 1)] = c.String("s"), t.Changed = true;
    c.SetBoolean("Result", ok);
  }));
  u.push_back(Fn("InsertLine", {I("n"), S("s")}, HostType::Boolean, [&t, count](CallContext& c) {
    const int64_t n = c.Integer("n");
    const bool ok = n >= 1 && n <= count() + 1;
    if (ok) t.Lines.insert(t.Lines.begin() + (n - 1), c.String("s")), t.Changed = true;
    c.SetBoolean("Result", ok);
  }));
  u.push_back(Fn("DeleteLine", {I("n")}, HostType::Boolean, [&t, count](CallContext& c) {
    const int64_t n = c.Integer("n");
    const bool ok = n >= 1 && n <= count();
    if (ok) t.Lines.erase(t.Lines.begin() + (n - 1)), t.Changed = true;
    c.SetBoolean("Result", ok);
  }));
}

void AddCaret(std::vector<HostFunction>& u, ScriptText& t) {
  u.push_back(Fn("Row", {}, HostType::Integer, [&t](CallContext& c) { c.SetInteger("Result", t.CaretRow + 1); }));
  u.push_back(Fn("Col", {}, HostType::Integer, [&t](CallContext& c) { c.SetInteger("Result", t.CaretColumn + 1); }));
  u.push_back(Fn("SelLength", {}, HostType::Integer, [&t](CallContext& c) {
    c.SetInteger("Result", int64_t(CharStarts(t.Selection).size()) - 1);
  }));
  u.push_back(Fn("SelText", {}, HostType::String, [&t](CallContext& c) { c.SetString("Result", t.Selection); }));
  // The caret stays inside the text: a row past the end goes to the last line.
  u.push_back(Proc("Locate", {I("row"), I("col")}, [&t](CallContext& c) {
    const int64_t rows = std::max<int64_t>(int64_t(t.Lines.size()), 1);
    t.CaretRow = Clamp32(std::clamp<int64_t>(c.Integer("row"), 1, rows) - 1);
    t.CaretColumn = Clamp32(std::max<int64_t>(c.Integer("col"), 1) - 1);
    t.Selection.clear();
  }));
}

void AddBoxes(std::vector<HostFunction>& u, ScriptUi& ui) {
  u.push_back(Proc("Readln", {S("Prompt"), VarS("s")}, [&ui](CallContext& c) {
    std::string text;
    c.SetString("s", ui.InputBox(c.String("Prompt"), text) ? text : std::string("Cancel"));
  }));
  u.push_back(Fn("MsgBox", {S("m")}, HostType::Boolean,
                 [&ui](CallContext& c) { c.SetBoolean("Result", ui.MessageBox(c.String("m"), false)); }));
  u.push_back(Fn("OkMsgBox", {S("m")}, HostType::Boolean,
                 [&ui](CallContext& c) { c.SetBoolean("Result", ui.MessageBox(c.String("m"), true)); }));
  u.push_back(Proc("Beep", {}, [&ui](CallContext&) { ui.Beep(); }));
  u.push_back(Proc("CopyToClipBoard", {S("s")}, [&ui](CallContext& c) { ui.CopyToClipboard(c.String("s")); }));
}

void AddStrings(std::vector<HostFunction>& u) {
  u.push_back(Fn("IntToStrF", {S("s"), I("i")}, HostType::String, [](CallContext& c) {
    std::string out, error;
    if (FormatInteger(c.String("s"), c.Integer("i"), out, error)) c.SetString("Result", out);
    else c.Fail(error);
  }));
  u.push_back(Fn("FloatToStrF", {S("s"), F("f")}, HostType::String, [](CallContext& c) {
    std::string out, error;
    if (FormatFloat(c.String("s"), c.Float("f"), out, error)) c.SetString("Result", out);
    else c.Fail(error);
  }));
  // Positions and lengths count bytes, as Length, Pos, Delete and Insert do, so that
  // Copy(s, Pos('(', s), Length(s)) works on any line. A character the range cuts
  // (a Japanese one, several bytes long) is left out whole, never split.
  u.push_back(Fn("Copy", {S("s"), I("i"), I("c")}, HostType::String, [](CallContext& c) {
    const std::string s = c.String("s");
    const int64_t length = int64_t(s.size()), i = c.Integer("i"), n = c.Integer("c");
    if (i < 1 || i > length || n <= 0) return c.SetString("Result", std::string());
    auto continuation = [&s](size_t at) { return at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80; };
    size_t from = size_t(i - 1), to = size_t(i - 1 + std::min(n, length - i + 1));
    while (from < to && continuation(from)) ++from;
    while (to > from && continuation(to)) --to;
    c.SetString("Result", s.substr(from, to - from));
  }));
  u.push_back(Fn("IsNumeric", {S("c")}, HostType::Boolean, [](CallContext& c) {
    const std::string s = c.String("c");
    c.SetBoolean("Result", !s.empty() && ((s[0] >= '0' && s[0] <= '9') || s[0] == '+' || s[0] == '-' || s[0] == '.'));
  }));
  u.push_back(Fn("Space", {I("n")}, HostType::String, [](CallContext& c) {
    const int64_t n = c.Integer("n");
    if (n > 100000000) return c.Fail("Space の長さが大きすぎます。");
    c.SetString("Result", std::string(size_t(std::max<int64_t>(n, 0)), ' '));
  }));
}

void AddDialog(std::vector<HostFunction>& u, ScriptUi& ui, GuiDlgModel& d, const std::string& folder) {
  auto box = [](CallContext& c, const char* l, const char* t, const char* w, const char* h) {
    return GuiDlgModel::Rect{Clamp32(c.Integer(l)), Clamp32(c.Integer(t)), Clamp32(c.Integer(w)), Clamp32(c.Integer(h))};
  };
  u.push_back(Proc("InitDlg", {}, [&d](CallContext&) { d.InitDlg(); }));
  u.push_back(Fn("AddLabel", {I("Left"), I("Top"), I("Width"), I("Height"), S("Text")}, HostType::Boolean,
                 [&d, box](CallContext& c) {
                   const GuiDlgModel::Rect r = box(c, "Left", "Top", "Width", "Height");
                   d.AddLabel(r.Left, r.Top, r.Width, r.Height, c.String("Text"));
                   c.SetBoolean("Result", false);
                 }));
  u.push_back(Fn("AddEdit", {I("No"), I("Left"), I("Top"), I("Width"), I("Height"), S("Text")}, HostType::Boolean,
                 [&d, box](CallContext& c) {
                   const GuiDlgModel::Rect r = box(c, "Left", "Top", "Width", "Height");
                   d.AddEdit(c.Integer("No"), r.Left, r.Top, r.Width, r.Height, c.String("Text"));
                   c.SetBoolean("Result", false);
                 }));
  u.push_back(Fn("AddCheckBox", {I("No"), I("Left"), I("Top"), I("Width"), I("Height"), S("Text"), B("Check")},
                 HostType::Boolean, [&d, box](CallContext& c) {
                   const GuiDlgModel::Rect r = box(c, "Left", "Top", "Width", "Height");
                   c.SetBoolean("Result", d.AddCheckBox(c.Integer("No"), r.Left, r.Top, r.Width, r.Height,
                                                        c.String("Text"), c.Boolean("Check")));
                 }));
  u.push_back(Fn("AddImage", {I("Left"), I("Top"), S("Name")}, HostType::Boolean, [&d, &ui, folder](CallContext& c) {
    const std::string path = folder + c.String("Name");
    const bool found = ui.FileExists(path);
    if (!found) ui.ErrorBox("ファイル " + path + " が見つかりません。");
    else d.AddImage(Clamp32(c.Integer("Left")), Clamp32(c.Integer("Top")), path);
    c.SetBoolean("Result", found);
  }));
  u.push_back(Fn("ShowDlg", {I("Width"), I("Height"), S("Caption")}, HostType::Boolean, [&d, &ui](CallContext& c) {
    d.Layout(Clamp32(c.Integer("Width")), Clamp32(c.Integer("Height")), c.String("Caption"));
    c.SetBoolean("Result", ui.ShowDialog(d));
  }));
  u.push_back(Fn("GetCaption", {}, HostType::String, [&d](CallContext& c) { c.SetString("Result", d.Caption); }));
  // The name stands in the input support list, but no dialog of this program has a use
  // for it: a script that calls it learns so at once.
  u.push_back(Proc("AddDlg", {}, [](CallContext& c) { c.Fail("'AddDlg' はこのスクリプトでは使えません。"); }));
  u.push_back(Fn("GetDlgText", {I("No")}, HostType::String,
                 [&d](CallContext& c) { c.SetString("Result", d.DlgText(c.Integer("No"))); }));
  u.push_back(Fn("CheckBoxChecked", {I("No")}, HostType::Boolean,
                 [&d](CallContext& c) { c.SetBoolean("Result", d.CheckBoxChecked(c.Integer("No"))); }));
}

}  // namespace

scriptengine::HostUnit MakeStndUnit(ScriptText& text, ScriptUi& ui, GuiDlgModel& dialog,
                                    const std::string& scriptFolder) {
  scriptengine::HostUnit unit;
  unit.Name = "Stnd";
  AddLines(unit.Functions, text);
  AddCaret(unit.Functions, text);
  AddBoxes(unit.Functions, ui);
  AddStrings(unit.Functions);
  AddDialog(unit.Functions, ui, dialog, scriptFolder);
  return unit;
}

}  // namespace kelvan::script
