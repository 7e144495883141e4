#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

#include "comm/DncTransfer.h"
#include "comm/Trs232c.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace kelvan::settings {
class TRegManager;
}
namespace kelvan::view {
class UserDialogs;
}
namespace kelvan::workbench {
class Workbench;
}

namespace kelvan::comm {

// The DNC transfer dialog ("通信"): sends the program to a machine or receives one from it
// with one of the four machine profiles of the store. The transfer itself runs in the
// core (DncTransfer) on this thread; the dialog is its window: messages, questions, the
// busy state, the progress and the stop button. The document is read and replaced
// through the workbench; a received program replaces it in one step that Undo takes back.
class TCommDlg : public QDialog, private TransferUi {
  Q_OBJECT
 public:
  // `promptSave` asks to save a modified program before a receive replaces it.
  TCommDlg(workbench::Workbench& bench, view::UserDialogs& dialogs, settings::TRegManager& reg,
           std::function<void()> promptSave, QWidget* parent = nullptr);
  ~TCommDlg() override;

  void SendBtnClick();
  void RecBtnClick();
  void StopBtnClick() { transfer_.RequestStop(); }
  void ExitBtnClick() { reject(); }

  // The selected profile, 1..4.
  int Profile() const;
  void SetProfile(int n);
  bool Transferring() const { return busy_; }
  Trs232c& Port() { return rs232c_; }
  // The line-rate line under the profiles (transfer time, or where the machine would wait).
  QString RateText() const;
  const SendResult& LastSend() const { return lastSend_; }
  const ReceiveResult& LastReceive() const { return lastReceive_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // TransferUi
  void ProcessMessages(int32_t waitMs) override;
  bool EscapePressed() override;
  bool Ask(const std::string& text, const std::string& caption) override;
  void Show(const std::string& text, Icon icon) override;
  void Beep(bool warning) override;
  void Busy(bool on) override;
  void Progress(int32_t max, int32_t position) override;
  void Received(size_t lines) override;

  DncProfile LoadProfile();
  void UpdateRate();

  workbench::Workbench& bench_;
  view::UserDialogs& dialogs_;
  settings::TRegManager& reg_;
  std::function<void()> promptSave_;
  Trs232c rs232c_;
  DncTransfer transfer_{rs232c_, *this};
  SendResult lastSend_;
  ReceiveResult lastReceive_;
  bool busy_ = false;
  bool escape_ = false;

  std::array<QRadioButton*, 4> machin_{};
  QPushButton* sendBtn_ = nullptr;
  QPushButton* recBtn_ = nullptr;
  QPushButton* stopBtn_ = nullptr;
  QPushButton* exitBtn_ = nullptr;
  QProgressBar* progressBar1_ = nullptr;
  QLabel* rateLabel_ = nullptr;
  QLabel* stateLabel_ = nullptr;
};

}  // namespace kelvan::comm
