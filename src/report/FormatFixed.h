#pragma once

#include <string>

namespace kelvan::report {

// The value with exactly `decimals` decimals, as "%.*f" would give it in the C locale.
// The windows run under the user's locale, which may want a decimal comma; reports are
// read by machinists beside NC text, where the point is the only separator, so the point
// is written whatever the locale says. A result that rounds to zero carries no minus sign:
// "-0.000" tells the reader nothing and looks like a fault.
std::string FormatDecimals(double value, int decimals);

// Fixed notation with at most `precision` significant digits and at most `digits`
// decimals: the number of decimals is what the significant digits leave after the
// integer part, capped at `digits` (precision 7, digits 5: 14.142136 -> "14.14214",
// 0.002357 -> "0.00236", 1234.5678 -> "1234.568", 10 -> "10.00000"). A value with more
// integer digits than `precision` switches to "1.234568E+7", since fixed notation would
// have to invent digits. Not-a-number and infinities give "NAN", "INF" and "-INF".
std::string FormatFixed(double value, int precision, int digits);

}  // namespace kelvan::report
