#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nc/Cp932.h"

namespace kelvan::nc {
class LineSource;
class PathList;
struct MachineState;
}  // namespace kelvan::nc

namespace kelvan::report {

// The machining-details report from an analysed program: file name, the sums of cutting
// length, rapid length and machining time over the whole path list, the extents and
// strokes, the note on F1, and then one section per tool comment (its line, the cutting
// length and time of the items up to the next tool comment, an empty line). The caller
// analyses first, so that the path list and the extents are current.
std::vector<std::string> BuildDetailsReport(const nc::PathList& path, const nc::MachineState& state,
                                            const nc::LineSource& lines, nc::TextEncoding encoding,
                                            std::string_view fileName);

}  // namespace kelvan::report
