#include "editor/EditorSearch.h"

#include <Qsci/qsciscintillabase.h>

#include <algorithm>

#include "editor/NcEditor.h"

namespace kelvan::editor {

using Sci = QsciScintillaBase;

EditorSearch::EditorSearch(QsciScintillaBase* view, const QString& text, int options)
    : view_(view), text_(text.toUtf8()), regExp_((options & SearchRegExp) != 0) {
  if (options & SearchCaseSensitive) flags_ |= Sci::SCFIND_MATCHCASE;
  if (regExp_) flags_ |= Sci::SCFIND_REGEXP | Sci::SCFIND_CXX11REGEX;
  if ((options & SearchFuzzy) && !text_.isEmpty()) {
    fuzzy_ = std::make_unique<nc::FuzzyMatcher>(std::string_view(text_.constData(), static_cast<size_t>(text_.size())),
                                                regExp_, (options & SearchCaseSensitive) != 0);
  }
}

EditorSearch::~EditorSearch() = default;

EditorSearch::Match EditorSearch::Find(long from, long to) const {
  if (text_.isEmpty()) return {};
  if (fuzzy_) return FindFuzzy(from, to);
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

std::string EditorSearch::Expansion(std::string_view replacement) const {
  if (fuzzy_) return fuzzy_->Expand(Range(lastTextStart_, lastTextEnd_), lastFuzzy_, replacement);
  if (!regExp_) return std::string(replacement);
  // The groups of Scintilla's last regular expression search.
  std::string tags[10];
  bool fetched[10] = {};
  return nc::ExpandRegexReplacement(replacement, [&](int n) -> std::string_view {
    if (!fetched[n]) {
      fetched[n] = true;
      const long length = view_->SendScintilla(Sci::SCI_GETTAG, static_cast<unsigned long>(n), static_cast<void*>(nullptr));
      if (length > 0) {
        std::string& tag = tags[n];
        tag.resize(static_cast<size_t>(length) + 1);
        view_->SendScintilla(Sci::SCI_GETTAG, static_cast<unsigned long>(n), static_cast<void*>(tag.data()));
        tag.resize(static_cast<size_t>(length));
      }
    }
    return tags[n];
  });
}

long EditorSearch::Replace(const QString& replacement) const {
  const QByteArray bytes = replacement.toUtf8();
  if (fuzzy_) {
    const std::string text = Expansion(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    view_->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(lastTextStart_ + static_cast<long>(lastFuzzy_.Start)),
                         lastTextStart_ + static_cast<long>(lastFuzzy_.End));
    view_->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()), text.c_str());
    return view_->SendScintilla(Sci::SCI_GETTARGETEND);
  }
  view_->SendScintilla(regExp_ ? Sci::SCI_REPLACETARGETRE : Sci::SCI_REPLACETARGET,
                       static_cast<uintptr_t>(bytes.size()), bytes.constData());
  return view_->SendScintilla(Sci::SCI_GETTARGETEND);
}

// Fuzzy matching: line by line (a regular expression matches within a line, and a plain
// search text without a line end cannot cross one), each line folded as it comes, so that
// a search near the caret does not fold the whole document.
EditorSearch::Match EditorSearch::FindFuzzy(long from, long to) const {
  if (!fuzzy_->Usable()) return {};
  const bool forward = from <= to;
  const long lo = std::min(from, to);
  const long hi = std::max(from, to);
  if (fuzzy_->LineEnds() > 0) return FindFuzzyAcrossLines(lo, hi, forward);
  const long first = view_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(lo));
  const long last = view_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(hi));
  const long step = forward ? 1 : -1;
  for (long line = forward ? first : last; forward ? line <= last : line >= first; line += step) {
    const long start = view_->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long end = view_->SendScintilla(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
    const long a = std::max(lo, start);
    const long b = std::min(hi, end);
    if (a > b) continue;
    const Match m = FindFuzzyIn(start, end, a, b, forward);
    if (m.Found()) return m;
  }
  return {};
}

// A search text with line ends: the range is folded a block of lines at a time, each
// block with as many lines more as a match can reach beyond it. The blocks start small
// and double up to a limit, so that neither a replace-all over close matches nor a long
// way to the next match folds much more text than it passes.
EditorSearch::Match EditorSearch::FindFuzzyAcrossLines(long lo, long hi, bool forward) const {
  constexpr long kFirstBlock = 1 << 10;
  constexpr long kLastBlock = 1 << 16;
  const long reach = fuzzy_->LineEnds() + 1;
  long block = kFirstBlock;
  if (forward) {
    for (long a = lo;; block = std::min(2 * block, kLastBlock)) {
      const long b = std::min(hi, LineStart(std::min(hi, a + block), 1));  // the block: [a, b)
      const long c = std::min(hi, LineStart(b, reach));                     // and its reach
      const Match m = FindFuzzyIn(a, c, a, c, true);
      if (m.Found() && (m.start < b || b >= hi)) return m;
      if (b >= hi) return {};
      a = b;
    }
  }
  // Backward: the blocks from the end; a match starting in a block may end in the block
  // after it (searched already, where no match started).
  for (long e = hi;; block = std::min(2 * block, kLastBlock)) {
    const long b = std::max(lo, LineStart(std::max(lo, e - block), 0));  // the block: [b, e)
    const long c = std::min(hi, LineStart(e, reach));                     // and its reach
    const Match m = FindFuzzyIn(b, c, b, c, false);
    if (m.Found() || b <= lo) return m;
    e = b;
  }
}

// The start of the line `lines` lines after the one of pos; the end of the text past the
// last line.
long EditorSearch::LineStart(long pos, long lines) const {
  const long line = view_->SendScintilla(Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos)) + lines;
  if (line >= view_->SendScintilla(Sci::SCI_GETLINECOUNT)) return view_->SendScintilla(Sci::SCI_GETLENGTH);
  return view_->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

// The match within [from, to) of the text [textStart, textEnd), which is its context.
EditorSearch::Match EditorSearch::FindFuzzyIn(long textStart, long textEnd, long from, long to, bool forward) const {
  const nc::FuzzyMatcher::Match m = fuzzy_->Find(Range(textStart, textEnd), static_cast<size_t>(from - textStart),
                                                 static_cast<size_t>(to - textStart), forward);
  if (!m.Found()) return {};
  lastFuzzy_ = m;
  lastTextStart_ = textStart;
  lastTextEnd_ = textEnd;
  return {textStart + static_cast<long>(m.Start), textStart + static_cast<long>(m.End)};
}

std::string_view EditorSearch::Range(long from, long to) const {
  if (to <= from) return {};
  const auto* p = reinterpret_cast<const char*>(
      view_->SendScintilla(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
  return p ? std::string_view(p, static_cast<size_t>(to - from)) : std::string_view();
}

long EditorSearch::After(long pos) const {
  return view_->SendScintilla(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(pos));
}

}  // namespace kelvan::editor
