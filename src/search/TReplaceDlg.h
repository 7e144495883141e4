#pragma once

#include <QElapsedTimer>

#include "search/TSearchDialog.h"

class QPushButton;

namespace kelvan::view {
class UserDialogs;
}

namespace kelvan::search {

// The replace dialog "置換": search box (history "Find"), replacement box ReplaceComboBox
// (history "Replace"), the three options, カーソル位置から (CursolPosCheckBox), and the
// buttons 次を検索 (default), 置換後次に, 全て置換える and 閉じる (cancel).
//
// A replace-all lets the events through now and then, so that the window stays drawn and
// Escape or 閉じる reach it: in the main window's editor they stop the replace-all (in the
// other editors it runs to its end); the dialog closes when the replace-all has ended.
class TReplaceDlg : public TSearchDialog {
  Q_OBJECT
 public:
  TReplaceDlg(TargetChooser chooser, view::UserDialogs& dialogs, settings::TRegManager& reg,
              QWidget* parent = nullptr);

  QComboBox* ReplaceComboBox() const { return replaceBox_; }
  QCheckBox* CursolPosCheckBox() const { return cursorPosBox_; }
  QPushButton* FindBtn() const { return findBtn_; }
  QPushButton* ReplaceBtn() const { return replaceBtn_; }
  QPushButton* ReplaceAllBtn() const { return replaceAllBtn_; }
  QPushButton* CloseBtn() const { return closeBtn_; }

  QString ReplacementText() const;
  bool IsReplacingAll() const { return replacingAll_; }

  void FindBtnClick();        // 次を検索(&S)
  void ReplaceBtnClick();     // 置換後次に(&N)
  void ReplaceAllBtnClick();  // 全て置換える(&A)

 protected:
  // Escape and 閉じる: a beep, and a running replace-all in the main editor is asked to stop.
  void reject() override;
  void StoreHistories() override;

 private:
  bool KeepGoing(bool stoppable);
  void PushBothHistories();

  view::UserDialogs& dialogs_;
  QComboBox* replaceBox_ = nullptr;
  QCheckBox* cursorPosBox_ = nullptr;
  QPushButton* findBtn_ = nullptr;
  QPushButton* replaceBtn_ = nullptr;
  QPushButton* replaceAllBtn_ = nullptr;
  QPushButton* closeBtn_ = nullptr;
  bool replacingAll_ = false;
  bool stopRequested_ = false;
  QElapsedTimer sinceEvents_;
};

}  // namespace kelvan::search
