// The conversion tools in the whole window on a 1,000,000-line program: from the menu
// command (its question answered at once) until the new text stands and its path is
// drawn, and the memory the command takes on top of what the window held. Prints seconds
// and megabytes; runs offscreen with a store of its own.

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "OffscreenApp.h"
#include "ProgramGenerator.h"
#include "editor/NcEditor.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "workbench/Workbench.h"

using namespace kelvan;

namespace {

// Answers every question with OK and the rotation's angle with 30.
class Yes : public view::UserDialogs {
 public:
  QMessageBox::StandardButton Message(QWidget*, QMessageBox::Icon, const QString&, const QString&,
                                      QMessageBox::StandardButtons) override {
    return QMessageBox::Ok;
  }
  bool InputText(QWidget*, const QString&, const QString&, QString& text) override {
    text = QStringLiteral("30");
    return true;
  }
  QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  bool RoughParameters(QWidget*, QString&, QString&, QString&) override { return false; }
  QString ChooseFolder(QWidget*, const QString&) override { return {}; }
  bool ChooseFont(QWidget*, QFont&) override { return false; }
};

long StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

int main(int argc, char** argv) {
  bench::OffscreenApp app(argc, argv);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("big.nc"));
  const std::string program = bench::GenerateProgram(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000, 11);
  { std::ofstream(file.toStdString(), std::ios::binary) << program; }
  const double programMb = program.size() / 1048576.0;

  view::TViewForm form(std::make_unique<Yes>());
  form.resize(1280, 800);
  form.show();
  QApplication::processEvents();
  form.OpenAtStart(file);
  std::printf("program: %d lines, %.1f MB\n", form.Editor().LineCount(), programMb);
  const struct {
    const char* name;
    view::Command command;
  } commands[] = {{"mirror in X", view::Command::XmirrItem},
                  {"optimisation", view::Command::OptimizItem},
                  {"rotation by 30 degrees", view::Command::Turn3DItem},
                  {"decimal-point removal", view::Command::IncConvFixdItem}};
  for (const auto& c : commands) {
    QApplication::processEvents();
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    const auto t0 = std::chrono::steady_clock::now();
    form.Action(c.command)->trigger();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const long peak = StatusKb("VmHWM:");
    std::printf("%-24s %6.2f s, analysed %s, memory on top %6.1f MB (%.2f x the program)\n", c.name, seconds,
                form.Bench().IsAnalysed() ? "yes" : "no", (peak - before) / 1024.0,
                (peak - before) / 1024.0 / programMb);
  }
  form.Editor().SetModified(false);
  return 0;
}
