// The conversion tools on any program with any parameters: they end, a fault points into
// the text, and what they write when they succeed is a program the tokenizer reads again.

#include <string>

#include "FuzzInput.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"
#include "nc/TokenizeBlock.h"
#include "tools/Tools.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const uint8_t tool = in.Byte(), flags = in.Byte(), p1 = in.Byte(), p2 = in.Byte(), p3 = in.Byte();
  tools::ToolOptions options;
  options.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(flags % 3);
  options.Decimals = nc::DecimalsForFloatPos(flags % 3);
  options.Tokenize.BlockSkipOn = (flags & 4) != 0;
  if (flags & 8) options.LineEnd = "\r\n";
  const nc::NcText text = nc::NcText::FromBytes(std::string(in.Rest()));
  const nc::NcTextLineSource lines(text);
  tools::ToolResult r;
  switch (tool % 9) {
    case 0: r = tools::ExpandCycles(lines, options); break;
    case 1: r = tools::Optimise(lines, options); break;
    case 2: r = tools::ToIncremental(lines, options); break;
    case 3: r = tools::RemoveDecimalPoints(lines, options); break;
    case 4: r = tools::RemoveBlankLines(lines, options); break;
    case 5: r = tools::Rotate(lines, options, (p1 - 128) * 2.8); break;
    case 6: r = tools::Mirror(lines, options, tools::Axis::X); break;
    case 7: r = tools::Mirror(lines, options, tools::Axis::Y); break;
    default: r = tools::Rough(lines, options, {double(p1) - 100, double(p2) - 200, 1.0 + p3 / 8.0}); break;
  }
  if (!r.Ok()) {
    fuzz::Check(r.Error.Line >= 0 && (r.Error.Line < text.LineCount() || text.LineCount() == 0),
                "a fault's line in the text");
    fuzz::Check(!r.Error.Message.empty(), "a fault says what it is");
    return 0;
  }
  // Every line written reads again without a syntax fault.
  const std::string& out = r.Output.Text();
  const std::string& end = options.LineEnd;
  nc::TEasyCalc calc;
  nc::MachineState state;
  nc::NcWordTable words;
  nc::TokenizeError error;
  nc::BlockAttributes attrs;
  int64_t count = 0;
  for (size_t start = 0; start < out.size();) {
    const size_t e = out.find(end, start);
    fuzz::Check(e != std::string::npos, "every line ends with the line end");
    const std::string_view line(out.data() + start, e - start);
    nc::TokenizeBlock(line, options.Tokenize, calc, state, words, error, attrs);
    // The other tools read every line before they write it; blank-line removal reads none.
    fuzz::Check(!error.Failed || tool % 9 == 4, "what a tool writes reads again");
    start = e + end.size();
    ++count;
  }
  fuzz::Check(count == r.Output.LineCount(), "the lines counted");
  return 0;
}
