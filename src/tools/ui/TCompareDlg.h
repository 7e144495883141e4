#pragma once

#include <QDialog>

#include <cstdint>

#include "tools/ComparePaths.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelvan::tools {

// "プログラム比較": the result of a program compare beside the main window, without
// blocking it. The compared file, the largest deviation, and the stretches where the two
// paths differ, one row each with the lines in both programs. A double-click (or Enter) on
// a row asks for the caret on the stretch's first line of this program; 再比較 asks for the
// same file again; closing the window ends the comparison.
class TCompareDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TCompareDlg(QWidget* parent = nullptr);

  // Shows a comparison with `file` at `tolerance`. Lines in the result are 0-based.
  void SetComparison(const QString& file, const CompareResult& result, double tolerance);
  // The program was edited after the comparison: the lines may have moved.
  void SetStale(bool stale);
  bool IsStale() const { return stale_; }

  QTreeWidget* List() const { return list_; }
  QLabel* Summary() const { return summary_; }

 signals:
  void LineChosen(int32_t line);  // 0-based, of this program
  void CompareAgain();
  void Closed();

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Choose(QTreeWidgetItem* item);

  QLabel* file_ = nullptr;
  QLabel* summary_ = nullptr;
  QLabel* staleNote_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPushButton* again_ = nullptr;
  QPushButton* close_ = nullptr;
  bool stale_ = false;
};

// "12" or "12-18", 1-based, for a stretch's lines.
QString LineRangeText(int32_t first, int32_t last);

}  // namespace kelvan::tools
