// The main window's path view: analysis, the full redraw, zoom, tabs, work height.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

#include "editor/NcEditor.h"
#include "nc/AnalyseProgram.h"
#include "view/Beep.h"
#include "view/ExecutionController.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "view/core/RenderOptions.h"

namespace kelvan::view {

bool TViewForm::AnalyseProgram() {
  SetPanel(PanelMessage, QString());
  nc::AnalyseOptions opt;
  opt.Tokenize.ValueUnit = start_.ValueUnit;
  // The editor hands the analysis UTF-8 lines, so the words are compared in UTF-8 too.
  for (const QString& tag : live_.ErrorTags) opt.Tokenize.ErrorTags.push_back(tag.toStdString());
  opt.Tokenize.BlockSkipOn = Action(QStringLiteral("SkipBtn"))->isChecked();
  opt.AtcHeight = start_.AtcHeight;
  opt.WorkHeight = WorkHeight();
  const nc::AnalysisResult r = nc::AnalyseProgram(edit_->Source(), opt, calc_, path_, state_, marks_);
  edit_->ApplyRowMarks(marks_);
  if (r.Ok()) return true;
  Beep();
  edit_->ClearSelection();
  edit_->SetCaret(r.Line, r.Column);
  SetPanel(PanelMessage, QString::fromUtf8(nc::AnalysisMessage(r.Code).data(),
                                           static_cast<qsizetype>(nc::AnalysisMessage(r.Code).size())));
  return false;
}

RenderOptions TViewForm::RenderOptionsNow(bool whiteMode) const {
  RenderOptions o;
  o.ShowG00 = live_.ShowG00;
  o.ShowArrow = live_.ShowArrow;
  o.HoleDisp = live_.HoleDisp;
  o.ShowPos = live_.ShowPos;
  o.UVMode = Action(QStringLiteral("UVButton"))->isChecked();
  o.Tracking = Action(QStringLiteral("InfoBtn"))->isChecked();
  o.WorkHeight = state_.WorkHeight;
  o.WhiteMode = whiteMode;
  return o;
}

bool TViewForm::Redraw(bool whiteMode) {
  if (!analysed_) {
    if (!AnalyseProgram()) {
      exec_->ExecIndex = -1;
      return false;  // the view keeps its old picture
    }
    analysed_ = true;
  }
  const bool busyCursor = !exec_->IsRunning();
  if (busyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  const RenderResult r = picture_.Render(path_, state_, view_, RenderOptionsNow(whiteMode), hits_,
                                         exec_->ExecIndex, showBox_->ShowBoxSize());
  showBox_->ShowPicture(picture_.TempBox());
  if (r.EndsExecution) exec_->ExecIndex = -1;
  if (busyCursor) QApplication::restoreOverrideCursor();
  ShowReadouts(r.Readout);
  SetPanel(PanelCapacity, QString::fromStdString(r.CapacityText));
  return true;
}

void TViewForm::ShowReadouts(const PositionReadout& readout) {
  if (!live_.ShowPos) return;
  const auto texts = readout.PanelTexts();
  for (int i = 0; i < ReadoutPanelCount; ++i) {
    if (texts[static_cast<size_t>(i)])
      SetPanel(static_cast<Panel>(FirstReadoutPanel + i), QString::fromStdString(*texts[static_cast<size_t>(i)]));
  }
}

void TViewForm::DrawRunItem(int index) {
  ShowReadouts(showBox_->DrawRunItem(path_, index, view_, RenderOptionsNow(false)));
}

void TViewForm::SkipButtonsClicked() {
  // Block skip changes what the analysis reads; M00 and M01 are read by the run loop only.
  analysed_ = AnalyseProgram();
  if (analysed_) Redraw();
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

double TViewForm::WorkHeight() const {
  bool ok = false;
  const double h = uvHeightButton_->text().toDouble(&ok);
  return ok ? h : 0.0;
}

void TViewForm::AskWorkHeight() {
  QString text;
  if (!dialogs_->InputText(this, QStringLiteral("Kelvan"), QStringLiteral("ワーク高さを入力して下さい。"), text))
    return;
  bool ok = false;
  const double h = text.trimmed().toDouble(&ok);
  if (ok && h < 0) return;  // a negative height changes nothing
  const double height = ok ? h : 0.0;
  state_.WorkHeight = height;
  Action(QStringLiteral("UVHeightButton"))->setText(ok ? QString::number(height, 'g', 15) : QStringLiteral("0"));
  analysed_ = false;  // the analysis takes the height from the button
  Redraw();
}

}  // namespace kelvan::view
