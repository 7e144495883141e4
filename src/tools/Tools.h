#pragma once
// The conversion tools: each reads the program's lines (bytes), rebuilds the blocks in the
// normalised word form of its own rules and returns the new lines, or stops at the first
// line the tokenizer rejects. They change nothing else; the window and kelvan-cli put the
// result where it belongs.

#include "nc/LineSource.h"
#include "tools/ToolFrame.h"

namespace kelvan::tools {

// G81, G73 and G83 drilling cycles into plain G00/G01 Z moves. A cycle block that gives X
// or Y gets a G00 line with them before its expansion. Pecks count from 0.0 when the hole
// bottom lies below it, else from the R level; a peck depth of 0 or less plunges once.
ToolResult ExpandCycles(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress = {});

// Drops a repeated motion code and an X or Y equal to the last one written, except while
// G91 is in force (which also forgets the last X and Y written) and while G02 or G03 is.
ToolResult Optimise(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress = {});

// Absolute coordinates into incremental ones: G90 becomes G91, X, Y and Z the distance from
// the last position, and a cycle block's Z and R the distances an incremental cycle takes.
ToolResult ToIncremental(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress = {});

// Coordinate words as integer counts of least increments (X12.5 gives X12500 with three
// decimals), K as the repeat count it is, everything else as an integer.
ToolResult RemoveDecimalPoints(const nc::LineSource& lines, const ToolOptions& options,
                               const Progress& progress = {});

// Every empty line goes; a line of spaces stays. Of the options only the line end counts.
ToolResult RemoveBlankLines(const nc::LineSource& lines, const ToolOptions& options, const Progress& progress = {});

// Rotation about Z through the origin by `degrees`; I and J rotate with X and Y.
ToolResult Rotate(const nc::LineSource& lines, const ToolOptions& options, double degrees,
                  const Progress& progress = {});

enum class Axis { X, Y };
// Negates every X (and I) or every Y (and J), and swaps G02 and G03 so arcs keep their shape.
ToolResult Mirror(const nc::LineSource& lines, const ToolOptions& options, Axis axis, const Progress& progress = {});

// The program replayed at Z levels from `start` down to `end` by `step`, every Z below the
// pass's level raised to it. The parameters must satisfy start >= end and step >= 1.
struct RoughParameters {
  double Start = 0, End = 0, Step = 1;
};
// The number of passes the parameters give; 0 when they are not valid.
int64_t RoughPasses(const RoughParameters& p);
ToolResult Rough(const nc::LineSource& lines, const ToolOptions& options, const RoughParameters& parameters,
                 const Progress& progress = {});

// A result of more lines than this is refused rather than written (roughing at many levels,
// a drilling cycle of many pecks): it would not fit the editor.
inline constexpr int64_t kMaxOutputLines = 20000000;

}  // namespace kelvan::tools
