#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kelvan::settings {

// Every stored value is text. These read that text back the way the settings store does,
// independent of the user's locale: a decimal point is always ".", never ",".

// An integer: optional blanks, an optional sign, decimal digits, optional blanks, within
// the 32-bit range. Anything else (an empty text, "1.5", "12abc", "0x10") is no integer.
std::optional<int> ParseInteger(QStringView text);

// A decimal number as a user types it: optional blanks, an optional sign, digits with an
// optional "." and an optional exponent ("2", "2.0", ".5", "-3.", "1e1"), optional blanks.
// Infinity, NaN, hexadecimal and "," as the decimal point are no numbers.
std::optional<double> ParseDecimal(QStringView text);

// The decimal number in `text`, or `fallback` when the text holds none.
double DecimalOr(QStringView text, double fallback);

// The text written for an integer and for a boolean.
QString IntegerText(int value);
QString BoolText(bool value);

// A stored boolean: an integer that is not 0. "yes" or "TRUE" stored by hand are no
// integers and so read as false.
bool StoredBoolIsTrue(QStringView text);

// A declared default of a boolean key: "1", "TRUE" or "YES" in any letter case is true.
bool DefaultBoolIsTrue(QStringView text);

}  // namespace kelvan::settings
