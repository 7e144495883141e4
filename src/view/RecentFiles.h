#pragma once

#include <QStringList>

namespace kelvan::view {

// The list of recently used files, most recent first, at most ten. Paths are kept as full
// paths; a path already in the list (letter case ignored, as users type names either way)
// moves to the front as now given.
class RecentFiles {
 public:
  static constexpr int kMax = 10;

  const QStringList& Items() const { return items_; }
  void SetItems(const QStringList& items);
  void Add(const QString& path);
  // The menu caption of entry i: "&0 /path/to/file.nc".
  static QString Caption(int i, const QString& path);

 private:
  QStringList items_;
};

}  // namespace kelvan::view
