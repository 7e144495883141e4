#pragma once

#include <string_view>

#include "nc/NcWord.h"

namespace kelvan::nc {

class TEasyCalc;
struct MachineState;

// Turns one NC block into its words, its attribute set and the column of its first
// syntax fault. Bracketed values go through the calculator; a tool comment
// '(T..-<diameter>' sets state.ToolRadius. Callers test error.Failed first, then the
// attributes, then read words.Words[0..WordCount-1]. Allocates nothing for usual blocks.
void TokenizeBlock(std::string_view line, const TokenizeOptions& options, TEasyCalc& calc,
                   MachineState& state, NcWordTable& words, TokenizeError& error,
                   BlockAttributes& attributes);

}  // namespace kelvan::nc
