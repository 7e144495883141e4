#include "nc/FuzzyText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kelvan::nc {
namespace {

std::string Where(const FuzzyMatcher::Match& m) {
  return m.Found() ? std::to_string(m.Start) + "-" + std::to_string(m.End) : "none";
}

TEST(FoldFuzzy, TheDifferencesItIgnores) {
  struct Case {
    const char* name;
    std::string a;
    std::string b;
    bool foldCase;
    bool equal;
  } cases[] = {
      {"full-width letters and digits", "Ｇ０１Ｘ－１．５", "G01X-1.5", false, true},
      {"full-width lower case, case folded", "ｇ０１", "G01", true, true},
      {"full-width lower case, case kept", "ｇ０１", "G01", false, false},
      {"full-width symbols", "＃１＝［＃２＋３］", "#1=[#2+3]", false, true},
      {"ideographic space", "Ａ　Ｂ", "A B", false, true},
      {"full-width yen sign", "￥", "¥", false, true},
      {"hiragana and katakana", "つーる", "ツール", false, true},
      {"half-width katakana", "ﾂｰﾙ", "ツール", false, true},
      {"half-width dakuten joins", "ｶﾞｲﾄﾞ", "ガイド", false, true},
      {"half-width dakuten and hiragana", "ｶﾞｲﾄﾞ", "がいど", false, true},
      {"half-width handakuten joins", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ", false, true},
      {"combining dakuten joins", "か\u3099", "ガ", false, true},
      {"combining handakuten joins", "ハ\u309A", "ぱ", false, true},
      {"ウ with dakuten", "ｳﾞ", "ゔ", false, true},
      {"ツ takes dakuten, small ッ does not turn into it", "ﾂﾞ", "ヅ", false, true},
      {"half-width punctuation", "｢ｱ｣､｡･", "「あ」、。・", false, true},
      {"a mark on a kana that takes none stays a mark", "ｱﾞ", "ア゛", false, true},
      {"kana with and without dakuten differ", "カ", "ガ", false, false},
      {"small and large kana differ", "ァ", "ア", false, false},
      {"ASCII case", "AbC", "aBc", true, true},
      {"ASCII case kept", "AbC", "aBc", false, false},
      {"Latin-1, Greek and Cyrillic case", "ÄΩЖЁ", "äωжё", true, true},
      {"the multiplication sign is no letter", "×", "÷", true, false},
  };
  for (const Case& c : cases) {
    const FoldedText a = FoldFuzzy(c.a, c.foldCase);
    const FoldedText b = FoldFuzzy(c.b, c.foldCase);
    EXPECT_EQ(a.Text == b.Text, c.equal) << c.name;
  }
}

TEST(FoldFuzzy, EachFoldedCharacterKnowsItsSourceBytes) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<uint32_t> origin;
  } cases[] = {
      {"ASCII", "G01", {0, 1, 2, 3}},
      {"full width, three bytes each", "Ｇ０", {0, 3, 6}},
      {"a kana and its half-width mark are one character", "Xｶﾞ1", {0, 1, 7, 8}},
      {"a combining mark joins the kana before it", "か\u3099Z", {0, 6, 7}},
      {"bytes that are no UTF-8 are characters of their own", "A\xFF\xE3\x81", {0, 1, 2, 3, 4}},
      {"empty", "", {0}},
  };
  for (const Case& c : cases) {
    const FoldedText f = FoldFuzzy(c.text, true);
    EXPECT_EQ(f.Origin, c.origin) << c.name;
    EXPECT_EQ(f.Text.size() + 1, f.Origin.size()) << c.name;
  }
}

TEST(FoldFuzzy, AnyBytesFoldWithoutLosingTheirPlace) {
  std::mt19937 random(7);
  const char pieces[][4] = {"A", "g", "\xEF\xBD\xB6", "\xEF\xBE\x9E", "\xE3\x82\x99", "\xFF", "\xE3", "\x81", "\n"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int n = static_cast<int>(random() % 12);
    for (int i = 0; i < n; ++i) text += pieces[random() % std::size(pieces)];
    const FoldedText f = FoldFuzzy(text, true);
    ASSERT_EQ(f.Origin.front(), 0u);
    ASSERT_EQ(f.Origin.back(), text.size());
    ASSERT_TRUE(std::is_sorted(f.Origin.begin(), f.Origin.end()));
    ASSERT_EQ(std::adjacent_find(f.Origin.begin(), f.Origin.end()), f.Origin.end()) << "a character of no bytes";
  }
}

TEST(FuzzyMatcher, FindsFoldedTextAndAnswersOriginalBytes) {
  struct Case {
    const char* name;
    std::string text;
    std::string pattern;
    bool regExp;
    bool caseSensitive;
    size_t from;
    size_t to;  // npos: the end of the text
    bool forward;
    std::string found;
  } cases[] = {
      {"full width finds ASCII", "N10 G01 X1.", "ｇ０１", false, false, 0, std::string::npos, true, "4-7"},
      {"case-sensitive still folds width", "N10 G01", "Ｇ０１", false, true, 0, std::string::npos, true, "4-7"},
      {"case-sensitive keeps case", "N10 G01", "ｇ０１", false, true, 0, std::string::npos, true, "none"},
      {"kana forms, first", "ツール ﾂｰﾙ つーる", "つーる", false, false, 0, std::string::npos, true, "0-9"},
      {"kana forms, from a later place", "ツール ﾂｰﾙ つーる", "つーる", false, false, 1, std::string::npos, true,
       "10-19"},
      {"kana forms, backward takes the last", "ツール ﾂｰﾙ つーる", "ツール", false, false, 0, std::string::npos,
       false, "20-29"},
      {"backward stays before `to`", "ツール ﾂｰﾙ つーる", "ツール", false, false, 0, 28, false, "10-19"},
      {"the match covers the half-width mark", "(ｶﾞｲﾄﾞ)", "がいど", false, false, 0, std::string::npos, true,
       "1-16"},
      {"a kana does not match its voiced form", "ｶﾞ", "カ", false, false, 0, std::string::npos, true, "none"},
      {"a match must end by `to`", "G01 G01", "G01", false, false, 1, 6, true, "none"},
      {"a match must start at `from`", "G01", "G01", false, false, 1, std::string::npos, true, "none"},
      {"a search text over two lines", "A\nＢ", "a\nb", false, false, 0, std::string::npos, true, "0-5"},
      {"regexp over folded text", "X1 G01", "ｇ[0-9]+", true, false, 0, std::string::npos, true, "3-6"},
      {"regexp letters match either case", "g01", "G0[0-9]", true, false, 0, std::string::npos, true, "0-3"},
      {"regexp case-sensitive", "g01", "G0[0-9]", true, true, 0, std::string::npos, true, "none"},
      {"regexp ^ sees the text before `from`", "AG01", "^g", true, false, 1, std::string::npos, true, "none"},
      {"regexp ^ at the start", "G01", "^ｇ", true, false, 0, std::string::npos, true, "0-1"},
      {"a full-width parenthesis stays literal", "A (C) B", "（ｃ）", true, false, 0, std::string::npos, true,
       "2-5"},
      {"an escaped ASCII character keeps its meaning", "A.B AxB", "a\\.b", true, false, 0, std::string::npos, true,
       "0-3"},
      {"regexp backward takes the last", "G1 G2 G3", "g[0-9]", true, false, 0, std::string::npos, false, "6-8"},
      {"regexp empty match at the end", "G01", "$", true, false, 0, std::string::npos, true, "3-3"},
  };
  for (const Case& c : cases) {
    const FuzzyMatcher matcher(c.pattern, c.regExp, c.caseSensitive);
    ASSERT_TRUE(matcher.Usable()) << c.name;
    const size_t to = c.to == std::string::npos ? c.text.size() : c.to;
    EXPECT_EQ(Where(matcher.Find(c.text, c.from, to, c.forward)), c.found) << c.name;
  }
}

TEST(FuzzyMatcher, UnusablePatterns) {
  EXPECT_FALSE(FuzzyMatcher("", false, false).Usable());
  EXPECT_FALSE(FuzzyMatcher("", true, false).Usable());
  EXPECT_FALSE(FuzzyMatcher("(G01", true, false).Usable());
  EXPECT_EQ(Where(FuzzyMatcher("(G01", true, false).Find("(G01", 0, 4, true)), "none");
  EXPECT_EQ(FuzzyMatcher("a\nb\r\nc\rd", false, false).LineEnds(), 3);
  EXPECT_EQ(FuzzyMatcher("ab", false, false).LineEnds(), 0);
  EXPECT_EQ(FuzzyMatcher("a\nb", true, false).LineEnds(), 0);
}

TEST(FuzzyMatcher, ReplacementTakesTheOriginalTextOfGroups) {
  struct Case {
    const char* name;
    std::string text;
    std::string pattern;
    bool regExp;
    std::string replacement;
    std::string expanded;
  } cases[] = {
      {"groups are the original bytes, not folded ones", "Ｇ０１", "(g)(\\d+)", true, "\\2-\\1", "０１-Ｇ"},
      {"whole match, backslash and control characters", "G01", "g01", true, "[\\0]\\\\\\t", "[G01]\\\t"},
      {"an unknown escape keeps its backslash", "G01", "g01", true, "\\q", "\\q"},
      {"a group that took no part is empty", "G01", "(x)?g01", true, "<\\1>", "<>"},
      {"a plain replacement is taken as it is", "G01", "ｇ０１", false, "\\1\\n", "\\1\\n"},
  };
  for (const Case& c : cases) {
    const FuzzyMatcher matcher(c.pattern, c.regExp, false);
    const FuzzyMatcher::Match m = matcher.Find(c.text, 0, c.text.size(), true);
    ASSERT_TRUE(m.Found()) << c.name;
    EXPECT_EQ(matcher.Expand(c.text, m, c.replacement), c.expanded) << c.name;
  }
}

}  // namespace
}  // namespace kelvan::nc
