#include "workbench/AnalysisWorker.h"

#include "nc/NcTextLineSource.h"

namespace kelvan::workbench {

void AnalyseInto(const nc::NcText& text, const nc::AnalyseOptions& options, const nc::MachineState& state,
                 const nc::TEasyCalc& calc, AnalysisOutput& out) {
  out.State = state;
  out.Calc = calc;
  const nc::NcTextLineSource lines(text);
  out.Result = nc::AnalyseProgram(lines, options, out.Calc, out.Path, out.State, out.Marks);
}

AnalysisWorker::AnalysisWorker(int32_t capacity) : out_(capacity) {}

AnalysisWorker::~AnalysisWorker() {
  if (thread_.joinable()) thread_.join();
}

void AnalysisWorker::Start(std::shared_ptr<const nc::NcText> text, const nc::AnalyseOptions& options,
                           const nc::MachineState& state, const nc::TEasyCalc& calc, uint64_t tag,
                           AfterAnalysis then, std::function<void()> done) {
  if (thread_.joinable()) thread_.join();
  tag_ = tag;
  thread_ = std::thread(
      [this, text = std::move(text), options, state, calc, then = std::move(then), done = std::move(done)] {
        if (gate_) gate_();
        AnalyseInto(*text, options, state, calc, out_);
        if (then) then(out_.Path, out_.State);
        if (done) done();
      });
}

AnalysisOutput& AnalysisWorker::Finish() {
  if (thread_.joinable()) thread_.join();
  return out_;
}

}  // namespace kelvan::workbench
