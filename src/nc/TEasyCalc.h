#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvan::nc {

// A small calculator for one statement at a time: assignment, + - * / % ^,
// a sign, parentheses, numbers, variables, functions and the constants PI and E.
// The tokenizer hands it the text of every bracketed word value, so plain
// arithmetic is evaluated straight on the caller's text without allocating.
// Variables live as long as the calculator; names ignore letter case.
class TEasyCalc {
 public:
  // The position counter of the calculator is 8 bits wide: longer texts fail.
  static constexpr std::size_t kMaxLength = 255;

  TEasyCalc();

  // Evaluates one statement from the start of the text. False when an error was met
  // (value then holds what was computed so far; callers ignore it). Evaluation stops
  // at the first character that cannot continue the statement; an empty text gives 0.
  bool Evaluate(std::string_view expression, double& value);

  // Restarts the RANDOM sequence, so that tests can rely on its values.
  void SeedRandom(std::uint64_t seed);

  // The stored value of a variable (name in any letter case); false when unknown.
  bool GetVariable(std::string_view name, double& value) const;

  // Counts the changes of the calculator's state (an assignment, a new variable, a RANDOM
  // draw): equal counts mean that evaluating again gives the same values.
  std::uint64_t Changes() const { return changes_; }

 private:
  friend class CalcParser;

  struct Variable {
    std::string name;  // upper case
    double value = 0.0;
  };

  // Finds the variable, creating it with the value 0 when it is new.
  double& VariableSlot(std::string_view name);
  // A uniformly drawn integer in [0, bound); bound >= 1.
  std::uint64_t NextRandom(std::uint64_t bound);

  std::vector<Variable> variables_;
  std::uint64_t randomState_ = 0;
  std::uint64_t changes_ = 0;
};

}  // namespace kelvan::nc
