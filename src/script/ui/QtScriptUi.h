#pragma once

#include "script/ScriptUi.h"

class QWidget;

namespace kelvan::view {
class UserDialogs;
}

namespace kelvan::script {

class TGuiDlg;

// The boxes of a running script on screen: message and input boxes captioned
// "Kelvanすくりぷた～" through the windows' dialogs, the script-built dialog, the beep and
// the clipboard. While a box is open the pointer is the normal arrow, not the busy one
// of the run.
class QtScriptUi : public ScriptUi {
 public:
  QtScriptUi(view::UserDialogs& dialogs, TGuiDlg& guiDlg, QWidget* parent);

  bool MessageBox(const std::string& text, bool okOnly) override;
  bool InputBox(const std::string& prompt, std::string& text) override;
  void Beep() override;
  void ErrorBox(const std::string& text) override;
  bool ShowDialog(GuiDlgModel& dialog) override;
  void CopyToClipboard(const std::string& text) override;
  bool FileExists(const std::string& path) override;

 private:
  view::UserDialogs& dialogs_;
  TGuiDlg& guiDlg_;
  QWidget* parent_;
};

}  // namespace kelvan::script
