#pragma once

class QCoreApplication;

namespace kelvan::view {

// Kelvan speaks Japanese: the toolkit's own texts (the buttons and labels of the open,
// save and print dialogs and of message boxes) are loaded in Japanese too, from the
// toolkit's translations. False when they are not installed; the dialogs then stay in
// English.
bool InstallToolkitTranslations(QCoreApplication& app);

}  // namespace kelvan::view
