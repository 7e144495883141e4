// The workbench without a window: its analysis, its live picture (on the user-interface
// thread and on the worker), its execution and the bounds between them.

#include <QtTest>

#include <memory>
#include <semaphore>
#include <string>
#include <thread>
#include <vector>

#include "nc/NcText.h"
#include "view/core/HitList.h"
#include "view/core/LineSink.h"
#include "view/core/RenderOptions.h"
#include "view/core/RenderPath.h"
#include "view/core/ViewTransform.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"
#include "workbench/WorkbenchView.h"

using namespace kelvan;
using workbench::Workbench;

namespace {

std::shared_ptr<const nc::NcText> Text(const std::string& bytes) {
  return std::make_shared<const nc::NcText>(nc::NcText::FromBytes(bytes, nc::TextEncoding::Utf8));
}

class NullSink : public view::LineSink {
 public:
  void SetPenColor(uint32_t) override {}
  void SetPenStyle(view::PenStyle) override {}
  void Line(int32_t, int32_t, int32_t, int32_t) override {}
};

// Draws with the real renderer into nothing and records what it was asked.
class RecordingView : public workbench::WorkbenchView {
 public:
  explicit RecordingView(Workbench*& bench) : bench_(bench), hits_(100) { view_.ResizeView(400, 300); }
  view::RenderResult DrawPicture(int32_t execIndex, bool) override {
    pictures.push_back(execIndex);
    drawnCounts.push_back(bench_->Path().Count);
    NullSink sink;
    return view::RenderPath(bench_->Path(), bench_->Machine(), view_, view::RenderOptions{}, sink, hits_, execIndex,
                            300);
  }
  void DrawRunItem(int32_t index) override { runItems.push_back(index); }
  void Beep() override { ++beeps; }
  std::function<void(const nc::PathList&, const nc::MachineState&)> PreparePicture() override {
    if (!prepares) return {};
    return [this](const nc::PathList& path, const nc::MachineState&) {
      preparedCount = path.Count;
      preparedOnWorker = std::this_thread::get_id() != uiThread;
    };
  }
  bool ShowPreparedPicture() override {
    ++shownPrepared;
    return viewUnchanged;
  }

  bool prepares = false;      // draws on the worker
  bool viewUnchanged = true;  // the prepared picture still fits the view
  int32_t preparedCount = -1;
  bool preparedOnWorker = false;
  int shownPrepared = 0;
  std::thread::id uiThread = std::this_thread::get_id();

  std::vector<int32_t> pictures;    // the execution index of each full picture
  std::vector<int32_t> drawnCounts;  // the path's item count at each full picture
  std::vector<int32_t> runItems;
  int beeps = 0;

 private:
  Workbench*& bench_;
  view::ViewTransform view_;
  view::HitList hits_;
};

// A program of n linear moves, one per line.
std::string Moves(int n, const char* first = "G01 X0. F100") {
  std::string p = std::string(first) + "\n";
  for (int i = 1; i < n; ++i) p += "X" + std::to_string(i) + ".\n";
  return p;
}

}  // namespace

class TestWorkbench : public QObject {
  Q_OBJECT

  std::unique_ptr<workbench::MemoryDocument> doc_;
  std::unique_ptr<Workbench> bench_;
  Workbench* benchPtr_ = nullptr;
  std::unique_ptr<RecordingView> view_;

  void Edit(const std::string& text) {
    doc_->SetText(Text(text));
    bench_->TextChanged();
  }
  // Holds the worker before its analysis until Release.
  std::counting_semaphore<8> gate_{0};
  void HoldWorker() {
    bench_->SetWorkerThreshold(0);
    bench_->SetWorkerGate([this] { gate_.acquire(); });
  }
  void Release() { gate_.release(); }

  void WaitForLivePicture() { QTRY_VERIFY_WITH_TIMEOUT(!bench_->LiveAnalysisPending(), 10000); }
  void WaitForRunEnd() { QTRY_VERIFY_WITH_TIMEOUT(!bench_->Exec().IsRunning(), 10000); }

 private slots:
  void init() {
    doc_ = std::make_unique<workbench::MemoryDocument>(Text(""));
    bench_ = std::make_unique<Workbench>(*doc_, 100000);
    benchPtr_ = bench_.get();
    view_ = std::make_unique<RecordingView>(benchPtr_);
    bench_->SetView(view_.get());
    bench_->SetLiveDelay(20);
  }
  void cleanup() {
    bench_->SetWorkerGate({});
    Release();  // a worker still held goes
    bench_.reset();
    while (gate_.try_acquire()) {
    }
    view_.reset();
    doc_.reset();
  }

  // The live picture follows the text once it rests, on the user-interface thread for a
  // small program and on the worker for a large one; a fault there neither beeps nor
  // moves the caret, and the items before it are drawn.
  void livePictureFollowsTheText_data() {
    QTest::addColumn<int>("threshold");
    QTest::newRow("on the user-interface thread") << 1000000;
    QTest::newRow("on the worker") << 0;
  }
  void livePictureFollowsTheText() {
    QFETCH(int, threshold);
    bench_->SetWorkerThreshold(threshold);
    Edit(Moves(5));
    QVERIFY(!bench_->IsAnalysed());
    WaitForLivePicture();
    QVERIFY(bench_->IsAnalysed());
    QCOMPARE(bench_->Path().Count, 5);
    QCOMPARE(view_->drawnCounts.back(), 5);
    QCOMPARE(view_->pictures.back(), -1);

    doc_->SetCaret(3, 2);
    Edit("G01 X1. F100\nG01 X2.\nG02 X50. R1.\nX9.\n");  // an arc whose radius cannot reach
    WaitForLivePicture();
    QVERIFY(!bench_->IsAnalysed());
    QCOMPARE(bench_->LastResult().Code, int(nc::ErrArcRadius));
    QCOMPARE(view_->beeps, 0);
    QCOMPARE(doc_->CaretRow(), 3);
    QCOMPARE(view_->drawnCounts.back(), 2);  // the two moves before the fault
  }

  // An edit while the worker analyses makes its result stale: it is dropped, and the
  // picture ends up with the text as it is at the end.
  void anEditDuringAWorkerAnalysisWins() {
    HoldWorker();
    Edit(Moves(20));
    QTRY_VERIFY(bench_->WorkerRunning());
    Edit(Moves(3));  // the text changes under the worker
    Release();       // the held analysis, then the one of the new text
    Release();
    WaitForLivePicture();
    QVERIFY(bench_->IsAnalysed());
    QCOMPARE(bench_->Path().Count, 3);
    QCOMPARE(view_->drawnCounts.back(), 3);
    for (int32_t count : view_->drawnCounts) QVERIFY(count == 3 || count == 0);
  }

  // A run started while the worker analyses runs on a path analysed for it; the worker's
  // result, arriving during the run, does not replace the path under it.
  void aRunStartedDuringAWorkerAnalysisKeepsItsPath() {
    HoldWorker();
    Edit(Moves(30));
    QTRY_VERIFY(bench_->WorkerRunning());
    bench_->Exec().SetRunSpeed(0);
    bench_->Exec().Run();  // analyses the text on this thread first
    QVERIFY(bench_->Exec().IsRunning());
    QCOMPARE(bench_->Path().Count, 30);
    const nc::PathItem* items = bench_->Path().begin();
    Release();
    QTRY_VERIFY(!bench_->WorkerRunning());
    QVERIFY(bench_->Exec().IsRunning());
    QCOMPARE(bench_->Path().begin(), items);  // not swapped under the run
    QCOMPARE(view_->drawnCounts.size(), size_t{1});
    for (int32_t i = 0; i < int32_t(view_->runItems.size()); ++i) QCOMPARE(view_->runItems[size_t(i)], i);
    bench_->Exec().Reset();
    QVERIFY(!bench_->Exec().IsRunning());
    QCOMPARE(bench_->Exec().ExecIndex(), -1);
  }

  // While a program executes the live picture waits; it follows once the execution ends.
  void theLivePictureWaitsForTheExecution() {
    Edit(Moves(5));
    QVERIFY(bench_->Redraw());
    bench_->Exec().Single();
    QVERIFY(bench_->Exec().IsExecuting());
    Edit(Moves(7));
    QTest::qWait(100);
    QCOMPARE(bench_->Path().Count, 5);
    QVERIFY(!bench_->IsAnalysed());
    bench_->Exec().Reset();  // redraws the whole path at once, analysing the new text
    QVERIFY(bench_->IsAnalysed());
    QCOMPARE(bench_->Path().Count, 7);
    QCOMPARE(view_->pictures.back(), -1);
  }

  void singleStepsShowTheItemsAndStartAgain() {
    Edit(Moves(5));
    QList<int> after, carets, drawnTo;
    for (int i = 0; i < 6; ++i) {
      bench_->Exec().Single();
      after << bench_->Exec().ExecIndex();
      carets << doc_->CaretRow();
      drawnTo << view_->pictures.back();
    }
    QCOMPARE(drawnTo, (QList<int>{0, 1, 2, 3, 0, 1}));
    QCOMPARE(after, (QList<int>{1, 2, 3, 0, 1, 2}));
    QCOMPARE(carets, (QList<int>{1, 2, 3, 4, 1, 2}));
  }

  // A program that fails to analyse cannot be stepped: the step ends the execution and the
  // caret stands on the fault.
  void aSingleStepOnAFaultyProgramEndsTheExecution() {
    Edit("G01 X1. F100\nG01 X1..2\n");
    bench_->Exec().Single();
    QCOMPARE(bench_->Exec().ExecIndex(), -1);
    QVERIFY(!bench_->Exec().IsExecuting());
    QCOMPARE(view_->beeps, 1);
    QCOMPARE(doc_->CaretRow(), 1);
    QCOMPARE(doc_->CaretColumn(), 6);
    QCOMPARE(view_->drawnCounts.back(), 1);  // the move before the fault is drawn
  }

  void aRunStopsAtMarkedBlocksAndGoesOn() {
    Edit("G01 X1. F100\nX2.\nM00\nX3.\nM01\nX4.\n");
    bench_->SetStopAtM00(true);
    bench_->Exec().SetRunSpeed(2);
    bench_->Exec().Run();
    WaitForRunEnd();
    QCOMPARE(bench_->Exec().ExecIndex(), 2);  // before the M00 block
    QCOMPARE(view_->beeps, 1);
    bench_->Exec().Run();  // goes on from the stopping block; M01 is not asked for
    WaitForRunEnd();
    QCOMPARE(bench_->Exec().ExecIndex(), -1);
    QCOMPARE(doc_->CaretRow(), 0);
  }

  void pauseKeepsTheIndexAndRunGoesOn() {
    Edit(Moves(50));
    bench_->Exec().SetRunSpeed(1);
    bench_->Exec().Run();
    QTRY_VERIFY(bench_->Exec().ExecIndex() >= 3);
    bench_->Exec().Pause();
    QVERIFY(!bench_->Exec().IsRunning());
    const int32_t at = bench_->Exec().ExecIndex();
    QTest::qWait(250);
    QCOMPARE(bench_->Exec().ExecIndex(), at);
    view_->runItems.clear();
    bench_->Exec().SetRunSpeed(2);
    bench_->Exec().Run();
    QCOMPARE(view_->pictures.back(), at);  // items 0 to the paused one, then on from it
    WaitForRunEnd();
    QCOMPARE(view_->runItems.front(), at);
    QCOMPARE(bench_->Exec().ExecIndex(), -1);
  }

  // Opening a file analyses it while the document takes it in; a fault beeps, puts the
  // caret there and draws the items before it.
  void loadAnalysesTheNewText() {
    nc::DecodedText text;
    text.Utf8 = Text("G01 X1. F100\nM01\nG03 X9. R1.\n");
    bench_->Load(text);
    QCOMPARE(bench_->LastResult().Code, int(nc::ErrArcRadius));
    QCOMPARE(bench_->Path().Count, 2);
    QVERIFY(doc_->ShownMarks().Has(1, nc::MarkM01));
    QCOMPARE(view_->beeps, 1);
    QCOMPARE(doc_->CaretRow(), 2);
    QCOMPARE(view_->drawnCounts.back(), 2);
    QVERIFY(!bench_->LiveAnalysisPending());
    text.Utf8 = Text(Moves(4));
    bench_->Load(text);
    QVERIFY(bench_->IsAnalysed());
    QVERIFY(doc_->ShownMarks().Empty());
    QCOMPARE(view_->drawnCounts.back(), 4);
  }

  // After a worker analysis the view shows the picture the worker drew; if the view changed
  // meanwhile, it draws afresh.
  void theWorkerDrawsThePictureOfItsAnalysis() {
    view_->prepares = true;
    bench_->SetWorkerThreshold(0);
    Edit(Moves(6));
    WaitForLivePicture();
    QCOMPARE(view_->preparedCount, 6);
    QVERIFY(view_->preparedOnWorker);
    QCOMPARE(view_->shownPrepared, 1);
    QVERIFY(view_->pictures.empty());  // nothing drawn on this thread
    view_->viewUnchanged = false;
    Edit(Moves(8));
    WaitForLivePicture();
    QCOMPARE(view_->preparedCount, 8);
    QCOMPARE(view_->shownPrepared, 2);
    QCOMPARE(view_->drawnCounts, std::vector<int32_t>{8});
    // Opening a file: the worker draws the new program while the document takes it in.
    view_->viewUnchanged = true;
    nc::DecodedText text;
    text.Utf8 = Text(Moves(3));
    bench_->Load(text);
    QCOMPARE(view_->preparedCount, 3);
    QCOMPARE(view_->shownPrepared, 3);
    QCOMPARE(view_->drawnCounts.size(), size_t{1});
  }

  void runOptionsReachTheAnalysis() {
    Edit("/G01 X10. F100\nG01 Y10.\n");
    QVERIFY(bench_->Redraw());
    QCOMPARE(bench_->Path().Count, 3);
    bench_->SetBlockSkip(true);
    QCOMPARE(bench_->Path().Count, 2);
    QVERIFY(doc_->ShownMarks().Has(0, nc::MarkBlockSkip));
    bench_->SetWorkHeight(12.5);
    QVERIFY(bench_->Redraw());
    QCOMPARE(bench_->Machine().WorkHeight, 12.5);
    bench_->SetWorkHeight(-3);  // ignored
    QCOMPARE(bench_->Options().WorkHeight, 12.5);
  }
};

QTEST_GUILESS_MAIN(TestWorkbench)
#include "test_workbench.moc"
