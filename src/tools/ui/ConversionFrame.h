#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "tools/ToolFrame.h"

class QWidget;

namespace kelvan::editor {
class NcEditor;
}
namespace kelvan::view {
class UserDialogs;
}
namespace kelvan::workbench {
class Workbench;
}

namespace kelvan::tools {

class TProgressBox;

// The frame every conversion tool runs in: the question, the hourglass, the disabled main
// window, status panel 3 cleared, the progress box over the lines, the work buffer BufEdit
// (the sub editor) that receives the result (or, on a fault, what was written before it),
// and the whole text replaced in one step that Undo takes back. A tokenizer fault stops the
// tool with "構文エラー" in status panel 3, a beep and the caret on the fault, and leaves the
// text unchanged. The tool's core runs on a thread of its own over a snapshot of the text,
// so the window keeps painting while it goes.
class ConversionFrame {
 public:
  // What the frame needs of the window.
  struct Window {
    QWidget* widget = nullptr;                          // disabled while a tool runs
    std::function<void(const QString&)> showMessage;    // status panel 3
    std::function<bool()> workBufferShown;              // the sub editor is on screen
  };
  // The tool's core, run on the snapshot's lines.
  using Tool = std::function<ToolResult(const nc::LineSource& lines, const Progress& progress)>;

  // `edit` is the main editor, `work` the sub editor BufEdit.
  ConversionFrame(Window window, workbench::Workbench& bench, editor::NcEditor& edit, editor::NcEditor& work,
                  view::UserDialogs& dialogs);
  ~ConversionFrame();

  // Asks `question` (none when empty: the tool asked its own), runs the tool with the
  // progress box over `passes` times the lines, and on success replaces the text, marks it
  // modified and redraws. `clearStatus` is false for the one tool that leaves the status
  // panel as it is. True when the text was replaced.
  bool Run(const QString& question, const Tool& tool, int64_t passes = 1, bool clearStatus = true);
  bool IsRunning() const { return running_; }
  // The window shows the sub editor: a result it does not hold yet is put into it now.
  void WorkBufferShown();
  TProgressBox& ProgressBox() { return *progress_; }

 private:
  ToolResult RunOnWorker(const Tool& tool, const nc::LineSource& lines);
  void PutIntoWorkBuffer(const std::string& text);

  Window window_;
  workbench::Workbench& bench_;
  editor::NcEditor& editor_;
  editor::NcEditor& work_;
  view::UserDialogs& dialogs_;
  TProgressBox* progress_ = nullptr;
  bool running_ = false;
  // A successful result stands in the editor; while the sub editor is hidden its copy
  // waits (it would cost more than twice the program's memory for nobody to see). It is
  // made when the sub editor is shown, if the text is still the result.
  bool resultPending_ = false;
  uint64_t resultRevision_ = 0;
};

}  // namespace kelvan::tools
