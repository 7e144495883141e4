#pragma once

#include <cstdint>
#include <string_view>

#include "nc/LineSource.h"

class QsciScintillaBase;

namespace kelvan::editor {

// The program text line by line, straight out of Scintilla's buffer: a view per line
// without its line end, valid until the text changes.
//
// Lines follow the file rule: a final line end does not start another line, so "A LF B LF"
// holds two lines although Scintilla shows a third, empty one for the caret to stand on.
class EditorLineSource : public nc::LineSource {
 public:
  explicit EditorLineSource(QsciScintillaBase* view) : view_(view) {}

  int32_t LineCount() const override;
  std::string_view Line(int32_t index) const override;

  // Lines of the view's document by the file rule above.
  static int32_t CountLines(const QsciScintillaBase* view);

 private:
  QsciScintillaBase* view_;
};

}  // namespace kelvan::editor
