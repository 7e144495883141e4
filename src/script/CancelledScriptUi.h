#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "script/ScriptUi.h"

namespace kelvan::script {

// The boxes when no one is there to answer (kelvan-cli, benchmarks, tests): MsgBox and
// ShowDlg are false, Readln gives "Cancel", errors go to stderr.
class CancelledScriptUi : public ScriptUi {
 public:
  bool MessageBox(const std::string&, bool) override { return false; }
  bool InputBox(const std::string&, std::string&) override { return false; }
  void Beep() override {}
  void ErrorBox(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool ShowDialog(GuiDlgModel&) override { return false; }
  bool FileExists(const std::string& path) override {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }
};

}  // namespace kelvan::script
