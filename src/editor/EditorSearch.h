#pragma once

#include <QByteArray>
#include <QString>

class QsciScintillaBase;

namespace kelvan::editor {

// Searching and replacing in one view's document with Scintilla's own engine (search in
// target), in byte positions. Regular expressions are ECMAScript (std::regex) and match
// within a line. Case-insensitive search folds the case of non-ASCII letters as well.
class EditorSearch {
 public:
  struct Match {
    long start = -1;
    long end = -1;
    bool Found() const { return start >= 0; }
    bool Empty() const { return start == end; }
  };

  // options: the SearchOption bits of NcEditor.
  EditorSearch(QsciScintillaBase* view, const QString& text, int options);

  bool IsEmpty() const { return text_.isEmpty(); }
  // The first match in [from, to) when from <= to; the last one in [to, from) otherwise.
  Match Find(long from, long to) const;
  // A forward search that does not answer an empty match at from again (a pattern such as
  // "^" or "X*" would otherwise be found at the caret for ever).
  Match FindForward(long from) const;
  // True when [start, end) is exactly one match; it becomes the target for Replace.
  bool IsMatch(long start, long end) const;
  // Replaces the match found last (groups \1.. expanded for a regular expression) and
  // returns the end of the new text.
  long Replace(const QString& replacement) const;
  // The position one character after pos (pos itself at the end of the text).
  long After(long pos) const;

 private:
  QsciScintillaBase* view_;
  QByteArray text_;
  int flags_ = 0;
  bool regExp_ = false;
};

}  // namespace kelvan::editor
