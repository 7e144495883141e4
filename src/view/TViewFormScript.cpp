// The main window's scripts: the script window, スクリプト読込み / 実行 / 停止 and the seven
// user command buttons, each running the script its setting names.

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>

#include "script/ScriptFolder.h"
#include "settings/SettingsKeys.h"
#include "script/ui/TScriptDlg.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"

namespace kelvan::view {

void TViewForm::CreateScripts() {
  const QString folder = QString::fromStdString(script::UserScriptFolder());
  scriptDlg_ = new script::TScriptDlg(*bench_, *dialogs_, *printer_, *printDlg_, folder, this);
  connect(scriptDlg_, &script::TScriptDlg::RunningChanged, this, &TViewForm::LockForScript);
  Bind(Command::AcScriptEdit, [this] {
    if (!RefuseWhileExecuting()) scriptDlg_->exec();
  });
  Bind(Command::AcScriptLoad, [this] {
    if (!RefuseWhileExecuting()) scriptDlg_->LoadProcedure();
  });
  Bind(Command::AcScriptRun, [this] {
    if (!RefuseWhileExecuting()) scriptDlg_->RunScriptText();
  });
  Bind(Command::AcScriptStop, [this] { scriptDlg_->StopScript(); });
  for (int n = 1; n <= settings::CommandCount; ++n) {
    Bind(UserCommand(n), [this, n] { scriptDlg_->OriginalCommand(Action(UserCommand(n))->toolTip()); });
  }
  LoadUserCommands(start_.Commands);
}

void TViewForm::LoadUserCommands(const QStringList& names) {
  const QDir folder(scriptDlg_->Folder());
  for (int n = 1; n <= settings::CommandCount; ++n) {
    const QString name = names.value(n - 1);
    QAction* a = Action(UserCommand(n));
    if (name.isEmpty()) continue;
    a->setToolTip(name);
    // The button's picture: the script's name with .bmp (or .png) in the script folder.
    const QString base = folder.filePath(QFileInfo(name).completeBaseName());
    for (const char* ext : {".bmp", ".png"}) {
      const QPixmap glyph(base + QLatin1String(ext));
      if (!glyph.isNull()) {
        a->setIcon(QIcon(glyph));
        break;
      }
    }
  }
}

// While a script runs only the stop command stays: the script owns the program's text
// until it ends, and the window lets events through so that the stop can reach it.
void TViewForm::LockForScript(bool running) {
  for (QAction* a : actions_) {
    if (a == Action(Command::AcScriptStop)) continue;
    if (running) a->setProperty("enabledBeforeScript", a->isEnabled());
    a->setEnabled(running ? false : a->property("enabledBeforeScript").toBool());
  }
  for (QAction* h : history_) {
    if (running) h->setProperty("enabledBeforeScript", h->isEnabled());
    h->setEnabled(running ? false : h->property("enabledBeforeScript").toBool());
  }
  centralWidget()->setEnabled(!running);
}

}  // namespace kelvan::view
