// The main window's path view: the picture the workbench asks for, the bindings of the
// workbench's state, zoom, tabs and the work height.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabBar>

#include <algorithm>
#include <thread>

#include "editor/NcEditor.h"
#include "nc/AnalysisError.h"
#include "view/Beep.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "view/core/RenderOptions.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

RenderOptions TViewForm::RenderOptionsNow(bool whiteMode) const {
  const workbench::RunOptions& run = bench_->Options();
  RenderOptions o;
  o.ShowG00 = live_.ShowG00;
  o.ShowArrow = live_.ShowArrow;
  o.HoleDisp = live_.HoleDisp;
  o.ShowPos = live_.ShowPos;
  o.UVMode = run.UVMode;
  o.Tracking = run.Tracking;
  o.WorkHeight = bench_->Machine().WorkHeight;
  o.WhiteMode = whiteMode;
  o.Stride = draftStride_;
  // The compared program under the path; the comparison keeps it while it is active.
  o.Underlay = bench_->Compare().OtherPath().get();
  o.UnderlayColor = start_.CompareColor;
  return o;
}

RenderResult TViewForm::DrawPicture(int32_t execIndex, bool whiteMode) {
  // A picture paints over the highlight, and its hits are new.
  hitIndex_.Clear();
  // While the mouse turns or moves the view its cursor stays.
  const bool busyCursor = !bench_->Exec().IsRunning() && pointer_ == Pointer::Normal;
  if (busyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  const RenderResult r = picture_.Render(bench_->Path(), bench_->Machine(), view_, RenderOptionsNow(whiteMode),
                                         hits_, execIndex, showBox_->ShowBoxSize());
  if (busyCursor) QApplication::restoreOverrideCursor();
  ShowRendered(picture_, r);
  return r;
}

void TViewForm::ShowRendered(const PathPicture& picture, const RenderResult& r) {
  showBox_->ShowPicture(picture.TempBox());
  ShowReadouts(r.Readout);
  SetPanel(PanelCapacity, QString::fromStdString(r.CapacityText));
}

std::function<void(const nc::PathList&, const nc::MachineState&)> TViewForm::PreparePicture() {
  // The reference mode records what it draws, in the window's own hit list: that stays on
  // this thread.
  if (bench_->Options().Tracking) return {};
  Prepared& p = prepared_;
  if (!p.Picture) {
    p.Picture = std::make_unique<PathPicture>(picture_.TempBox().size());
    // The job runs beside the user-interface thread (which takes a loaded text into the
    // editor meanwhile): it leaves that thread a core.
    p.Picture->SetThreads(std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1));
  }
  p.View = view_;
  p.Options = RenderOptionsNow(false);
  p.Size = showBox_->ShowBoxSize();
  p.Result = {};
  // The job reads only what it was given; the window does not touch the prepared
  // picture until the workbench has waited for the job.
  // The job holds the compared path it draws: the comparison may end while it runs.
  return [picture = p.Picture.get(), result = &p.Result, view = p.View, options = p.Options, size = p.Size,
          underlay = bench_->Compare().OtherPath()](const nc::PathList& path, const nc::MachineState& state) {
    HitList hits(HitList::CapacityForPath(path.Capacity));
    *result = picture->Render(path, state, view, options, hits, -1, size);
  };
}

bool TViewForm::ShowPreparedPicture() {
  Prepared& p = prepared_;
  if (!p.Picture || !(p.View == view_) || !(p.Options == RenderOptionsNow(false)) ||
      p.Size != showBox_->ShowBoxSize())
    return false;
  // The prepared picture becomes the window's; the old one is the next job's canvas.
  std::swap(picture_, *p.Picture);
  const int threads = p.Picture->Threads();
  p.Picture->SetThreads(picture_.Threads());
  picture_.SetThreads(threads);
  hits_.Clear();
  hitIndex_.Clear();
  ShowRendered(picture_, p.Result);
  return true;
}

void TViewForm::DrawRunItem(int32_t index) {
  ShowReadouts(showBox_->DrawRunItem(bench_->Path(), index, view_, RenderOptionsNow(false)));
}

void TViewForm::Beep() { view::Beep(); }

void TViewForm::ShowReadouts(const PositionReadout& readout) {
  if (!live_.ShowPos) return;
  const auto texts = readout.PanelTexts();
  for (int i = 0; i < ReadoutPanelCount; ++i) {
    if (texts[static_cast<size_t>(i)])
      SetPanel(static_cast<Panel>(FirstReadoutPanel + i), QString::fromStdString(*texts[static_cast<size_t>(i)]));
  }
}

void TViewForm::ShowAnalysis(const nc::AnalysisResult& result) {
  const std::string_view message = nc::AnalysisMessage(result.Code);
  SetPanel(PanelMessage, QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
}

void TViewForm::ShowRunOptions() {
  const workbench::RunOptions& o = bench_->Options();
  Action(Command::SkipBtn)->setChecked(o.BlockSkip);
  Action(Command::M00Btn)->setChecked(o.StopAtM00);
  Action(Command::M01Btn)->setChecked(o.StopAtM01);
  Action(Command::UVButton)->setChecked(o.UVMode);
  Action(Command::InfoBtn)->setChecked(o.Tracking);
  Action(Command::UVHeightButton)->setText(QString::number(o.WorkHeight, 'g', 15));
  ShowExecutionState();
}

void TViewForm::ShowExecutionState() {
  const workbench::Execution& exec = bench_->Exec();
  const bool idle = !exec.IsExecuting() && !exec.IsRunning();
  for (Command c : {Command::AcFileNew, Command::AcFileOpen, Command::AcFileInsert, Command::AcFileSave,
                    Command::AcFileSaveAs})
    Action(c)->setEnabled(idle);
  for (QAction* h : history_) h->setEnabled(idle);
  const Command speeds[] = {Command::LoBtn, Command::MidBtn, Command::HiBtn};
  Action(speeds[exec.RunSpeed()])->setChecked(true);
}

void TViewForm::ZoomIn() {
  if (!view_.ZoomIn()) {
    Beep();
    return;
  }
  Redraw();
}

void TViewForm::ZoomOut() {
  if (!view_.ZoomOut()) {
    Beep();
    return;
  }
  Redraw();
}

void TViewForm::Home() {
  view_.Home();
  Redraw();
}

void TViewForm::TabChanged(int index) {
  view_.SelectTab(index);
  Redraw();
}

void TViewForm::ShowBoxResized() {
  const QSize s = showBox_->ShowBoxSize();
  view_.ResizeView(s.width(), s.height());
  if (isVisible()) Redraw();
}

void TViewForm::AskWorkHeight() {
  QString text;
  if (!dialogs_->InputText(this, QStringLiteral("Kelvan"), QStringLiteral("ワーク高さを入力して下さい。"), text))
    return;
  bool ok = false;
  const double h = text.trimmed().toDouble(&ok);
  // What is no number counts as 0; a negative height changes nothing.
  bench_->SetWorkHeight(ok ? h : 0.0);
}

}  // namespace kelvan::view
