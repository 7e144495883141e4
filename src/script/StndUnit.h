#pragma once

#include <string>

#include "scriptengine/ScriptEngine.h"

namespace kelvan::script {

struct GuiDlgModel;
struct ScriptText;
class ScriptUi;

// The unit "Stnd": the program's lines and caret, message and input boxes, text helpers
// and the script-built dialog. `scriptFolder` is where the dialog's pictures are looked
// for (with a trailing '/').
scriptengine::HostUnit MakeStndUnit(ScriptText& text, ScriptUi& ui, GuiDlgModel& dialog,
                                    const std::string& scriptFolder);

// The caption of the script's message and input boxes.
inline constexpr const char* kScriptBoxCaption = "Kelvanすくりぷた～";

}  // namespace kelvan::script
