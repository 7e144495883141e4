#pragma once

#include <QMainWindow>

namespace kelvan::view {

// The main window: the NC program in the editor on the left, the path view on the right.
class TViewForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TViewForm(QWidget* parent = nullptr);
};

}  // namespace kelvan::view
