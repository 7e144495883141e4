#include <QApplication>

#include "view/TViewForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kelvan"));
  kelvan::view::TViewForm form;
  form.show();
  return app.exec();
}
