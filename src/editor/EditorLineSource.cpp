#include "editor/EditorLineSource.h"

#include <Qsci/qsciscintillabase.h>

namespace kelvan::editor {

using Sci = QsciScintillaBase;

int32_t EditorLineSource::CountLines(const QsciScintillaBase* view) {
  const long lines = view->SendScintilla(Sci::SCI_GETLINECOUNT);
  const long length = view->SendScintilla(Sci::SCI_GETLENGTH);
  // The last Scintilla line is empty exactly when the text is empty or ends with a line
  // end; it is then the caret's place after the final line end, not a line of the file.
  const long lastStart = view->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lines - 1));
  return static_cast<int32_t>(lastStart == length ? lines - 1 : lines);
}

int32_t EditorLineSource::LineCount() const { return CountLines(view_); }

std::string_view EditorLineSource::Line(int32_t index) const {
  if (index < 0) return {};
  const long start = view_->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(index));
  if (start < 0) return {};
  const long end = view_->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(index));
  if (end <= start) return {};
  // Only a line that straddles the buffer's gap moves it; fetching the whole buffer would
  // move the gap to the end, and the next keystroke far from there would move 40 MB back.
  const auto* p = static_cast<const char*>(reinterpret_cast<const void*>(
      view_->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start)));
  if (p == nullptr) return {};
  return {p, static_cast<size_t>(end - start)};
}

}  // namespace kelvan::editor
