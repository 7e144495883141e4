#pragma once

#include <cstdint>
#include <functional>

#include "view/core/RenderPath.h"

namespace kelvan::nc {
class PathList;
struct MachineState;
}  // namespace kelvan::nc

namespace kelvan::workbench {

// The path view as the workbench drives it: the window implements it. Without a view
// (kelvan-cli) the workbench analyses and runs without drawing.
class WorkbenchView {
 public:
  virtual ~WorkbenchView() = default;
  // Builds and shows the full picture of the workbench's path: items 0 to execIndex (all
  // of them for -1), in white mode for the clipboard. Returns what the renderer reports.
  virtual view::RenderResult DrawPicture(int32_t execIndex, bool whiteMode) = 0;
  // Draws item `index` straight onto the shown picture: a continuous run's drawing.
  virtual void DrawRunItem(int32_t index) = 0;
  // A refused command, an analysis fault or a stop at M00 or M01.
  virtual void Beep() = 0;

  // The full picture of a path analysed on the worker thread, drawn there too, so that the
  // user-interface thread only shows it: a job that draws the given path with the view as
  // it is now into a picture of the view's own. Empty when the view cannot draw away from
  // its thread. The workbench runs the job on the worker right after the analysis and,
  // once it has taken the analysis, calls ShowPreparedPicture.
  virtual std::function<void(const nc::PathList&, const nc::MachineState&)> PreparePicture() { return {}; }
  // Shows what the last job drew, as DrawPicture with execIndex -1 would, if the view
  // still draws as it did when the job was made. False when it did not show it; the
  // workbench then draws with DrawPicture.
  virtual bool ShowPreparedPicture() { return false; }
};

}  // namespace kelvan::workbench
