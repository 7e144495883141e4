#pragma once

#include <QDialog>

class QLineEdit;

namespace kelvan::tools {

// The parameters of simple roughing ("簡易荒取り"): start height, end height and step down
// per pass, as typed.
class TRaph3DDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TRaph3DDlg(QWidget* parent = nullptr);

  // Shows the texts, runs the dialog and takes back what was typed; false on Cancel.
  bool Ask(QString& start, QString& end, QString& step);

  QLineEdit* StartZ() const { return startZ_; }
  QLineEdit* EndZ() const { return endZ_; }
  QLineEdit* Step() const { return step_; }

 private:
  QLineEdit* startZ_ = nullptr;
  QLineEdit* endZ_ = nullptr;
  QLineEdit* step_ = nullptr;
};

}  // namespace kelvan::tools
