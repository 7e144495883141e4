#include "script/ui/TAssistanceDlg.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

#include "script/ReservedWords.h"

namespace kelvan::script {

TAssistanceDlg::TAssistanceDlg(QWidget* parent) : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("AssistanceDlg"));
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  for (std::string_view w : kReservedWords) list_->addItem(QString::fromLatin1(w.data(), qsizetype(w.size())));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
  setFixedSize(172, 93);
  auto take = [this](QListWidgetItem* item) {
    if (!item) return;
    chosen_ = item->text();
    accept();
  };
  connect(list_, &QListWidget::itemClicked, this, take);
  connect(list_, &QListWidget::itemActivated, this, take);  // Enter
}

QString TAssistanceDlg::Choose(const QPoint& at) {
  chosen_.clear();
  move(at);
  if (list_->currentRow() < 0) list_->setCurrentRow(0);
  list_->setFocus();
  exec();
  return chosen_;
}

}  // namespace kelvan::script
