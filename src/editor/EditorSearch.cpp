#include "editor/EditorSearch.h"

#include <Qsci/qsciscintillabase.h>

#include "editor/NcEditor.h"

namespace kelvan::editor {

using Sci = QsciScintillaBase;

EditorSearch::EditorSearch(QsciScintillaBase* view, const QString& text, int options)
    : view_(view), text_(text.toUtf8()), regExp_((options & SearchRegExp) != 0) {
  if (options & SearchCaseSensitive) flags_ |= Sci::SCFIND_MATCHCASE;
  if (regExp_) flags_ |= Sci::SCFIND_REGEXP | Sci::SCFIND_CXX11REGEX;
}

EditorSearch::Match EditorSearch::Find(long from, long to) const {
  if (text_.isEmpty()) return {};
  view_->SendScintilla(Sci::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags_));
  view_->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
  const long found = view_->SendScintilla(Sci::SCI_SEARCHINTARGET,
                                          static_cast<uintptr_t>(text_.size()), text_.constData());
  if (found < 0) return {};
  return {view_->SendScintilla(Sci::SCI_GETTARGETSTART), view_->SendScintilla(Sci::SCI_GETTARGETEND)};
}

EditorSearch::Match EditorSearch::FindForward(long from) const {
  const long length = view_->SendScintilla(Sci::SCI_GETLENGTH);
  Match m = Find(from, length);
  if (m.Found() && m.Empty() && m.start == from) {
    if (from >= length) return {};
    m = Find(After(from), length);
  }
  return m;
}

bool EditorSearch::IsMatch(long start, long end) const {
  const Match m = Find(start, end);
  return m.Found() && m.start == start && m.end == end;
}

long EditorSearch::Replace(const QString& replacement) const {
  const QByteArray bytes = replacement.toUtf8();
  view_->SendScintilla(regExp_ ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET,
                       static_cast<uintptr_t>(bytes.size()), bytes.constData());
  return view_->SendScintilla(Sci::SCI_GETTARGETEND);
}

long EditorSearch::After(long pos) const {
  return view_->SendScintilla(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(pos));
}

}  // namespace kelvan::editor
