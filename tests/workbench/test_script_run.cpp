// A script run on the workbench: its lines come back in one step, faults keep what was
// written, the running flag is up only while the script runs.

#include <QtTest>

#include <memory>
#include <string>

#include "nc/NcText.h"
#include "script/ScriptHost.h"
#include "script/CancelledScriptUi.h"
#include "workbench/ScriptRun.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

using namespace kelvan;

namespace {

std::shared_ptr<const nc::NcText> Text(const std::string& s) {
  return std::make_shared<const nc::NcText>(nc::NcText::FromBytes(s));
}

std::string Bytes(workbench::MemoryDocument& doc) { return std::string(doc.Snapshot()->Bytes()); }

}  // namespace

class TestScriptRun : public QObject {
  Q_OBJECT
  script::CancelledScriptUi ui_;

 private slots:
  void linesComeBackInOneStepAndAreDrawn() {
    workbench::MemoryDocument doc(Text("G90 G00 X0 Y0 Z10.\n"));
    workbench::Workbench bench(doc, 100000);
    script::ScriptHost host(ui_, "/");
    bool runningSeen = false;
    script::ScriptHost::Options options;
    options.PollEvery = 1;
    options.Poll = [&] { return runningSeen = bench.ScriptRunning(), true; };
    QVERIFY(workbench::RunScriptOnWorkbench(bench, host, "begin GoToXY(10, 0, 100); MoveRel(0, 5); end.", options));
    QVERIFY(runningSeen);
    QVERIFY(!bench.ScriptRunning());
    QCOMPARE(doc.Replaced(), 1);
    QCOMPARE(Bytes(doc), std::string("G90 G00 X0 Y0 Z10.\nG01X10.0Y0.0F100\nG01X10.0Y5.0\n"));
    QVERIFY(bench.IsAnalysed());
    QCOMPARE(bench.Path().Count, 3);
  }

  void aFaultKeepsWhatWasWrittenAndACompileErrorWritesNothing() {
    workbench::MemoryDocument doc(Text("%\n"));
    workbench::Workbench bench(doc, 100000);
    script::ScriptHost host(ui_, "/");
    QVERIFY(!workbench::RunScriptOnWorkbench(bench, host, "begin\n  GCode(1)\n  GCode(2);\nend.", {}));
    QCOMPARE(doc.Replaced(), 0);
    QCOMPARE(host.Messages().front().Line, 2);
    QVERIFY(!workbench::RunScriptOnWorkbench(bench, host, "var i: Integer;\nbegin\n  GCode(1);\n  i := 1 div (i - i);\nend.", {}));
    QCOMPARE(doc.Replaced(), 1);
    QCOMPARE(Bytes(doc), std::string("%\nG1\n"));
    QCOMPARE(host.Messages().front().Line, 4);
  }

  void everyRunStartsAtTheOrigin() {
    workbench::MemoryDocument doc(Text(""));
    workbench::Workbench bench(doc, 100000);
    script::ScriptHost host(ui_, "/");
    const std::string script = "begin MoveRel(1, 2); end.";
    QVERIFY(workbench::RunScriptOnWorkbench(bench, host, script, {}));
    QVERIFY(workbench::RunScriptOnWorkbench(bench, host, script, {}));
    QCOMPARE(Bytes(doc), std::string("G01X1.0Y2.0\nG01X1.0Y2.0\n"));
  }

  void aStopRequestEndsAnEndlessScript() {
    workbench::MemoryDocument doc(Text(""));
    workbench::Workbench bench(doc, 100000);
    script::ScriptHost host(ui_, "/");
    script::ScriptHost::Options options;
    int polls = 0;
    options.Poll = [&] {
      if (++polls == 3) host.Stop();
      return true;
    };
    QVERIFY(!workbench::RunScriptOnWorkbench(bench, host, "begin GCode(0); while True do ; end.", options));
    QCOMPARE(QString::fromStdString(host.Messages().front().Text), QString::fromUtf8(scriptengine::kStoppedMessage));
    QCOMPARE(Bytes(doc), std::string("G0\n"));
  }
};

QTEST_GUILESS_MAIN(TestScriptRun)
#include "test_script_run.moc"
