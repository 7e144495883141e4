#pragma once

#include <cstdint>
#include <string>

namespace kelvan::script {

// printf-style patterns with one argument, as IntToStrF and FloatToStrF take them. A
// pattern holds text, "%%" and exactly one conversion: flags "-+ 0#", a width and a
// precision of at most 100, and for an integer d i u x X o c, for a float f F e E g G
// or n (fixed with thousands separators, two decimals unless a precision is given).
// Anything else, or a pattern without its conversion, is refused: false with the
// reason in `error`. The pattern never reaches the C library unchecked.
bool FormatInteger(const std::string& pattern, int64_t value, std::string& out, std::string& error);
bool FormatFloat(const std::string& pattern, double value, std::string& out, std::string& error);

}  // namespace kelvan::script
