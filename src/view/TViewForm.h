#pragma once

#include <QMainWindow>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "nc/AnalysisError.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "settings/LiveSettings.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"
#include "view/picture/PathPicture.h"
#include "view/UserDialogs.h"
#include "view/core/HitList.h"
#include "view/core/PositionReadout.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QToolBar;
class QToolButton;

namespace kelvan::editor {
class NcEditor;
}
namespace kelvan::highlight {
class TNCFountain;
}
namespace kelvan::print {
class TPrintDlg;
class TStringsPrinter;
}  // namespace kelvan::print
namespace kelvan::report {
class TDumpDlg;
}

namespace kelvan::view {

class DocumentController;
class ExecutionController;
class HelpWindow;
class TPathView;
class UserDialogs;

// The main window: the NC program in the editor on the left, its tool path on the right,
// the tool bar above and the status bar below. It owns the document, the path list, the
// view state and the execution state, and wires every command to the core and to the
// small controllers that do the work.
class TViewForm : public QMainWindow {
  Q_OBJECT
 public:
  // The status bar panels, from the left.
  enum Panel { PanelCaret, PanelChanged, PanelInsert, PanelMessage, PanelX, PanelY, PanelZ,
               PanelU, PanelV, PanelAlpha, PanelBeta, PanelCapacity, PanelCount };

  // `dialogs` answers the message and input boxes (tests pass their own); `reg` is the
  // settings store (tests pass one on a file of their own).
  explicit TViewForm(std::unique_ptr<UserDialogs> dialogs = nullptr,
                     std::unique_ptr<settings::TRegManager> reg = nullptr, QWidget* parent = nullptr);
  ~TViewForm() override;

  // Opens the file named on the command line (a missing file only beeps).
  void OpenAtStart(const QString& path);

  // The analysis of the whole program; on a fault it beeps, places the caret on it and
  // shows the message in the status bar.
  bool AnalyseProgram();
  // The full picture: analyses when the text changed, draws items 0..ExecIndex (all when
  // -1) and writes the readouts. False when the analysis failed.
  bool Redraw(bool whiteMode = false);

  // For the window's own tests and for later dialogs.
  editor::NcEditor& Editor() { return *edit_; }
  editor::NcEditor& WorkEditor() { return *bufEdit_; }
  DocumentController& Document() { return *doc_; }
  ExecutionController& Execution() { return *exec_; }
  const nc::PathList& Path() const { return path_; }
  const nc::MachineState& Machine() const { return state_; }
  ViewTransform& View() { return view_; }
  TPathView& ShowBox() { return *showBox_; }
  settings::LiveSettings& Live() { return live_; }
  QAction* Action(const QString& name) const;
  QString PanelText(Panel p) const;
  bool IsAnalysed() const { return analysed_; }
  report::TDumpDlg& ReportWindow() { return *dumpDlg_; }
  // Tests show the report window without waiting for it to close.
  void SetReportsModeless(bool modeless) { reportsModeless_ = modeless; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // Construction (TViewFormLayout.cpp, TViewFormActions.cpp).
  void CreateLayout();
  void CreateStatusBar();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QAction* MakeAction(const char* name, const QString& text, const QKeySequence& key = {},
                      const QString& hint = {});
  QToolButton* ToolButton(QAction* action);
  void ConnectEditor();
  void ConnectCommands();
  void ApplyStartSettings();
  void SaveLayoutSettings();

  // Commands.
  void FileNew();
  void FileOpen();
  void FileInsert();
  void FileSave();
  void FileSaveAs();
  void OpenHistory(int index);
  void UpdateHistoryMenu();
  void AfterLoad();
  void AfterInsert();
  void Undo();
  void Redo();
  void DeleteLine();
  void ToggleOverwrite();
  void ToggleSubEditor();
  void ToggleSplitEditor();
  void SkipButtonsClicked();
  void ZoomIn();
  void ZoomOut();
  void Home();
  void TabChanged(int index);
  void AskWorkHeight();
  void About();
  void UpdateFileActions();

  // Reports and printing (TViewFormReports.cpp).
  void CreateReportWindows();
  void ShowReport(const std::vector<std::string>& lines);
  void AreaItemClick();
  void ToolItemClick();
  void DetailsItemClick();
  void AcDumpExecute();
  void Print1Click();

  // Helpers.
  void SetPanel(Panel p, const QString& text);
  void ShowReadouts(const PositionReadout& readout);
  void DrawRunItem(int index);
  RenderOptions RenderOptionsNow(bool whiteMode) const;
  bool RefuseWhileExecuting();   // beeps and returns true while a program executes
  double WorkHeight() const;
  void ShowBoxResized();

  std::unique_ptr<UserDialogs> dialogs_;
  std::unique_ptr<settings::TRegManager> reg_;
  settings::StartSettings start_;
  settings::LiveSettings live_;

  nc::PathList path_;
  nc::MachineState state_;
  nc::RowMarks marks_;
  nc::TEasyCalc calc_;       // EasyCalc1: its variables live as long as the window
  bool analysed_ = false;
  ViewTransform view_;
  PathPicture picture_;      // TempBox, the off-screen picture
  HitList hits_;

  editor::NcEditor* edit_ = nullptr;
  editor::NcEditor* bufEdit_ = nullptr;
  highlight::TNCFountain* fountain_ = nullptr;
  DocumentController* doc_ = nullptr;
  ExecutionController* exec_ = nullptr;
  HelpWindow* help_ = nullptr;
  std::unique_ptr<print::TStringsPrinter> printer_;  // StringsPrinter1
  print::TPrintDlg* printDlg_ = nullptr;
  report::TDumpDlg* dumpDlg_ = nullptr;
  bool reportsModeless_ = false;

  QSplitter* splitter_ = nullptr;       // RxSplitter1: editors | view
  QSplitter* editSplitter_ = nullptr;   // the main editor over the split view
  QWidget* editPanel_ = nullptr;
  QWidget* panel2_ = nullptr;           // the sub editor's panel
  QTabBar* tabs_ = nullptr;
  TPathView* showBox_ = nullptr;
  QToolBar* speedBar_ = nullptr;
  QToolButton* uvHeightButton_ = nullptr;
  QLabel* panels_[PanelCount] = {};

  std::map<QString, QAction*> actions_;
  QAction* history_[10] = {};
  QMenu* fileMenu_ = nullptr;
  bool closeAfterRun_ = false;
  bool shown_ = false;
};

}  // namespace kelvan::view
