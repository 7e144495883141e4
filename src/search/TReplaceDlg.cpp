#include "search/TReplaceDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/NcEditor.h"
#include "search/SearchHistory.h"
#include "view/Beep.h"
#include "view/UserDialogs.h"
#include "view/WaitCursor.h"

namespace kelvan::search {

namespace {

// How often a replace-all lets the events through: often enough for Escape to feel
// immediate, seldom enough to cost nothing next to the replacing.
constexpr int kEventsMilliseconds = 30;

}  // namespace

TReplaceDlg::TReplaceDlg(TargetChooser chooser, view::UserDialogs& dialogs, settings::TRegManager& reg,
                         QWidget* parent)
    : TSearchDialog(std::move(chooser), reg, settings::keys::Find, parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("ReplaceDlg"));
  setWindowTitle(QStringLiteral("置換"));

  replaceBox_ = NewHistoryBox(QStringLiteral("ReplaceComboBox"), this);
  LoadHistory(*replaceBox_, reg_, settings::keys::Replace);
  cursorPosBox_ = new QCheckBox(QStringLiteral("カーソル位置から(&C)"), this);
  cursorPosBox_->setObjectName(QStringLiteral("CursolPosCheckBox"));
  auto* findLabel = new QLabel(QStringLiteral("検索文字列(&F):"), this);
  findLabel->setBuddy(FindComboBox());
  auto* replaceLabel = new QLabel(QStringLiteral("置換文字列(&T):"), this);
  replaceLabel->setBuddy(replaceBox_);

  auto button = [this](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  findBtn_ = button(QStringLiteral("次を検索(&S)"), "FindBtn");
  findBtn_->setDefault(true);
  replaceBtn_ = button(QStringLiteral("置換後次に(&N)"), "ReplaceBtn");
  replaceAllBtn_ = button(QStringLiteral("全て置換える(&A)"), "ReplaceAllBtn");
  closeBtn_ = button(QStringLiteral("閉じる(&C)"), "CloseBtn");

  auto* options = new QVBoxLayout;
  for (QCheckBox* box : {CaseCheckBox(), RegExpCheckBox(), FuzzyCheckBox(), cursorPosBox_}) options->addWidget(box);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {findBtn_, replaceBtn_, replaceAllBtn_, closeBtn_}) buttons->addWidget(b);
  buttons->addStretch(1);
  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(FindComboBox(), 0, 1);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replaceBox_, 1, 1);
  grid->addLayout(options, 2, 1);
  grid->addLayout(buttons, 0, 2, 3, 1);
  grid->setColumnStretch(1, 1);

  connect(findBtn_, &QPushButton::clicked, this, &TReplaceDlg::FindBtnClick);
  connect(replaceBtn_, &QPushButton::clicked, this, &TReplaceDlg::ReplaceBtnClick);
  connect(replaceAllBtn_, &QPushButton::clicked, this, &TReplaceDlg::ReplaceAllBtnClick);
  connect(closeBtn_, &QPushButton::clicked, this, &TReplaceDlg::reject);
}

QString TReplaceDlg::ReplacementText() const { return replaceBox_->currentText(); }

void TReplaceDlg::FindBtnClick() {
  const view::WaitCursor hourglass;
  SearchForward();
}

void TReplaceDlg::ReplaceBtnClick() {
  const QString text = SearchText();
  if (text.isEmpty()) return view::Beep();
  const SearchTarget target = Target();
  if (!target.Editor || !target.Editor->ReplaceAndFindNext(text, ReplacementText(), Options())) view::Beep();
  PushBothHistories();
}

void TReplaceDlg::ReplaceAllBtnClick() {
  const QString text = SearchText();
  if (text.isEmpty()) return view::Beep();
  const SearchTarget target = Target();
  for (QPushButton* b : {findBtn_, replaceBtn_, replaceAllBtn_}) b->setEnabled(false);
  replacingAll_ = true;
  stopRequested_ = false;
  int count = 0;
  {
    const view::WaitCursor hourglass;
    sinceEvents_.invalidate();  // the first match lets the events through at once
    if (target.Editor) {
      count = target.Editor->ReplaceAll(text, ReplacementText(), Options(), cursorPosBox_->isChecked(),
                                        [this, stoppable = target.Stoppable] { return KeepGoing(stoppable); });
    }
  }
  replacingAll_ = false;
  view::Beep();
  dialogs_.Message(this, QMessageBox::Information, QStringLiteral("Kelvan"),
                   QStringLiteral("全部で %1 件置換しました。").arg(count), QMessageBox::Ok);
  PushBothHistories();
  for (QPushButton* b : {findBtn_, replaceBtn_, replaceAllBtn_}) b->setEnabled(true);
  accept();
}

bool TReplaceDlg::KeepGoing(bool stoppable) {
  if (!sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsMilliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    sinceEvents_.start();
  }
  return !(stoppable && stopRequested_);
}

void TReplaceDlg::reject() {
  view::Beep();
  stopRequested_ = true;
  // A running replace-all closes the dialog itself when it has ended.
  if (!replacingAll_) QDialog::reject();
}

void TReplaceDlg::PushBothHistories() {
  PushHistory(*FindComboBox(), SearchText());
  PushHistory(*replaceBox_, ReplacementText());
}

void TReplaceDlg::StoreHistories() {
  TSearchDialog::StoreHistories();
  StoreHistory(*replaceBox_, reg_, settings::keys::Replace);
}

}  // namespace kelvan::search
