#pragma once

#include <QDialog>

class QTextBrowser;

namespace kelvan::view {

// The bundled HTML manual, read from the "help" folder beside the executable: its table
// of contents (F1) and its index.
class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  void ShowContents();
  void ShowIndex();
  // The folder the manual is read from.
  static QString HelpFolder();

 private:
  void ShowPage(const QString& page);
  QTextBrowser* browser_;
};

}  // namespace kelvan::view
