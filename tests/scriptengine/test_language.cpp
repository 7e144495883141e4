// The language as a script writer meets it: each case a small program and what it prints.

#include <gtest/gtest.h>

#include "ScriptHarness.h"

namespace kelvan::scriptengine::test {
namespace {

struct Case {
  const char* Name;
  const char* Script;
  const char* Expected;
};

const Case kCases[] = {
    {"ForLoopSumAndDownto",
     "var i, s: Integer; t: String;\n"
     "begin for i := 1 to 100 do s := s + i; Print(IntToStr(s));\n"
     "  for i := 3 downto 1 do t := t + IntToStr(i); Print(t);\n"
     "  for i := 5 to 1 do Print('never'); end.",
     "5050\n321"},
    {"WhileRepeatBreakContinue",
     "var i, s: Integer;\n"
     "begin i := 0; while True do begin Inc(i); if i mod 2 = 0 then Continue; if i > 9 then Break; s := s + i end;\n"
     "  Print(IntToStr(s)); i := 0; repeat Inc(i, 3) until i >= 10; Print(IntToStr(i)); end.",
     "25\n12"},
    {"RecordsWithAndCopySemantics",
     "type TPoint = record X, Y: Float; Tag: String end;\n"
     "var a, b: TPoint;\n"
     "begin a.X := 1; a.Y := 2; a.Tag := 'a'; b := a; b.X := 10; b.Tag := 'b';\n"
     "  with a do begin Y := Y + X; Tag := Tag + '!' end;\n"
     "  Print(FloatToStr(a.X) + ' ' + FloatToStr(a.Y) + ' ' + a.Tag + ' ' + FloatToStr(b.X) + ' ' + b.Tag); end.",
     "1 3 a! 10 b"},
    {"StaticMultiDimAndDynamicArrays",
     "var m: array[1..3, 0..2] of Float; d: array of Integer; e: array of Integer; i, j: Integer; s: Float;\n"
     "begin for i := 1 to 3 do for j := 0 to 2 do m[i, j] := i * 10 + j;\n"
     "  s := m[2][1] + m[3, 2]; Print(FloatToStr(s));\n"
     "  SetArrayLength(d, 4); for i := 0 to Length(d) - 1 do d[i] := i * i;\n"
     "  e := d; e[1] := 99; SetArrayLength(d, 6);\n"
     "  Print(IntToStr(Length(d)) + ' ' + IntToStr(d[3]) + ' ' + IntToStr(d[5]) + ' ' + IntToStr(e[1]) + ' ' + IntToStr(Length(m))); end.",
     "53\n6 9 0 99 3"},
    {"StaticArrayAssignmentCopies",
     "type TA = array[1..3] of Integer; var a, b: TA;\n"
     "begin a[1] := 1; b := a; b[1] := 2; Print(IntToStr(a[1]) + IntToStr(b[1])); end.",
     "12"},
    {"VarParametersAndConstParameters",
     "procedure Swap(var a, b: Integer); var t: Integer; begin t := a; a := b; b := t end;\n"
     "procedure Grow(var s: String; const n: Integer); begin s := s + StringOfChar('x', n) end;\n"
     "procedure SetF(var r: array of Integer); begin r[0] := 7 end;\n"
     "var x, y: Integer; s: String; d: array of Integer;\n"
     "begin x := 1; y := 2; Swap(x, y); s := 'a'; Grow(s, 3); SetArrayLength(d, 1); SetF(d);\n"
     "  Print(IntToStr(x) + IntToStr(y) + s + IntToStr(d[0])); end.",
     "21axxx7"},
    {"VarParameterToArrayElementAndField",
     "type R = record V: Integer end; var a: array[1..2] of R; d: array of Integer;\n"
     "procedure Bump(var v: Integer); begin v := v + 5 end;\n"
     "begin SetArrayLength(d, 2); Bump(a[2].V); Bump(d[1]); Print(IntToStr(a[2].V) + IntToStr(d[1])); end.",
     "55"},
    {"CaseWithRangesListsCharsAndElse",
     "var i: Integer; s: String; c: Char;\n"
     "begin for i := 0 to 7 do case i of 1: s := s + 'a'; 2, 3: s := s + 'b'; 4..6: s := s + 'c' else s := s + '-' end;\n"
     "  Print(s); s := ''; for c := 'x' to 'z' do case c of 'x': s := s + '1'; 'y'..'z': s := s + '2' end; Print(s); end.",
     "-abbccc-\n122"},
    {"NestedRoutinesSeeOuterLocals",
     "function Outer(n: Integer): Integer;\n"
     "  var acc: Integer;\n"
     "  procedure Add(k: Integer); begin acc := acc + k * n end;\n"
     "  procedure Twice; begin Add(1); Add(2) end;\n"
     "begin acc := 0; Twice; Result := acc end;\n"
     "begin Print(IntToStr(Outer(10))); end.",
     "30"},
    {"RecursionFibAndNestedRecursion",
     "function Fib(n: Integer): Integer; begin if n < 2 then Fib := n else Fib := Fib(n - 1) + Fib(n - 2) end;\n"
     "function Depth(n: Integer): Integer;\n"
     "  function Inner(k: Integer): Integer; begin if k = 0 then Inner := n else Inner := Inner(k - 1) end;\n"
     "begin if n = 0 then Result := 0 else Result := Inner(n) + Depth(n - 1) end;\n"
     "begin Print(IntToStr(Fib(23))); Print(IntToStr(Depth(4))); end.",
     "28657\n10"},
    {"ResultAndFunctionNameAndExit",
     "function A: Integer; begin Result := 1; Exit; Result := 2 end;\n"
     "function B(x: Integer): String; begin B := 'neg'; if x < 0 then Exit; B := 'pos' end;\n"
     "function C(x: Integer): Integer; begin if x > 0 then Exit(x * 2); Result := -1 end;\n"
     "procedure P; var i: Integer; begin for i := 1 to 10 do begin if i = 3 then Exit; Print(IntToStr(i)) end end;\n"
     "begin Print(IntToStr(A) + B(-1) + B(1) + IntToStr(C(4)) + IntToStr(C(0))); P; end.",
     "1negpos8-1\n1\n2"},
    {"StringFunctionsAndOneBasedIndexing",
     "var s: String; c: Char;\n"
     "begin s := 'Hello, World'; c := s[1]; s[2] := 'a';\n"
     "  Print(c + s[Length(s)] + ' ' + s + ' ' + Copy(s, 8, 5) + ' ' + IntToStr(Pos('World', s)) + ' ' + IntToStr(Pos('x', s)));\n"
     "  Delete(s, 1, 7); Insert('<', s, 1); Insert('>', s, 100); Print(s + ' ' + UpperCase(s) + ' ' + LowerCase('AbC'));\n"
     "  Print('[' + Trim('  t  ') + ']' + StringOfChar('-', 3) + IntToStr(Ord('A')) + Chr(66) + 'it''s' + #65#$42);\n"
     "  Print(ChangeFileExt('dir.x/prog.nc', '.bak') + ' ' + ChangeFileExt('noext', '.txt') + ' ' + Copy('abc', 2, 100) + Copy('abc', 5, 1)); end.",
     "Hd Hallo, World World 8 0\n<World> <WORLD> abc\n[t]---65Bit'sAB\ndir.x/prog.bak noext.txt bc"},
    {"IntegerToFloatAndArithmetic",
     "var f: Float; i: Integer; b: Byte;\n"
     "begin i := 7; f := i; f := f / 2; Print(FloatToStr(f) + ' ' + FloatToStr(i / 2) + ' ' + IntToStr(i div 2) + ' ' + IntToStr(-7 mod 3));\n"
     "  Print(IntToStr(Round(2.5)) + IntToStr(Round(3.5)) + IntToStr(Round(-2.5)) + ' ' + IntToStr(Trunc(-2.7)) + ' ' + FloatToStr(Int(2.7)) + ' ' + FloatToStr(Frac(2.5)));\n"
     "  Print(IntToStr(Abs(-3)) + FloatToStr(Abs(-1.5)) + IntToStr(Sqr(4)) + FloatToStr(Sqrt(16)) + IntToStr(Max(2, 9)) + FloatToStr(Min(2, 1.5)));\n"
     "  b := 250; b := b + 10; Print(IntToStr(b) + ' ' + IntToStr(1 shl 10) + ' ' + IntToStr(6 and 3) + IntToStr(6 or 3) + IntToStr(6 xor 3) + ' ' + IntToStr(StrToInt(' 42 ') + StrToInt('$10')));\n"
     "  Print(FloatToStr(StrToFloat('1.25e2')) + ' ' + FloatToStr(RadToDeg(Pi)) + ' ' + FloatToStr(Round(DegToRad(180) * 1000) / 1000)); end.",
     "3.5 3.5 3 -1\n24-2 -2 2 0.5\n31.516491.5\n4 1024 275 58\n125 180 3.142"},
    {"BooleansShortCircuitAndSets",
     "var n: Integer; c: Char;\n"
     "function Hit: Boolean; begin n := n + 1; Result := True end;\n"
     "begin if False and Hit then ; if True or Hit then ; Print(IntToStr(n));\n"
     "  c := 'q'; if (c in ['a'..'z']) and not (5 in [1, 3..4, 6]) and (4 in [1, 3..4]) then Print('in');\n"
     "  if (True xor False) and Odd(3) and not Odd(4) and (1 < 2) and ('abc' < 'abd') and ('a' = 'a') then Print('ok'); end.",
     "0\nin\nok"},
    {"ConstantsTypedAndUntypedAndAliases",
     "const N = 4; M = N * 2 + 1; Name = 'ab' + 'c'; Half = 1 / 2; Neg = -N; T: Integer = 5;\n"
     "type TInt = Integer; TList = array[1..M] of TInt;\n"
     "var a: TList; x: Integer = 3;\n"
     "begin a[M] := T + x; T := T + 1; Print(IntToStr(a[9]) + Name + FloatToStr(Half) + IntToStr(Neg) + IntToStr(T) + IntToStr(Length(a))); end.",
     "8abc0.5-469"},
    {"CallsWithoutParenthesesAndDroppedResults",
     "var n: Integer; function Next: Integer; begin n := n + 1; Result := n end;\n"
     "procedure Hello; begin Print('hi') end;\n"
     "begin Hello; Hello(); Next; Next(); Print(IntToStr(Next)); end.",
     "hi\nhi\n3"},
    {"CaseInsensitiveNamesAndComments",
     "PROGRAM Demo; USES Math, SysUtils;\n"
     "VAR Count: INTEGER; { brace } (* paren *) // line\n"
     "BEGIN count := 2; COUNT := Count + 1; print(inttostr(cOuNt)); END.",
     "3"},
    {"RecordFunctionResultAndRecordParameter",
     "type P = record X, Y: Integer end;\n"
     "function Make(a, b: Integer): P; begin Result.X := a; Result.Y := b end;\n"
     "function Sum(q: P): Integer; begin q.X := 0; Result := q.Y end;\n"
     "var r: P; begin r := Make(3, 4); Print(IntToStr(Sum(r) + r.X) + IntToStr(Make(5, 6).Y)); end.",
     "76"},
    {"WithOnArrayElementAndNestedWith",
     "type In2 = record Z: Integer end; Out2 = record A: Integer; I: In2 end;\n"
     "var arr: array[0..1] of Out2;\n"
     "begin with arr[1] do begin A := 1; with I do Z := A + 1 end; Print(IntToStr(arr[1].A) + IntToStr(arr[1].I.Z)); end.",
     "12"},
    {"EmptyStatementsAndNestedBlocks",
     "begin ; ; begin end; begin ; Print('x'); end; ; end.", "x"},
};

class Language : public ::testing::TestWithParam<Case> {};

TEST_P(Language, PrintsWhatPascalWould) {
  Harness h;
  EXPECT_EQ(h.Run(GetParam().Script), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Scripts, Language, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace kelvan::scriptengine::test
