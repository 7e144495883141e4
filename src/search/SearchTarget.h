#pragma once

#include <functional>

namespace kelvan::editor {
class NcEditor;
}

namespace kelvan::search {

// The editor the find and replace dialogs work on, chosen afresh for every search: the
// script editor while the script window shows, else the report editor while the report
// window shows, else the main window's editor (in the view of it that had the focus).
struct SearchTarget {
  editor::NcEditor* Editor = nullptr;
  // Only a replace-all in the main window's editor can be stopped (Escape, 閉じる).
  bool Stoppable = false;
};

using TargetChooser = std::function<SearchTarget()>;

}  // namespace kelvan::search
