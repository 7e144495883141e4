#pragma once
// The program compare of the workbench: a second program, analysed into a path list of its
// own, compared with the document's path by geometry. The window draws the other path under
// the document's and lists the stretches where they differ.
//
// The comparison belongs to the text it was made on: once the document changes, its lines
// may no longer be where the stretches say (Stale), while the other program's path stays
// good to draw. Compare again to bring both up to date.

#include <QString>

#include <cstdint>
#include <memory>

#include "nc/AnalysisError.h"
#include "nc/DecodedText.h"
#include "nc/PathList.h"
#include "tools/ComparePaths.h"

namespace kelvan::workbench {

class Workbench;

class Comparison {
 public:
  enum class Status {
    Ok,
    FaultHere,       // the document's analysis stops at a fault (Error)
    FullHere,        // the document has more path items than its list holds
    FaultOther,      // the other program's analysis stops at a fault (Error)
    FullOther,       // the other program has more path items than a list can hold
    EmptyOther       // the other file holds no lines
  };
  struct Outcome {
    Status What = Status::Ok;
    nc::AnalysisResult Error;  // for the faults: code, 0-based line and column
    bool Ok() const { return What == Status::Ok; }
  };

  // Compares the document (analysed first when its path is out of date; a fault there is
  // shown as any analysis fault is) with `other`, the decoded file `fileName`. On success
  // the comparison becomes the active one; on failure the one before stays as it was.
  Outcome Compare(Workbench& bench, const QString& fileName, const nc::DecodedText& other,
                  const tools::CompareOptions& options);
  // Ends the comparison: nothing is drawn under the path any more.
  void End();

  bool Active() const { return other_ != nullptr; }
  const QString& OtherFile() const { return file_; }
  // The other program's path; null when no comparison is active. Shared, so that a picture
  // drawn on a worker keeps it while the comparison ends.
  std::shared_ptr<const nc::PathList> OtherPath() const { return other_; }
  const tools::CompareResult& Result() const { return result_; }
  // The other program's machine state after its analysis: its range, for fitting the view
  // to both paths.
  const nc::MachineState& OtherState() const { return otherState_; }
  double Tolerance() const { return tolerance_; }
  // Whether the document changed after the comparison was made.
  bool Stale(const Workbench& bench) const;

  // The message of an outcome (UTF-8 in a QString), with the line it names.
  static QString OutcomeText(const Outcome& outcome);
  // "一致" or the largest deviation and where it lies (the line here, the line there), for
  // the status bar.
  QString SummaryText() const;

 private:
  QString file_;
  std::shared_ptr<const nc::PathList> other_;
  tools::CompareResult result_;
  nc::MachineState otherState_;
  double tolerance_ = 0.001;
  uint64_t revision_ = 0;
};

// A distance as the compare shows it: four decimals, or "範囲外" for one beyond numbers.
QString DeviationText(double distance);

}  // namespace kelvan::workbench
