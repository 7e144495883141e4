#pragma once
// The lines that put the machine into the state a program had reached before a block, and
// bring the tool to where the block starts. Used by RestartFromLine, which checks the result.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ModalTracker.h"
#include "tools/Restart.h"

namespace kelvan::tools {

struct PreambleSettings {
  int32_t Line = 0;            // the restart line, 0-based, for the comment
  double AtcHeight = 500;      // the Z the program starts at
  int Decimals = 3;
  double Clearance = 2.0;
  double LeadIn = 10.0;
  bool ToolCommentAbove = false;  // a line kept above the preamble holds a tool comment
  bool BlockSetsMotion = false;   // the block itself gives G00, G01, G02 or G03
};

struct PreambleResult {
  std::vector<std::string> Lines;
  RestartRefusal Refusal = RestartRefusal::None;
  std::string Message;
};

PreambleResult BuildPreamble(const ModalState& state, const PreambleSettings& settings);

// The value after the letter in the decimal-point form with `decimals` digits, or with as
// many more (up to 9) as it takes to read back the same number. False for a value that is
// no finite number.
bool AppendExactValue(std::string& out, std::string_view letter, double value, int decimals);

}  // namespace kelvan::tools
