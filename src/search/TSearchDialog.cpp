#include "search/TSearchDialog.h"

#include <QCheckBox>
#include <QComboBox>

#include "editor/NcEditor.h"
#include "search/SearchHistory.h"
#include "settings/TRegManager.h"
#include "view/Beep.h"

namespace kelvan::search {

QComboBox* NewHistoryBox(const QString& name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);  // the dialog puts entries at the top itself
  box->setMaxVisibleItems(kHistoryLength);
  box->setMinimumWidth(200);
  // Search texts are compared exactly: "g01" is not completed to "G01" from the list.
  box->setCompleter(nullptr);
  box->setDuplicatesEnabled(false);
  return box;
}

TSearchDialog::TSearchDialog(TargetChooser chooser, settings::TRegManager& reg, const settings::StringKey& findKey,
                             QWidget* parent)
    : QDialog(parent), reg_(reg), chooser_(std::move(chooser)), findKey_(findKey) {
  findBox_ = NewHistoryBox(QStringLiteral("FindComboBox"), this);
  caseBox_ = new QCheckBox(QStringLiteral("大文字小文字を区別(&I)"), this);
  caseBox_->setObjectName(QStringLiteral("CaseCheckBox"));
  regExpBox_ = new QCheckBox(QStringLiteral("正規表現(&R)"), this);
  regExpBox_->setObjectName(QStringLiteral("RegExpCheckBox"));
  fuzzyBox_ = new QCheckBox(QStringLiteral("あいまい検索(&U)"), this);
  fuzzyBox_->setObjectName(QStringLiteral("FuzzyCheckBox"));
  LoadHistory(*findBox_, reg_, findKey_);
}

QString TSearchDialog::SearchText() const { return findBox_->currentText(); }

void TSearchDialog::SetSearchText(const QString& text) { findBox_->setEditText(text); }

int TSearchDialog::Options() const {
  int options = 0;
  if (caseBox_->isChecked()) options |= editor::SearchCaseSensitive;
  if (regExpBox_->isChecked()) options |= editor::SearchRegExp;
  if (fuzzyBox_->isChecked()) options |= editor::SearchFuzzy;
  return options;
}

bool TSearchDialog::SearchForward() {
  const QString text = SearchText();
  if (text.isEmpty()) {
    view::Beep();
    return false;
  }
  const SearchTarget target = Target();
  const bool found = target.Editor && target.Editor->FindNext(text, Options(), true);
  if (!found) view::Beep();
  PushHistory(*findBox_, text);
  return found;
}

void TSearchDialog::StoreHistories() { StoreHistory(*findBox_, reg_, findKey_); }

void TSearchDialog::done(int result) {
  StoreHistories();
  QDialog::done(result);
}

}  // namespace kelvan::search
