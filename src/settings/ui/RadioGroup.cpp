#include "settings/ui/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace kelvan::settings {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setVerticalSpacing(1);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    group_->addButton(b, i);
    grid->addWidget(b, i % rows, i / rows);
    buttons_.push_back(b);
  }
}

int RadioGroup::ItemIndex() const {
  const int checked = group_->checkedId();
  return checked >= 0 ? checked : unshown_;
}

void RadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < Count()) {
    unshown_ = -1;
    buttons_[size_t(index)]->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; it lets go only while not exclusive.
  group_->setExclusive(false);
  for (QRadioButton* b : buttons_) b->setChecked(false);
  group_->setExclusive(true);
  unshown_ = index;
}

}  // namespace kelvan::settings
