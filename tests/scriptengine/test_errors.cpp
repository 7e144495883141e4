// Faults of a script: each compile fault kind and each run-time fault, with the line and
// column the user is sent to.

#include <gtest/gtest.h>

#include "ScriptHarness.h"

namespace kelvan::scriptengine::test {
namespace {

struct Case {
  const char* Name;
  const char* Script;
  const char* Expected;
};

const Case kCompileFaults[] = {
    {"MissingSemicolonAtEndOfLine", "var x: Integer;\nbegin\n  x := 1\n  x := 2;\nend.",
     "error 3:9 構文エラー: ';' がありません。"},
    {"MissingEnd", "begin\n  Print('a');\n", "error 3:1 構文エラー: 'end' がありません。"},
    {"MissingThen", "begin if 1 < 2 Print('a'); end.", "error 1:16 構文エラー: 'then' がありません。"},
    {"MissingFinalDot", "begin end", "error 1:10 構文エラー: '.' がありません。"},
    {"MissingExpression", "var x: Integer;\nbegin x := ; end.", "error 2:12 構文エラー: 式がありません。"},
    {"UnterminatedString", "begin\n  Print('abc);\nend.", "error 2:9 構文エラー: 文字列が閉じていません。"},
    {"UnterminatedComment", "begin { never closed\nend.", "error 1:7 構文エラー: コメントが閉じていません。"},
    {"StrayCharacter", "begin ? end.", "error 1:7 構文エラー: 使えない文字です。"},
    {"UndeclaredName", "var x: Integer;\nbegin\n  x := y + 1;\nend.", "error 3:8 'y' は宣言されていません。"},
    {"UndeclaredType", "var x: TFoo;\nbegin end.", "error 1:8 'TFoo' は宣言されていません。"},
    {"Redeclared", "var x: Integer;\n    X: Float;\nbegin end.", "error 2:5 'X' は既に宣言されています。"},
    {"StringToInteger", "var x: Integer;\nbegin x := 'ab'; end.", "error 2:12 型が一致しません。"},
    {"FloatToIntegerNeedsRound", "var x: Integer;\nbegin x := 1.5; end.", "error 2:12 型が一致しません。"},
    {"ConditionNotBoolean", "begin\n  if 1 then ;\nend.", "error 2:6 型が一致しません。"},
    {"DivOnFloats", "var f: Float;\nbegin f := f div 2; end.", "error 2:14 型が一致しません。"},
    {"WrongArgumentCountUser", "procedure P(a: Integer); begin end;\nbegin\n  P(1, 2);\nend.",
     "error 3:3 引数の数が違います。"},
    {"WrongArgumentCountBuiltin", "begin Print(Copy('a')); end.", "error 1:13 引数の数が違います。"},
    {"VarArgumentNotAVariable", "procedure P(var a: Integer); begin end;\nbegin\n  P(1 + 2);\nend.",
     "error 3:5 var 引数には変数を指定してください。"},
    {"VarArgumentOfOtherType", "procedure P(var a: Float); begin end;\nvar i: Integer;\nbegin P(i); end.",
     "error 3:9 型が一致しません。"},
    {"ProcedureHasNoValue", "procedure P; begin end;\nvar x: Integer;\nbegin x := P; end.",
     "error 3:12 'P' は値を返しません。"},
    {"AssignToConstant", "const C = 1;\nbegin C := 2; end.", "error 2:7 代入できない式です。"},
    {"BreakOutsideLoop", "begin\n  Break;\nend.", "error 2:3 ループの外では使えません。"},
    {"UnknownUnit", "uses Math, Foo;\nbegin end.", "error 1:12 ユニット 'Foo' がありません。"},
    {"UnusableKeyword", "label 10;\nbegin end.", "error 1:1 'label' はこのスクリプトでは使えません。"},
    {"UnusableName", "begin\n  Reset;\nend.", "error 2:3 'Reset' はこのスクリプトでは使えません。"},
    {"SetTypeUnsupported", "var s: set of Char;\nbegin end.", "error 1:8 'set' はこのスクリプトでは使えません。"},
    {"NotARecord", "var i: Integer;\nbegin i.x := 1; end.", "error 2:7 レコードではありません。"},
    {"NoSuchField", "var r: record a: Integer end;\nbegin r.b := 1; end.", "error 2:9 フィールド 'b' がありません。"},
    {"ConstantExpressionNeeded", "var n: Integer;\nconst C = n;\nbegin end.", "error 2:11 定数式が必要です。"},
    {"BadArrayRange", "var a: array[5..1] of Integer;\nbegin end.", "error 1:14 範囲が正しくありません。"},
    {"StaticArrayTooLarge", "var a: array[1..100000, 1..100000] of Integer;\nbegin end.",
     "error 1:14 範囲が正しくありません。"},
    {"ConstantDivisionByZero", "const C = 1 div 0;\nbegin end.", "error 1:13 0 で割りました。"},
    {"IntegerLiteralTooBig", "const C = 99999999999999999999;\nbegin end.", "error 1:11 構文エラー: 数値が正しくありません。"},
    {"ForwardCallNotAllowed", "procedure A; begin B end;\nprocedure B; begin end;\nbegin end.",
     "error 1:20 'B' は宣言されていません。"},
};

class CompileFaults : public ::testing::TestWithParam<Case> {};

TEST_P(CompileFaults, StopAtTheFirstFaultWithItsPosition) {
  Harness h;
  EXPECT_EQ(h.Run(GetParam().Script), GetParam().Expected);
  ASSERT_EQ(h.messages.size(), 1u);
  EXPECT_EQ(h.program, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Scripts, CompileFaults, ::testing::ValuesIn(kCompileFaults),
                         [](const auto& info) { return std::string(info.param.Name); });

// A run-time fault points at the statement that failed, inside the routine that ran it,
// not at the call that led there.
const Case kRunFaults[] = {
    {"IntegerDivisionByZeroInsideRoutine",
     "function F(a, b: Integer): Integer;\nbegin\n  Result := a div b;\nend;\nbegin\n  Print(IntToStr(F(1, 0)));\nend.",
     "error 3:3 0 で割りました。"},
    {"ModByZero", "var z: Integer;\nbegin\n  Print(IntToStr(5 mod z));\nend.", "error 3:3 0 で割りました。"},
    {"FloatDivisionByZero", "var f: Float;\nbegin\n  f := 1 / f;\nend.", "error 3:3 0 で割りました。"},
    {"ArrayIndexOutOfRange", "var a: array[1..3] of Integer; i: Integer;\nbegin\n  for i := 1 to 4 do\n    a[i] := i;\nend.",
     "error 4:5 配列の添字が範囲外です。"},
    {"DynamicArrayIndexOutOfRange", "var d: array of Integer;\nbegin\n  SetArrayLength(d, 2);\n  d[2] := 1;\nend.",
     "error 4:3 配列の添字が範囲外です。"},
    {"StringIndexOutOfRange", "var s: String; c: Char;\nbegin\n  s := 'ab';\n  c := s[3];\nend.",
     "error 4:3 文字列の添字が範囲外です。"},
    {"StrToIntOfText", "var i: Integer;\nbegin\n  i := StrToInt('abc');\nend.",
     "error 3:3 'abc' は正しい整数ではありません。"},
    {"StrToFloatOfText", "var f: Float;\nbegin\n  f := StrToFloat('1.2.3');\nend.",
     "error 3:3 '1.2.3' は正しい数値ではありません。"},
    {"RoundOutOfRange", "var i: Integer;\nbegin\n  i := Round(1e300);\nend.",
     "error 3:3 実数の値が整数の範囲を超えています。"},
    {"SqrtOfNegative", "var f: Float;\nbegin\n  f := Sqrt(-1);\nend.", "error 3:3 実数の計算が正しくありません。"},
    {"FaultAfterANestedCallReturned",
     "function One: Integer;\nbegin\n  Result := 1;\nend;\nvar x: Integer;\nbegin\n  x := One div (One - 1);\nend.",
     "error 7:3 0 で割りました。"},
};

class RunFaults : public ::testing::TestWithParam<Case> {};

TEST_P(RunFaults, PointAtTheFailingStatement) {
  Harness h;
  EXPECT_EQ(h.Run(GetParam().Script), GetParam().Expected);
  ASSERT_EQ(h.messages.size(), 1u);
  EXPECT_NE(h.program, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Scripts, RunFaults, ::testing::ValuesIn(kRunFaults),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Messages, PositionIsTheByteOffsetOfLineAndColumn) {
  Harness h;
  const std::string text = "// 日本語のコメント\nbegin\n  x := 1;\nend.";
  h.Run(text);
  ASSERT_EQ(h.messages.size(), 1u);
  const Message& m = h.messages[0];
  EXPECT_EQ(m.Line, 3);
  EXPECT_EQ(m.Column, 3);
  EXPECT_EQ(text.substr(static_cast<size_t>(m.Position - 1), 1), "x");
}

}  // namespace
}  // namespace kelvan::scriptengine::test
