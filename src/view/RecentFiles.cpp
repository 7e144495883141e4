#include "view/RecentFiles.h"

#include <QFileInfo>

namespace kelvan::view {

void RecentFiles::SetItems(const QStringList& items) {
  items_ = items.mid(0, kMax);
}

void RecentFiles::Add(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  for (qsizetype i = 0; i < items_.size(); ++i) {
    if (items_[i].compare(full, Qt::CaseInsensitive) == 0) {
      items_.removeAt(i);
      break;
    }
  }
  items_.prepend(full);
  while (items_.size() > kMax) items_.removeLast();
}

QString RecentFiles::Caption(int i, const QString& path) {
  return QStringLiteral("&%1 %2").arg(i).arg(path);
}

}  // namespace kelvan::view
