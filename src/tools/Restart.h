#pragma once
// Restart from a line: the program from one of its blocks to its end, after a preamble that
// puts the machine into the state the program had reached there (coordinates, tool, spindle,
// coolant, length and cutter compensation, plane, G90/G91, motion mode, feed, canned cycle)
// and brings the tool safely to where the block starts.
//
// A restart is only given when it is exact: the restarted program is analysed and its path
// from the block on must be the original's, item for item. Everything else is refused with
// the reason and the line it concerns.

#include <cstdint>
#include <string>

#include "nc/LineSource.h"
#include "tools/ToolFrame.h"

namespace kelvan::tools {

struct RestartOptions {
  ToolOptions Tool;          // tokenizer, decimals written, ATC height, line end
  double WorkHeight = 0;     // height of the upper (U/V) contour plane, for the analysis
  int32_t Capacity = 0;      // path items held at least; the program's own size raises it
  double Clearance = 2.0;    // the rapid descent stops this far above the block's start Z
  double LeadIn = 10.0;      // length of the compensation start-up move, made in the air
};

enum class RestartRefusal {
  None,
  LineOutOfRange,     // no such line
  NoBlock,            // nothing but comments from the line to the end
  Fault,              // the program stops at a fault before the line (Line, Column)
  NotExecuted,        // the main program ends before the line
  InSubprogram,       // the line runs inside a subprogram (Line: the call)
  TooLong,            // more blocks before the line than an analysis reads
  ListFull,           // more path items than the path list holds
  CompensationPlane,  // cutter compensation in G18/G19
  CyclePlane,         // canned cycle in G18/G19
  CycleCompensation,  // canned cycle under cutter compensation
  CompensationDirection,  // compensation in force, but no move in the plane to start it along
  OutOfRange,         // a position beyond the range of numbers
  Mismatch            // the restarted path differs from the original (Line: the first item's)
};

struct RestartResult {
  ToolOutput Output;          // the restarted program, every line followed by the line end
  int32_t Line = 0;           // the restart line, 0-based
  int32_t PreambleLines = 0;  // output lines before the program's own line `Line`
  RestartRefusal Refusal = RestartRefusal::None;
  int32_t FaultLine = 0;      // 0-based, the line the refusal names
  int32_t FaultColumn = 0;    // for a syntax fault
  std::string Message;        // UTF-8, the reason without the line
  bool Ok() const { return Refusal == RestartRefusal::None; }
};

// `line` is 0-based. A comment or empty line restarts at the block after it (and is kept);
// the "%" and O number lines on top restart after them. The lines are read from two
// threads at once (the program is analysed while the restart is built): they must not
// change meanwhile.
RestartResult RestartFromLine(const nc::LineSource& lines, int32_t line, const RestartOptions& options);

// The path list a restart or a comparison analyses into: at least `given` items, and the
// program's own lines twice over, so that a program that fits it is checked whole.
int32_t PathCapacityFor(int32_t lineCount, int32_t given);

// The preamble's first line for a restart at 0-based `line`.
std::string RestartComment(int32_t line);

}  // namespace kelvan::tools
