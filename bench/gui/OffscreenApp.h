#pragma once
// The start of every window bench: the application offscreen, with a settings store of
// its own in a temporary folder, so that a bench never reads or changes the user's
// settings and needs no display.

#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>

namespace kelvan::bench {

class OffscreenApp {
 public:
  OffscreenApp(int& argc, char** argv) : environment_(config_), app_(argc, argv) {}

 private:
  // Set before the application exists: it reads them when it starts.
  struct Environment {
    explicit Environment(const QTemporaryDir& config) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    }
  };
  QTemporaryDir config_;
  Environment environment_;
  QApplication app_;
};

}  // namespace kelvan::bench
