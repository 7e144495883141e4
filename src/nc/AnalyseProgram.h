#pragma once

#include "nc/AnalysisError.h"
#include "nc/NcWord.h"

namespace kelvan::nc {

class LineSource;
class PathList;
class RowMarks;
class TEasyCalc;
struct MachineState;

// What an analysis reads besides the text.
struct AnalyseOptions {
  TokenizeOptions Tokenize;  // value unit, error-avoidance words, block-skip toggle
  double AtcHeight = 500;    // Z at the start and the height of a reference return
  double WorkHeight = 0;     // height of the upper (U/V) contour plane
  int64_t BlockLimit = 0;    // blocks read at most; 0: MaxBlocksAnalysed (tests set less)
};

// Analyses the whole program into the path list and the machine state, from the first
// line, following subprogram calls. Stops at the first fault and returns it; the items
// appended before it stay. Allocates nothing per block or per item. The lines are only
// read: the row marks of the lines read (M00, M01, skipped blocks) go to `marks`, which
// starts empty, and the tool radius of tool comments to the state.
//
// An analysis always ends soon, whatever the program says, and never gives a wrong result
// as success: subprogram passes that would store no item (the list is full, or they make
// none) are settled without running them where that is exact (a pass that changes
// nothing, or one that only moves the tool by a fixed offset); an incremental hole row
// past the full list is settled at once; and an analysis that would read more than
// MaxBlocksAnalysed(lines, capacity) blocks stops with ErrAnalysisCut at the line it
// reached.
AnalysisResult AnalyseProgram(const LineSource& lines, const AnalyseOptions& options, TEasyCalc& calc,
                              PathList& path, MachineState& state, RowMarks& marks);

// The bound on the blocks one analysis reads: programs that fit the list stay far below it.
int64_t MaxBlocksAnalysed(int32_t lineCount, int32_t capacity);

}  // namespace kelvan::nc
