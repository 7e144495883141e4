#include "workbench/ScriptRun.h"

#include "nc/Cp932.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::workbench {

namespace {

int32_t CharCount(std::string_view utf8) {
  int32_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

void LoadText(Workbench& bench, script::ScriptText& text, const std::string& selection) {
  const std::shared_ptr<const nc::NcText> snapshot = bench.Snapshot();
  const nc::TextEncoding enc = bench.Document().LineEncoding();
  text.Lines.clear();
  text.Lines.reserve(size_t(snapshot->LineCount()));
  for (int32_t i = 0; i < snapshot->LineCount(); ++i) text.Lines.push_back(nc::DecodeToUtf8(snapshot->Line(i), enc));
  text.CaretRow = bench.Document().CaretRow();
  const std::string_view line = snapshot->Line(text.CaretRow);
  const size_t column = std::min(line.size(), size_t(std::max(bench.Document().CaretColumn(), 0)));
  text.CaretColumn = CharCount(nc::DecodeToUtf8(line.substr(0, column), enc));
  text.Selection = selection;
  text.Changed = false;
}

void StoreText(Workbench& bench, const script::ScriptText& text) {
  const nc::TextEncoding enc = bench.Document().LineEncoding();
  const std::string end = bench.Document().LineEnd();
  std::string all;
  for (const std::string& line : text.Lines) all += nc::EncodeFromUtf8(line, enc) + end;
  bench.ReplaceText(std::move(all));
}

// The caret where the script left it (Locate), its column back in the line's bytes.
void StoreCaret(Workbench& bench, const script::ScriptText& text) {
  const nc::TextEncoding enc = bench.Document().LineEncoding();
  if (text.CaretRow < 0 || size_t(text.CaretRow) >= text.Lines.size()) return;
  const std::string& line = text.Lines[size_t(text.CaretRow)];
  size_t bytes = 0;
  for (int32_t chars = 0; bytes < line.size(); ++bytes) {
    if ((static_cast<unsigned char>(line[bytes]) & 0xC0) != 0x80 && chars++ == text.CaretColumn) break;
  }
  bench.Document().SetCaret(text.CaretRow, int(nc::EncodeFromUtf8(line.substr(0, bytes), enc).size()));
}

}  // namespace

bool RunScriptOnWorkbench(Workbench& bench, script::ScriptHost& host, const std::string& script,
                          const script::ScriptHost::Options& options, const std::string& selection) {
  LoadText(bench, host.Text(), selection);
  bench.SetScriptRunning(true);
  const bool ok = host.RunScriptText(script, options);
  bench.SetScriptRunning(false);
  if (host.Text().Changed) StoreText(bench, host.Text());
  StoreCaret(bench, host.Text());
  bench.Refresh();
  return ok;
}

}  // namespace kelvan::workbench
