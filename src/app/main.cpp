#include <QApplication>
#include <QStringList>

#include "view/TViewForm.h"
#include "view/Translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kelvan"));
  QApplication::setOrganizationName(QStringLiteral("Morwen"));
  kelvan::view::InstallToolkitTranslations(app);
  kelvan::view::TViewForm form;
  form.show();
  // The first argument names the program to open.
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) form.OpenAtStart(args.at(1));
  return app.exec();
}
