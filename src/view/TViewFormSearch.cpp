// The main window's find, replace and jump: 検索, 置換, 再検索 (forward and backward) and
// 指定行, and the find commands of the report and script windows, all over the one find
// dialog and the one replace dialog.

#include <QAction>

#include "editor/NcEditor.h"
#include "report/ui/TDumpDlg.h"
#include "script/ui/TScriptDlg.h"
#include "search/SearchCommands.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

void TViewForm::CreateSearch() {
  search_ = new search::SearchCommands([this] { return SearchTargetNow(); }, *dialogs_, *reg_, this);
  Bind(Command::AcFind, &TViewForm::AcFindExecute);
  Bind(Command::AcReplace, &TViewForm::AcReplaceExecute);
  Bind(Command::AcFindNext, [this] { AcFindNextExecute(true); });
  Bind(Command::AcFindPrev, [this] { AcFindNextExecute(false); });
  Bind(Command::AcJump, &TViewForm::AcJumpExecute);

  // The report window searches its own editor: the dialogs choose it while it shows.
  connect(dumpDlg_, &report::TDumpDlg::FindRequested, this, [this] { search_->ShowFind(dumpDlg_, nullptr); });
  connect(dumpDlg_, &report::TDumpDlg::ReplaceRequested, this, [this] { search_->ShowReplace(dumpDlg_, nullptr); });
  connect(dumpDlg_, &report::TDumpDlg::FindNextRequested, this,
          [this] { search::SearchCommands::Repeat(dumpDlg_->Edit(), true); });
  connect(scriptDlg_, &script::TScriptDlg::FindRequested, this,
          [this] { search_->ShowFind(scriptDlg_, &scriptDlg_->Script()); });
  connect(scriptDlg_, &script::TScriptDlg::ReplaceRequested, this,
          [this] { search_->ShowReplace(scriptDlg_, &scriptDlg_->Script()); });
  connect(scriptDlg_, &script::TScriptDlg::FindNextRequested, this,
          [this](bool forward) { search_->FindAgain(scriptDlg_, scriptDlg_->Script(), forward); });
}

search::SearchTarget TViewForm::SearchTargetNow() {
  if (scriptDlg_->IsShowing()) return {&scriptDlg_->Script(), false};
  if (dumpDlg_->IsShowing()) return {&dumpDlg_->Edit(), false};
  // The main editor searches in the view that had the focus last: the main view or the
  // second view of the split editor.
  return {edit_, true};
}

void TViewForm::AcFindExecute() {
  if (RefuseWhileExecuting()) return;
  if (bench_->ScriptRunning()) return Beep();
  search_->ShowFind(this, edit_);
}

void TViewForm::AcReplaceExecute() {
  if (RefuseWhileExecuting()) return;
  if (bench_->ScriptRunning()) return Beep();
  search_->ShowReplace(this, edit_);
  // The picture follows what was replaced. A replacement marked the text changed (and
  // modified) already, so only a changed text is analysed again.
  bench_->Redraw();
}

void TViewForm::AcFindNextExecute(bool forward) { search_->FindAgain(this, *edit_, forward); }

void TViewForm::AcJumpExecute() {
  QString text;
  if (!dialogs_->InputText(this, QStringLiteral("Kelvan"), QStringLiteral("ジャンプ行を入力して下さい。"), text)) return;
  bool ok = false;
  const qlonglong line = text.trimmed().toLongLong(&ok);
  if (!ok) {
    dialogs_->Message(this, QMessageBox::Critical, QStringLiteral("Kelvan"),
                      QStringLiteral("'%1' は正しい整数ではありません。").arg(text), QMessageBox::Ok);
    return;
  }
  if (line < 1 || line > edit_->LineCount()) return;
  edit_->SetCaret(static_cast<int>(line - 1), 0);
}

}  // namespace kelvan::view
