#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

namespace kelvan::workbench {

class Workbench;

// Walks through the path list as the machine would run the program: one item per single
// step, or one item after another with a fixed wait in a continuous run, which can be
// paused, reset, and stopped at M00, M01 and stop requests; the caret follows the line
// after the executed block.
//
// A continuous run is a timer: each tick draws one item and arms the next tick, and the
// user-interface thread is free in between, so Pause, Reset, the speed buttons, edits and
// view gestures are plain events that change the state below between two ticks.
class Execution : public QObject {
  Q_OBJECT
 public:
  // The wait per item at each run speed (low, normal, high), in milliseconds.
  static constexpr int kDelays[3] = {300, 100, 10};

  explicit Execution(Workbench& bench, QObject* parent = nullptr);

  // The next item to execute; -1 while not executing, when the view shows the whole path.
  int32_t ExecIndex() const { return execIndex_; }
  bool IsExecuting() const { return execIndex_ != -1; }
  bool IsRunning() const { return running_; }
  bool PauseRequested() const { return pauseRequested_; }
  bool StopRequested() const { return stopRequested_; }
  int RunSpeed() const { return runSpeed_; }
  // 0 low, 1 normal, 2 high; takes effect at the next wait. Other values are ignored.
  void SetRunSpeed(int speed);

  // The commands of the Run menu.
  void Single();
  void Run();
  void Pause();
  void Reset();

  // What a full redraw tells the execution. The picture reached the last items of the
  // path: the execution ends.
  void PictureReachedEnd();
  // The program failed to analyse or was replaced: any run stops and nothing executes.
  // The caret stays where it is (on an analysis fault, say).
  void Abandon();

 signals:
  // ExecIndex, running or the requests changed.
  void StateChanged();

 private:
  void Tick();
  void Finish(bool caretToTop);
  bool StopAtItem() const;
  int Delay() const;

  Workbench& bench_;
  QTimer timer_;
  int32_t execIndex_ = -1;
  bool pauseRequested_ = false;
  bool stopRequested_ = false;
  bool running_ = false;
  int runSpeed_ = 1;
};

}  // namespace kelvan::workbench
