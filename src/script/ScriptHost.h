#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/GuiDlgModel.h"
#include "script/NcUnit.h"
#include "script/ScriptText.h"
#include "scriptengine/ScriptEngine.h"

namespace kelvan::script {

class ScriptUi;

// The host of the script language: the engine with the units Stnd, Nc and Math, the
// text the scripts work on, the Nc state, the script-built dialog and the messages of
// the last run.
class ScriptHost {
 public:
  // `scriptFolder` ends with '/': where the dialog's pictures are.
  ScriptHost(ScriptUi& ui, std::string scriptFolder);
  ~ScriptHost();

  // The program's lines, caret and selection: the caller fills them before a run and
  // takes them back after it when Text().Changed.
  ScriptText& Text() { return text_; }
  GuiDlgModel& Dialog() { return dialog_; }
  const NcState& Nc() const { return nc_; }

  struct Options {
    // Called now and then while the script runs; false stops it.
    std::function<bool()> Poll;
    int64_t PollEvery = 4096;
  };
  // Compiles and runs the script text (UTF-8). Before the run the Nc state is zero.
  // True when it compiled and ran to its end; otherwise Messages() says why (the first
  // message is the one to show). Lines written before a fault stay.
  bool RunScriptText(const std::string& script, const Options& options);
  const std::vector<scriptengine::Message>& Messages() const { return messages_; }
  bool Running() const { return running_; }
  // A stop request the running script honours before its next statement.
  void Stop() { engine_.RequestStop(); }

 private:
  ScriptUi& ui_;
  ScriptText text_;
  NcState nc_;
  GuiDlgModel dialog_;
  scriptengine::Engine engine_;
  std::shared_ptr<scriptengine::Program> program_;
  std::vector<scriptengine::Message> messages_;
  bool running_ = false;
};

}  // namespace kelvan::script
