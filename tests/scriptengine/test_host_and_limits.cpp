// The engine towards its host: host units, stopping a run, and the limits that keep a
// runaway script from taking the process down.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>

#include "ScriptHarness.h"

namespace kelvan::scriptengine::test {
namespace {

HostUnit GeometryUnit(std::vector<std::string>* log) {
  HostUnit u;
  u.Name = "Nc";
  HostFunction move;  // three Floats in, their sum out, and a var parameter written
  move.Name = "MoveTo";
  move.Params = {{"X", HostType::Float}, {"Y", HostType::Float}, {"Z", HostType::Float}};
  move.HasResult = true;
  move.Result = HostType::Float;
  move.Handler = [](CallContext& c) { c.SetFloat("Result", c.Float("x") + c.Float("y") + c.Float("z")); };
  HostFunction split;
  split.Name = "SplitName";
  split.Params = {{"Text", HostType::String}, {"Head", HostType::String, true}, {"Count", HostType::Integer, true},
                  {"Found", HostType::Boolean, true}, {"Ratio", HostType::Float, true}};
  split.Handler = [](CallContext& c) {
    const std::string t = c.String("text");
    c.SetString("Head", t.substr(0, 2));
    c.SetInteger("Count", c.Integer("Count") + static_cast<int64_t>(t.size()));
    c.SetBoolean("Found", true);
    c.SetFloat("Ratio", c.Float("Ratio") * 2);
  };
  HostFunction fail;
  fail.Name = "Refuse";
  fail.Handler = [](CallContext& c) { c.Fail("工具がありません。"); };
  HostFunction sinDeg;  // the host's Sin works in degrees and replaces the built-in one
  sinDeg.Name = "Sin";
  sinDeg.Params = {{"A", HostType::Float}};
  sinDeg.HasResult = true;
  sinDeg.Result = HostType::Float;
  sinDeg.Handler = [](CallContext& c) { c.SetFloat("Result", std::sin(c.Float("A") * M_PI / 180)); };
  HostFunction note;
  note.Name = "Note";
  note.Params = {{"N", HostType::Integer}};
  note.Handler = [log](CallContext& c) { log->push_back(std::to_string(c.Integer("n"))); };
  u.Functions = {move, split, fail, sinDeg, note};
  return u;
}

struct HostCase {
  const char* Name;
  const char* Script;
  const char* Expected;
};

const HostCase kHostCases[] = {
    {"IntegerArgumentsBecomeFloat", "uses Nc; begin Print(FloatToStr(MoveTo(1, 2.5, 3))); end.", "6.5"},
    {"VarParametersWrittenByName",
     "var h: String; n: Integer; f: Boolean; r: Float;\n"
     "begin n := 1; r := 1.5; SplitName('abcd', h, n, f, r);\n"
     "  if f then Print(h + IntToStr(n) + FloatToStr(r)); end.",
     "ab53"},
    {"FunctionWithResultCalledAsStatement", "begin MoveTo(1, 2, 3); Print('ok'); end.", "ok"},
    {"HostWinsOverBuiltin", "begin Print(FloatToStr(Round(Sin(30) * 1000) / 1000)); end.", "0.5"},
    {"FailIsARunTimeErrorAtTheCall", "begin\n  Print('a');\n  Refuse;\n  Print('b');\nend.",
     "error 3:3 工具がありません。"},
    {"ProcedureAsExpressionIsACompileError", "var x: Integer;\nbegin x := Refuse; end.",
     "error 2:12 'Refuse' は値を返しません。"},
    {"VarParameterNeedsExactType", "var h: String; n: Float; f: Boolean; r: Float;\nbegin SplitName('a', h, n, f, r); end.",
     "error 2:25 型が一致しません。"},
    {"VarParameterNeedsVariable", "var h: String; n: Integer; f: Boolean;\nbegin SplitName('a', h, n, f, 1.5); end.",
     "error 2:31 var 引数には変数を指定してください。"},
    {"HostArgumentCount", "begin MoveTo(1, 2); end.", "error 1:7 引数の数が違います。"},
};

class HostCalls : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostCalls, ConvertCheckAndReturn) {
  Harness h;
  std::vector<std::string> log;
  h.engine.AddUnit(GeometryUnit(&log));
  EXPECT_EQ(h.Run(GetParam().Script), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Scripts, HostCalls, ::testing::ValuesIn(kHostCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(HostCalls, ProgramOutlivesTheEngineUnitsItWasCompiledWith) {
  std::vector<std::string> log;
  Harness h;
  h.engine.AddUnit(GeometryUnit(&log));
  std::vector<Message> messages;
  auto program = h.engine.Compile("begin Note(7); end.", messages);
  ASSERT_TRUE(program);
  h.engine.AddUnit(HostUnit{"Nc", {}});  // replacing nothing, but the old function stays with the program
  EXPECT_TRUE(h.engine.Run(*program, {}, messages));
  EXPECT_EQ(log, std::vector<std::string>{"7"});
}

constexpr const char* kEndless =
    "var i: Integer;\nbegin\n  while True do\n    i := i + 1;\nend.";

TEST(Stop, RequestStopFromAnotherThreadEndsAnEndlessLoop) {
  Harness h;
  std::vector<Message> messages;
  auto program = h.engine.Compile(kEndless, messages);
  ASSERT_TRUE(program);
  std::atomic<bool> started{false};
  RunOptions options;
  options.PollEvery = 1000;
  options.Poll = [&] {
    started = true;
    return true;
  };
  std::thread stopper([&] {
    while (!started) std::this_thread::yield();
    h.engine.RequestStop();
  });
  const bool ok = h.engine.Run(*program, options, messages);
  stopper.join();
  EXPECT_FALSE(ok);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, kStoppedMessage);
  EXPECT_TRUE(messages[0].Line == 3 || messages[0].Line == 4);
  // The request is cleared when the next run starts.
  messages.clear();
  auto quick = h.engine.Compile("begin end.", messages);
  EXPECT_TRUE(h.engine.Run(*quick, {}, messages));
}

TEST(Stop, PollReturningFalseStopsAtTheCurrentStatement) {
  Harness h;
  int polls = 0;
  RunOptions options;
  options.PollEvery = 10;
  options.Poll = [&] { return ++polls < 5; };
  EXPECT_EQ(h.Run(kEndless, options), std::string("error 4:5 ") + kStoppedMessage);
  EXPECT_EQ(polls, 5);
}

TEST(Stop, HandlerMayRequestTheStop) {
  Harness h;
  HostUnit u;
  u.Name = "Halt";
  HostFunction halt;
  halt.Name = "HaltNow";
  halt.Handler = [&h](CallContext&) { h.engine.RequestStop(); };
  u.Functions = {halt};
  h.engine.AddUnit(u);
  EXPECT_EQ(h.Run("begin\n  HaltNow;\n  Print('not reached');\nend."), std::string("error 3:3 ") + kStoppedMessage);
}

constexpr const char* kRunaway =
    "var n: Integer;\nprocedure Down(d: Integer);\nbegin\n  n := d;\n  Down(d + 1);\nend;\nbegin\n  Down(1);\nend.";

TEST(Limits, RunawayRecursionReportsTheDepthInsideTheRoutine) {
  Harness h;
  EXPECT_EQ(h.Run(kRunaway), "error 5:3 呼び出しが深すぎます（無限の再帰？）。");
  RunOptions shallow;
  shallow.MaxDepth = 10;
  EXPECT_EQ(h.Run("function F(d: Integer): Integer; begin if d = 0 then Result := 0 else Result := F(d - 1) end;\n"
                  "begin Print(IntToStr(F(9))); Print(IntToStr(F(10))); end.",
                  shallow),
            "error 1:71 呼び出しが深すぎます（無限の再帰？）。");
}

// The default depth fits an 8 MB stack with room to spare in an optimised build; the
// sanitizers' frames are several times larger, so there the stack guard stops earlier
// (with the same message, never a crash).
#if defined(__SANITIZE_ADDRESS__)
constexpr const char* kDeepest = "499";
#else
constexpr const char* kDeepest = "1999";
#endif

TEST(Limits, DefaultDepthIsReachable) {
  Harness h;
  EXPECT_EQ(h.Run(std::string("function F(d: Integer): Integer; begin if d = 0 then Result := 0 else Result := F(d - 1) + 1 end;\n"
                              "begin Print(IntToStr(F(") + kDeepest + "))); end."),
            kDeepest);
}

TEST(Limits, MillionLevelsOfRecursionEndWithAMessageNotACrash) {
  Harness h;
  RunOptions deep;
  deep.MaxDepth = 1000000;
  const std::string result = h.Run(kRunaway, deep);
  EXPECT_EQ(result, "error 5:3 呼び出しが深すぎます（無限の再帰？）。");
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(Limits, DeeplyNestedSourceIsRejected) {
  const std::string nested[] = {
      "var x: Integer; begin x := " + Repeat("(", 100000) + "1" + Repeat(")", 100000) + "; end.",
      Repeat("begin ", 100000) + Repeat("end; ", 99999) + "end.",
      "var x: Integer; begin x := 1" + Repeat(" + 1", 100000) + "; end.",
      "var x: Integer; begin " + Repeat("if x = 0 then ", 100000) + "x := 1; end.",
      "var x: Integer; begin x := " + Repeat("-", 100000) + "1; end.",
      "type T = " + Repeat("array of ", 100000) + "Integer; begin end.",
  };
  for (const std::string& text : nested) {
    Harness h;
    EXPECT_NE(h.Run(text).find("入れ子が深すぎます。"), std::string::npos) << text.substr(0, 40);
  }
  Harness h;  // nesting within the bound compiles and runs
  EXPECT_EQ(h.Run("var x: Integer; begin x := " + Repeat("(", 100) + "1" + Repeat(")", 100) +
                  Repeat(" + 1", 100) + "; Print(IntToStr(x)); end."),
            "101");
}

TEST(Limits, HugeArraysAndStringsAreFaultsNotCrashes) {
  Harness h;
  EXPECT_EQ(h.Run("var d: array of Integer;\nbegin\n  SetArrayLength(d, 100000000000);\nend."),
            "error 3:3 配列の長さが正しくありません。");
  EXPECT_EQ(h.Run("var s: String; i: Integer;\nbegin\n  s := 'x';\n  for i := 1 to 40 do\n    s := s + s;\nend."),
            "error 5:5 メモリが足りません（配列か文字列が大きすぎます）。");
}

}  // namespace
}  // namespace kelvan::scriptengine::test
