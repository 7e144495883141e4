#pragma once

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace kelvan::settings {

// A framed group of radio buttons whose value is the index of the checked item. An index
// with no item (a value set by hand in the store) checks none and is kept as it is, so
// that it is written back unchanged unless the user picks an item.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent = nullptr);

  int ItemIndex() const;
  void SetItemIndex(int index);
  int Count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* Button(int index) const { return buttons_.at(size_t(index)); }

 private:
  QButtonGroup* group_ = nullptr;
  std::vector<QRadioButton*> buttons_;
  int unshown_ = -1;  // the index set that no item stands for
};

}  // namespace kelvan::settings
