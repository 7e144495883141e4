#pragma once
// A program analysed from a fuzz input, as the targets that need a path share it.

#include <memory>

#include "FuzzInput.h"
#include "nc/AnalyseProgram.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "nc/RowMarks.h"
#include "nc/TEasyCalc.h"

namespace kelvan::fuzz {

struct Analysed {
  nc::NcText Text;
  nc::AnalyseOptions Options;
  std::unique_ptr<nc::PathList> Path;
  nc::MachineState State;
  nc::TEasyCalc Calc;
  nc::RowMarks Marks;
  nc::AnalysisResult Result;

  // Two option bytes (value unit, block skip, capacity), then the program.
  explicit Analysed(FuzzInput& in) {
    const uint8_t flags = in.Byte();
    const uint8_t capacity = in.Byte();
    Options.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(flags % 3);
    Options.Tokenize.BlockSkipOn = (flags & 4) != 0;
    Options.AtcHeight = (flags & 8) ? 100 : 500;
    Options.WorkHeight = (flags & 16) ? 25 : 0;
    Text = nc::NcText::FromBytes(std::string(in.Rest()));
    // Small lists, so that full lists and settled repeats are met often.
    Path = std::make_unique<nc::PathList>(1 + capacity * 4);
    const nc::NcTextLineSource lines(Text);
    Result = nc::AnalyseProgram(lines, Options, Calc, *Path, State, Marks);
  }
};

}  // namespace kelvan::fuzz
