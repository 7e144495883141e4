#include "view/Resources.h"

#include <QCoreApplication>
#include <QDir>

namespace kelvan::view {

QString ResourcePath(const QString& relative) {
  const QDir dir(QCoreApplication::applicationDirPath());
  if (dir.exists(relative)) return dir.filePath(relative);
  return QDir::cleanPath(dir.filePath(QStringLiteral("../share/kelvan/") + relative));
}

}  // namespace kelvan::view
