#pragma once

#include <string>

#include "scriptengine/ScriptEngine.h"

namespace kelvan::script {

struct ScriptText;

// The tool's position and heading that the Nc functions keep: zero at the start of
// every run, changed only by the Nc functions.
struct NcState {
  double X = 0, Y = 0, Z = 0;
  double Angle = 0;  // radians, counter-clockwise from +X
};

// "X10.0": the letter and the value with three decimals, rounded, less its trailing
// zeros, but with one digit after the point.
std::string FormatNcNumber(char letter, double value);

// The unit "Nc": functions that append one NC block each to the text and keep the state.
scriptengine::HostUnit MakeNcUnit(ScriptText& text, NcState& state);

}  // namespace kelvan::script
