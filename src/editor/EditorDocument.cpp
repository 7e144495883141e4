#include "editor/EditorDocument.h"

#include "editor/NcEditor.h"

namespace kelvan::editor {

std::shared_ptr<const nc::NcText> EditorDocument::Snapshot() const { return edit_.Snapshot(); }
void EditorDocument::LoadText(const nc::DecodedText& text) { edit_.LoadDecoded(text); }
void EditorDocument::ReplaceText(std::string text) {
  // A text that ended without a line end (or an empty one, which has none to keep) keeps
  // ending that way only when it had lines; a new text ends with one.
  const std::string end = edit_.LineEnd();
  const bool finalEnd = edit_.LineCount() == 0 || edit_.EndsWithLineEnd();
  if (!finalEnd && text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
    text.resize(text.size() - end.size());
  edit_.ReplaceTextUtf8(text);
  edit_.SetModified(true);
}

std::string EditorDocument::LineEnd() const { return edit_.LineEnd(); }

void EditorDocument::ApplyRowMarks(const nc::RowMarks& marks) { edit_.ApplyRowMarks(marks); }
int EditorDocument::CaretRow() const { return edit_.CaretRow(); }
int EditorDocument::CaretColumn() const { return edit_.CaretCol(); }
void EditorDocument::SetCaret(int row, int column) { edit_.SetCaret(row, column); }
void EditorDocument::ClearSelection() { edit_.ClearSelection(); }
std::string EditorDocument::SelectedText() const { return edit_.SelectedText().toStdString(); }
void EditorDocument::Focus() { edit_.SetFocus(); }

}  // namespace kelvan::editor
