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
  // Fetching the whole buffer moves Scintilla's gap to its end once; it then stays put
  // (and the pointer valid) until the next insertion or deletion.
  if (text_ == nullptr) {
    text_ = static_cast<const char*>(view_->SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
  }
  return {text_ + start, static_cast<size_t>(end - start)};
}

}  // namespace kelvan::editor
