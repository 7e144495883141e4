#include "cli/LoadProgram.h"

#include <cstdio>

#include "nc/Cp932.h"

namespace kelvan::cli {

std::shared_ptr<const nc::NcText> LoadProgramText(const std::string& file) {
  auto text = std::make_shared<nc::NcText>();
  std::string error;
  if (nc::NcText::Load(file, *text, error)) return text;
  std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
  return nullptr;
}

CliBench::CliBench(std::shared_ptr<const nc::NcText> text, const EffectiveSettings& s)
    : document_(text), bench_(document_, s.Capacity) {
  workbench::AnalysisSettings a;
  a.ValueUnit = nc::ValueUnitForFloatPos(s.FloatPos);
  for (const std::string& tag : s.ErrorTags) a.ErrorTags.push_back(nc::EncodeFromUtf8(tag, text->Encoding()));
  a.AtcHeight = s.AtcHeight;
  bench_.SetSettings(std::move(a));
  workbench::RunOptions run;
  run.BlockSkip = s.BlockSkip;
  run.WorkHeight = s.WorkHeight;
  bench_.SetRunOptions(run);
}

const nc::AnalysisResult& CliBench::Analyse() {
  bench_.AnalyseProgram();
  return bench_.LastResult();
}

std::string AnalysisErrorText(const nc::AnalysisResult& result) {
  return "result error " + std::to_string(result.Code) + " " + std::to_string(result.Line) + " " +
         std::to_string(result.Column) + " " + std::string(nc::AnalysisMessage(result.Code));
}

}  // namespace kelvan::cli
