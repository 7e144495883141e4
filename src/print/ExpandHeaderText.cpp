#include "print/ExpandHeaderText.h"

#include <QFileInfo>

namespace kelvan::print {

QString ExpandHeaderText(const QString& pattern, const QString& title, int pageNumber,
                         const QDateTime& now) {
  QString out;
  out.reserve(pattern.size() + title.size());
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c != u'%' || i + 1 == pattern.size()) {
      out += c;
      continue;
    }
    const QChar code = pattern[++i];
    switch (code.unicode()) {
      case u'F': out += QFileInfo(title).fileName(); break;
      case u'f': out += title; break;
      case u'p': out += QString::number(pageNumber); break;
      case u'd': out += now.toString(QStringLiteral("dd")); break;
      case u'm': out += now.toString(QStringLiteral("MM")); break;
      case u'y': out += now.toString(QStringLiteral("yyyy")); break;
      case u't': out += now.toString(QStringLiteral("HH:mm")); break;
      default: out += code; break;
    }
  }
  return out;
}

}  // namespace kelvan::print
