#pragma once

#include <QString>

namespace kelvan::view {

// A read-only resource of the program (the manual, the bundled scripts): the build tree
// keeps them beside the executable, an installation under share/kelvan. `relative` names
// the file or folder inside the resources.
QString ResourcePath(const QString& relative);

}  // namespace kelvan::view
