#pragma once

#include <QString>

class QWidget;

namespace kelvan::view {

// The open and save dialogs for NC programs, with a preview strip at the bottom that shows
// the first 1024 bytes of the selected file, so that a machinist can tell programs apart
// by their header comments before opening one.
class NcFileDialog {
 public:
  // The filters as the File menu offers them.
  static QString OpenFilter();
  static QString SaveFilter();
  // Empty when cancelled.
  static QString Open(QWidget* parent, const QString& folder, const QString& filter);
  static QString Save(QWidget* parent, const QString& initial, const QString& filter);
  // The preview text of a file: its first 1024 bytes as text lines.
  static QString PreviewText(const QString& path);
};

}  // namespace kelvan::view
