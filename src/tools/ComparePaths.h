#pragma once
// Where does the tool go differently? Two analysed programs compared by their geometry, not
// their text: modal words, decimal points, sequence numbers and G90/G91 make no difference.
//
// Both paths become chains of motions (lines, arcs at their height, each drill hole as its
// positioning, rapid down to the R level, feed to the bottom and return; see MotionChain).
// Each is walked in order against the other, both ways. Points are taken at every motion's
// end and middle (on arcs at most an eighth of a turn apart). A pointer into the other chain only
// moves forward, so that a place the other program passes only later (or passed before: a
// second pass over the same contour) does not count as agreeing by accident:
//  - a point agrees when it lies within the tolerance of a motion at or just after the
//    pointer (a few motions back only where the point is expected along the path's
//    length, as where a drilled hole goes down and up the same line); the pointer moves
//    there;
//  - a match far from where the point is expected along the path (the other path only
//    crosses here) moves the pointer only when the next points agree there too;
//  - a point that agrees nowhere near is measured against the motions around the pointer
//    and around the place the length along the path points to: that distance is its
//    deviation. Where it plainly lies beside one motion (paths side by side, as after a
//    rotation) the pointer follows it;
//  - a point far from everything near looks further on, through a grid over the plane:
//    the other program has more on its way, and the walk picks it up where the points
//    after agree again.
// The deviation found is the distance between the paths at that point; the largest of
// them, and the stretches of points beyond the tolerance (with the lines of both programs
// they lie on), are the result.
//
// A rapid motion where the other program feeds (or the reverse) at an agreeing point counts
// as a difference as well: a G00 where there was a G01 is where parts get damaged.

#include <cstdint>
#include <vector>

#include "nc/AnalyseProgram.h"
#include "nc/LineSource.h"
#include "nc/PathList.h"

namespace kelvan::tools {

struct CompareOptions {
  double Tolerance = 0.001;  // in program length units
};

// A stretch where the paths differ beyond the tolerance. Lines are 0-based.
struct PathDifference {
  int32_t FirstLineA = 0, LastLineA = 0;
  int32_t FirstLineB = 0, LastLineB = 0;
  double Largest = 0;      // the largest distance in the stretch
  bool RapidFeed = false;  // one program moves at rapid where the other feeds
};

struct CompareResult {
  double Largest = 0;                  // the largest distance between the paths
  int32_t LineA = -1, LineB = -1;      // where it occurs, 0-based; -1 for empty paths
  std::vector<PathDifference> Stretches;  // in the order of program A
  bool Agree() const { return Stretches.empty(); }
};

CompareResult ComparePaths(const nc::PathList& a, const nc::PathList& b, const CompareOptions& options);

// Both programs analysed (on two threads where possible) and compared.
struct ProgramComparison {
  CompareResult Result;
  int Failed = 0;                // 0 both analysed; 1 program A, 2 program B did not
  nc::AnalysisResult Error;      // the failed program's fault
  bool ListFull = false;         // the failed program has more items than the list holds
  bool OutOfRange = false;       // the failed program moves beyond a billion units (or numbers)
  bool Ok() const { return Failed == 0; }
};

// Each program with its own analysis options (the error-avoidance words are in its own
// encoding), each analysed on a thread of its own. `capacity` items are held at least; each
// program's own size raises it (PathCapacityFor).
ProgramComparison ComparePrograms(const nc::LineSource& a, const nc::AnalyseOptions& optionsA,
                                  const nc::LineSource& b, const nc::AnalyseOptions& optionsB, int32_t capacity,
                                  const CompareOptions& compare);

}  // namespace kelvan::tools
