#include "nc/TEasyCalc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <string_view>

using kelvan::nc::TEasyCalc;
using namespace std::string_view_literals;

namespace {

constexpr double kPi = 3.141592653589793;

struct Case {
  std::string_view text;
  bool ok;
  double value;  // checked only when ok
};

void ExpectCases(const Case* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Case& c = cases[i];
    TEasyCalc calc;  // fresh: no variable carries over between rows
    double value = -12345.0;
    const bool ok = calc.Evaluate(c.text, value);
    const std::string shown(c.text);
    EXPECT_EQ(ok, c.ok) << "\"" << shown << "\"";
    if (ok && c.ok) {
      const double tolerance = 1e-12 * std::max(1.0, std::fabs(c.value));
      EXPECT_NEAR(value, c.value, tolerance) << "\"" << shown << "\"";
    }
  }
}

template <std::size_t N>
void ExpectCases(const Case (&cases)[N]) {
  ExpectCases(cases, N);
}

}  // namespace

TEST(EasyCalcTest, PrecedenceAndAssociativity) {
  const Case cases[] = {
      {"10.5*2", true, 21},      {"1+2*3", true, 7},          {"(1+2)*3", true, 9},
      {"8/2/2", true, 2},        {"10-4-3", true, 3},         {"2^3^2", true, 512},
      {"2*3^2", true, 18},       {"7%3*2", true, 2},          {"1+7%4", true, 4},
      {"-5+2", true, -3},        {"2*-3", true, -6},          {"+4", true, 4},
      {"2^-1", true, 0.5},       {"((2))", true, 2},          {" 1 +\t2 ", true, 3},
      {"1\t+2", true, 3},        {"2*(3+4)-5", true, 9},      {"--5", true, 5},
      {"2*--3", true, 6},        {"+-5", true, -5},           {"2- -3", true, 5},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, Numbers) {
  const Case cases[] = {
      {".5", true, 0.5},   {"1E3", true, 1000},  {"1e3", true, 1000}, {"1.5E2", true, 150},
      {"5.", true, 5},     {"007", true, 7},     {".", true, 0},      {"1.2.3", true, 0},
      {"1E", true, 0},     {"2A", true, 0},      {"1E999", true, 0},  {"1.2.3+4", true, 4},
      // The sign ends the number, so it cannot carry a signed exponent.
      {"1E-3", true, -3},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, SignedPowersAndRemainders) {
  const Case cases[] = {
      {"(-2)^2", true, -4},     {"-2^2", true, -4},       {"(-8)^(1/3)", true, -2},
      {"0^0", true, 1},         {"0^2", true, 0},         {"0^-1", true, 0},
      {"4^0.5", true, 2},       {"-7%3", true, -1},       {"7%-3", true, 1},
      {"7.9%3.9", true, 1},     {"-7.9%-3.2", true, -1},  {"0%5", true, 0},
      {"6%3", true, 0},         {"1E300%7", true, std::fmod(1e300, 7.0)},
      {"5%0", false, 0},        {"5%0.5", false, 0},      {"5%-0.9", false, 0},
      {"EXP(1000)%2", false, 0}, {"2%EXP(1000)", false, 0},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, ErrorsAndMissingOperands) {
  const Case cases[] = {
      {"1/0", false, 0},       {"1/(2-2)", false, 0},   {"1/-0", false, 0},
      {"2*", false, 0},        {"2* ", false, 0},       {"-", false, 0},
      {"+", false, 0},         {"(", false, 0},         {"(1+2", false, 0},
      {"((1)", false, 0},      {"A=", false, 0},        {"2^", false, 0},
      {"5-", false, 0},        {"(1+2)*(3", false, 0},
      // Where an operand is missing but the text goes on, it counts as 0.
      {"2*)", true, 0},        {"()", true, 0},         {"*5", true, 0},
      {"2+*3", true, 2},       {"2*\\", true, 0},       {"2*;", true, 0},
      {"2/)", false, 0},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, StopsAtFirstCharacterThatCannotContinue) {
  const Case cases[] = {
      {"", true, 0},            {"   ", true, 0},        {"3 \\ 4", true, 3},
      {"\\5", true, 0},         {";5", true, 0},         {"1;2", true, 1},
      {"2(3)", true, 2},        {"2 3", true, 2},        {"1+2)*10", true, 3},
      {"#1", true, 0},          {"1 # 1/0", true, 1},    {"2=3", true, 2},
      // With a space the "(" no longer belongs to the name: SQRT is a variable.
      {"SQRT (4)", true, 0},    {"PI (2)", true, kPi},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, FunctionsAndConstants) {
  const Case cases[] = {
      {"PI*2", true, 6.283185307179586}, {"E", true, 2.718281828459045},  {"pi", true, kPi},
      {"SQRT(16)", true, 4},             {"sqrt(9)", true, 3},            {"SQRT(0)", true, 0},
      {"SQRT(-1)", false, 0},            {"SQR(-3)", true, 9},            {"ABS(-2.5)", true, 2.5},
      {"SIN(PI/2)", true, 1},            {"COS(0)", true, 1},             {"TAN(0)", true, 0},
      {"COTAN(PI/4)", true, 1},          {"COTAN(0)", false, 0},          {"ARCTAN(1)", true, kPi / 4},
      {"ARCSIN(0.5)", true, kPi / 6},    {"ARCSIN(-0.5)", true, -kPi / 6}, {"ARCSIN(1)", false, 0},
      {"ARCSIN(-1)", false, 0},          {"ARCCOS(0.5)", true, kPi / 3},  {"ARCCOS(0)", false, 0},
      {"ARCCOS(1)", false, 0},           {"ARCCOS(-1.5)", false, 0},
      // ARCCOS of a negative number is the true angle above 90 degrees.
      {"ARCCOS(-0.5)", true, 2 * kPi / 3}, {"ARCCOS(-1)", true, kPi},
      {"EXP(0)", true, 1},               {"LN(E)", true, 1},              {"LN(0)", false, 0},
      {"LN(-1)", false, 0},              {"LOG10(1000)", true, 3},        {"LOG10(0)", false, 0},
      {"LOG2(8)", true, 3},              {"LOG2(-2)", false, 0},          {"TRUNC(-2.7)", true, -2},
      {"ROUND(2.5)", true, 2},           {"ROUND(3.5)", true, 4},         {"ROUND(-2.5)", true, -2},
      {"ROUND(-3.5)", true, -4},         {"ROUND(2.6)", true, 3},         {"ROUND(-2.4)", true, -2},
      {"ROUND(0.49999999999999994)", true, 0},
      {"SQRT(SQRT(16))", true, 2},       {"SQRT(3*3+4*4)+1", true, 6},    {"SQRT(X=16)+X", true, 20},
      {"SQRT()", true, 0},               {"SQRT(16", false, 0},           {"SQRT(", false, 0},
      {"FOO(1)", false, 0},              {"SQRTX(4)", false, 0},          {"PI(2)", false, 0},
      {"E(1)", false, 0},                {"SQRT(1/0)", false, 0},
  };
  ExpectCases(cases);
}

TEST(EasyCalcTest, VariablesPersistAndIgnoreCase) {
  struct Step {
    std::string_view text;
    bool ok;
    double value;
  };
  const Step steps[] = {
      {"A=5", true, 5},       {"A*2", true, 10},       {"B", true, 0},
      {"a", true, 5},         {"b = a + 1", true, 6},  {"B", true, 6},
      {"Long_1=A^2", true, 25}, {"LONG_1-1", true, 24},
      // The right side is an expression, not another assignment.
      {"C=D=3", true, 0},     {"D", true, 0},
      // A failed assignment stores nothing.
      {"A=1/0", false, 0},    {"A", true, 5},
      {"A = A + 1", true, 6}, {"(A)", true, 6},
  };
  TEasyCalc calc;
  for (const Step& s : steps) {
    double value = 0;
    EXPECT_EQ(calc.Evaluate(s.text, value), s.ok) << s.text;
    if (s.ok) {
      EXPECT_DOUBLE_EQ(value, s.value) << s.text;
    }
  }
  double stored = 0;
  EXPECT_TRUE(calc.GetVariable("long_1", stored));
  EXPECT_DOUBLE_EQ(stored, 25);
  EXPECT_FALSE(calc.GetVariable("NEVER", stored));

  TEasyCalc other;  // each calculator has its own table
  EXPECT_FALSE(other.GetVariable("A", stored));
}

TEST(EasyCalcTest, RandomStaysInRangeAndFollowsTheSeed) {
  TEasyCalc calc;
  calc.SeedRandom(42);
  std::set<double> seen;
  for (int i = 0; i < 500; ++i) {
    double v = -1;
    ASSERT_TRUE(calc.Evaluate("RANDOM(10.9)", v));
    ASSERT_EQ(v, std::trunc(v));
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 9);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 10u);

  const Case fixed[] = {
      {"RANDOM(1)", true, 0}, {"RANDOM(0.9)", true, 0}, {"RANDOM(0)", true, 0},
      {"RANDOM(-5)", true, 0}, {"RANDOM(EXP(1000)-EXP(1000))", true, 0},
  };
  ExpectCases(fixed);

  TEasyCalc first;
  TEasyCalc second;
  first.SeedRandom(7);
  second.SeedRandom(7);
  for (int i = 0; i < 20; ++i) {
    double a = 0, b = 0;
    ASSERT_TRUE(first.Evaluate("RANDOM(1000000)", a));
    ASSERT_TRUE(second.Evaluate("RANDOM(1000000)", b));
    ASSERT_EQ(a, b);
  }
  double huge = -1;
  EXPECT_TRUE(calc.Evaluate("RANDOM(EXP(1000))", huge));
  EXPECT_GE(huge, 0);
}

TEST(EasyCalcTest, LengthLimit) {
  std::string text = "1";
  while (text.size() < TEasyCalc::kMaxLength) text += "+1";
  ASSERT_EQ(text.size(), 255u);
  TEasyCalc calc;
  double value = 0;
  EXPECT_TRUE(calc.Evaluate(text, value));
  EXPECT_DOUBLE_EQ(value, 128);
  EXPECT_FALSE(calc.Evaluate(text + " ", value));
}

TEST(EasyCalcTest, PathologicalInputDoesNotCrash) {
  std::string balanced = std::string(127, '(') + "1" + std::string(127, ')');
  std::string powers = "1";
  while (powers.size() + 2 <= TEasyCalc::kMaxLength) powers += "^1";
  std::string signs;
  for (int i = 0; i < 127; ++i) signs += "-(";
  const std::string texts[] = {
      std::string(1000, '('), std::string(255, '('), std::string(300, '-'),
      std::string(255, '-'),  std::string(254, '-') + "1", balanced, powers,
      signs + "1",            std::string(255, 'A'), std::string(255, '.'),
  };
  const Case expected[] = {
      {texts[0], false, 0}, {texts[1], false, 0}, {texts[2], false, 0},
      {texts[3], false, 0}, {texts[4], true, 1},  {texts[5], true, 1},
      {texts[6], true, 1},  {texts[7], false, 0}, {texts[8], true, 0},
      {texts[9], true, 0},
  };
  ExpectCases(expected);

  const Case nul[] = {
      {"\0"sv, true, 0},         {"1+\0"sv, true, 1},    {"1\0+5"sv, true, 5},
      {"\0 1/0"sv, true, 0},     {"A\0B=3"sv, true, 3},  {"SQRT(\0)"sv, false, 0},
  };
  ExpectCases(nul);
}

TEST(EasyCalcTest, ArbitraryBytesNeverCrash) {
  // A fixed linear congruential sequence: the same strings on every run.
  const std::string_view alphabet = "0123456789.+-*/%^=();\\ \tEePIAsqrtSQRT(LN(xyz\0\x80\xff"sv;
  std::uint32_t state = 12345;
  TEasyCalc calc;
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    const std::size_t length = n % 40;
    for (std::size_t i = 0; i < length; ++i) {
      state = state * 1664525u + 1013904223u;
      text += alphabet[(state >> 16) % alphabet.size()];
    }
    double value = 0;
    calc.Evaluate(text, value);
  }
  SUCCEED();
}
