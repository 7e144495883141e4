#include "workbench/Execution.h"

#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::workbench {

Execution::Execution(Workbench& bench, QObject* parent) : QObject(parent), bench_(bench) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (pauseRequested_) return Finish(false);
    Tick();
  });
}

void Execution::SetRunSpeed(int speed) {
  if (speed < 0 || speed > 2 || speed == runSpeed_) return;
  runSpeed_ = speed;
  emit StateChanged();
}

int Execution::Delay() const { return kDelays[runSpeed_]; }

void Execution::Single() {
  if (running_) {  // a step in the middle of a run would fight the run
    bench_.Beep();
    return;
  }
  const int32_t count = bench_.Path().Count;
  if (execIndex_ < count) {
    if (execIndex_ < 0) execIndex_ = 0;
    bench_.Document().Focus();
    // The path may still be the last analysis's: an index past it counts as line 0.
    const int32_t line = execIndex_ < bench_.Path().Count ? bench_.Path()[execIndex_].Line : 0;
    bench_.Document().SetCaret(line + 1, bench_.Document().CaretColumn());
    // The redraw ends the execution by itself once it has drawn the last items, and the
    // increment below then makes the next step start again at item 0.
    if (!bench_.Redraw()) {
      // A program that fails to analyse cannot be stepped through; the analysis has
      // beeped and shown its fault.
      execIndex_ = -1;
    } else {
      ++execIndex_;
    }
  } else {
    execIndex_ = -1;
    bench_.Redraw();
  }
  emit StateChanged();
}

bool Execution::StopAtItem() const {
  if (stopRequested_) return true;
  const nc::PathList& path = bench_.Path();
  if (execIndex_ < 0 || execIndex_ >= path.Count) return false;
  const int32_t line = path[execIndex_].Line;
  const RunOptions& o = bench_.Options();
  return (o.StopAtM00 && bench_.Marks().Has(line, nc::MarkM00)) ||
         (o.StopAtM01 && bench_.Marks().Has(line, nc::MarkM01));
}

void Execution::Run() {
  if (running_) {
    bench_.Beep();
    return;
  }
  if (execIndex_ >= bench_.Path().Count) execIndex_ = 0;
  TextDocument& doc = bench_.Document();
  doc.SetCaret(doc.CaretRow(), 0);
  pauseRequested_ = false;
  stopRequested_ = false;
  running_ = true;
  if (execIndex_ == -1) execIndex_ = 0;
  emit StateChanged();
  if (!bench_.Redraw()) {
    bench_.Beep();
    execIndex_ = -1;
    return Finish(true);
  }
  if (execIndex_ == -1) return Finish(true);  // the redraw reached the end of the path
  Tick();
}

void Execution::Tick() {
  const nc::PathList& path = bench_.Path();
  // An analysis since the last tick may have shortened the path under the run.
  if (execIndex_ < 0 || execIndex_ >= path.Count) {
    execIndex_ = -1;
    return Finish(true);
  }
  const int32_t i = execIndex_;
  bench_.DrawRunItem(i);
  bench_.Document().SetCaret(path[i].Line + 1, 0);
  execIndex_ = i + 1;
  emit StateChanged();
  if (StopAtItem()) {
    bench_.Beep();
    return Finish(false);  // the next run or step continues from the stopping block
  }
  timer_.start(Delay());
}

void Execution::Finish(bool caretToTop) {
  timer_.stop();
  if (caretToTop) bench_.Document().SetCaret(0, 0);
  running_ = false;
  emit StateChanged();
  bench_.ExecutionStateChanged();
}

void Execution::Pause() {
  pauseRequested_ = true;
  // The run ends now rather than after its wait: nothing else would happen in between.
  if (running_) return Finish(false);
  emit StateChanged();
}

void Execution::Reset() {
  stopRequested_ = true;
  execIndex_ = -1;
  TextDocument& doc = bench_.Document();
  doc.SetCaret(0, 0);
  if (running_) {
    timer_.stop();
    running_ = false;
  }
  emit StateChanged();
  bench_.ExecutionStateChanged();
  // The whole path at once, rather than at some later repaint.
  bench_.Redraw();
}

void Execution::PictureReachedEnd() {
  if (execIndex_ == -1) return;
  execIndex_ = -1;
  emit StateChanged();
}

void Execution::Abandon() {
  if (execIndex_ == -1 && !running_) return;
  timer_.stop();
  running_ = false;
  execIndex_ = -1;
  emit StateChanged();
}

}  // namespace kelvan::workbench
