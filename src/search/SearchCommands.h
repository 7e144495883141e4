#pragma once

#include <QObject>

#include "search/SearchTarget.h"

class QWidget;

namespace kelvan::settings {
class TRegManager;
}
namespace kelvan::view {
class UserDialogs;
}

namespace kelvan::search {

class TFindDlg;
class TReplaceDlg;

// The find and replace commands every editor window offers (検索, 置換, 再検索 and its
// backward twin), over the one find dialog and the one replace dialog of the program.
// The windows hand over which editor the command came from; the dialogs themselves choose
// the editor they search through the chooser.
class SearchCommands : public QObject {
  Q_OBJECT
 public:
  // The dialogs are created now (their histories load from `reg`); `parent` owns them.
  SearchCommands(TargetChooser chooser, view::UserDialogs& dialogs, settings::TRegManager& reg, QWidget* parent);

  TFindDlg& FindDialog() const { return *find_; }
  TReplaceDlg& ReplaceDialog() const { return *replace_; }

  // The find (replace) dialog, modally over the window `over`. With `from`, its search
  // box first takes that editor's selection or, without one, the word at its caret.
  void ShowFind(QWidget* over, editor::NcEditor* from);
  void ShowReplace(QWidget* over, editor::NcEditor* from);
  // 再検索: the find dialog when its search box is empty; otherwise the editor's search
  // again from its caret, a miss beeping.
  void FindAgain(QWidget* over, editor::NcEditor& editor, bool forward);
  // The editor's search again; a miss (or no search yet) beeps.
  static bool Repeat(editor::NcEditor& editor, bool forward);

  // The selection of the editor, or the word at its caret: the caret is put back where it
  // was with nothing selected.
  static QString SearchTextAt(editor::NcEditor& editor);

 private:
  void ShowOver(QWidget* over, QWidget* dialog);

  TFindDlg* find_;     // owned by the parent widget (or the window they stand over)
  TReplaceDlg* replace_;
};

}  // namespace kelvan::search
