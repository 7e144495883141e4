#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "nc/NcWord.h"

namespace kelvan::nc {

class LineSource;
class TEasyCalc;
struct MachineState;

// Finds the line of a subprogram's O word. The search reads the text from the top through
// the tokenizer: the first line whose O word, rounded, equals the number wins; a line the
// tokenizer rejects ends the search with "not found"; tool comments passed on the way set
// the tool radius.
//
// One finder lives for one analysis. It remembers how far it has read, which O numbers it
// met and what the tool radius was there, so that a subprogram called a million times
// costs one pass over the text instead of one per call, with the same results.
class ProgramLineFinder {
 public:
  ProgramLineFinder(const LineSource& lines, const TokenizeOptions& options, TEasyCalc& calc);

  // The index of the line, or -1. Sets state.ToolRadius as a search from the top would.
  int32_t Find(double number, MachineState& state);

 private:
  struct Hit {
    int32_t Line;
    std::optional<double> RadiusAfter;  // the last tool comment up to that line, if any
  };
  void ReadLine(MachineState& scratch);

  const LineSource& lines_;
  const TokenizeOptions& options_;
  TEasyCalc& calc_;
  std::unordered_map<int64_t, Hit> hits_;
  int32_t next_ = 0;        // first line not read yet
  bool stopped_ = false;    // a syntax fault ended the reading
  std::optional<double> radius_;  // last tool comment read so far
  NcWordTable words_;
};

}  // namespace kelvan::nc
