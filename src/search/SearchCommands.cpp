#include "search/SearchCommands.h"

#include <QComboBox>

#include "editor/NcEditor.h"
#include "search/TFindDlg.h"
#include "search/TReplaceDlg.h"
#include "view/Beep.h"

namespace kelvan::search {

SearchCommands::SearchCommands(TargetChooser chooser, view::UserDialogs& dialogs, settings::TRegManager& reg,
                               QWidget* parent)
    : QObject(parent),
      find_(new TFindDlg(chooser, reg, parent)),
      replace_(new TReplaceDlg(chooser, dialogs, reg, parent)) {}

QString SearchCommands::SearchTextAt(editor::NcEditor& editor) {
  if (editor.HasSelection()) return editor.SelectedText();
  const int row = editor.CaretRow();
  const int col = editor.CaretCol();
  editor.SelectWordAtCaret();
  const QString word = editor.SelectedText();
  editor.ClearSelection();
  editor.SetCaret(row, col);
  return word;
}

// The dialog stands over the window the command came from (the script window or the
// report window are modal themselves), so it belongs to that window while it shows.
void SearchCommands::ShowOver(QWidget* over, QWidget* dialog) {
  if (over && dialog->parentWidget() != over) dialog->setParent(over, dialog->windowFlags());
}

void SearchCommands::ShowFind(QWidget* over, editor::NcEditor* from) {
  if (from) find_->SetSearchText(SearchTextAt(*from));
  ShowOver(over, find_);
  find_->exec();
}

void SearchCommands::ShowReplace(QWidget* over, editor::NcEditor* from) {
  if (from) replace_->SetSearchText(SearchTextAt(*from));
  ShowOver(over, replace_);
  replace_->exec();
}

void SearchCommands::FindAgain(QWidget* over, editor::NcEditor& editor, bool forward) {
  if (find_->SearchText().isEmpty()) return ShowFind(over, nullptr);
  Repeat(editor, forward);
}

bool SearchCommands::Repeat(editor::NcEditor& editor, bool forward) {
  const bool found = editor.FindAgain(forward);
  if (!found) view::Beep();
  return found;
}

}  // namespace kelvan::search
