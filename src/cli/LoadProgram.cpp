#include "cli/LoadProgram.h"

#include <cstdio>

#include "nc/AnalyseProgram.h"
#include "nc/Cp932.h"
#include "nc/NcTextLineSource.h"
#include "nc/PathList.h"
#include "nc/TEasyCalc.h"

namespace kelvan::cli {

bool LoadProgramText(const std::string& file, nc::NcText& text) {
  std::string error;
  if (nc::NcText::Load(file, text, error)) return true;
  std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
  return false;
}

nc::AnalysisResult AnalyseProgramText(const nc::NcText& text, const EffectiveSettings& s,
                                      nc::PathList& path, nc::MachineState& state) {
  nc::AnalyseOptions opt;
  opt.Tokenize.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  opt.Tokenize.BlockSkipOn = s.BlockSkip;
  for (const std::string& tag : s.ErrorTags)
    opt.Tokenize.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text.Encoding()));
  opt.AtcHeight = s.AtcHeight;
  opt.WorkHeight = s.WorkHeight;
  nc::TEasyCalc calc;
  nc::NcTextLineSource lines(text);
  nc::RowMarks marks;
  return nc::AnalyseProgram(lines, opt, calc, path, state, marks);
}

std::string AnalysisErrorText(const nc::AnalysisResult& result) {
  return "result error " + std::to_string(result.Code) + " " + std::to_string(result.Line) + " " +
         std::to_string(result.Column) + " " + std::string(nc::AnalysisMessage(result.Code));
}

}  // namespace kelvan::cli
