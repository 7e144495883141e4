#include "search/TFindDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "view/Beep.h"

namespace kelvan::search {

TFindDlg::TFindDlg(TargetChooser chooser, settings::TRegManager& reg, QWidget* parent)
    : TSearchDialog(std::move(chooser), reg, settings::keys::FindFind, parent) {
  setObjectName(QStringLiteral("FindDlg"));
  setWindowTitle(QStringLiteral("検索"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* label = new QLabel(QStringLiteral("検索文字列(&F):"), this);
  label->setBuddy(FindComboBox());
  findBtn_ = new QPushButton(QStringLiteral("検索(&S)"), this);
  findBtn_->setObjectName(QStringLiteral("FindBtn"));
  findBtn_->setDefault(true);
  closeBtn_ = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  closeBtn_->setObjectName(QStringLiteral("CloseBtn"));
  closeBtn_->setAutoDefault(false);

  auto* options = new QVBoxLayout;
  for (QCheckBox* box : {CaseCheckBox(), RegExpCheckBox(), FuzzyCheckBox()}) options->addWidget(box);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(findBtn_);
  buttons->addWidget(closeBtn_);
  buttons->addStretch(1);
  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(FindComboBox(), 0, 1);
  grid->addLayout(options, 1, 1);
  grid->addLayout(buttons, 0, 2, 2, 1);
  grid->setColumnStretch(1, 1);

  connect(findBtn_, &QPushButton::clicked, this, &TFindDlg::FindBtnClick);
  connect(closeBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

void TFindDlg::FindBtnClick() {
  if (SearchText().isEmpty()) {
    view::Beep();
    return;
  }
  SearchForward();
  accept();
}

}  // namespace kelvan::search
