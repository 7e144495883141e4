#include "view/TViewForm.h"

namespace kelvan::view {

TViewForm::TViewForm(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Kelvan"));
  resize(1068, 667);
}

}  // namespace kelvan::view
