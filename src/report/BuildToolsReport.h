#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nc/Cp932.h"

namespace kelvan::nc {
class LineSource;
}

namespace kelvan::report {

// The tools-used report: a title, the file name (UTF-8, shown as it is), an empty line,
// then every program line that holds "(POST" and every line that holds "(T", in program
// order. The tests are exact, case-sensitive substring searches on the line's bytes, and
// a line that holds both is listed twice, first for "(POST". Reads the text only.
std::vector<std::string> BuildToolsReport(const nc::LineSource& lines, nc::TextEncoding encoding,
                                          std::string_view fileName);

}  // namespace kelvan::report
