#include "view/ExecutionController.h"

#include <QEventLoop>
#include <QTimer>

#include "view/Beep.h"

namespace kelvan::view {

ExecutionController::ExecutionController(Hooks hooks, QObject* parent)
    : QObject(parent), h_(std::move(hooks)) {}

void ExecutionController::Single() {
  if (running_) {  // a step in the middle of a run would fight the run loop
    Beep();
    return;
  }
  if (ExecIndex < h_.count()) {
    if (ExecIndex < 0) ExecIndex = 0;
    h_.focusEditor();
    h_.setCaret(h_.itemLine(ExecIndex) + 1, h_.caretColumn());
    // The redraw ends the execution by itself once it has drawn the last items, and the
    // increment below then makes the next step start again at item 0.
    h_.redraw();
    ++ExecIndex;
  } else {
    ExecIndex = -1;
    h_.redraw();
  }
  emit StateChanged();
}

bool ExecutionController::StopAtItem() const {
  if (StopRequested) return true;
  if (ExecIndex < 0 || ExecIndex >= h_.count()) return false;
  const int line = h_.itemLine(ExecIndex);
  return (h_.m00Down() && h_.lineHasMark(line, nc::MarkM00)) ||
         (h_.m01Down() && h_.lineHasMark(line, nc::MarkM01));
}

void ExecutionController::Wait(int milliseconds) {
  // Pending events are handled during the wait: Pause, Reset, the speed buttons, repaints
  // and view gestures all reach the run loop this way.
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

void ExecutionController::Run() {
  if (running_) {  // the run is already going; a second loop inside its wait would nest
    Beep();
    return;
  }
  if (ExecIndex >= h_.count()) ExecIndex = 0;
  h_.setCaret(h_.caretRow(), 0);
  PauseRequested = false;
  StopRequested = false;
  running_ = true;
  h_.runningChanged(true);
  emit StateChanged();
  if (ExecIndex == -1) ExecIndex = 0;

  auto finish = [this](bool toTop) {
    if (toTop) h_.setCaret(0, 0);
    running_ = false;
    h_.runningChanged(false);
    emit StateChanged();
  };
  if (!h_.redraw()) {
    Beep();
    ExecIndex = -1;
    return finish(true);
  }
  if (ExecIndex == -1) return finish(true);

  for (int i = ExecIndex; i < h_.count(); ++i) {
    h_.drawItem(i);
    if (ExecIndex == -1) return finish(true);  // a reset came in during the last wait
    // An edit during the wait may have shortened the path under the run.
    if (ExecIndex >= h_.count()) break;
    h_.setCaret(h_.itemLine(ExecIndex) + 1, 0);
    ExecIndex = i + 1;
    emit StateChanged();
    if (StopAtItem()) {
      Beep();
      return finish(false);  // the next run or step continues from the stopping block
    }
    Wait(kDelays[RunSpeed < 0 || RunSpeed > 2 ? 1 : RunSpeed]);
    if (PauseRequested) return finish(false);
  }
  ExecIndex = -1;
  finish(true);
}

void ExecutionController::Pause() {
  PauseRequested = true;
  emit StateChanged();
}

void ExecutionController::Reset() {
  StopRequested = true;
  ExecIndex = -1;
  h_.setCaret(0, 0);
  emit StateChanged();
}

}  // namespace kelvan::view
