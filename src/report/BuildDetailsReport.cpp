#include "report/BuildDetailsReport.h"

#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "report/FormatFixed.h"
#include "report/SourceLineText.h"

namespace kelvan::report {

namespace {

struct ToolSection {
  int32_t Line = 0;  // the tool comment's line
  double Cut = 0;
  double Time = 0;
};

struct Totals {
  double Cut = 0;
  double Rapid = 0;
  double Time = 0;
  std::vector<ToolSection> Sections;
};

// Sums in double over the single-precision item values, as the totals must not drift
// on long programs. A section collects the items after its tool comment up to the next.
Totals Sum(const nc::PathList& path) {
  Totals t;
  for (const nc::PathItem& it : path) {
    t.Cut += it.CutLength;
    t.Rapid += it.RapidLength;
    t.Time += it.Time;
    if (it.Kind == nc::PathKind::pkToolComment) {
      t.Sections.push_back({it.Line, 0, 0});
    } else if (!t.Sections.empty()) {
      t.Sections.back().Cut += it.CutLength;
      t.Sections.back().Time += it.Time;
    }
  }
  return t;
}

std::string Mm1(double v) { return FormatDecimals(v, 1); }
std::string Mm3(double v) { return FormatDecimals(v, 3); }

}  // namespace

std::vector<std::string> BuildDetailsReport(const nc::PathList& path, const nc::MachineState& s,
                                            const nc::LineSource& lines, nc::TextEncoding encoding,
                                            std::string_view fileName) {
  const Totals t = Sum(path);
  std::vector<std::string> out{
      "【加工詳細レポート】",
      "",
      "ファイル名=" + std::string(fileName),
      "",
      "加工長：" + Mm1(t.Cut) + " mm",
      "早送り長：" + Mm1(t.Rapid) + " mm",
      "加工時間：" + Mm1(t.Time) + " min(*1)",
      "",
      "X最小値：" + Mm3(s.RangeMinX),
      "X最大値：" + Mm3(s.RangeMaxX),
      "Y最小値：" + Mm3(s.RangeMinY),
      "Y最大値：" + Mm3(s.RangeMaxY),
      "Z最小値：" + Mm3(s.RangeMinZ),
      "Z最大値：" + Mm3(s.RangeMaxZ),
      "",
      "所要Xストローク：" + Mm3(s.RangeMaxX - s.RangeMinX),
      "所要Yストローク：" + Mm3(s.RangeMaxY - s.RangeMinY),
      "所要Zストローク：" + Mm3(s.RangeMaxZ - s.RangeMinZ),
      "",
      "*1送り速度が含まれていない場合はF1とみなします。",
  };
  // Machinists plan the tool changes and the wear of each tool by its own cutting time,
  // which the totals above hide; so every tool comment gets its section below the note.
  if (!t.Sections.empty()) out.emplace_back();
  for (const ToolSection& sec : t.Sections) {
    out.push_back(SourceLineText(lines, sec.Line, encoding));
    out.push_back("加工長：" + Mm1(sec.Cut) + " mm 加工時間：" + Mm1(sec.Time) + " min");
    out.emplace_back();
  }
  return out;
}

}  // namespace kelvan::report
