#pragma once

#include <QDialog>

class QListWidget;

namespace kelvan::script {

// The input support list: a borderless list of the script words (172 x 93) that pops up
// under the caret. Enter or a click takes the word, Escape leaves it.
class TAssistanceDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TAssistanceDlg(QWidget* parent = nullptr);
  // Shows the list at the screen position and waits; the chosen word, or empty.
  QString Choose(const QPoint& at);
  QListWidget* List() const { return list_; }

 private:
  QListWidget* list_ = nullptr;
  QString chosen_;
};

}  // namespace kelvan::script
