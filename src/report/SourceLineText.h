#pragma once

#include <cstdint>
#include <string>

#include "nc/Cp932.h"

namespace kelvan::nc {
class LineSource;
}

namespace kelvan::report {

// Line `index` of the program as UTF-8 text for a report. The report editor holds UTF-8
// while the program may be Shift-JIS, so the line is decoded from the program's encoding;
// bytes that are not text survive as the editor's escapes. An index outside the program
// gives an empty line: a path list left by an earlier analysis may name lines that the
// text no longer has.
std::string SourceLineText(const nc::LineSource& lines, int32_t index, nc::TextEncoding encoding);

}  // namespace kelvan::report
