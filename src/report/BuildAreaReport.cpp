#include "report/BuildAreaReport.h"

#include "nc/PathList.h"
#include "report/FormatFixed.h"

namespace kelvan::report {

std::vector<std::string> BuildAreaReport(const nc::MachineState& s) {
  auto mm = [](double v) { return FormatDecimals(v, 3); };
  return {
      "加工範囲レポート",
      "",
      "Ｘ－最小値：" + mm(s.RangeMinX),
      "Ｘ＋最大値：" + mm(s.RangeMaxX),
      "Ｙ－最小値：" + mm(s.RangeMinY),
      "Ｙ＋最大値：" + mm(s.RangeMaxY),
      "Ｚ－最小値：" + mm(s.RangeMinZ),
      "Ｚ＋最大値：" + mm(s.RangeMaxZ),
      "",
      "所要Ｘストローク：" + mm(s.RangeMaxX - s.RangeMinX),
      "所要Ｙストローク：" + mm(s.RangeMaxY - s.RangeMinY),
      "所要Ｚストローク：" + mm(s.RangeMaxZ - s.RangeMinZ),
  };
}

}  // namespace kelvan::report
