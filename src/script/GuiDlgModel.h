#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvan::script {

// The script-built dialog as scripts fill it: ten labels, ten edit boxes, ten check boxes
// and ten pictures, each hidden until a script places it, and the layout of the dialog
// itself. It lives for the whole program, so an edit box keeps what the user typed into
// it until a script gives it a new text.
struct GuiDlgModel {
  static constexpr int kCount = 10;
  struct Rect { int32_t Left = 0, Top = 0, Width = 0, Height = 0; };
  struct Control {
    Rect Box;
    std::string Text;     // a label's or check box's caption, an edit box's text, a picture's file
    bool Checked = false;
    bool Visible = false;
  };
  std::array<Control, kCount> Labels, Edits, CheckBoxes, Images;
  int32_t LabelsPlaced = 0;
  int32_t ImagesPlaced = 0;
  // The layout ShowDlg gives.
  int32_t ClientWidth = 366, ClientHeight = 262;
  std::string Caption = "Torvik２";
  Rect OkButton{166, 230, 75, 25}, CancelButton{266, 230, 75, 25}, Bevel{8, 8, 350, 212};

  void InitDlg();
  void AddLabel(int32_t left, int32_t top, int32_t width, int32_t height, const std::string& text);
  void AddEdit(int64_t no, int32_t left, int32_t top, int32_t width, int32_t height, const std::string& text);
  bool AddCheckBox(int64_t no, int32_t left, int32_t top, int32_t width, int32_t height, const std::string& text,
                   bool check);
  // Places the next picture (the caller has checked that the file exists).
  void AddImage(int32_t left, int32_t top, const std::string& path);
  // Sizes the dialog, its caption and its buttons for ShowDlg.
  void Layout(int32_t width, int32_t height, const std::string& caption);
  std::string DlgText(int64_t no) const;
  bool CheckBoxChecked(int64_t no) const;
};

}  // namespace kelvan::script
