#include "nc/Cp932.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace kelvan::nc {
namespace {

// UTF-8 of the escape that stands for the raw byte b (U+F700 + b).
std::string Esc(unsigned b) {
  const unsigned cp = 0xF700 + b;
  return {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
          static_cast<char>(0x80 | (cp & 0x3F))};
}

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string s;
  for (unsigned v : values) s.push_back(static_cast<char>(v));
  return s;
}

void ExpectCp932RoundTrip(const std::string& bytes) {
  const std::string utf8 = DecodeToUtf8(bytes, TextEncoding::Cp932);
  EXPECT_TRUE(IsValidUtf8(utf8));
  bool lossy = true;
  EXPECT_EQ(EncodeFromUtf8(utf8, TextEncoding::Cp932, &lossy), bytes);
  EXPECT_FALSE(lossy);
}

TEST(Cp932Decode, KnownCharactersAndEscapes) {
  ASSERT_TRUE(Cp932Available());
  struct Case {
    const char* name;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"ascii block", "N10G01X1.5", "N10G01X1.5"},
      {"kanji comment", "(\x8D\xED\x82\xE8)", "(削り)"},
      {"hiragana", "\x82\xA0", "あ"},
      {"half-width katakana", "\xB6\xDD", "ｶﾝ"},
      {"trail byte 0x5C is no backslash", "\x83\x5C", "ソ"},
      {"NEC special", "\x87\x40", "①"},
      {"IBM extension", "\xFA\x40", "ⅰ"},
      {"user-defined area", "\xF0\x40", "\xEE\x80\x80"},
      {"fullwidth tilde", "\x81\x60", "～"},
      {"lone lead at end", "G\x81", "G" + Esc(0x81)},
      {"lone lead before LF", "\x81\n", Esc(0x81) + "\n"},
      {"invalid trail", "\x81 X", Esc(0x81) + " X"},
      {"NEC-selected IBM duplicate", "\xED\x40", Esc(0xED) + "@"},
      {"NEC duplicate of a symbol", "\x87\x90", Esc(0x87) + Esc(0x90)},
      // The trail of an unassigned pair must not start the next character (0x9F40 is one).
      {"unassigned pair", "\x85\x9F\x40", Esc(0x85) + Esc(0x9F) + "@"},
      {"never-valid bytes", Bytes({0x80, 0xA0, 0xFD, 0xFE, 0xFF}),
       Esc(0x80) + Esc(0xA0) + Esc(0xFD) + Esc(0xFE) + Esc(0xFF)},
      {"NUL bytes", std::string("G\0\x82\xA0\0", 5), std::string("G\0あ\0", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeToUtf8(c.bytes, TextEncoding::Cp932), c.utf8);
    ExpectCp932RoundTrip(c.bytes);
  }
}

TEST(Cp932Encode, FromEditorText) {
  ASSERT_TRUE(Cp932Available());
  struct Case {
    const char* name;
    std::string utf8;
    TextEncoding enc;
    std::string bytes;
    bool lossy;
  } cases[] = {
      {"kanji", "(削り)", TextEncoding::Cp932, "(\x8D\xED\x82\xE8)", false},
      {"half-width katakana", "ｶ", TextEncoding::Cp932, "\xB6", false},
      {"wave dash typed on Linux", "〜", TextEncoding::Cp932, "\x81\x60", false},
      {"escape back to its byte", "A" + Esc(0x81) + Esc(0xFF), TextEncoding::Cp932,
       "A\x81\xFF", false},
      {"emoji", "G\xF0\x9F\x98\x80;", TextEncoding::Cp932, "G?;", true},
      {"yen sign is not a backslash", "\xC2\xA5", TextEncoding::Cp932, "?", true},
      {"private use outside the escapes", "\xEF\x9D\x80", TextEncoding::Cp932, "?", true},
      {"malformed UTF-8", "\xFF", TextEncoding::Cp932, "?", true},
      {"cut sequence", "\xE5\x89", TextEncoding::Cp932, "??", true},
      {"utf8 keeps everything", "\xF0\x9F\x98\x80", TextEncoding::Utf8, "\xF0\x9F\x98\x80", false},
      {"empty", "", TextEncoding::Cp932, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool lossy = !c.lossy;
    EXPECT_EQ(EncodeFromUtf8(c.utf8, c.enc, &lossy), c.bytes);
    EXPECT_EQ(lossy, c.lossy);
  }
}

TEST(Cp932RoundTrip, EverySingleByteAndEveryPair) {
  for (unsigned a = 0; a < 256; ++a) {
    SCOPED_TRACE(a);
    ExpectCp932RoundTrip(Bytes({a}));
    for (unsigned b = 0; b < 256; ++b) {
      const std::string pair = Bytes({a, b});
      const std::string utf8 = DecodeToUtf8(pair, TextEncoding::Cp932);
      ASSERT_EQ(EncodeFromUtf8(utf8, TextEncoding::Cp932), pair) << "second byte " << b;
    }
  }
}

TEST(Cp932RoundTrip, BinaryAndRandomBytes) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string reversed(all.rbegin(), all.rend());
  std::vector<std::string> inputs = {all, reversed, all + all};
  std::mt19937 rng(932);
  for (size_t size : {1u, 7u, 8u, 9u, 4096u, 1u << 20}) {
    std::string s(size, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    inputs.push_back(s);
  }
  // Mostly Shift-JIS lead and trail bytes, so that pairs of every kind occur often.
  std::string dense(1 << 16, '\0');
  for (char& c : dense) c = static_cast<char>(0x40 + rng() % 0xC0);
  inputs.push_back(dense);
  for (const std::string& s : inputs) {
    SCOPED_TRACE(s.size());
    ExpectCp932RoundTrip(s);
  }
}

TEST(Cp932Utf8Text, DetectedUtf8IsKeptAsIs) {
  const std::string file = "\xEF\xBB\xBF(工具 φ10)\r\nG01X1\xE2\x80\x94\n";
  ASSERT_EQ(DetectEncoding(file), TextEncoding::Utf8);
  EXPECT_EQ(DecodeToUtf8(file, TextEncoding::Utf8), file);
  bool lossy = true;
  EXPECT_EQ(EncodeFromUtf8(file, TextEncoding::Utf8, &lossy), file);
  EXPECT_FALSE(lossy);
}

TEST(Cp932Utf8Validation, StrictForms) {
  struct Case {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"G01", true},
      {"\xC3\xA9", true},
      {"\xEF\xBF\xBF", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},
      {"\xC0\xAF", false},          // overlong slash
      {"\xC1\xBF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xF0\x80\x80\xAF", false},  // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xF5\x80\x80\x80", false},
      {"\xE5\x89", false},          // cut at the end
      {"\xE5\x89G", false},         // cut by ASCII
      {"\x80", false},              // stray continuation
      {"(\x8D\xED\x82\xE8)", false},  // Shift-JIS
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
  }
}

TEST(Cp932Utf8Validation, DetectEncoding) {
  struct Case {
    std::string bytes;
    TextEncoding enc;
  } cases[] = {
      {"", TextEncoding::Cp932},
      {"%\nO0001\nG00X0\n%\n", TextEncoding::Cp932},
      {"(削り)\n", TextEncoding::Utf8},
      {"(\x8D\xED\x82\xE8)\n", TextEncoding::Cp932},
      {"\xB6\xDD", TextEncoding::Cp932},
      {"(削り)\n\x81", TextEncoding::Cp932},  // one stray byte makes it not UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectEncoding(c.bytes), c.enc) << testing::PrintToString(c.bytes);
  }
}

TEST(Cp932Utf8Validation, IsAsciiAtEveryOffset) {
  // The scan takes eight bytes at a time: a high byte must be seen in every lane and tail.
  for (size_t len = 0; len <= 20; ++len) {
    const std::string plain(len, 'G');
    EXPECT_TRUE(IsAscii(plain));
    for (size_t pos = 0; pos < len; ++pos) {
      std::string s = plain;
      s[pos] = '\x80';
      EXPECT_FALSE(IsAscii(s)) << "length " << len << " position " << pos;
    }
  }
}

}  // namespace
}  // namespace kelvan::nc
