#pragma once

#include <string>

namespace kelvan::script {

// The user's script folder: $XDG_DATA_HOME/Morwen/KELVAN/Script (XDG_DATA_HOME unset or
// relative: ~/.local/share). Without a trailing '/'.
std::string UserScriptFolder();

struct SeedResult {
  bool Created = false;   // the folder did not exist and was made
  int Copied = 0;         // bundled files copied into it
  std::string Error;      // empty when everything went well
};

// Makes the script folder on first start and copies the bundled scripts (and their
// button pictures) into it. A folder that exists already is left as the user keeps it:
// a bundled script the user deleted does not come back, and no file is ever replaced.
// Each copy appears whole or not at all (written beside and linked into place).
SeedResult SeedScriptFolder(const std::string& bundledFolder, const std::string& folder);

}  // namespace kelvan::script
