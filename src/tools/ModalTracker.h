#pragma once
// The modal state a program has reached before one of its lines: what the analyser keeps
// (position, G90/G91, motion mode, canned cycle, feed) and what it does not (plane, cutter
// and tool length compensation, tool, spindle, coolant, G92 offset, cycle words, G98/G99).
//
// The tracker reads the lines through the tokenizer and follows the program as the analyser
// does: subprogram calls and returns, repeats, program ends, skipped blocks. Positions follow
// the analyser's rules exactly (in double precision), and it counts the path items the
// analyser appends on the way, so that a caller can find the block's items in a path list.

#include <cstdint>
#include <optional>
#include <string>

#include "nc/AnalyseProgram.h"
#include "nc/LineSource.h"

namespace kelvan::tools {

struct ModalState {
  // The tool position before the block, in the coordinates in force.
  double X = 0, Y = 0, Z = 0;
  bool Moved = false;        // any block has moved the tool (or set a hole) so far
  bool Absolute = true;      // G90 / G91
  int Motion = 0;            // 0 G00, 1 G01, 2 G02, 3 G03, 4 G04
  int Cycle = 80;            // 80: none, else 73..76, 81..89
  double CycleR = 0, CycleBottom = 0;  // absolute R level and hole bottom of the cycle
  std::optional<double> CycleQ, CycleP;  // cycle words given since the cycle began
  int ReturnLevel = 0;       // 98, 99, or 0 when the program never said
  double Feed = 1.0;         // the analyser starts at 1.0
  bool FeedGiven = false;
  int Plane = 0;             // 17, 18, 19, or 0
  int Comp = 0;              // programmed: 40, 41, 42, or 0
  int CompVector = 0;        // 41 or 42 while the tool carries a compensation vector (an XY
                             // move was made under it), else 0
  std::optional<double> D;   // last D word
  std::optional<double> DVector;  // the D word in force when the vector was set up
  int Length = 0;            // 43, 44, 49, or 0
  std::optional<double> H;   // last H word
  std::optional<double> T;   // last T word (the next tool)
  std::optional<double> ToolInSpindle;  // the T in force at the last M06
  bool ToolChanged = false;  // an M06 was given
  std::optional<double> S;   // last S word
  int Spindle = 0;           // 3, 4, 5, or 0
  bool Mist = false, Flood = false;  // M07, M08 (M09 ends both)
  bool CoolantOff = false;   // M09 given and nothing on since
  bool G92Given = false;
  double OffX = 0, OffY = 0, OffZ = 0;  // current coordinates minus those at the start
  double ToolRadius = 0;     // of the last tool comment, as the analyser keeps it
  std::string ToolComment;   // the last tool comment the program ran over ("(T1-10. MILL)")
  double ToolCommentRadius = 0;  // the radius that comment gave
  bool UVGiven = false;      // a U or V word was read
  double PrevU = 0, PrevV = 0;  // offsets of the last taper move
  double WU = 0, WV = 0;     // last U and V words
  double WZ = 0;             // last Z word (a cycle block without Z takes it)
  bool HasDirection = false;
  double DirX = 0, DirY = 0;  // unit direction of the last XY motion at its end
};

struct TrackResult {
  enum Status {
    Reached,       // the main program reaches the line: State holds what it had before it
    NotExecuted,   // the program ends before it ever runs the line
    InSubprogram,  // the line runs inside a called subprogram
    Fault,         // the program stops at a fault first (Code, Line, Column)
    TooLong        // more blocks than an analysis reads before the line
  };
  Status Outcome = NotExecuted;
  ModalState State;
  int64_t ItemsBefore = 0;  // path items the analyser appends before the line
  int Code = 0;             // Fault: the analysis code (nc::AnalysisCode)
  int32_t Line = 0;         // Fault: the faulty line; InSubprogram: the outermost call's line
  int32_t Column = 0;
};

// Follows the program from its first line until the main program is about to run `line`
// (0-based). Reads at most maxBlocks blocks.
TrackResult TrackToLine(const nc::LineSource& lines, int32_t line, const nc::AnalyseOptions& options,
                        int64_t maxBlocks);

}  // namespace kelvan::tools
