#pragma once

#include <QObject>

#include <functional>

#include "nc/RowMarks.h"

namespace kelvan::view {

// Walks through the path list as the machine would run the program: one item per single
// step, or one item after another with a fixed wait in a continuous run, which can be
// paused, reset, and stopped at M00, M01 and stop requests. Everything runs on the window's
// thread: the run loop processes pending events while it waits, so Pause, Reset, the speed
// buttons and view gestures reach it through the members below.
class ExecutionController : public QObject {
  Q_OBJECT
 public:
  // What the controller needs of the window.
  struct Hooks {
    std::function<bool()> redraw;             // full redraw up to ExecIndex; false: analysis failed
    std::function<void(int)> drawItem;        // item i straight onto the shown picture
    std::function<int()> count;               // path items
    std::function<int(int)> itemLine;         // source line of item i
    std::function<void(int, int)> setCaret;   // row, column (the editor clamps)
    std::function<int()> caretRow;
    std::function<int()> caretColumn;
    std::function<void()> focusEditor;
    std::function<bool(int, nc::RowMark)> lineHasMark;
    std::function<bool()> m00Down;
    std::function<bool()> m01Down;
    std::function<void(bool)> runningChanged;  // the file commands are disabled while running
  };

  // The wait per item at each RunSpeed (low, normal, high).
  static constexpr int kDelays[3] = {300, 100, 10};

  explicit ExecutionController(Hooks hooks, QObject* parent = nullptr);

  int ExecIndex = -1;            // next item to execute; -1: not executing, all is shown
  bool PauseRequested = false;
  bool StopRequested = false;
  int RunSpeed = 1;              // 0 low, 1 normal, 2 high

  bool IsExecuting() const { return ExecIndex != -1; }
  bool IsRunning() const { return running_; }

  void Single();
  void Run();
  void Pause();
  void Reset();

 signals:
  void StateChanged();

 private:
  void Wait(int milliseconds);
  bool StopAtItem() const;

  Hooks h_;
  bool running_ = false;
};

}  // namespace kelvan::view
