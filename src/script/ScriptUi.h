#pragma once

#include <string>

namespace kelvan::script {

struct GuiDlgModel;

// What the script functions need of the windows: the boxes, the beep and the
// script-built dialog. kelvan-cli answers every box as cancelled.
class ScriptUi {
 public:
  virtual ~ScriptUi() = default;
  // The message box captioned "Kelvanすくりぷた～" with OK and Cancel (or OK only);
  // true when OK was pressed.
  virtual bool MessageBox(const std::string& text, bool okOnly) = 0;
  // The one-line input box with `prompt` as its label and an empty field; false when
  // cancelled.
  virtual bool InputBox(const std::string& prompt, std::string& text) = 0;
  virtual void Beep() = 0;
  // An error box with the caption " Morwen System Message".
  virtual void ErrorBox(const std::string& text) = 0;
  // Shows the script-built dialog as the model lays it out; the user's edits and
  // checks go back into the model. True when closed with OK.
  virtual bool ShowDialog(GuiDlgModel& dialog) = 0;
  // Puts the text on the clipboard (kelvan-cli has none).
  virtual void CopyToClipboard(const std::string& text) { (void)text; }
  // Whether a picture file exists (the dialog's images).
  virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace kelvan::script
