#pragma once

#include <QDateTime>
#include <QString>

namespace kelvan::print {

// A header or footer with its control sequences replaced: "%F" the title without its
// folder, "%f" the title in full, "%p" the page number, "%d" the day, "%m" the month
// (both two digits), "%y" the year (four digits), "%t" the time of day (hh:mm);
// "%" and any other character give that character ("%%" a percent sign); a "%" at the
// very end stays as it is.
QString ExpandHeaderText(const QString& pattern, const QString& title, int pageNumber,
                         const QDateTime& now);

}  // namespace kelvan::print
