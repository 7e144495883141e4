#include <QApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstring>

#include "script/ScriptFolder.h"
#include "view/Resources.h"
#include "view/TViewForm.h"
#include "view/Translations.h"

namespace {

// Answered before any window or display is needed.
bool AnswerInformation(int argc, char** argv, int& status) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("Kelvan %s\n", KELVAN_VERSION);
    status = 0;
    return true;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::printf(
        "usage: kelvan [FILE]\n"
        "Kelvan, a workbench for NC programs: opens FILE (an NC program) in the editor beside\n"
        "its tool path.\n"
        "  --untitled FILE  opens FILE's program as a new document without a name (how a\n"
        "             window hands a program it made to a new window)\n"
        "  --help     this text\n"
        "  --version  the version\n"
        "The command-line tools are in kelvan-cli (kelvan-cli --help).\n");
    status = 0;
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  if (AnswerInformation(argc, argv, status)) return status;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Kelvan"));
  QApplication::setOrganizationName(QStringLiteral("Morwen"));
  QApplication::setApplicationVersion(QStringLiteral(KELVAN_VERSION));
  kelvan::view::InstallToolkitTranslations(app);
  // The first start makes the user's script folder and puts the bundled scripts in it.
  const kelvan::script::SeedResult seeded = kelvan::script::SeedScriptFolder(
      QFile::encodeName(kelvan::view::ResourcePath(QStringLiteral("Script"))).toStdString(),
      kelvan::script::UserScriptFolder());
  if (!seeded.Error.empty()) std::fprintf(stderr, "kelvan: script folder: %s\n", seeded.Error.c_str());
  kelvan::view::TViewForm form;
  form.show();
  // The first argument names the program to open.
  const QStringList args = QApplication::arguments();
  if (args.size() > 2 && args.at(1) == QStringLiteral("--untitled"))
    form.OpenHandedOver(args.at(2));
  else if (args.size() > 1)
    form.OpenAtStart(args.at(1));
  return app.exec();
}
