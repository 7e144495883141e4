#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvan::script {

// The NC program as a script reads and changes it: lines of UTF-8 text, the caret and
// the selection. The host fills it from the document before a run and puts it back in
// one step afterwards, so a script that writes 100,000 blocks costs one replacement, and
// one Undo takes the whole run back.
struct ScriptText {
  std::vector<std::string> Lines;
  int32_t CaretRow = 0;        // 0-based
  int32_t CaretColumn = 0;     // 0-based, in characters
  std::string Selection;       // the selected text, as the editor had it
  bool Changed = false;        // the lines were changed by the run

  void Append(std::string line) {
    Lines.push_back(std::move(line));
    Changed = true;
  }
};

}  // namespace kelvan::script
