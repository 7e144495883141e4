#include "tools/ui/ConversionFrame.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QMetaObject>
#include <QWidget>

#include <thread>

#include "editor/NcEditor.h"
#include "nc/NcTextLineSource.h"
#include "tools/ui/TProgressBox.h"
#include "view/Beep.h"
#include "view/UserDialogs.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

namespace kelvan::tools {

ConversionFrame::ConversionFrame(Window window, workbench::Workbench& bench, editor::NcEditor& edit,
                                 editor::NcEditor& work, view::UserDialogs& dialogs)
    : window_(std::move(window)), bench_(bench), editor_(edit), work_(work), dialogs_(dialogs),
      progress_(new TProgressBox(window_.widget)) {}

ConversionFrame::~ConversionFrame() = default;  // the box belongs to the window

bool ConversionFrame::Run(const QString& question, const Tool& tool, int64_t passes, bool clearStatus) {
  if (!question.isEmpty() &&
      dialogs_.Message(window_.widget, QMessageBox::Question, QStringLiteral("Kelvan"), question,
                       QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return false;
  running_ = true;
  ToolResult result;
  {
    const std::shared_ptr<const nc::NcText> text = bench_.Snapshot();
    const nc::NcTextLineSource lines(*text);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (window_.widget) window_.widget->setEnabled(false);
    if (clearStatus && window_.showMessage) window_.showMessage(QString());
    progress_->SetMaximum(passes * lines.LineCount());
    progress_->Start();
    result = RunOnWorker(tool, lines);
    progress_->Finish();
    if (window_.widget) window_.widget->setEnabled(true);
    QApplication::restoreOverrideCursor();
  }
  running_ = false;
  resultPending_ = false;
  if (!result.Ok()) {
    // The work buffer holds what was written before the fault.
    PutIntoWorkBuffer(result.Output.Text());
    if (window_.showMessage) window_.showMessage(QString::fromStdString(result.Error.Message));
    view::Beep();
    bench_.Document().ClearSelection();
    bench_.Document().SetCaret(result.Error.Line, result.Error.Column);
    return false;
  }
  // The text first, then the work buffer from it: the result is not held three times at
  // once (as it stands, in the work buffer and in the editor with its undo record).
  bench_.ReplaceText(std::move(result.Output.Text()));
  resultPending_ = true;
  resultRevision_ = bench_.Revision();
  if (window_.workBufferShown && window_.workBufferShown()) {
    WorkBufferShown();
  } else {
    work_.SetWorkText({});  // cleared, as at the start of every tool
  }
  return true;
}

void ConversionFrame::WorkBufferShown() {
  if (!resultPending_) return;
  resultPending_ = false;
  if (bench_.Revision() == resultRevision_) work_.SetWorkText(editor_.TextUtf8());
}

ToolResult ConversionFrame::RunOnWorker(const Tool& tool, const nc::LineSource& lines) {
  ToolResult result;
  QEventLoop loop;
  // The loop paints the window and moves the progress box; the user's input waits, as the
  // window is disabled anyway.
  std::thread worker([&] {
    result = tool(lines, [this](int64_t done) { progress_->SetPosition(done); });
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  return result;
}

void ConversionFrame::PutIntoWorkBuffer(const std::string& text) { work_.SetWorkText(text); }

}  // namespace kelvan::tools
