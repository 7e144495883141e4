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
};

// Analyses the whole program into the path list and the machine state, from the first
// line, following subprogram calls. Stops at the first fault and returns it; the items
// appended before it stay. Allocates nothing per block or per item. The lines are only
// read: the row marks of the lines read (M00, M01, skipped blocks) go to `marks`, which
// starts empty, and the tool radius of tool comments to the state.
//
// An analysis always ends soon, whatever the program says: once the list is full, a
// subprogram repeat whose items would all be dropped ends the analysis as the end of the
// text would, an incremental hole row past the full list is settled at once, and no
// analysis reads more than MaxBlocksAnalysed(lines, capacity) blocks.
AnalysisResult AnalyseProgram(const LineSource& lines, const AnalyseOptions& options, TEasyCalc& calc,
                              PathList& path, MachineState& state, RowMarks& marks);

// The bound on the blocks one analysis reads: programs that fit the list stay far below it.
int64_t MaxBlocksAnalysed(int32_t lineCount, int32_t capacity);

}  // namespace kelvan::nc
