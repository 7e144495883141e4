#pragma once

#include "workbench/TextDocument.h"

namespace kelvan::editor {

class NcEditor;

// The main editor as the workbench's document.
class EditorDocument : public workbench::TextDocument {
 public:
  explicit EditorDocument(NcEditor& edit) : edit_(edit) {}

  std::shared_ptr<const nc::NcText> Snapshot() const override;
  nc::TextEncoding LineEncoding() const override { return nc::TextEncoding::Utf8; }
  void LoadText(const nc::DecodedText& text) override;
  void ReplaceText(std::string text) override;
  std::string LineEnd() const override;
  void ApplyRowMarks(const nc::RowMarks& marks) override;
  int CaretRow() const override;
  int CaretColumn() const override;
  void SetCaret(int row, int column) override;
  void ClearSelection() override;
  std::string SelectedText() const override;
  void Focus() override;

 private:
  NcEditor& edit_;
};

}  // namespace kelvan::editor
