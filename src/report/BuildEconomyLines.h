#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvan::report {

// The printed width of UTF-8 text in the unit the economy layout counts: bytes of its
// Shift-JIS form (a full-width character is two, a character Shift-JIS lacks is one).
int Cp932Width(std::string_view utf8);

// Economy printing: two program lines side by side on one printed line. Each group of
// 2 * rows lines gives `rows` printed lines, the first `rows` lines on the left, padded
// with spaces to `width` (Cp932Width), the next `rows` directly after them; the rows of
// an incomplete last group hold a left line only or are empty. Lines are UTF-8.
//
// rows <= 0 gives the lines unchanged (printed normally): no layout exists for it, and a
// loop over zero rows would never advance. rows larger than the program is taken as the
// number of lines: the rows past the text would only be empty lines, and a mistyped huge
// setting must not fill the memory with them.
std::vector<std::string> BuildEconomyLines(const std::vector<std::string>& lines, int rows,
                                           int width);

}  // namespace kelvan::report
