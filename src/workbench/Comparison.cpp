#include "workbench/Comparison.h"

#include <cmath>

#include "nc/AnalyseProgram.h"
#include "nc/NcTextLineSource.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"
#include "tools/Restart.h"
#include "workbench/Workbench.h"

namespace kelvan::workbench {

namespace {

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Line and column, 1-based, as the editor's status bar counts them.
QString Where(const nc::AnalysisResult& r) {
  return QStringLiteral("行 %1 桁 %2").arg(int64_t{r.Line} + 1).arg(int64_t{r.Column} + 1);
}

}  // namespace

Comparison::Outcome Comparison::Compare(Workbench& bench, const QString& fileName, const nc::DecodedText& other,
                                        const tools::CompareOptions& options) {
  Outcome out;
  if (!other.Utf8 || other.Utf8->LineCount() == 0) {
    out.What = Status::EmptyOther;
    return out;
  }
  if (!bench.IsAnalysed() && !bench.AnalyseProgram()) {
    out.What = Status::FaultHere;
    out.Error = bench.LastResult();
    return out;
  }
  const nc::PathList& here = bench.Path();
  if (here.Count >= here.Capacity) {
    out.What = Status::FullHere;
    return out;
  }
  // The other program with a calculator, state and marks of its own: nothing of the
  // document's analysis (its variables above all) reaches it.
  const nc::NcTextLineSource lines(*other.Utf8);
  auto path = std::make_shared<nc::PathList>(tools::PathCapacityFor(lines.LineCount(), here.Capacity));
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::RowMarks marks;
  const nc::AnalysisResult r = nc::AnalyseProgram(lines, bench.AnalyseOptionsNow(), calc, *path, state, marks);
  if (!r.Ok()) {
    out.What = Status::FaultOther;
    out.Error = r;
    return out;
  }
  if (path->Count >= path->Capacity) {
    out.What = Status::FullOther;
    return out;
  }
  result_ = tools::ComparePaths(here, *path, options);
  other_ = std::move(path);
  otherState_ = state;
  file_ = fileName;
  tolerance_ = options.Tolerance;
  revision_ = bench.Revision();
  return out;
}

void Comparison::End() {
  other_.reset();
  otherState_ = {};
  file_.clear();
  result_ = {};
}

bool Comparison::Stale(const Workbench& bench) const { return Active() && bench.Revision() != revision_; }

QString Comparison::OutcomeText(const Outcome& o) {
  switch (o.What) {
    case Status::Ok:
      return {};
    case Status::FaultHere:
      return QStringLiteral("このプログラムの解析が止まります（%1）: %2")
          .arg(Where(o.Error), Utf8(nc::AnalysisMessage(o.Error.Code)));
    case Status::FullHere:
      return QStringLiteral("このプログラムの経路が経路リストに入りきりません（環境設定のバッファサイズ）。");
    case Status::FaultOther:
      return QStringLiteral("比較するプログラムの解析が止まります（%1）: %2")
          .arg(Where(o.Error), Utf8(nc::AnalysisMessage(o.Error.Code)));
    case Status::FullOther:
      return QStringLiteral("比較するプログラムの経路が経路リストに入りきりません。");
    case Status::EmptyOther:
      return QStringLiteral("比較するプログラムが空です。");
  }
  return {};
}

QString DeviationText(double distance) {
  if (!std::isfinite(distance)) return QStringLiteral("範囲外");
  return QString::number(distance, 'f', 4);
}

QString Comparison::SummaryText() const {
  if (!Active()) return {};
  const tools::CompareResult& r = result_;
  // Short: the panel shares the status bar with the position readouts. The compare
  // window has the rest.
  if (r.Agree()) return QStringLiteral("比較: 一致（最大のずれ %1）").arg(DeviationText(r.Largest));
  return QStringLiteral("比較: 最大のずれ %1（行 %2／%3）")
      .arg(DeviationText(r.Largest))
      .arg(int64_t{r.LineA} + 1)
      .arg(int64_t{r.LineB} + 1);
}

}  // namespace kelvan::workbench
