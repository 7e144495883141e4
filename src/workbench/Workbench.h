#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/DecodedText.h"
#include "nc/NcText.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "workbench/AnalysisWorker.h"
#include "workbench/Comparison.h"
#include "workbench/Execution.h"

namespace kelvan::workbench {

class TextDocument;
class WorkbenchView;

// What the analysis takes from the settings.
struct AnalysisSettings {
  double ValueUnit = 0.001;             // of coordinate words without a decimal point
  std::vector<std::string> ErrorTags;   // error-avoidance words, in the document's encoding
  double AtcHeight = 500;               // Z at the start and of reference returns
};

// The run options of the tool bar's toggles and the work height.
struct RunOptions {
  bool BlockSkip = false;   // blocks beginning with "/" are skipped
  bool StopAtM00 = false;   // a continuous run stops before an M00 block
  bool StopAtM01 = false;   // ... and before an M01 block
  bool UVMode = false;      // upper contours of taper moves are drawn
  bool Tracking = false;    // the reference mode: drawn segments are recorded for picking
  double WorkHeight = 0;    // height of the upper (U/V) contour plane
};

// The document model every command goes through: the program text (through its
// TextDocument) and file name, the path list, machine state, calculator and row marks of
// the last analysis, the analysis and run options, the Analysed flag and the execution.
// The window, the reports and kelvan-cli read and change the document here, never
// through another window's widgets.
//
// Live picture: every change of the text clears Analysed; once the text has rested for
// LiveDelay milliseconds the program is analysed again and redrawn, quietly (a fault
// shows its message but neither beeps nor moves the caret). A large program is analysed
// on a worker thread from a snapshot of its lines into lists of the worker's own; the
// result replaces the path list only if the text is unchanged since the snapshot, no
// other analysis came in between and nothing executes. While a program executes the
// live analysis waits.
class Workbench : public QObject {
  Q_OBJECT
 public:
  // `capacity` is the path list's, fixed for the workbench's life.
  Workbench(TextDocument& document, int32_t capacity, QObject* parent = nullptr);
  ~Workbench() override;

  // The path view; nullptr for none. The view must outlive the workbench or be unset.
  void SetView(WorkbenchView* view) { view_ = view; }

  // --- the document -----------------------------------------------------------------------
  TextDocument& Document() { return doc_; }
  const QString& FileName() const { return fileName_; }
  void SetFileName(const QString& name);
  // The document tells the workbench of every change of its text.
  void TextChanged();
  uint64_t Revision() const { return revision_; }
  // The text as it is now, copied once per change.
  std::shared_ptr<const nc::NcText> Snapshot();
  // Replaces the document by a loaded file, analysing it while the document takes it in;
  // then nothing executes and the picture shows the new program.
  void Load(const nc::DecodedText& text);
  // After a change made by a command (insert, conversion, transfer, script): analyses
  // the whole program, ends any execution and shows the new picture.
  void Refresh();
  // Replaces the document's text with a command's lines (each followed by the document's
  // line end), as one step that Undo takes back, marks it modified and redraws, which
  // analyses the new text.
  void ReplaceText(std::string text);

  // --- the analysis -------------------------------------------------------------------------
  const nc::PathList& Path() const { return path_; }
  const nc::MachineState& Machine() const { return state_; }
  const nc::RowMarks& Marks() const { return marks_; }
  nc::TEasyCalc& Calc() { return calc_; }
  // Whether the path list matches the text.
  bool IsAnalysed() const { return analysed_; }
  const nc::AnalysisResult& LastResult() const { return result_; }
  // Analyses the whole text now. On a fault it beeps, clears the selection and puts the
  // caret on the fault. True on success.
  bool AnalyseProgram();
  const AnalysisSettings& Settings() const { return settings_; }
  // New settings take effect at the next analysis.
  void SetSettings(AnalysisSettings settings);
  // What an analysis of the document reads from the settings and run options now; a
  // program compared with the document is analysed with the same.
  nc::AnalyseOptions AnalyseOptionsNow() const;

  // --- the program compare ---------------------------------------------------------------
  Comparison& Compare() { return comparison_; }
  const Comparison& Compare() const { return comparison_; }

  // --- the picture --------------------------------------------------------------------------
  // The full picture: analyses when the text changed, then draws items 0 to ExecIndex (all
  // of them when -1). False when the analysis failed; the items before the fault are
  // drawn then.
  bool Redraw(bool whiteMode = false);
  void DrawRunItem(int32_t index);
  void Beep();

  // --- run options (tool bar toggles and the work height) ----------------------------------
  const RunOptions& Options() const { return options_; }
  // Takes all options at once, as the start settings give them; the next Redraw analyses.
  void SetRunOptions(const RunOptions& options);
  // Block skip, M00 and M01 share one handler: the program is analysed afresh and, on
  // success, redrawn.
  void SetBlockSkip(bool on);
  void SetStopAtM00(bool on);
  void SetStopAtM01(bool on);
  void SetUVMode(bool on);
  void SetTracking(bool on);
  // A negative height changes nothing.
  void SetWorkHeight(double height);

  // --- the execution -------------------------------------------------------------------------
  Execution& Exec() { return exec_; }
  const Execution& Exec() const { return exec_; }
  // Called by the execution when it ends or is reset: a live analysis that waited may go.
  void ExecutionStateChanged();

  // --- scripts ---------------------------------------------------------------------------
  // True only while a script runs: the commands that edit or run refuse meanwhile.
  bool ScriptRunning() const { return scriptRunning_; }
  void SetScriptRunning(bool on) { scriptRunning_ = on; }

  // --- the live picture ----------------------------------------------------------------------
  void SetLiveDelay(int milliseconds) { liveTimer_.setInterval(milliseconds); }
  // Programs of at least this many lines are analysed on the worker thread.
  void SetWorkerThreshold(int32_t lines) { workerThreshold_ = lines; }
  bool LiveAnalysisPending() const { return liveTimer_.isActive() || worker_.Busy(); }
  bool WorkerRunning() const { return worker_.Busy(); }
  // See AnalysisWorker::SetGate.
  void SetWorkerGate(std::function<void()> gate) { worker_.SetGate(std::move(gate)); }

 signals:
  // After every analysis, with its result; quiet for a live analysis (no beep, no caret).
  void AnalysisFinished(const nc::AnalysisResult& result, bool quiet);
  void OptionsChanged();
  void FileNameChanged(const QString& name);

 private:
  void Accept(AnalysisOutput& out);
  void AfterAnalysis(bool quiet);
  void ShowPicture(bool whiteMode);
  void AnalyseAndRedraw();
  void LiveTimeout();
  void WorkerDone();
  void CancelLiveAnalysis();
  // Starts the worker on a snapshot, with the view's picture job when it has one; true
  // when the worker draws the picture too.
  bool StartWorker(std::shared_ptr<const nc::NcText> text, uint64_t tag, std::function<void()> done);

  TextDocument& doc_;
  bool scriptRunning_ = false;
  WorkbenchView* view_ = nullptr;
  QString fileName_;

  nc::PathList path_;
  nc::MachineState state_;
  nc::TEasyCalc calc_;  // EasyCalc1: its variables live as long as the workbench
  nc::RowMarks marks_;
  nc::AnalysisResult result_;
  bool analysed_ = false;
  AnalysisSettings settings_;
  RunOptions options_;
  Comparison comparison_;

  uint64_t revision_ = 0;       // counts the changes of the text
  uint64_t generation_ = 0;     // counts the analyses started
  uint64_t workerRevision_ = 0; // the revision the worker's snapshot was taken at
  bool workerPrepares_ = false; // the worker draws the picture of its analysis
  std::shared_ptr<const nc::NcText> snapshot_;
  uint64_t snapshotRevision_ = UINT64_MAX;

  QTimer liveTimer_;
  int32_t workerThreshold_ = 50000;
  bool loading_ = false;

  Execution exec_;
  AnalysisWorker worker_;  // last: joined before everything it writes into goes
};

}  // namespace kelvan::workbench
