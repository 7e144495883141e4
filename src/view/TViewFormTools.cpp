// The main window's conversion tools (the menus "２Ｄツール" and "３Ｄツール"): each asks what
// it needs and runs its core in the conversion frame.

#include <QAction>

#include <cmath>

#include "editor/NcEditor.h"
#include "settings/ValueText.h"
#include "tools/Tools.h"
#include "tools/ui/ConversionFrame.h"
#include "view/Beep.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

namespace {

const QString kCaption = QStringLiteral("Kelvan");

}  // namespace

void TViewForm::CreateTools() {
  frame_ = std::make_unique<tools::ConversionFrame>(
      tools::ConversionFrame::Window{this, [this](const QString& text) { SetPanel(PanelMessage, text); },
                                     [this] { return !panel2_->isHidden(); }},
      *bench_, *edit_, *bufEdit_, *dialogs_);
  Bind(Command::SuperHoleItem, &TViewForm::SuperHoleItemClick);
  Bind(Command::OptimizItem, &TViewForm::OptimizItemClick);
  Bind(Command::IncConvItem, &TViewForm::IncConvItemClick);
  Bind(Command::IncConvFixdItem, &TViewForm::IncConvFixdItemClick);
  Bind(Command::NullLineKillItem, &TViewForm::NullLineKillItemClick);
  Bind(Command::Turn3DItem, &TViewForm::Turn3DItemClick);
  Bind(Command::XmirrItem, [this] { MirrorItemClick(tools::Axis::X); });
  Bind(Command::YmirrItem, [this] { MirrorItemClick(tools::Axis::Y); });
  Bind(Command::Raph3DItem, &TViewForm::Raph3DItemClick);
  // Hidden unless the store asks for it.
  Action(Command::SuperHoleItem)->setVisible(start_.ShowSuperHole);
}

tools::ToolOptions TViewForm::ToolOptionsNow() const {
  const workbench::AnalysisSettings& s = bench_->Settings();
  tools::ToolOptions o;
  o.Tokenize.ValueUnit = s.ValueUnit;
  o.Tokenize.ErrorTags = s.ErrorTags;
  o.Tokenize.BlockSkipOn = bench_->Options().BlockSkip;
  o.Decimals = live_.Decimals();
  o.AtcHeight = s.AtcHeight;
  o.LineEnd = edit_->LineEnd();
  return o;
}

bool TViewForm::RunTool(const QString& question, ToolCore core, int64_t passes, bool clearStatus) {
  // A conversion edits the text: refused while a program executes, as every edit is.
  if (RefuseWhileExecuting()) return false;
  const tools::ToolOptions options = ToolOptionsNow();
  return frame_->Run(
      question,
      [core = std::move(core), options](const nc::LineSource& lines, const tools::Progress& progress) {
        return core(lines, options, progress);
      },
      passes, clearStatus);
}

void TViewForm::SuperHoleItemClick() {
  RunTool(QStringLiteral("固定サイクルを展開しますか！"),
          [](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
            return tools::ExpandCycles(l, o, p);
          });
}

void TViewForm::OptimizItemClick() {
  RunTool(QStringLiteral("最適化開始しますか！"),
          [](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
            return tools::Optimise(l, o, p);
          });
}

void TViewForm::IncConvItemClick() {
  RunTool(QStringLiteral("インクリメンタル変換開始しますか！"),
          [](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
            return tools::ToIncremental(l, o, p);
          });
}

void TViewForm::IncConvFixdItemClick() {
  // This tool leaves the status panel as it is.
  RunTool(
      QStringLiteral("小数点除去を開始しますか！"),
      [](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
        return tools::RemoveDecimalPoints(l, o, p);
      },
      1, false);
}

void TViewForm::NullLineKillItemClick() {
  RunTool(
      QStringLiteral("空白行を削除しますか！"),
      [](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
        return tools::RemoveBlankLines(l, o, p);
      },
      1, false);
}

bool TViewForm::AskNumber(const QString& text, double& value) {
  const std::optional<double> v = settings::ParseDecimal(text);
  if (v) {
    value = *v;
    return true;
  }
  // What the user typed is no number: the command ends with the conversion's message.
  dialogs_->Message(this, QMessageBox::Critical, kCaption, QStringLiteral("'%1' は正しい数値ではありません。").arg(text),
                    QMessageBox::Ok);
  return false;
}

void TViewForm::Turn3DItemClick() {
  if (RefuseWhileExecuting()) return;
  QString text;
  double degrees = 0;
  for (;;) {
    if (!dialogs_->InputText(this, kCaption, QStringLiteral("回転角度を入力して下さい。"), text)) return;
    if (!AskNumber(text, degrees)) return;
    if (std::fabs(degrees) < 360) break;
    dialogs_->Message(this, QMessageBox::Critical, QStringLiteral(" Morwen System Message"),
                      QStringLiteral("入力された角度が範囲外です。"), QMessageBox::Ok);
  }
  RunTool(QString(), [degrees](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
    return tools::Rotate(l, o, degrees, p);
  });
}

void TViewForm::MirrorItemClick(tools::Axis axis) {
  RunTool(axis == tools::Axis::X ? QStringLiteral("Ｘ軸で反転しますか？") : QStringLiteral("Ｙ軸で反転しますか？"),
          [axis](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& p) {
            return tools::Mirror(l, o, axis, p);
          });
}

void TViewForm::Raph3DItemClick() {
  if (RefuseWhileExecuting()) return;
  QString start = QString::number(bench_->Machine().MaxCutZ, 'g', 15);
  QString end = QString::number(bench_->Machine().RangeMinZ, 'g', 15);
  QString step = QStringLiteral("0");
  tools::RoughParameters p;
  for (;;) {
    if (!dialogs_->RoughParameters(this, start, end, step)) return;
    if (!AskNumber(start, p.Start) || !AskNumber(end, p.End) || !AskNumber(step, p.Step)) return;
    if (p.Start >= p.End && p.Step >= 1.0) break;
    Beep();
  }
  RunTool(
      QString(),
      [p](const nc::LineSource& l, const tools::ToolOptions& o, const tools::Progress& progress) {
        return tools::Rough(l, o, p, progress);
      },
      tools::RoughPasses(p));
}

}  // namespace kelvan::view
