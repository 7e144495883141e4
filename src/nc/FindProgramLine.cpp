#include "nc/FindProgramLine.h"

#include <cmath>

#include "nc/LineSource.h"
#include "nc/PathList.h"
#include "nc/TokenizeBlock.h"

namespace kelvan::nc {

namespace {

// Program numbers are compared as whole numbers; values beyond this are no program
// numbers any control accepts.
constexpr double kMaxProgramNo = 9.0e15;

}  // namespace

ProgramLineFinder::ProgramLineFinder(const LineSource& lines, const TokenizeOptions& options,
                                     TEasyCalc& calc)
    : lines_(lines), options_(options), calc_(calc) {}

void ProgramLineFinder::ReadLine(MachineState& scratch) {
  const int32_t line = next_++;
  TokenizeError error;
  BlockAttributes attrs;
  scratch.ToolRadius = 0;
  TokenizeBlock(lines_.Line(line), options_, calc_, scratch, words_, error, attrs);
  if (attrs.Has(BlockAttr::ToolComment)) radius_ = scratch.ToolRadius;
  if (error.Failed) {
    stopped_ = true;
    return;
  }
  if (!attrs.Has(BlockAttr::HasO)) return;
  for (int w = 0; w < words_.WordCount; ++w) {
    if (words_.Words[w].Letter != 'O') continue;
    const double o = std::nearbyint(words_.Words[w].Value);  // halves to even
    if (std::fabs(o) > kMaxProgramNo) continue;
    hits_.try_emplace(static_cast<int64_t>(o), Hit{line, radius_});
  }
}

int32_t ProgramLineFinder::Find(double number, MachineState& state) {
  const double n = std::trunc(number);
  const bool valid = std::fabs(n) <= kMaxProgramNo;
  const int64_t key = valid ? static_cast<int64_t>(n) : 0;
  MachineState scratch;
  for (;;) {
    if (valid) {
      if (auto it = hits_.find(key); it != hits_.end()) {
        if (it->second.RadiusAfter) state.ToolRadius = *it->second.RadiusAfter;
        return it->second.Line;
      }
    }
    if (stopped_ || next_ >= lines_.LineCount()) break;
    ReadLine(scratch);
  }
  // Not found: the search has read every line up to the end or the fault.
  if (radius_) state.ToolRadius = *radius_;
  return -1;
}

}  // namespace kelvan::nc
