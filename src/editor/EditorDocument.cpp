#include "editor/EditorDocument.h"

#include "editor/NcEditor.h"

namespace kelvan::editor {

std::shared_ptr<const nc::NcText> EditorDocument::Snapshot() const { return edit_.Snapshot(); }
void EditorDocument::LoadText(const nc::DecodedText& text) { edit_.LoadDecoded(text); }
void EditorDocument::ApplyRowMarks(const nc::RowMarks& marks) { edit_.ApplyRowMarks(marks); }
int EditorDocument::CaretRow() const { return edit_.CaretRow(); }
int EditorDocument::CaretColumn() const { return edit_.CaretCol(); }
void EditorDocument::SetCaret(int row, int column) { edit_.SetCaret(row, column); }
void EditorDocument::ClearSelection() { edit_.ClearSelection(); }
void EditorDocument::Focus() { edit_.SetFocus(); }

}  // namespace kelvan::editor
