#include "nc/FuzzyText.h"

#include <algorithm>
#include <regex>

namespace kelvan::nc {

static_assert(sizeof(wchar_t) == sizeof(char32_t), "the regular expressions run on 32-bit characters");

namespace {

// A byte that starts no UTF-8 character stands for itself: U+DC00 + byte, a code that no
// well-formed UTF-8 decodes to.
constexpr char32_t kRawByte = 0xDC00;

// One character of UTF-8 at pos; `length` gets its byte count.
char32_t Decode(std::string_view s, size_t pos, size_t& length) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  length = 1;
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t c = 0;
  char32_t least = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, c = b0 & 0x1F, least = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, c = b0 & 0x0F, least = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, c = b0 & 0x07, least = 0x10000;
  } else {
    return kRawByte + b0;
  }
  if (pos + extra >= s.size()) return kRawByte + b0;  // cut short
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) return kRawByte + b0;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kRawByte + b0;
  length = static_cast<size_t>(extra) + 1;
  return c;
}

// Half-width forms U+FF61..U+FF9F as full-width characters (katakana, their punctuation,
// and the spacing dakuten and handakuten for marks that join no kana).
constexpr char16_t kHalfWidth[] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5,
    0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,
    0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC,
    0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4,
    0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};
static_assert(sizeof(kHalfWidth) / sizeof(kHalfWidth[0]) == 0xFF9F - 0xFF61 + 1);

// Full-width signs U+FFE0..U+FFE6: ¢ £ ¬ ¯ ¦ ¥ ₩.
constexpr char16_t kFullWidthSigns[] = {0x00A2, 0x00A3, 0x00AC, 0x00AF, 0x00A6, 0x00A5, 0x20A9};

char32_t FoldWidth(char32_t c) {
  if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFF01 + 0x21;
  if (c == 0x3000) return 0x20;
  if (c >= 0xFF61 && c <= 0xFF9F) return kHalfWidth[c - 0xFF61];
  if (c >= 0xFFE0 && c <= 0xFFE6) return kFullWidthSigns[c - 0xFFE0];
  return c;
}

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 0x20;                    // Latin-1: À..Þ
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;    // Greek capitals
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                  // Cyrillic А..Я
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;                  // Cyrillic Ѐ..Џ
  return c;
}

// Hiragana (and their iteration marks) as katakana.
char32_t ToKatakana(char32_t c) {
  if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) return c + 0x60;
  return c;
}

enum class Mark { None, Dakuten, Handakuten };

Mark MarkOf(char32_t c) {
  if (c == 0x3099 || c == 0xFF9E) return Mark::Dakuten;
  if (c == 0x309A || c == 0xFF9F) return Mark::Handakuten;
  return Mark::None;
}

// The katakana with the mark, or 0 when the kana takes no such mark.
char32_t Compose(char32_t kana, Mark mark) {
  const bool hGroup = kana == 0x30CF || kana == 0x30D2 || kana == 0x30D5 || kana == 0x30D8 || kana == 0x30DB;
  if (mark == Mark::Handakuten) return hGroup ? kana + 2 : 0;
  if (hGroup) return kana + 1;
  // カ..ト: every second code point, but ッ (small tsu) breaks the rhythm before ツ.
  if ((kana >= 0x30AB && kana <= 0x30C1 && (kana - 0x30AB) % 2 == 0) ||
      kana == 0x30C4 || kana == 0x30C6 || kana == 0x30C8)
    return kana + 1;
  switch (kana) {
    case 0x30A6: return 0x30F4;  // ウ → ヴ
    case 0x30EF: return 0x30F7;  // ワ → ヷ
    case 0x30F0: return 0x30F8;  // ヰ → ヸ
    case 0x30F1: return 0x30F9;  // ヱ → ヹ
    case 0x30F2: return 0x30FA;  // ヲ → ヺ
    case 0x30FD: return 0x30FE;  // ヽ → ヾ
    default: return 0;
  }
}

// Folds the character at pos (with a kana mark that follows it) and moves pos past what
// it took.
char32_t FoldNext(std::string_view s, size_t& pos, bool foldCase) {
  size_t length = 0;
  const char32_t raw = Decode(s, pos, length);
  pos += length;
  char32_t c = ToKatakana(FoldWidth(raw));
  if (foldCase) c = FoldCase(c);
  if (pos < s.size() && static_cast<unsigned char>(s[pos]) >= 0x80) {
    size_t markLength = 0;
    const Mark mark = MarkOf(Decode(s, pos, markLength));
    if (mark != Mark::None) {
      if (const char32_t joined = Compose(c, mark)) {
        pos += markLength;
        return joined;
      }
    }
  }
  return c;
}

bool IsRegexSyntax(char32_t c) { return c < 0x80 && std::string_view("^$\\.*+?()[]{}|/-").find(static_cast<char>(c)) != std::string_view::npos; }

// A regular expression with the characters beyond ASCII folded as the text is; a folded
// character that would be syntax is escaped, so it stays the literal the user typed.
std::wstring FoldRegexPattern(std::string_view p, bool foldCase) {
  std::wstring out;
  size_t pos = 0;
  while (pos < p.size()) {
    const auto b = static_cast<unsigned char>(p[pos]);
    if (b == '\\' && pos + 1 < p.size() && static_cast<unsigned char>(p[pos + 1]) < 0x80) {
      out += L'\\';
      out += static_cast<wchar_t>(p[pos + 1]);
      pos += 2;
      continue;
    }
    if (b == '\\') {  // a backslash before a character beyond ASCII: that character, literally
      ++pos;
      if (pos >= p.size()) {
        out += L"\\\\";
        break;
      }
    } else if (b < 0x80) {
      out += static_cast<wchar_t>(b);
      ++pos;
      continue;
    }
    const char32_t c = FoldNext(p, pos, foldCase);
    if (IsRegexSyntax(c)) out += L'\\';
    out += static_cast<wchar_t>(c);
  }
  return out;
}

}  // namespace

void FoldFuzzyInto(std::string_view utf8, bool foldCase, FoldedText& out) {
  out.Text.clear();
  out.Origin.clear();
  out.Text.reserve(utf8.size());
  out.Origin.reserve(utf8.size() + 1);
  size_t pos = 0;
  while (pos < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[pos]);
    out.Origin.push_back(static_cast<uint32_t>(pos));
    if (b < 0x80) {  // the usual NC text: no decoding, no marks to join
      out.Text.push_back(foldCase && b >= 'A' && b <= 'Z' ? b + 0x20 : b);
      ++pos;
      continue;
    }
    out.Text.push_back(FoldNext(utf8, pos, foldCase));
  }
  out.Origin.push_back(static_cast<uint32_t>(utf8.size()));
}

FoldedText FoldFuzzy(std::string_view utf8, bool foldCase) {
  FoldedText folded;
  FoldFuzzyInto(utf8, foldCase, folded);
  return folded;
}

// --- the matcher -----------------------------------------------------------------------------

struct FuzzyMatcher::Regex {
  std::wregex Expression;
  std::wstring Line;  // the folded text as wide characters, reused
};

FuzzyMatcher::FuzzyMatcher(std::string_view pattern, bool regExp, bool caseSensitive)
    : regExp_(regExp), foldCase_(!caseSensitive) {
  if (pattern.empty()) return;
  if (!regExp_) {
    pattern_ = FoldFuzzy(pattern, foldCase_).Text;
    for (size_t i = 0; i < pattern_.size(); ++i) {
      if (pattern_[i] == U'\n' || (pattern_[i] == U'\r' && (i + 1 == pattern_.size() || pattern_[i + 1] != U'\n')))
        ++lineEnds_;
    }
    return;
  }
  auto flags = std::regex_constants::ECMAScript;
  if (foldCase_) flags |= std::regex_constants::icase;
  try {
    regex_ = std::make_unique<Regex>();
    regex_->Expression.assign(FoldRegexPattern(pattern, foldCase_), flags);
  } catch (const std::regex_error&) {
    regex_.reset();
  }
}

FuzzyMatcher::~FuzzyMatcher() = default;

bool FuzzyMatcher::Usable() const { return regExp_ ? regex_ != nullptr : !pattern_.empty(); }

FuzzyMatcher::Match FuzzyMatcher::Find(std::string_view text, size_t from, size_t to, bool forward) const {
  if (!Usable() || from > to || to > text.size()) return {};
  FoldFuzzyInto(text, foldCase_, folded_);
  const std::vector<uint32_t>& origin = folded_.Origin;
  // Folded characters that start at or after `from`, and ends at or before `to`.
  const auto fromIndex = static_cast<size_t>(std::lower_bound(origin.begin(), origin.end(), from) - origin.begin());
  const auto toIndex =
      static_cast<size_t>(std::upper_bound(origin.begin(), origin.end(), to) - origin.begin()) - 1;
  if (fromIndex > toIndex) return {};
  return regExp_ ? FindRegex(fromIndex, toIndex, forward) : FindPlain(fromIndex, toIndex, forward);
}

FuzzyMatcher::Match FuzzyMatcher::ToBytes(size_t start, size_t end) const {
  Match m;
  m.Start = folded_.Origin[start];
  m.End = folded_.Origin[end];
  return m;
}

FuzzyMatcher::Match FuzzyMatcher::FindPlain(size_t fromIndex, size_t toIndex, bool forward) const {
  const size_t n = pattern_.size();
  if (toIndex - fromIndex < n) return {};
  const std::u32string_view text(folded_.Text.data(), toIndex);
  const size_t at = forward ? text.find(pattern_, fromIndex) : text.rfind(pattern_, toIndex - n);
  if (at == std::u32string_view::npos || at < fromIndex) return {};
  return ToBytes(at, at + n);
}

FuzzyMatcher::Match FuzzyMatcher::FindRegex(size_t fromIndex, size_t toIndex, bool forward) const {
  std::wstring& line = regex_->Line;
  line.assign(folded_.Text.begin(), folded_.Text.end());
  auto flags = std::regex_constants::match_default;
  if (fromIndex > 0) flags |= std::regex_constants::match_prev_avail;
  const auto begin = line.cbegin();
  Match best;
  try {
    for (std::wsregex_iterator it(begin + static_cast<std::ptrdiff_t>(fromIndex), line.cend(), regex_->Expression, flags),
         end;
         it != end; ++it) {
      const std::wsmatch& m = *it;
      const auto start = static_cast<size_t>(m[0].first - begin);
      const auto stop = static_cast<size_t>(m[0].second - begin);
      if (start > toIndex) break;
      if (stop > toIndex) continue;
      best = ToBytes(start, stop);
      best.Groups.clear();
      for (size_t g = 0; g < m.size(); ++g) {
        if (!m[g].matched) {
          best.Groups.emplace_back(npos, npos);
          continue;
        }
        best.Groups.emplace_back(folded_.Origin[static_cast<size_t>(m[g].first - begin)],
                                 folded_.Origin[static_cast<size_t>(m[g].second - begin)]);
      }
      if (forward) break;
    }
  } catch (const std::regex_error&) {
    return {};  // too complex for the engine: nothing found
  }
  return best;
}

std::string ExpandRegexReplacement(std::string_view replacement, const std::function<std::string_view(int)>& group) {
  std::string out;
  for (size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '\\' || i + 1 >= replacement.size()) {
      out += c;
      continue;
    }
    const char next = replacement[++i];
    if (next >= '0' && next <= '9') {
      out.append(group(next - '0'));
      continue;
    }
    switch (next) {
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'v': out += '\v'; break;
      case '\\': out += '\\'; break;
      default:
        out += '\\';
        out += next;
    }
  }
  return out;
}

std::string FuzzyMatcher::Expand(std::string_view text, const Match& match, std::string_view replacement) const {
  if (!regExp_) return std::string(replacement);
  return ExpandRegexReplacement(replacement, [&](int g) {
    const auto n = static_cast<size_t>(g);
    if (n >= match.Groups.size() || match.Groups[n].first == npos) return std::string_view();
    return text.substr(match.Groups[n].first, match.Groups[n].second - match.Groups[n].first);
  });
}

}  // namespace kelvan::nc
