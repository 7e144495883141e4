#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QKeySequence>
#include <QString>

#include <memory>

class QAction;
class QLabel;
class QMenuBar;

namespace kelvan::editor {
class NcEditor;
}
namespace kelvan::print {
class TPrintDlg;
class TStringsPrinter;
}  // namespace kelvan::print
namespace kelvan::view {
class UserDialogs;
}
namespace kelvan::workbench {
class Workbench;
}

namespace kelvan::script {

class QtScriptUi;
class ScriptHost;
class TAssistanceDlg;
class TGuiDlg;
class TPascalFountain;

// The script window "スクリプト窓": one script file in an editor with Pascal colouring,
// its file, edit and run commands, a status bar (caret, insert mode, first message) and
// the input support list. It hosts the script engine, so a run always takes the text as
// it stands here, and it runs the user command buttons' scripts.
//
// A run writes into the workbench's program, in one step that Undo takes back, and the
// program is drawn afresh. While it runs the window lets the events through now and then
// (every 30 ms), so that the stop command and Escape reach it; RunningChanged tells the
// main window to lock everything but the stop command meanwhile.
class TScriptDlg : public QDialog {
  Q_OBJECT
 public:
  // `folder` is the script folder (no trailing '/'). The printer and print dialog are
  // the main window's and outlive this window.
  TScriptDlg(workbench::Workbench& bench, view::UserDialogs& dialogs, print::TStringsPrinter& printer,
             print::TPrintDlg& printDialog, const QString& folder, QWidget* parent = nullptr);
  ~TScriptDlg() override;

  editor::NcEditor& Script() { return *script_; }
  TGuiDlg& GuiDlg() { return *guiDlg_; }
  ScriptHost& Host() { return *host_; }
  // The script file: the window's caption and where 上書き保存 writes.
  const QString& FileName() const { return fileName_; }
  const QString& Folder() const { return folder_; }
  QString StatusText(int panel) const;
  QStringList Messages() const { return messages_; }  // LbMsgs
  bool IsShowing() const { return showing_; }
  bool IsRunning() const { return running_; }
  QAction* Action(const char* name) const;

  // Compiles and runs the text (the main window's スクリプト実行). A fault or a stop puts its
  // message in the status bar, beeps, places the caret at it and shows the window. True
  // when the script ran to its end.
  bool RunScriptText();
  // Asks a running script to stop before its next statement; nothing when none runs.
  void StopScript();
  // Lets the user pick a script in the script folder and loads it (スクリプト読込み).
  bool LoadProcedure();
  // Loads a script file; false (with the reason in error) leaves the window unchanged.
  bool LoadFile(const QString& path, QString& error);
  // A user command button: loads the script `name` from the script folder and runs it
  // without showing the window. Beeps when a program executes or the file is missing;
  // asks before a modified script text is dropped.
  void OriginalCommand(const QString& name);

  // The menu commands.
  void FileNew();
  bool FileSave();
  bool FileSaveAs();
  void PrintScript();
  void OverWrite();
  void LineDel();
  void InputSupport();

 signals:
  void RunningChanged(bool running);
  // Find, Replace, FindNext and AcFindPrev: the find and replace dialogs belong to the
  // main window, which shows them over this one.
  void FindRequested();
  void ReplaceRequested();
  void FindNextRequested(bool forward);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* NewAction(const char* name, const QString& text, const QKeySequence& key);
  QMenuBar* BuildMenus();
  void FreeShortcutsFromEditor();
  void SetFileName(const QString& path);
  void ShowCaret();
  void ShowFirstMessage();
  bool WriteTo(const QString& path);
  bool Poll();
  void SetRunning(bool running);
  int Ask(const QString& caption, const QString& text);

  workbench::Workbench& bench_;
  view::UserDialogs& dialogs_;
  print::TStringsPrinter& printer_;
  print::TPrintDlg& printDialog_;
  QString folder_;
  QString fileName_;
  editor::NcEditor* script_ = nullptr;
  TPascalFountain* lexer_ = nullptr;
  TGuiDlg* guiDlg_ = nullptr;
  TAssistanceDlg* assistance_ = nullptr;
  std::unique_ptr<QtScriptUi> ui_;
  std::unique_ptr<ScriptHost> host_;
  QLabel* panels_[3] = {};
  QStringList messages_;
  bool showing_ = false;
  bool running_ = false;
  bool stopRequested_ = false;
  QElapsedTimer sincePoll_;
};

}  // namespace kelvan::script
