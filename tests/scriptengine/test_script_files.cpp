// The scripts under tests/data/scripts/engine: each <case>.pas against <case>.expected,
// which holds the printed lines and, for a failing run, "error LINE:COLUMN TEXT" last.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScriptHarness.h"

namespace kelvan::scriptengine::test {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(ScriptFiles, PrintWhatTheyExpect) {
  const std::filesystem::path dir = std::filesystem::path(KELVAN_TEST_DATA) / "scripts" / "engine";
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".pas") continue;
    std::filesystem::path expectedPath = entry.path();
    expectedPath.replace_extension(".expected");
    std::string expected = ReadFile(expectedPath);
    while (!expected.empty() && expected.back() == '\n') expected.pop_back();
    Harness h;
    std::string got = h.Run(ReadFile(entry.path()));
    if (!h.messages.empty() && h.program) {
      const std::string printed = h.Output();  // a run-time fault after some output
      got = printed.empty() ? got : printed + "\n" + got;
    }
    EXPECT_EQ(got, expected) << entry.path();
    ++cases;
  }
  EXPECT_GE(cases, 3);
}

}  // namespace
}  // namespace kelvan::scriptengine::test
