#pragma once
// The standard routines every script has unless a host unit registers the same name.

#include <cstdint>
#include <string>

namespace kelvan::scriptengine {

enum class Bi : int32_t {
  Abs, Sqr, Sqrt, Sin, Cos, Tan, ArcTan, Exp, Ln, Round, Trunc, Int, Frac, Min, Max, Pi,
  DegToRad, RadToDeg, Random, Randomize, Ord, Chr, Length, Copy, Pos, Delete, Insert,
  IntToStr, FloatToStr, StrToInt, StrToFloat, StringOfChar, UpperCase, LowerCase, Trim,
  Inc, Dec, SetArrayLength, ChangeFileExt, Odd,
  // Statements that look like procedure calls.
  Exit, Break, Continue,
  None,
};

// The routine a lower-case name stands for, or Bi::None.
Bi FindBuiltin(const std::string& key);
// Names Pascal knows that this language refuses with a clear message.
bool IsUnusableName(const std::string& key);
// Unit names a `uses` clause may name without a host registering them.
bool IsBuiltinUnit(const std::string& key);
// A builtin without side effects, which a constant expression may call.
bool IsPureBuiltin(Bi b);

}  // namespace kelvan::scriptengine
