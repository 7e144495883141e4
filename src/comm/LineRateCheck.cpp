#include "comm/LineRateCheck.h"

#include <algorithm>
#include <vector>

#include "nc/NcText.h"
#include "nc/PathList.h"

namespace kelvan::comm {
namespace {

int32_t EndOfBlockBytes(const DncProfile& p) {
  if (p.NcCode != 0) return 1;
  static constexpr int32_t kIso[] = {1, 2, 2, 3};
  return p.EOB >= 0 && p.EOB <= 3 ? kIso[p.EOB] : 0;
}

struct LineTimes {
  std::vector<double> Seconds;
  std::vector<uint8_t> Cuts;
};

LineTimes TimesPerLine(int32_t lineCount, const nc::PathList& items) {
  LineTimes t{std::vector<double>(size_t(lineCount), 0.0), std::vector<uint8_t>(size_t(lineCount), 0)};
  for (const nc::PathItem& item : items) {
    if (item.Line < 0 || item.Line >= lineCount) continue;
    t.Seconds[size_t(item.Line)] += double(item.Time) * 60.0;
    if (item.CutLength > 0) t.Cuts[size_t(item.Line)] = 1;
  }
  return t;
}

}  // namespace

LineRateReport CheckLineRate(const nc::NcText& text, const nc::PathList& items, const DncProfile& p) {
  LineRateReport r;
  r.Baud = ProfileBaudRate(p);
  r.BitsPerChar = BitsPerCharacter(p);
  const int32_t lines = text.LineCount();
  const int32_t eob = EndOfBlockBytes(p);
  const int64_t lead = (p.DC2DC4 ? 1 : 0) + (p.OutMode == 1 ? std::max(p.FeedLen, 0) : 0);
  const double pacing = p.TimeOut < 0 ? -double(p.TimeOut) / 1000.0 : 0.0;
  const double perByte = (r.Baud > 0 ? double(r.BitsPerChar) / r.Baud : 0.0) + pacing;
  r.CharsPerSecond = perByte > 0 ? 1.0 / perByte : 0.0;

  const LineTimes times = TimesPerLine(lines, items);
  int64_t bytes = lead;
  double machineFree = 0;    // when the machine ends the block before
  bool inCut = false;        // the tool stands where a cutting move left it
  double runStart = 0;       // when the machine last started a block it had waited for
  int64_t runBytes = 0;      // bytes sent by then
  for (int32_t k = 0; k < lines; ++k) {
    bytes += int64_t(text.Line(k).size()) + eob;
    const double arrives = double(bytes) * perByte;
    if (arrives > machineFree + 1e-9) {
      if (inCut && !r.Starves && machineFree > runStart) {
        r.Starves = true;
        r.Line = k;
        r.NeededCharsPerSecond = double(bytes - runBytes) / (machineFree - runStart);
      }
      runStart = arrives;
      runBytes = bytes;
      machineFree = arrives;
    }
    machineFree += times.Seconds[size_t(k)];
    if (times.Seconds[size_t(k)] > 0) inCut = times.Cuts[size_t(k)] != 0;
  }
  bytes += (p.OutMode == 1 ? std::max(p.FeedLen, 0) : 0) + (p.DC2DC4 ? 1 : 0);
  r.Bytes = bytes;
  r.TransferSeconds = double(bytes) * perByte;
  return r;
}

}  // namespace kelvan::comm
