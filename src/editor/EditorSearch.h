#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>
#include <string_view>

#include "nc/FuzzyText.h"

class QsciScintillaBase;

namespace kelvan::editor {

// Searching and replacing in one view's document, in byte positions. Plain and regular
// expression searches use Scintilla's own engine (search in target); regular expressions
// are ECMAScript (std::regex) and match within a line. Case-insensitive search folds the
// case of non-ASCII letters as well.
//
// Fuzzy matching (あいまい検索) compares folded text (nc::FoldFuzzy: width, kana and case)
// line by line (a search text with line ends: a block of lines at a time) and maps each
// match back to the bytes of the document, so a replacement replaces exactly the
// original span.
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
  ~EditorSearch();

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
  // What Replace would put in place of the match found last, leaving the text alone.
  std::string Expansion(std::string_view replacement) const;
  // The position one character after pos (pos itself at the end of the text).
  long After(long pos) const;

 private:
  Match FindFuzzy(long from, long to) const;
  Match FindFuzzyAcrossLines(long lo, long hi, bool forward) const;
  long LineStart(long pos, long lines) const;
  Match FindFuzzyIn(long textStart, long textEnd, long from, long to, bool forward) const;
  std::string_view Range(long from, long to) const;

  QsciScintillaBase* view_;
  QByteArray text_;
  int flags_ = 0;
  bool regExp_ = false;
  std::unique_ptr<nc::FuzzyMatcher> fuzzy_;
  // The fuzzy match found last, for Replace: relative to the text it was found in (a
  // line), which starts at lastTextStart_ and ends at lastTextEnd_.
  mutable nc::FuzzyMatcher::Match lastFuzzy_;
  mutable long lastTextStart_ = 0;
  mutable long lastTextEnd_ = 0;
};

}  // namespace kelvan::editor
