#pragma once
// The tools' tests read programs as lines and their results back as lines.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/NcText.h"

namespace kelvan::test {

// The lines of a file (its path), without their ends.
inline std::vector<std::string> ReadProgram(const std::string& path) {
  nc::NcText text;
  std::string error;
  EXPECT_TRUE(nc::NcText::Load(path, text, error)) << error;
  std::vector<std::string> lines;
  for (int32_t i = 0; i < text.LineCount(); ++i) lines.emplace_back(text.Line(i));
  return lines;
}

// A file of the tests' data folder.
inline std::string Data(const std::string& name) { return std::string(KELVAN_TEST_DATA) + "/" + name; }

// A tool's output as its lines, each ended by `end`.
inline std::vector<std::string> Split(const std::string& text, const std::string& end = "\n") {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    const size_t e = text.find(end, start);
    out.push_back(text.substr(start, e - start));
    if (e == std::string::npos) break;
    start = e + end.size();
  }
  return out;
}

}  // namespace kelvan::test
