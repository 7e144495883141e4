#pragma once

#include <string>
#include <string_view>

#include "nc/NcWord.h"

namespace kelvan::nc {

// A coordinate value written back as NC text after the prefix, with `decimals` (2, 3 or 4
// by "FloatPos") digits. With a decimal point trailing zeros go, but one digit stays after
// the point (10 gives 'X10.0'); without one the value is counted in the value unit,
// rounded half away from zero (1.2345 with 3 decimals gives 'X1235'). A value that rounds
// to zero is written without a sign.
std::string FormatWordValue(std::string_view prefix, bool withDecimalPoint, double value,
                            int decimals);
// The same, appended to out.
void AppendWordValue(std::string& out, std::string_view prefix, bool withDecimalPoint, double value, int decimals);

// Appends a word in its letter's write-back format: coordinates (I J K Q R U V W X Y Z)
// through FormatWordValue with a decimal point, the other letters as integers truncated
// toward zero ('G01', 'N0010', 'M03', 'F1200').
void AppendWord(std::string& out, const NcWord& word, int decimals);

}  // namespace kelvan::nc
