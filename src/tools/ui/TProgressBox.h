#pragma once

#include <QDialog>
#include <QTimer>

#include <atomic>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kelvan::tools {

// The progress box of long commands ("処理経過"): a stay-on-top dialog with a status text, a
// progress bar and a cancel button "キャンセル" that is hidden unless enabled (45 pixels
// high without it, 75 with it). The position may be reported from any thread; the bar
// follows it once a second.
class TProgressBox : public QDialog {
  Q_OBJECT
 public:
  explicit TProgressBox(QWidget* parent = nullptr);

  void SetMaximum(int64_t maximum);  // the minimum is 0
  void SetStatus(const QString& text);
  void SetCancelEnabled(bool enabled);
  // Thread-safe; the bar shows it at its next refresh.
  void SetPosition(int64_t position) { position_.store(position, std::memory_order_relaxed); }
  int BarValue() const;
  bool CancelRequested() const { return cancelled_; }

  // Shows the box at position 0 (not modal: the caller runs the work and closes it).
  void Start();
  void Finish();

  // The bar's refresh period.
  static constexpr int kRefreshMs = 1000;

 private:
  void Refresh();

  QLabel* status_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QTimer timer_;
  std::atomic<int64_t> position_{0};
  int64_t maximum_ = 0;
  bool cancelled_ = false;
};

}  // namespace kelvan::tools
