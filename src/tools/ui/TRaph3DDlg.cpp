#include "tools/ui/TRaph3DDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace kelvan::tools {

TRaph3DDlg::TRaph3DDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Raph3DDlg"));
  setWindowTitle(QStringLiteral("簡易荒取り"));
  auto* form = new QFormLayout(this);
  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  startZ_ = edit("StartZ");
  endZ_ = edit("EndZ");
  step_ = edit("Step");
  form->addRow(QStringLiteral("開始高さ"), startZ_);
  form->addRow(QStringLiteral("終了高さ"), endZ_);
  form->addRow(QStringLiteral("ステップ量"), step_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool TRaph3DDlg::Ask(QString& start, QString& end, QString& step) {
  startZ_->setText(start);
  endZ_->setText(end);
  step_->setText(step);
  startZ_->setFocus();
  if (exec() != QDialog::Accepted) return false;
  start = startZ_->text();
  end = endZ_->text();
  step = step_->text();
  return true;
}

}  // namespace kelvan::tools
