#pragma once

#include <QFont>

#include "print/StringsPrinterSettings.h"

namespace kelvan::print {

// The font lines are printed in: the chosen family, then the Japanese fallback, so that
// a Western font or a font this system lacks ("ＭＳ ゴシック" from an old setting) still
// prints Japanese comments. A size of 0 or less takes 11 points.
QFont PrintFont(const StringsPrinterSettings& settings);

}  // namespace kelvan::print
