#include "script/ScriptHost.h"

#include "script/MathUnit.h"
#include "script/StndUnit.h"

namespace kelvan::script {

ScriptHost::ScriptHost(ScriptUi& ui, std::string scriptFolder) : ui_(ui) {
  engine_.AddUnit(MakeStndUnit(text_, ui_, dialog_, scriptFolder));
  engine_.AddUnit(MakeNcUnit(text_, nc_));
  engine_.AddUnit(MakeMathUnit());
}

ScriptHost::~ScriptHost() = default;

bool ScriptHost::RunScriptText(const std::string& script, const Options& options) {
  messages_.clear();
  program_.reset();
  program_ = engine_.Compile(script, messages_);
  if (!program_) return false;
  nc_ = NcState{};
  scriptengine::RunOptions run;
  run.Poll = options.Poll;
  run.PollEvery = options.PollEvery;
  running_ = true;
  const bool ok = engine_.Run(*program_, run, messages_);
  running_ = false;
  return ok;
}

}  // namespace kelvan::script
