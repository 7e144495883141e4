#pragma once
// One analysis at a time on a thread of its own, into lists of its own: the workbench's
// path list, machine state and calculator are not touched until the result is taken.

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"

namespace kelvan::workbench {

// Everything one analysis leaves behind.
struct AnalysisOutput {
  explicit AnalysisOutput(int32_t capacity) : Path(capacity) {}
  nc::PathList Path;
  nc::MachineState State;
  nc::TEasyCalc Calc;
  nc::RowMarks Marks;
  nc::AnalysisResult Result;
};

// Analyses `text` into `out`, starting from the given state and calculator (an analysis
// carries a few fields of the state and the calculator's variables from the last one).
void AnalyseInto(const nc::NcText& text, const nc::AnalyseOptions& options, const nc::MachineState& state,
                 const nc::TEasyCalc& calc, AnalysisOutput& out);

class AnalysisWorker {
 public:
  explicit AnalysisWorker(int32_t capacity);
  ~AnalysisWorker();  // waits for a running analysis
  AnalysisWorker(const AnalysisWorker&) = delete;
  AnalysisWorker& operator=(const AnalysisWorker&) = delete;

  // Whether an analysis was started and not yet finished with Finish.
  bool Busy() const { return thread_.joinable(); }
  // The tag given to the running (or last) analysis.
  uint64_t Tag() const { return tag_; }

  // What runs on the worker after the analysis, with its output (the picture).
  using AfterAnalysis = std::function<void(const nc::PathList&, const nc::MachineState&)>;

  // Starts analysing on the worker thread; the inputs are copied. `then`, when given, runs
  // on the worker thread after the analysis; `done`, when given, is called there as the
  // work ends. Finishes a previous one first.
  void Start(std::shared_ptr<const nc::NcText> text, const nc::AnalyseOptions& options,
             const nc::MachineState& state, const nc::TEasyCalc& calc, uint64_t tag,
             AfterAnalysis then = {}, std::function<void()> done = {});
  // Waits for the analysis to end; its output stays valid until the next Start.
  AnalysisOutput& Finish();

  // Called on the worker thread before each analysis: tests hold the worker there to
  // change the text or start a run while it is busy. Set it while no analysis runs.
  void SetGate(std::function<void()> gate) { gate_ = std::move(gate); }

 private:
  AnalysisOutput out_;
  std::thread thread_;
  uint64_t tag_ = 0;
  std::function<void()> gate_;
};

}  // namespace kelvan::workbench
