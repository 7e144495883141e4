#pragma once

#include <QDialog>
#include <QString>

#include "search/SearchTarget.h"
#include "settings/SettingsKeys.h"

class QCheckBox;
class QComboBox;

namespace kelvan::settings {
class TRegManager;
}

namespace kelvan::search {

// What the find and the replace dialog share: the search box FindComboBox with its
// history, the three option boxes (大文字小文字を区別, 正規表現, あいまい検索) and the search
// from the caret of the editor the dialog works on. The option boxes start unchecked and
// keep their state while the program runs (the dialogs live as long as the main window).
class TSearchDialog : public QDialog {
  Q_OBJECT
 public:
  QComboBox* FindComboBox() const { return findBox_; }
  QCheckBox* CaseCheckBox() const { return caseBox_; }
  QCheckBox* RegExpCheckBox() const { return regExpBox_; }
  QCheckBox* FuzzyCheckBox() const { return fuzzyBox_; }

  QString SearchText() const;
  void SetSearchText(const QString& text);
  // The editor's SearchOption bits of the check boxes.
  int Options() const;

 protected:
  // The search history is loaded from `findKey` now and stored there when the dialog closes.
  TSearchDialog(TargetChooser chooser, settings::TRegManager& reg, const settings::StringKey& findKey,
                QWidget* parent);

  SearchTarget Target() const { return chooser_(); }
  // Searches forward from the target's caret; the match is selected and shown. An empty
  // search box only beeps (false); a search that finds nothing beeps; either way the
  // search text goes to the top of the history. True when found.
  bool SearchForward();
  // Each history keeps its ten newest entries and is written to its setting.
  virtual void StoreHistories();
  void done(int result) override;

  settings::TRegManager& reg_;

 private:
  TargetChooser chooser_;
  settings::StringKey findKey_;
  QComboBox* findBox_ = nullptr;
  QCheckBox* caseBox_ = nullptr;
  QCheckBox* regExpBox_ = nullptr;
  QCheckBox* fuzzyBox_ = nullptr;
};

// An editable box for a history; its own list is managed by the dialog.
QComboBox* NewHistoryBox(const QString& name, QWidget* parent);

}  // namespace kelvan::search
