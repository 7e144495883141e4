#pragma once

#include "search/TSearchDialog.h"

class QPushButton;

namespace kelvan::search {

// The find dialog "検索": a tool window with the search box (history "FindFind"), the
// three options, 検索(&S) (default) and 閉じる(&C) (cancel). 検索 searches forward once in
// the editor the dialog works on and closes the dialog.
class TFindDlg : public TSearchDialog {
  Q_OBJECT
 public:
  TFindDlg(TargetChooser chooser, settings::TRegManager& reg, QWidget* parent = nullptr);

  QPushButton* FindBtn() const { return findBtn_; }
  QPushButton* CloseBtn() const { return closeBtn_; }

  // 検索(&S): an empty search box only beeps and the dialog stays.
  void FindBtnClick();

 private:
  QPushButton* findBtn_ = nullptr;
  QPushButton* closeBtn_ = nullptr;
};

}  // namespace kelvan::search
