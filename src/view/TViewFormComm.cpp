// The main window's DNC transfer: the dialog "通信", opened modally while nothing executes.

#include <QAction>

#include "comm/ui/TCommDlg.h"
#include "view/DocumentController.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

void TViewForm::CreateComm() {
  commDlg_ = new comm::TCommDlg(*bench_, *dialogs_, *reg_, [this] { doc_->PromptSaveBeforeReplace(); }, this);
  connect(Action(Command::AcCommunication), &QAction::triggered, this, &TViewForm::AcCommunicationExecute);
}

void TViewForm::AcCommunicationExecute() {
  if (RefuseWhileExecuting()) return;
  commDlg_->exec();
  // Whatever came in or went out, the picture shows the program as it now stands.
  bench_->Refresh();
}

}  // namespace kelvan::view
