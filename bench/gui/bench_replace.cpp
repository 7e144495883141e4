// Replace-all on a 1,000,000-line program: every line holds the word once ("(OP1)"
// appended to each block of a generated milling program), replaced by another. Measured
// on the editor alone and through the replace dialog in the main window (with what a
// change of the text sets off there). Prints seconds; runs offscreen.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "OffscreenApp.h"
#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "search/SearchCommands.h"
#include "search/TReplaceDlg.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "workbench/Workbench.h"
#include "Stopwatch.h"

using namespace kelvan;
using bench::Seconds;

namespace {

std::string ProgramWithWordOnEveryLine(size_t lines) {
  const std::string program = bench::GenerateProgram(lines, 11, {true, false});
  std::string out;
  out.reserve(program.size() + lines * 6);
  size_t start = 0;
  while (start < program.size()) {
    size_t end = program.find('\n', start);
    if (end == std::string::npos) end = program.size();
    const size_t body = end > start && program[end - 1] == '\r' ? end - 1 : end;
    out.append(program, start, body - start);
    out += "(OP1)";
    out.append(program, body, end + 1 - body);
    start = end + 1;
  }
  return out;
}

// Answers the count message with OK.
class Ok : public view::QtUserDialogs {
 public:
  QString message;
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                      QMessageBox::StandardButtons) override {
    message = text;
    return QMessageBox::Ok;
  }
};

// 置換 (Ctrl+R) in the main window: 全て置換える pressed as soon as the dialog shows, then the
// dialog closes and the program is analysed and drawn afresh.
void ThroughTheWindow(const std::string& program) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("big.nc"));
  { std::ofstream(file.toStdString(), std::ios::binary) << program; }
  auto dialogs = std::make_unique<Ok>();
  Ok* answers = dialogs.get();
  view::TViewForm form(std::move(dialogs));
  form.resize(1280, 800);
  form.show();
  QApplication::processEvents();
  form.OpenAtStart(file);
  QApplication::processEvents();
  form.Editor().SetCaret(0, 0);
  search::TReplaceDlg& dlg = form.Search().ReplaceDialog();
  double replaceAll = 0;
  QTimer::singleShot(0, &dlg, [&] {
    dlg.SetSearchText(QStringLiteral("OP1"));
    dlg.ReplaceComboBox()->setEditText(QStringLiteral("OP2"));
    replaceAll = Seconds([&] { dlg.ReplaceAllBtnClick(); });
  });
  const double total = Seconds([&] { form.Action(view::Command::AcReplace)->trigger(); });
  std::printf("main window: %s\n", qPrintable(answers->message));
  std::printf("  全て置換える (replace-all and its count)  %6.2f s\n", replaceAll);
  std::printf("  the whole command, with the analysis and picture after it  %6.2f s (analysed: %s)\n", total,
              form.Bench().IsAnalysed() ? "yes" : "no");
  const double undo = Seconds([&] { form.Action(view::Command::AcUndo)->trigger(); });
  std::printf("  undo %6.2f s\n", undo);
  form.Editor().SetModified(false);
}

}  // namespace

int main(int argc, char** argv) {
  bench::OffscreenApp app(argc, argv);
  const size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
  const std::string program = ProgramWithWordOnEveryLine(lines);

  struct Case {
    const char* name;
    int options;
  } cases[] = {{"plain", 0}, {"case-sensitive", editor::SearchCaseSensitive}, {"regexp", editor::SearchRegExp},
               {"fuzzy", editor::SearchFuzzy}};
  // A second argument runs one case only: plain, case-sensitive, regexp, fuzzy or window.
  const std::string only = argc > 2 ? argv[2] : "";
  for (const Case& c : cases) {
    if (!only.empty() && only != c.name) continue;
    editor::NcEditor edit(nullptr);
    edit.ReplaceTextUtf8(program);
    edit.SetCaret(0, 0);
    int count = 0;
    QElapsedTimer sincePoll;
    sincePoll.start();
    const double s = Seconds([&] {
      count = edit.ReplaceAll(QStringLiteral("OP1"), QStringLiteral("OP2"), c.options, false, [&] {
        if (sincePoll.elapsed() >= 30) {
          QApplication::processEvents();
          sincePoll.restart();
        }
        return true;
      });
    });
    std::printf("editor alone, %-16s %8d replaced in %6.2f s\n", c.name, count, s);
    const double undo = Seconds([&] { edit.Undo(); });
    std::printf("  undo (one step: %s) %6.2f s\n", edit.TextUtf8() == program ? "yes" : "NO", undo);
  }
  if (only.empty() || only == "window") ThroughTheWindow(program);
  return 0;
}
