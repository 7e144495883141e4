#pragma once

#include <QString>

class QFileDialog;
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
  // Where a dialog starts from `initial`: a folder is shown; a file (when mayBeFile) has
  // its folder shown and its name in the name box. A folder is never put into the name
  // box, and one that does not exist gives way to the user's home.
  static void SetStart(QFileDialog& dialog, const QString& initial, bool mayBeFile);
  // The preview text of a file: its first 1024 bytes as text lines.
  static QString PreviewText(const QString& path);
};

}  // namespace kelvan::view
