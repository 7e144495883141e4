#pragma once

#include <string>
#include <vector>

#include "nc/Cp932.h"

namespace kelvan::nc {
class LineSource;
class PathList;
}  // namespace kelvan::nc

namespace kelvan::report {

// The path-list dump for checking an analysis: per item "LINE:TEXT" (0-based line,
// the program line's text), followed for a cutting item by " Leng:" and " Time:" with
// its cutting length and machining time (FormatFixed, precision 7, 5 decimals), then an
// empty line; a tool-comment item first repeats its line on a line of its own.
std::vector<std::string> BuildDumpReport(const nc::PathList& path, const nc::LineSource& lines,
                                         nc::TextEncoding encoding);

}  // namespace kelvan::report
