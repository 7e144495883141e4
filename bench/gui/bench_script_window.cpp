// Scripts in the window: a script that writes 100,000 NC blocks with a for loop and Nc
// calls, from the run until the text stands in the editor and its path is drawn; and a
// loop of 10,000,000 integer additions. Prints seconds; runs offscreen.

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <string>

#include "editor/NcEditor.h"
#include "script/ScriptHost.h"
#include "script/CancelledScriptUi.h"
#include "view/TViewForm.h"
#include "workbench/ScriptRun.h"
#include "workbench/Workbench.h"

#include "OffscreenApp.h"

using namespace kelvan;

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  bench::OffscreenApp app(argc, argv);
  view::TViewForm form;
  form.resize(1200, 800);
  form.show();
  script::CancelledScriptUi ui;
  script::ScriptHost host(ui, "/");

  const std::string blocks =
      "var i: Integer;\n"
      "begin\n"
      "  ClrScr; Term; GCode(90); RapidZ(50);\n"
      "  for i := 1 to 100000 do\n"
      "    GoToXY(i * 0.01, (i mod 100) * 0.1, 1000);\n"
      "  MCode(30); Term;\n"
      "end.\n";
  auto start = std::chrono::steady_clock::now();
  const bool ok = workbench::RunScriptOnWorkbench(form.Bench(), host, blocks, {});
  std::printf("100,000 blocks by a script, in the editor and drawn: %.3f s (%s, %d lines, %d items)\n",
              Seconds(start), ok ? "ok" : host.Messages().front().Text.c_str(), form.Editor().LineCount(),
              form.Bench().Path().Count);

  const std::string sums =
      "var i, s: Integer;\n"
      "begin\n"
      "  s := 0;\n"
      "  for i := 1 to 10000000 do\n"
      "    s := s + i;\n"
      "  if s <> 50000005000000 then Beep;\n"
      "end.\n";
  start = std::chrono::steady_clock::now();
  const bool ok2 = host.RunScriptText(sums, {});
  std::printf("10,000,000 integer additions: %.3f s (%s)\n", Seconds(start),
              ok2 ? "ok" : host.Messages().front().Text.c_str());
  return ok && ok2 ? 0 : 1;
}
