#pragma once

#include <QAction>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/LiveSettings.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"
#include "view/Commands.h"
#include "view/UserDialogs.h"
#include "view/core/HitList.h"
#include "view/core/ViewGestures.h"
#include "view/core/PositionReadout.h"
#include "view/core/RenderOptions.h"
#include "view/core/ViewTransform.h"
#include "view/picture/PathPicture.h"
#include "workbench/WorkbenchView.h"

class QLabel;
class QMenu;
class QSplitter;
class QTabBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace kelvan::comm {
class TCommDlg;
}
namespace kelvan::editor {
class EditorDocument;
class NcEditor;
}  // namespace kelvan::editor
namespace kelvan::highlight {
class TNCFountain;
}
namespace kelvan::nc {
class PathList;
struct AnalysisResult;
struct MachineState;
}  // namespace kelvan::nc
namespace kelvan::print {
class TPrintDlg;
class TStringsPrinter;
}  // namespace kelvan::print
namespace kelvan::report {
class TDumpDlg;
}
namespace kelvan::script {
class TScriptDlg;
}
namespace kelvan::search {
class SearchCommands;
struct SearchTarget;
}  // namespace kelvan::search
namespace kelvan::settings {
class TOptionDlg;
struct OptionValues;
}  // namespace kelvan::settings
namespace kelvan::workbench {
class Workbench;
}
namespace kelvan::tools {
class ConversionFrame;
class TCompareDlg;
struct ToolOptions;
struct ToolResult;
enum class Axis;
}  // namespace kelvan::tools
namespace kelvan::nc {
class LineSource;
}

namespace kelvan::view {

class DocumentController;
class HelpWindow;
class TPathView;

// The main window: the NC program in the editor on the left, its tool path on the right,
// the tool bar above and the status bar below. The document, its analysis, the run
// options and the execution live in the workbench; the window binds its actions to it,
// shows its picture and hands the file commands to the document controller.
class TViewForm : public QMainWindow, private workbench::WorkbenchView {
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
  // Opens a program another window handed over (kelvan --untitled FILE) as a new, unnamed
  // and modified document; a hand-over file of the temporary folder is removed once read.
  void OpenHandedOver(const QString& path);
  // How another Kelvan starts (新規作成, a restart opened in a new window); tests record
  // the arguments instead. Returns whether it started.
  void SetInstanceStarter(std::function<bool(const QStringList&)> start) { startInstance_ = std::move(start); }
  // The full picture (the workbench's Redraw). False when the analysis failed.
  bool Redraw(bool whiteMode = false);

  // For the window's own tests, the benchmarks and later dialogs.
  workbench::Workbench& Bench() { return *bench_; }
  editor::NcEditor& Editor() { return *edit_; }
  editor::NcEditor& WorkEditor() { return *bufEdit_; }
  DocumentController& Document() { return *doc_; }
  const nc::PathList& Path() const;
  const nc::MachineState& Machine() const;
  bool IsAnalysed() const;
  ViewTransform& View() { return view_; }
  TPathView& ShowBox() { return *showBox_; }
  settings::LiveSettings& Live() { return live_; }
  QAction* Action(Command command) const { return actions_[static_cast<size_t>(command)]; }
  QString PanelText(Panel p) const;
  report::TDumpDlg& ReportWindow() { return *dumpDlg_; }
  comm::TCommDlg& CommDialog() { return *commDlg_; }
  script::TScriptDlg& ScriptWindow() { return *scriptDlg_; }
  tools::TCompareDlg& CompareWindow() { return *compareDlg_; }
  search::SearchCommands& Search() { return *search_; }
  settings::TOptionDlg& OptionDialog() { return *optionDlg_; }
  print::TStringsPrinter& Printer() { return *printer_; }
  // The item the reference mode highlights, -1 none.
  int32_t HighlightedItem() const { return highlighted_; }
  // Tests show the report window without waiting for it to close.
  void SetReportsModeless(bool modeless) { reportsModeless_ = modeless; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // The picture as the workbench asks for it (TViewFormView.cpp).
  RenderResult DrawPicture(int32_t execIndex, bool whiteMode) override;
  void DrawRunItem(int32_t index) override;
  void Beep() override;
  std::function<void(const nc::PathList&, const nc::MachineState&)> PreparePicture() override;
  bool ShowPreparedPicture() override;
  void ShowRendered(const PathPicture& picture, const RenderResult& r);

  // Construction (TViewFormLayout.cpp, TViewFormActions.cpp).
  void CreateLayout();
  void CreateStatusBar();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  QAction* MakeAction(Command command, const QString& text, const QKeySequence& key = {},
                      const QString& hint = {});
  QToolButton* ToolButton(QAction* action);
  // Connects a command's action to its handler.
  template <class Slot>
  void Bind(Command command, Slot slot) {
    connect(Action(command), &QAction::triggered, this, slot);
  }
  void ConnectEditor();
  void ConnectCommands();
  void ConnectWorkbench();
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
  void Undo();
  void Redo();
  void DeleteLine();
  void ToggleOverwrite();
  void ToggleSubEditor();
  void ToggleSplitEditor();
  void ZoomIn();
  void ZoomOut();
  void Home();
  void TabChanged(int index);
  void AskWorkHeight();
  void About();

  // Bindings of the workbench's state (TViewFormView.cpp).
  void ShowAnalysis(const nc::AnalysisResult& result);
  void ShowRunOptions();
  void ShowExecutionState();

  // The mouse on the path view (TViewFormMouse.cpp).
  void CreateViewGestures();
  void ShowBoxMouseDown(QMouseEvent* e);
  void ShowBoxMouseMove(QMouseEvent* e);
  void ShowBoxMouseUp(QMouseEvent* e);
  void FormMouseWheel(QWheelEvent* e);
  void PickUnderPointer(const QPoint& at);
  void GestureRedraw();
  void InfoBtnClick();
  void ClipBordItemClick();
  void AcAlphaExecute();
  void FitView();
  void ShowViewMenu(const QPoint& globalPos);

  // Conversion tools (TViewFormTools.cpp).
  using ToolCore = std::function<tools::ToolResult(const nc::LineSource&, const tools::ToolOptions&,
                                                   const std::function<void(int64_t)>&)>;
  void CreateTools();
  tools::ToolOptions ToolOptionsNow() const;
  bool RunTool(const QString& question, ToolCore core, int64_t passes = 1, bool clearStatus = true);
  bool AskNumber(const QString& text, double& value);
  void SuperHoleItemClick();
  void OptimizItemClick();
  void IncConvItemClick();
  void IncConvFixdItemClick();
  void NullLineKillItemClick();
  void Turn3DItemClick();
  void MirrorItemClick(tools::Axis axis);
  void Raph3DItemClick();

  // Restart from the caret's line and program compare (TViewFormCompare.cpp).
  void CreateCompare();
  void AcRestartExecute();
  bool OpenInNewWindow(const std::string& bytes);
  bool SaveRestart(const std::string& bytes, int32_t line);
  void AcCompareExecute();
  bool CompareWithFile(const QString& path);
  void EndComparison();

  // The DNC transfer (TViewFormComm.cpp).
  void CreateComm();
  void AcCommunicationExecute();

  // The settings dialog (TViewFormOptions.cpp).
  void CreateOptions();
  void EnvironmentExecute();
  void ApplyOptions(const settings::OptionValues& values, bool atStart);

  // Scripts and the user command buttons (TViewFormScript.cpp).
  void CreateScripts();
  void LoadUserCommands(const QStringList& names);
  void LockForScript(bool running);

  // Reports and printing (TViewFormReports.cpp).
  void CreateReportWindows();
  void ShowReport(const std::vector<std::string>& lines);
  void AreaItemClick();
  void ToolItemClick();
  void DetailsItemClick();
  void AcDumpExecute();
  void Print1Click();

  // Find, replace and jump (TViewFormSearch.cpp).
  void CreateSearch();
  search::SearchTarget SearchTargetNow();
  void AcFindExecute();
  void AcReplaceExecute();
  void AcFindNextExecute(bool forward);
  void AcJumpExecute();

  // Helpers.
  void SetPanel(Panel p, const QString& text);
  static bool FitsItsText(Panel p);
  static constexpr int kFittedMinimum = 24;
  void ShowReadouts(const PositionReadout& readout);
  RenderOptions RenderOptionsNow(bool whiteMode) const;
  bool RefuseWhileExecuting();   // beeps and returns true while a program executes
  void ShowBoxResized();

  std::unique_ptr<UserDialogs> dialogs_;
  std::unique_ptr<settings::TRegManager> reg_;
  settings::StartSettings start_;
  settings::LiveSettings live_;

  ViewTransform view_;
  PathPicture picture_;      // TempBox, the off-screen picture
  HitList hits_;
  // The picture the worker draws after its analysis, and what it was drawn with.
  struct Prepared {
    std::unique_ptr<PathPicture> Picture;
    RenderResult Result;
    ViewTransform View;
    RenderOptions Options;
    QSize Size;
  } prepared_;

  editor::NcEditor* edit_ = nullptr;
  editor::NcEditor* bufEdit_ = nullptr;
  std::unique_ptr<editor::EditorDocument> document_;
  std::unique_ptr<workbench::Workbench> bench_;
  std::unique_ptr<tools::ConversionFrame> frame_;
  highlight::TNCFountain* fountain_ = nullptr;
  DocumentController* doc_ = nullptr;
  HelpWindow* help_ = nullptr;
  std::unique_ptr<print::TStringsPrinter> printer_;  // StringsPrinter1
  print::TPrintDlg* printDlg_ = nullptr;
  report::TDumpDlg* dumpDlg_ = nullptr;
  comm::TCommDlg* commDlg_ = nullptr;
  script::TScriptDlg* scriptDlg_ = nullptr;
  search::SearchCommands* search_ = nullptr;
  settings::TOptionDlg* optionDlg_ = nullptr;
  tools::TCompareDlg* compareDlg_ = nullptr;
  bool compareShown_ = false;  // the compare window was placed once
  std::function<bool(const QStringList&)> startInstance_;
  bool reportsModeless_ = false;

  // The mouse on the view: where it was last, what it does, what it picked.
  enum class Pointer { Normal, Rotate, Pan };
  Pointer pointer_ = Pointer::Normal;
  QPoint lastMouse_;
  int32_t highlighted_ = -1;          // HighlightedItem
  WheelToggle wheelUp_, wheelDown_;
  int wheelRest_ = 0;                 // wheel turn short of a notch (touchpads)
  HitIndex hitIndex_;                 // of hits_, built at the first pick after a picture
  QTimer* gestureRest_ = nullptr;     // the full picture once a gesture rests
  int32_t draftStride_ = 1;           // the lighter picture while a gesture goes on
  QMenu* viewMenu_ = nullptr;

  QSplitter* splitter_ = nullptr;       // RxSplitter1: editors | view
  QSplitter* editSplitter_ = nullptr;   // the main editor over the split view
  QWidget* editPanel_ = nullptr;
  QWidget* panel2_ = nullptr;           // the sub editor's panel
  QTabBar* tabs_ = nullptr;
  TPathView* showBox_ = nullptr;
  QToolBar* speedBar_ = nullptr;
  QLabel* panels_[PanelCount] = {};

  std::array<QAction*, kCommandCount> actions_ = {};
  QAction* history_[10] = {};
  QMenu* fileMenu_ = nullptr;
  bool shown_ = false;
};

}  // namespace kelvan::view
