// The analyser on any program: items and faults point into the text, and a second analysis
// of the same text gives the same path, state, marks and result.

#include <cstring>

#include "AnalyseInput.h"

using namespace kelvan;

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput first(data, size), second(data, size);
  const fuzz::Analysed a(first), b(second);
  const int32_t lineCount = a.Text.LineCount();
  const nc::PathList& p = *a.Path;
  fuzz::Check(p.Count >= 0 && p.Count <= p.Capacity, "count within capacity");
  for (const nc::PathItem& it : p) fuzz::Check(it.Line >= 0 && it.Line < lineCount, "item line in the text");
  if (!a.Result.Ok()) {
    fuzz::Check(a.Result.Code >= nc::ErrSyntax && a.Result.Code <= nc::ErrAnalysisCut, "a known fault");
    fuzz::Check(a.Result.Line >= 0 && a.Result.Line < lineCount, "fault line in the text");
    const auto length = static_cast<int32_t>(a.Text.Line(a.Result.Line).size());
    fuzz::Check(a.Result.Column >= 0 && a.Result.Column <= length, "fault column in the line");
  }
  // The same text analysed again from scratch gives the same everything.
  fuzz::Check(a.Result.Code == b.Result.Code && a.Result.Line == b.Result.Line &&
                  a.Result.Column == b.Result.Column,
              "the same result twice");
  fuzz::Check(p.Count == b.Path->Count, "the same count twice");
  for (int32_t i = 0; i < p.Count; ++i) {
    const nc::PathItem &x = p[i], &y = (*b.Path)[i];
    bool same = x.Line == y.Line && x.Kind == y.Kind && SameBits(x.CutLength, y.CutLength) &&
                SameBits(x.RapidLength, y.RapidLength) && SameBits(x.Time, y.Time);
    for (int v = 0; v < 8; ++v) same = same && SameBits(x.Values[v], y.Values[v]);
    fuzz::Check(same, "the same items twice");
  }
  const nc::MachineState &s = a.State, &t = b.State;
  fuzz::Check(SameBits(s.RangeMinX, t.RangeMinX) && SameBits(s.RangeMaxX, t.RangeMaxX) &&
                  SameBits(s.RangeMinY, t.RangeMinY) && SameBits(s.RangeMaxY, t.RangeMaxY) &&
                  SameBits(s.RangeMinZ, t.RangeMinZ) && SameBits(s.RangeMaxZ, t.RangeMaxZ) &&
                  SameBits(s.MaxCutZ, t.MaxCutZ),
              "the same range twice");
  for (int32_t line = 0; line < lineCount; ++line)
    fuzz::Check(a.Marks.Bits(line) == b.Marks.Bits(line), "the same marks twice");
  return 0;
}
