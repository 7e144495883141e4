#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvan::nc {

// One NC word: an address letter and its value. Coordinate letters written without a
// decimal point are already multiplied by the value unit.
struct NcWord {
  char Letter = 0;
  double Value = 0;
};

inline constexpr int MaxWordsPerBlock = 20;

// The words of one block in line order; a letter may occur more than once. Only entries
// 0..WordCount-1 are valid: the table is reused for every line and never cleared.
struct NcWordTable {
  NcWord Words[MaxWordsPerBlock];
  int32_t WordCount = 0;
};

struct TokenizeError {
  bool Failed = false;
  int32_t Column = 0;  // 0-based index into the line as it was passed in
};

// The members of a block's attribute set, in declaration order: one per letter A..Z
// (only thirteen letters ever set theirs), then the named classifications.
enum class BlockAttr : uint8_t {
  HasA, HasB, HasC, HasD, HasE, HasF, HasG, HasH, HasI, HasJ, HasK, HasL, HasM,
  HasN, HasO, HasP, HasQ, HasR, HasS, HasT, HasU, HasV, HasW, HasX, HasY, HasZ,
  G43Given,
  RefReturn,
  G92Given,
  PercentLine,
  CommentLine,
  EmptyLine,
  ProgramEndM02,
  AssignmentLine,
  BlockSkip,
  CycleCode,
  CycleCancel,
  ToolComment,
  Count_
};

inline constexpr int BlockAttrCount = static_cast<int>(BlockAttr::Count_);

// The name of a member as the tokenizer command prints it ("HasX", "CycleCode", ...).
std::string_view BlockAttrName(BlockAttr a);

struct BlockAttributes {
  uint64_t Bits = 0;
  bool Has(BlockAttr a) const { return (Bits >> static_cast<int>(a)) & 1u; }
  void Set(BlockAttr a) { Bits |= uint64_t{1} << static_cast<int>(a); }
  void Clear() { Bits = 0; }
};

// What the tokenizer reads besides the line: the value unit (by "FloatPos"), the
// error-avoidance words (in the same encoding as the lines) and the block-skip toggle.
struct TokenizeOptions {
  double ValueUnit = 0.001;
  std::vector<std::string> ErrorTags;
  bool BlockSkipOn = false;
};

// "FloatPos" 0, 1, 2 chooses the value unit 0.01, 0.001, 0.0001 and the number of
// decimals written back, 2, 3, 4. Other indexes count as 1, the default.
double ValueUnitForFloatPos(int floatPos);
int DecimalsForFloatPos(int floatPos);

}  // namespace kelvan::nc
