#include "script/GuiDlgModel.h"

namespace kelvan::script {

namespace {

bool InRange(int64_t no) { return no >= 1 && no <= GuiDlgModel::kCount; }

}  // namespace

void GuiDlgModel::InitDlg() {
  for (auto* group : {&Labels, &Edits, &CheckBoxes, &Images})
    for (Control& c : *group) c.Visible = false;
  LabelsPlaced = ImagesPlaced = 0;
}

void GuiDlgModel::AddLabel(int32_t left, int32_t top, int32_t width, int32_t height, const std::string& text) {
  if (LabelsPlaced >= kCount) return;
  Control& c = Labels[size_t(LabelsPlaced++)];
  c.Box = {left, top, width, height};
  c.Text = text;
  c.Visible = true;
}

void GuiDlgModel::AddEdit(int64_t no, int32_t left, int32_t top, int32_t width, int32_t height,
                          const std::string& text) {
  if (!InRange(no)) return;
  Control& c = Edits[size_t(no - 1)];
  c.Box = {left, top, width, height};
  if (!text.empty()) c.Text = text;
  c.Visible = true;
}

bool GuiDlgModel::AddCheckBox(int64_t no, int32_t left, int32_t top, int32_t width, int32_t height,
                              const std::string& text, bool check) {
  if (!InRange(no)) return false;
  Control& c = CheckBoxes[size_t(no - 1)];
  c.Box = {left, top, width, height};
  c.Text = text;
  c.Visible = true;
  c.Checked = check;
  return true;
}

void GuiDlgModel::AddImage(int32_t left, int32_t top, const std::string& path) {
  if (ImagesPlaced >= kCount) return;
  Control& c = Images[size_t(ImagesPlaced++)];
  c.Box = {left, top, 0, 0};
  c.Text = path;
  c.Visible = true;
}

void GuiDlgModel::Layout(int32_t width, int32_t height, const std::string& caption) {
  ClientWidth = width;
  ClientHeight = height;
  Caption = "Torvik２　" + caption;
  OkButton.Left = width - 200;
  OkButton.Top = height - 32;
  CancelButton.Left = width - 100;
  CancelButton.Top = height - 32;
  Bevel.Width = width - 16;
  Bevel.Height = height - 50;
}

std::string GuiDlgModel::DlgText(int64_t no) const { return InRange(no) ? Edits[size_t(no - 1)].Text : std::string(); }

bool GuiDlgModel::CheckBoxChecked(int64_t no) const { return InRange(no) && CheckBoxes[size_t(no - 1)].Checked; }

}  // namespace kelvan::script
