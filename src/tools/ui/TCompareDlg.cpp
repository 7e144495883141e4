#include "tools/ui/TCompareDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "workbench/Comparison.h"

namespace kelvan::tools {

namespace {

// The row's first line of this program, for the caret.
constexpr int kLineRole = Qt::UserRole;

}  // namespace

QString LineRangeText(int32_t first, int32_t last) {
  if (first < 0) return QStringLiteral("-");
  if (last <= first) return QString::number(int64_t{first} + 1);
  return QStringLiteral("%1-%2").arg(int64_t{first} + 1).arg(int64_t{last} + 1);
}

TCompareDlg::TCompareDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CompareDlg"));
  setWindowTitle(QStringLiteral("プログラム比較"));
  setModal(false);
  file_ = new QLabel(this);
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_ = new QLabel(this);
  staleNote_ = new QLabel(QStringLiteral("プログラムが変更されました。行は比較したときのものです（再比較で新しくなります）。"), this);
  staleNote_->setStyleSheet(QStringLiteral("color: #a00000;"));
  staleNote_->setWordWrap(true);
  staleNote_->hide();
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("DiffList"));
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setHeaderLabels({QStringLiteral("この行"), QStringLiteral("比較行"), QStringLiteral("最大のずれ"),
                          QStringLiteral("違い")});
  list_->header()->setStretchLastSection(true);
  again_ = new QPushButton(QStringLiteral("再比較(&R)"), this);
  close_ = new QPushButton(QStringLiteral("閉じる"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(again_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file_);
  layout->addWidget(summary_);
  layout->addWidget(staleNote_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  resize(440, 260);
  connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) { Choose(item); });
  connect(again_, &QPushButton::clicked, this, &TCompareDlg::CompareAgain);
  connect(close_, &QPushButton::clicked, this, &QDialog::close);
  // Escape, the title bar and 閉じる all end in finished.
  connect(this, &QDialog::finished, this, &TCompareDlg::Closed);
}

void TCompareDlg::SetComparison(const QString& file, const CompareResult& result, double tolerance) {
  file_->setText(QStringLiteral("比較するプログラム: ") + file);
  if (result.Agree()) {
    summary_->setText(QStringLiteral("経路は一致しています（許容差 %1、最大のずれ %2）。")
                          .arg(QString::number(tolerance, 'g', 6), workbench::DeviationText(result.Largest)));
  } else {
    summary_->setText(QStringLiteral("最大のずれ %1（この行 %2 / 比較行 %3）、許容差 %4 を超える区間 %5")
                          .arg(workbench::DeviationText(result.Largest))
                          .arg(int64_t{result.LineA} + 1)
                          .arg(int64_t{result.LineB} + 1)
                          .arg(QString::number(tolerance, 'g', 6))
                          .arg(static_cast<qsizetype>(result.Stretches.size())));
  }
  list_->clear();
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(result.Stretches.size()));
  for (const PathDifference& d : result.Stretches) {
    auto* row = new QTreeWidgetItem({LineRangeText(d.FirstLineA, d.LastLineA), LineRangeText(d.FirstLineB, d.LastLineB),
                                     workbench::DeviationText(d.Largest),
                                     d.RapidFeed ? QStringLiteral("早送り／送り") : QStringLiteral("位置")});
    row->setData(0, kLineRole, d.FirstLineA);
    rows.append(row);
  }
  list_->addTopLevelItems(rows);
  for (int c = 0; c < 3; ++c) list_->resizeColumnToContents(c);
  if (!rows.isEmpty()) list_->setCurrentItem(rows.front());
  SetStale(false);
}

void TCompareDlg::SetStale(bool stale) {
  stale_ = stale;
  staleNote_->setVisible(stale);
}

void TCompareDlg::Choose(QTreeWidgetItem* item) {
  if (!item) return;
  const int32_t line = item->data(0, kLineRole).toInt();
  // A stretch only in the other program has no line here.
  if (line >= 0) emit LineChosen(line);
}

void TCompareDlg::keyPressEvent(QKeyEvent* e) {
  // Enter chooses the row (the list's own activation), never a default button that would
  // close the window.
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    // The list has chosen the row itself when it has the keys.
    if (!list_->hasFocus()) Choose(list_->currentItem());
    return;
  }
  QDialog::keyPressEvent(e);
}

}  // namespace kelvan::tools
