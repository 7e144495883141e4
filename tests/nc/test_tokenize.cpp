#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/FormatWordValue.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"

using namespace kelvan::nc;

namespace {

struct Tokenized {
  NcWordTable words;
  TokenizeError error;
  BlockAttributes attrs;
  MachineState state;
};

Tokenized Tok(std::string_view line, const TokenizeOptions& opt = {}) {
  static TEasyCalc calc;
  Tokenized t;
  t.state.ToolRadius = -1;  // tells whether the tokenizer wrote it
  TokenizeBlock(line, opt, calc, t.state, t.words, t.error, t.attrs);
  return t;
}

// "G:1 X:0.01" -> the words as a compact text, for table comparisons.
std::string Words(const Tokenized& t) {
  std::string s;
  char buf[64];
  for (int i = 0; i < t.words.WordCount; ++i) {
    std::snprintf(buf, sizeof buf, "%s%c:%g", i ? " " : "", t.words.Words[i].Letter, t.words.Words[i].Value);
    s += buf;
  }
  return s;
}

std::string Attrs(const Tokenized& t) {
  std::string s;
  for (int a = 0; a < BlockAttrCount; ++a) {
    if (!t.attrs.Has(static_cast<BlockAttr>(a))) continue;
    if (!s.empty()) s += ' ';
    s += BlockAttrName(static_cast<BlockAttr>(a));
  }
  return s;
}

struct Case {
  const char* line;
  const char* words;
  const char* attrs;
  int errorColumn;  // -1: no error
};

void Check(const Case& c, const TokenizeOptions& opt) {
  const Tokenized t = Tok(c.line, opt);
  SCOPED_TRACE(c.line);
  EXPECT_EQ(t.error.Failed, c.errorColumn >= 0);
  if (c.errorColumn >= 0) {
    EXPECT_EQ(t.error.Column, c.errorColumn);
  }
  EXPECT_EQ(Words(t), c.words);
  EXPECT_EQ(Attrs(t), c.attrs);
}

}  // namespace

TEST(Tokenize, BlocksWithValueUnitOfAThousandth) {
  const Case cases[] = {
      {"", "", "EmptyLine", -1},
      {"; text", "", "CommentLine", -1},
      {"(ABC)", "", "CommentLine", -1},
      {"G01 X10.(MOVE)", "G:1 X:10", "HasX", -1},
      {"G01 X10.(MOVE) Y@@", "G:1 X:10", "HasX", -1},  // no closing-parenthesis handling
      {"X100 X100. K100 F100", "X:0.1 X:100 K:100 F:100", "HasK HasX", -1},
      {"I500 J-500 K500 R250", "I:0.5 J:-0.5 K:500 R:0.25", "HasI HasJ HasK HasR", -1},
      {"Q1 U2 V3 W4 A5 B6 C7", "Q:0.001 U:0.002 V:0.003 W:0.004 A:5 B:6 C:7", "HasA HasB HasC", -1},
      {"X[2*3]", "X:6", "HasX", -1},                        // bracketed values are never scaled
      {"X-[2*3] Y[ 1 + 1 ]Z1.", "X:-6 Y:2 Z:1", "HasX HasY HasZ", -1},
      {"X[1+2Y3", "X:3 Y:0.003", "HasX HasY", -1},          // another character ends the bracket
      {"X1 0", "X:0.01", "HasX", -1},                       // spaces inside a value are skipped
      {"G81 Z-5. R2. F100", "G:81 Z:-5 R:2 F:100", "HasR HasZ CycleCode", -1},
      {"G80 G28 G43 G92", "G:80 G:28 G:43 G:92", "G43Given RefReturn G92Given CycleCancel", -1},
      {"G73 G76 G89 G29.9 G30", "G:73 G:76 G:89 G:29.9 G:30", "RefReturn CycleCode", -1},
      {"G77 G90", "G:77 G:90", "", -1},
      {"M02", "M:2", "ProgramEndM02", -1},
      {"M2", "M:2", "ProgramEndM02", -1},
      {"M30", "M:30", "", -1},
      {"M2.5", "M:2.5", "", -1},
      {"O1000 P12 L3", "O:1000 P:12 L:3", "HasL HasO HasP", -1},
      {"%", "", "PercentLine", -1},
      {"O1000%", "", "PercentLine", -1},
      {"#1=10", "", "AssignmentLine", -1},
      {"/G01 X10.", "G:1 X:10", "HasX BlockSkip", -1},
      {"/", "", "EmptyLine BlockSkip", -1},
      {"   ", "", "", -1},
      // faults
      {"G01 X10..5", "", "", 7},
      {"X--1", "", "", 1},
      {"X1++2", "", "", 2},
      {"X1+-2 Y1-+2", "", "", 2},      // "+-" before "-+" whatever their places
      {"Y1-+2 X..", "", "", 7},        // ".." is tested first
      {"X+1", "", "", 0},
      {"X#1", "", "", 0},
      {"x10", "", "", 0},
      {"G01\tX1", "G:1", "", 3},       // a tab is no white space
      {"G01 X", "G:1", "", 4},
      {"G01 X-", "G:1", "", 5},
      {"X Y1", "", "", 1},             // the last character examined, the skipped space
      {"X[", "", "", 1},
      {"X[]", "", "", 1},
      {"X[-]", "", "", 2},
      {"X[1/0]", "", "", 4},
      {"X-[", "", "", 2},
      {"-[", "", "", 0},
      {"/X+1", "", "BlockSkip", 1},    // columns count the deleted "/"
      {"X1-2", "", "", 0},             // passes the filter but is no number: the word's letter
      {"G1 X1.2.3", "G:1", "", 3},
      {"X1-", "", "", 0},
  };
  TokenizeOptions opt;
  opt.ValueUnit = 0.001;
  for (const Case& c : cases) Check(c, opt);
}

TEST(Tokenize, OptionsChangeTheReading) {
  TokenizeOptions skip;
  skip.BlockSkipOn = true;
  Check({"/G01 X10.", "", "BlockSkip", -1}, skip);
  Check({"/X+1", "", "BlockSkip", -1}, skip);

  TokenizeOptions tags;
  tags.ErrorTags = {"", "#5", "ZZ"};
  Check({"G65 P9000 #5=1 x", "", "CommentLine", -1}, tags);  // a comment though it is a fault
  Check({"X1 (ZZ)", "X:0.001", "HasX", -1}, tags);            // only the text before "("
  Check({"ZZ1", "", "CommentLine", -1}, tags);

  TokenizeOptions unit;
  unit.ValueUnit = 0.01;
  Check({"X100 I5", "X:1 I:0.05", "HasI HasX", -1}, unit);
}

TEST(Tokenize, ToolCommentSetsTheRadius) {
  const struct {
    const char* line;
    bool toolComment;
    double radius;  // -1: untouched
    const char* words;
  } cases[] = {
      {"T1 M6 (T1-12.0 DRILL)", true, 6.0, "T:1 M:6"},
      {"(T2-6.0)", true, 3.0, ""},
      {"(T3-1.2.3)", true, 0.0, ""},   // a diameter that does not convert is 0
      {"(T3-)", true, 0.0, ""},
      {"(T3 ENDMILL)", false, -1, ""},
      {"(t1-10.)", false, -1, ""},
      {"; (T1-10.)", false, -1, ""},     // a comment line ends before the tool comment
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const Tokenized t = Tok(c.line);
    EXPECT_EQ(t.attrs.Has(BlockAttr::ToolComment), c.toolComment);
    EXPECT_DOUBLE_EQ(t.state.ToolRadius, c.radius);
    EXPECT_EQ(Words(t), c.words);
  }
}

TEST(Tokenize, TwentyWordsFitTheTwentyFirstFails) {
  std::string line;
  for (int i = 0; i < 20; ++i) line += "X1";
  Tokenized t = Tok(line);
  EXPECT_FALSE(t.error.Failed);
  EXPECT_EQ(t.words.WordCount, 20);
  line += " Y2";
  t = Tok(line);
  ASSERT_TRUE(t.error.Failed);
  EXPECT_EQ(t.error.Column, 41);
  EXPECT_EQ(t.words.WordCount, 20);
}

TEST(Tokenize, HostileLinesEndCleanly) {
  const std::vector<std::string> lines = {
      std::string(100000, 'X'),
      "X" + std::string(100000, '9'),
      "X" + std::string(100000, '1') + ".",
      "X[" + std::string(1000, '(') + "1]",
      "X[" + std::string(300, '1') + "]",
      std::string("G01\0X1", 6),
      std::string(300, '['),
      "X[1" + std::string(100000, ' ') + "]",
      "X1" + std::string(100000, ' '),
  };
  std::string words300;
  for (int i = 0; i < 300; ++i) words300 += "X1.";
  for (const std::string& line : lines) {
    const Tokenized t = Tok(line);
    EXPECT_LE(t.words.WordCount, MaxWordsPerBlock);
    if (t.error.Failed) {
      EXPECT_GE(t.error.Column, 0);
      EXPECT_LT(t.error.Column, static_cast<int>(line.size()));
    }
  }
  const Tokenized t = Tok(words300);
  EXPECT_TRUE(t.error.Failed);
  EXPECT_EQ(t.error.Column, 60);
  EXPECT_TRUE(Tok("X" + std::string(400, '9')).error.Failed);  // out of range is no number
}

TEST(FormatWordValue, WithAndWithoutDecimalPoint) {
  const struct {
    bool point;
    double value;
    int decimals;
    const char* expected;
  } cases[] = {
      {true, 10, 3, "X10.0"},        {true, 1.5, 3, "X1.5"},
      {true, -0.25, 3, "X-0.25"},    {true, 0, 3, "X0.0"},
      {true, 1.23456, 4, "X1.2346"}, {true, 100, 2, "X100.0"},
      {false, 1.2345, 3, "X1235"},   {false, -1.2345, 3, "X-1235"},
      {false, 0.0005, 3, "X1"},      {false, -0.0004, 3, "X0"},
      {false, 12.5, 2, "X1250"},     {false, 1e12, 3, "X2147483647"},
      // A value that rounds to zero has no sign, however it was negative.
      {true, -0.0, 3, "X0.0"},       {true, -0.0004, 3, "X0.0"},
      {true, -0.00004, 4, "X0.0"},   {true, -0.0005, 3, "X-0.001"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatWordValue("X", c.point, c.value, c.decimals), c.expected) << c.value;
  }
}

TEST(FormatWordValue, EachLetterInItsWriteBackFormat) {
  const struct {
    char letter;
    double value;
    const char* expected;
  } cases[] = {
      {'G', 1, "G01"},      {'G', 0, "G00"},        {'G', 1.9, "G01"},  {'N', 10, "N0010"},
      {'N', 12345, "N12345"}, {'O', 1, "O0001"},    {'P', 9000, "P9000"}, {'M', 3, "M03"},
      {'T', 5, "T05"},      {'D', 1, "D01"},        {'H', 12, "H12"},   {'F', 1200.7, "F1200"},
      {'S', 8000, "S8000"}, {'L', 3, "L3"},         {'E', 2, "E2"},     {'A', 0, "A0"},
      {'B', -90, "B-90"},   {'X', 12.5, "X12.5"},   {'K', 3, "K3.0"},   {'R', -0.5, "R-0.5"},
      {'G', -1, "G-01"},    {'F', 1e300, "F2147483647"},
  };
  for (const auto& c : cases) {
    std::string out;
    AppendWord(out, NcWord{c.letter, c.value}, 3);
    EXPECT_EQ(out, c.expected) << c.letter << c.value;
  }
}
