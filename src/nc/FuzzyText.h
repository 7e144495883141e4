#pragma once
// あいまい検索: a search that ignores the differences a Japanese user does not mean.
//
// Text is folded character by character before it is compared:
// - full-width ASCII (Ｇ０１, ＃, ａ) and the ideographic space become their ASCII forms;
// - half-width katakana become full-width katakana, a following half-width (or combining)
//   dakuten or handakuten joined to its kana (ｶﾞ, カ + U+3099 and ガ are one character);
// - hiragana become katakana (が and ガ are equal);
// - unless the search is case-sensitive, letters become lower case (ASCII, Latin-1,
//   Greek, Cyrillic).
// So "ｇ０１" finds "G01" and "ﾂｰﾙ" finds "ツール" and "つーる".
//
// A folded text keeps, for each folded character, the byte offset of the source character
// it came from, so that a match maps back to the exact bytes of the original text (a
// replacement then replaces the original span, kana marks included).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvan::nc {

struct FoldedText {
  std::u32string Text;
  // Origin[i]: the byte offset in the source of the character folded into Text[i];
  // Origin[Text.size()] is the source's length. Never decreasing.
  std::vector<uint32_t> Origin;
};

// Folds UTF-8 text (bytes that are not UTF-8 stand for themselves and match only the same
// bytes). `foldCase`: letters fold to lower case too.
FoldedText FoldFuzzy(std::string_view utf8, bool foldCase);
// The same into buffers that are reused from call to call.
void FoldFuzzyInto(std::string_view utf8, bool foldCase, FoldedText& out);

// The replacement for a regular expression match: \0..\9 stand for the text of the
// groups (`group` answers it; an unknown group is empty), \\ for a backslash and \a \b \f
// \n \r \t \v for those control characters; any other backslash stays as it is.
std::string ExpandRegexReplacement(std::string_view replacement, const std::function<std::string_view(int)>& group);

// Finds a search text (or an ECMAScript regular expression) in text, both folded.
class FuzzyMatcher {
 public:
  static constexpr size_t npos = static_cast<size_t>(-1);

  struct Match {
    size_t Start = npos;  // byte offsets into the text searched
    size_t End = npos;
    // For a regular expression: the byte spans of the whole match (0) and of its groups
    // (npos, npos for a group that took no part).
    std::vector<std::pair<size_t, size_t>> Groups;
    bool Found() const { return Start != npos; }
  };

  // A regular expression keeps its own syntax: only its characters beyond ASCII are
  // folded (a full-width "（" stays a literal parenthesis), and its letters match either
  // case unless caseSensitive.
  FuzzyMatcher(std::string_view pattern, bool regExp, bool caseSensitive);
  ~FuzzyMatcher();
  FuzzyMatcher(const FuzzyMatcher&) = delete;
  FuzzyMatcher& operator=(const FuzzyMatcher&) = delete;

  // False for an empty search text or a regular expression that does not compile.
  bool Usable() const;
  // The line ends a plain search text holds (CR LF counting once): a match reaches that
  // many lines past the one it starts in. A regular expression always matches within
  // one line (0).
  int LineEnds() const { return lineEnds_; }

  // The first match (forward) or the last one (backward) that lies within [from, to) of
  // `text`. The whole text is context (for "^", "$" and look-arounds), but matches that
  // start before `from` or end after `to` do not count. An empty match may stand at `to`.
  Match Find(std::string_view text, size_t from, size_t to, bool forward) const;

  // The replacement for a match in `text`: for a regular expression as
  // ExpandRegexReplacement makes it, with the groups' original text; a plain replacement
  // is taken as it is.
  std::string Expand(std::string_view text, const Match& match, std::string_view replacement) const;

 private:
  struct Regex;
  Match FindPlain(size_t fromIndex, size_t toIndex, bool forward) const;
  Match FindRegex(size_t fromIndex, size_t toIndex, bool forward) const;
  Match ToBytes(size_t start, size_t end) const;

  bool regExp_;
  bool foldCase_;
  int lineEnds_ = 0;
  std::u32string pattern_;
  std::unique_ptr<Regex> regex_;
  mutable FoldedText folded_;  // the text searched last, folded
};

}  // namespace kelvan::nc
