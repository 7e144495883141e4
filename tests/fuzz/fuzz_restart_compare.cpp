// Restart from a line and the path comparison on any program: they end; a refusal names a
// line of the text and says why; a restart is the program's own lines after its preamble;
// a program compared with itself agrees, and with its restart at its first line too.

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "nc/LineSource.h"
#include "nc/NcText.h"
#include "nc/NcTextLineSource.h"
#include "tools/ComparePaths.h"
#include "tools/Restart.h"

using namespace kelvan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const uint8_t flags = in.Byte(), at = in.Byte();
  tools::RestartOptions options;
  options.Tool.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(flags % 3);
  options.Tool.Decimals = nc::DecimalsForFloatPos(flags % 3);
  options.Tool.Tokenize.BlockSkipOn = (flags & 4) != 0;
  options.Tool.AtcHeight = (flags & 8) ? 0 : 500;
  const nc::NcText text = nc::NcText::FromBytes(std::string(in.Rest()));
  const nc::NcTextLineSource lines(text);
  const int32_t count = text.LineCount();
  const int32_t line = count == 0 ? 0 : at % (count + 1);

  const tools::RestartResult r = tools::RestartFromLine(lines, line, options);
  if (!r.Ok()) {
    fuzz::Check(!r.Message.empty(), "a refusal says why");
    const bool outside = r.Refusal == tools::RestartRefusal::LineOutOfRange;
    fuzz::Check(r.FaultLine >= 0 && (r.FaultLine < count || count == 0 || outside), "a refusal names a line of the text");
    fuzz::Check(r.Output.LineCount() == 0, "a refusal writes nothing");
  } else {
    fuzz::Check(r.Line >= line && r.Line < count, "the restart line is in the text");
    // The program from the restart line on follows the preamble unchanged.
    const std::string& out = r.Output.Text();
    size_t pos = 0;
    for (int32_t i = 0; i < r.PreambleLines; ++i) pos = out.find('\n', pos) + 1;
    for (int32_t i = r.Line; i < count; ++i) {
      const std::string_view expected = text.Line(i);
      fuzz::Check(out.compare(pos, expected.size(), expected) == 0, "the program's own lines follow");
      pos += expected.size() + 1;
    }
    fuzz::Check(pos == out.size(), "nothing after the program");
  }

  nc::AnalyseOptions analyse;
  analyse.Tokenize = options.Tool.Tokenize;
  analyse.AtcHeight = options.Tool.AtcHeight;
  const tools::ProgramComparison same =
      tools::ComparePrograms(lines, analyse, lines, analyse, 0, tools::CompareOptions());
  if (same.Ok()) {
    fuzz::Check(same.Result.Agree(), "a program agrees with itself");
  } else {
    fuzz::Check(same.Failed == 1, "the first program is named first");
  }
  return 0;
}
