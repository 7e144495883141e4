#pragma once

#include <cstdint>
#include <string_view>

namespace kelvan::nc {

// How an analysis ended. Code 0 is success; codes 1 to 7 stop the analysis at the line
// and column given (both 0-based), and the window beeps, places the caret there and shows
// the message in the status bar.
enum AnalysisCode : int {
  AnalysisOk = 0,
  ErrSyntax = 1,         // the tokenizer rejected the line
  ErrArcRadius = 2,      // an R arc whose radius cannot reach from start to end
  ErrNestTooDeep = 3,    // M98 while 10 calls are active
  ErrM99InMain = 4,      // M99 with no active call
  ErrM30InSub = 5,       // M30 inside a subprogram
  ErrUnknownProgram = 6, // M98 without P, or no line holds the called O number
  ErrAnalysisCut = 7     // the block bound was reached: what follows was not analysed
};

struct AnalysisResult {
  int Code = AnalysisOk;
  int32_t Line = 0;
  int32_t Column = 0;
  bool Ok() const { return Code == AnalysisOk; }
};

// The status-bar message of a code (UTF-8); empty for success.
std::string_view AnalysisMessage(int code);

}  // namespace kelvan::nc
