// The main window's restart from a line ("この行から再開") and program compare
// ("プログラム比較"). Both read the document through the workbench; the restart never
// changes it, and the compare only draws another path under it.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <algorithm>

#include "editor/NcEditor.h"
#include "nc/Cp932.h"
#include "nc/DecodedText.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/Restart.h"
#include "tools/Tools.h"
#include "tools/ui/TCompareDlg.h"
#include "view/Beep.h"
#include "view/DocumentController.h"
#include "view/NcFileDialog.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "view/UserDialogs.h"
#include "view/WaitCursor.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

namespace {

const QString kCaption = QStringLiteral("Kelvan");

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

void TViewForm::CreateCompare() {
  compareDlg_ = new tools::TCompareDlg(this);
  Bind(Command::AcRestart, &TViewForm::AcRestartExecute);
  Bind(Command::AcCompare, &TViewForm::AcCompareExecute);
  connect(compareDlg_, &tools::TCompareDlg::LineChosen, this, [this](int32_t line) {
    edit_->SetCaret(line, 0);
    edit_->SetFocus();
  });
  connect(compareDlg_, &tools::TCompareDlg::CompareAgain, this, [this] {
    if (bench_->Compare().Active()) CompareWithFile(bench_->Compare().OtherFile());
  });
  connect(compareDlg_, &tools::TCompareDlg::Closed, this, &TViewForm::EndComparison);
  // After an edit the stretches name the lines the program had when it was compared.
  connect(bench_.get(), &workbench::Workbench::AnalysisFinished, this,
          [this] { compareDlg_->SetStale(bench_->Compare().Stale(*bench_)); });
}

// --- restart from the caret's line --------------------------------------------------------

void TViewForm::AcRestartExecute() {
  if (RefuseWhileExecuting()) return;
  const int32_t line = edit_->CaretRow();
  tools::RestartOptions o;
  o.Tool = ToolOptionsNow();
  o.WorkHeight = bench_->Options().WorkHeight;
  o.Capacity = bench_->Path().Capacity;
  tools::RestartResult r;
  {
    WaitCursor wait;
    const std::shared_ptr<const nc::NcText> text = bench_->Snapshot();
    r = tools::RestartFromLine(nc::NcTextLineSource(*text), line, o);
  }
  if (!r.Ok()) {
    Beep();
    QString where = QStringLiteral("行 %1").arg(int64_t{r.FaultLine} + 1);
    if (r.Refusal == tools::RestartRefusal::Fault) where += QStringLiteral(" 桁 %1").arg(int64_t{r.FaultColumn} + 1);
    dialogs_->Message(this, QMessageBox::Critical, kCaption,
                      QStringLiteral("再開できません（%1）: %2").arg(where, Utf8(r.Message)), QMessageBox::Ok);
    // The line the refusal names is where the user goes on: the call, the fault.
    if (r.FaultLine >= 0 && r.FaultLine < edit_->LineCount()) edit_->SetCaret(r.FaultLine, r.FaultColumn);
    return;
  }
  // The program as the file keeps it: the document's encoding and line ends.
  const std::string bytes = nc::EncodeFromUtf8(r.Output.Text(), edit_->Encoding(), nullptr);
  const auto answer = dialogs_->Message(
      this, QMessageBox::Question, kCaption,
      QStringLiteral("行 %1 から再開するプログラムを作りました（前置き %2 行）。\n"
                     "新しいウィンドウで開きますか。\n「いいえ」で名前を付けて保存します。")
          .arg(int64_t{r.Line} + 1)
          .arg(r.PreambleLines),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Yes) OpenInNewWindow(bytes);
  if (answer == QMessageBox::No) SaveRestart(bytes, r.Line);
}

bool TViewForm::OpenInNewWindow(const std::string& bytes) {
  // Handed over in a file of the temporary folder, which the new window removes once read.
  QTemporaryFile file(QDir(QDir::tempPath()).filePath(QStringLiteral("kelvan-handover-XXXXXX.nc")));
  file.setAutoRemove(false);
  const bool written = file.open() &&
                       file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                       file.flush();
  const QString path = file.fileName();
  file.close();
  if (!written || !startInstance_({QStringLiteral("--untitled"), path})) {
    if (!path.isEmpty()) QFile::remove(path);
    dialogs_->Message(this, QMessageBox::Critical, kCaption,
                      QStringLiteral("新しいウィンドウを開けませんでした。名前を付けて保存してください。"),
                      QMessageBox::Ok);
    return false;
  }
  return true;
}

bool TViewForm::SaveRestart(const std::string& bytes, int32_t line) {
  // Offered beside the program, named after it and the line.
  const QString current = bench_->FileName();
  const QFileInfo info(current);
  const QString base = current.isEmpty() ? QStringLiteral("restart") : info.completeBaseName();
  const QString suffix = current.isEmpty() || info.suffix().isEmpty() ? QStringLiteral("nc") : info.suffix();
  const QString offered = QDir(doc_->DialogFolder()).filePath(
      QStringLiteral("%1_restart%2.%3").arg(base).arg(int64_t{line} + 1).arg(suffix));
  for (;;) {
    QString path = dialogs_->SaveFileName(this, offered, NcFileDialog::SaveFilter());
    if (path.isEmpty()) return false;
    path = QFileInfo(path).absoluteFilePath();
    // The original is never changed: the restart goes to another file.
    if (!current.isEmpty() && QFileInfo(path) == QFileInfo(current)) {
      Beep();
      dialogs_->Message(this, QMessageBox::Warning, kCaption,
                        QStringLiteral("元のプログラムには保存できません。別の名前を付けてください。"), QMessageBox::Ok);
      continue;
    }
    if (QFileInfo::exists(path) &&
        dialogs_->Message(this, QMessageBox::Question, kCaption, path + QStringLiteral(" 上書きしますか。"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
      return false;
    std::string error;
    if (!nc::WriteFileAtomically(QFile::encodeName(path).toStdString(), bytes, error)) {
      dialogs_->Message(this, QMessageBox::Critical, kCaption,
                        QStringLiteral("保存できませんでした。\n") + QString::fromLocal8Bit(error.c_str()), QMessageBox::Ok);
      return false;
    }
    SetPanel(PanelMessage, QStringLiteral("再開用のプログラムを保存しました: ") + path);
    return true;
  }
}

// --- program compare ------------------------------------------------------------------------

void TViewForm::AcCompareExecute() {
  // The compare analyses the document, which a run may not have changed under it.
  if (RefuseWhileExecuting()) return;
  const QString path = dialogs_->OpenFileName(this, doc_->DialogFolder(), NcFileDialog::OpenFilter());
  if (path.isEmpty()) return;
  CompareWithFile(path);
}

bool TViewForm::CompareWithFile(const QString& path) {
  if (RefuseWhileExecuting()) return false;
  nc::DecodedText other;
  std::string error;
  workbench::Comparison::Outcome outcome;
  {
    WaitCursor wait;
    if (nc::ReadDecodedText(QFile::encodeName(path).toStdString(), other, error))
      outcome = bench_->Compare().Compare(*bench_, QFileInfo(path).absoluteFilePath(), other,
                                          tools::CompareOptions{start_.CompareTolerance});
  }
  if (!error.empty() || !outcome.Ok()) {
    Beep();
    dialogs_->Message(this, QMessageBox::Critical, kCaption,
                      error.empty() ? workbench::Comparison::OutcomeText(outcome) : QString::fromLocal8Bit(error.c_str()),
                      QMessageBox::Ok);
    return false;
  }
  const workbench::Comparison& c = bench_->Compare();
  Redraw();
  SetPanel(PanelMessage, c.SummaryText());
  compareDlg_->SetComparison(c.OtherFile(), c.Result(), c.Tolerance());
  if (!compareDlg_->isVisible() && !compareShown_) {
    // First shown in the view's lower right corner, where it hides least of the path and
    // none of the program; later where the user left it.
    const QRect box(showBox_->mapToGlobal(QPoint(0, 0)), showBox_->size());
    compareDlg_->move(std::max(box.left(), box.right() - compareDlg_->width() - 8),
                      std::max(box.top(), box.bottom() - compareDlg_->height() - 40));
    compareShown_ = true;
  }
  compareDlg_->show();
  compareDlg_->raise();
  return true;
}

void TViewForm::EndComparison() {
  if (!bench_->Compare().Active()) return;
  bench_->Compare().End();
  SetPanel(PanelMessage, QString());
  Redraw();
}

}  // namespace kelvan::view
