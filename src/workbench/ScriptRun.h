#pragma once

#include <string>

#include "script/ScriptHost.h"

namespace kelvan::workbench {

class Workbench;

// Runs a script on the workbench's program: the lines, caret and selection go to the
// host, the script runs with the script-running flag set, and a text the script changed
// comes back in one step that Undo takes back (also after a fault: the lines written
// before it stay). Then the program is analysed and drawn afresh. True when the script
// compiled and ran to its end; the host's messages say why not.
bool RunScriptOnWorkbench(Workbench& bench, script::ScriptHost& host, const std::string& script,
                          const script::ScriptHost::Options& options, const std::string& selection = {});

}  // namespace kelvan::workbench
