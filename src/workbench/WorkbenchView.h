#pragma once

#include <cstdint>

#include "view/core/RenderPath.h"

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
};

}  // namespace kelvan::workbench
