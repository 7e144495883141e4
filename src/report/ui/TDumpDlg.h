#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QStringList>

#include <string>
#include <vector>

class QAction;
class QsciLexer;
class QStatusBar;
class QToolBar;

namespace kelvan::editor {
class NcEditor;
}
namespace kelvan::print {
class TPrintDlg;
class TStringsPrinter;
}  // namespace kelvan::print

namespace kelvan::report {

// The report window "レポート": one editable editor with NC highlighting that shows the
// last report, a tool bar (印刷, undo, redo, find, replace, 閉じる) and an empty status
// bar. Created once and reused; every report replaces the whole text. Edits here never
// reach the NC program.
class TDumpDlg : public QDialog {
  Q_OBJECT
 public:
  // printer and printDialog are the main window's; they outlive this window.
  TDumpDlg(print::TStringsPrinter& printer, print::TPrintDlg& printDialog,
           QWidget* parent = nullptr);
  ~TDumpDlg() override;

  editor::NcEditor& Edit() { return *edit_; }
  // The NC scheme shared with the other editors; without it the window uses its own.
  void SetHighlighter(QsciLexer* lexer);

  // True while the window is shown: the find and replace dialogs then work on the
  // report editor rather than the program.
  bool IsShowing() const { return showing_; }

  // Replaces the report text with the lines (UTF-8), with no undo step back to the
  // previous report.
  void SetReportLines(const std::vector<std::string>& lines);
  // Fills the window and shows it modally; returns when it is closed.
  void ShowReport(const std::vector<std::string>& lines);
  // The same without waiting, for the windows' tests.
  void ShowReportModeless(const std::vector<std::string>& lines);

  // Prints the report as it stands in the editor (with the user's edits) under the title
  // "印刷".
  void PrintBtnClick();

  QAction* AcUndo() const { return acUndo_; }
  QAction* AcRedo() const { return acRedo_; }
  QAction* AcFind() const { return acFind_; }
  QAction* AcReplace() const { return acReplace_; }
  QAction* AcFindNext() const { return acFindNext_; }

 signals:
  // AcFind, AcReplace and AcFindNext: the find and replace dialogs belong to the main
  // window, which shows them over this one.
  void FindRequested();
  void ReplaceRequested();
  void FindNextRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QAction* NewAction(const QString& name, const QString& text, const QKeySequence& key);
  QToolBar* BuildToolBar();
  void FreeShortcutsFromEditor();

  print::TStringsPrinter& printer_;
  print::TPrintDlg& printDialog_;
  editor::NcEditor* edit_ = nullptr;
  QsciLexer* ownLexer_ = nullptr;
  QAction* acPrint_ = nullptr;
  QAction* acClose_ = nullptr;
  QAction* acUndo_ = nullptr;
  QAction* acRedo_ = nullptr;
  QAction* acFind_ = nullptr;
  QAction* acReplace_ = nullptr;
  QAction* acFindNext_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  bool showing_ = false;
};

}  // namespace kelvan::report
