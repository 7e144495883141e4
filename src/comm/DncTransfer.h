#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comm/DncProfile.h"
#include "nc/Cp932.h"

namespace kelvan::comm {

class Trs232c;
class ReceiveAssembler;

// What the transfer needs of the window (or of kelvan-cli). Texts are UTF-8.
class TransferUi {
 public:
  enum class Icon { Information, Warning, Question };
  virtual ~TransferUi() = default;
  // Lets pending window messages through, waiting at most waitMs for one to arrive
  // (0: only what is pending).
  virtual void ProcessMessages(int32_t waitMs) = 0;
  // True when Escape is down or was pressed since the last call.
  virtual bool EscapePressed() = 0;
  // A Yes/No question; true for Yes.
  virtual bool Ask(const std::string& text, const std::string& caption) = 0;
  virtual void Show(const std::string& text, Icon icon) = 0;
  virtual void Beep(bool warning) = 0;
  // The busy cursor and the send, receive and close buttons disabled, or back to normal.
  virtual void Busy(bool on) = 0;
  // Send progress: position out of max lines.
  virtual void Progress(int32_t max, int32_t position) = 0;
  // Receive progress: lines received so far.
  virtual void Received(size_t lines) { (void)lines; }
};

// How a transfer ended.
enum class TransferEnd {
  Declined,      // the user answered No before anything happened
  OpenFailed,    // the port could not be opened
  Completed,     // every line went, or the program came in up to its closing '%'
  MachineEnded,  // DC3 or DC4 from the machine ended it
  Stopped,       // the user stopped it
  WriteError,    // a byte could not be written
  HangUp,        // the other end went away
  XoffTimeout,   // the machine paused the send and never resumed it
};

struct SendResult {
  TransferEnd End = TransferEnd::Declined;
  int32_t LinesSent = 0;   // complete lines, end of block included
  int32_t LineCount = 0;
};

struct ReceiveResult {
  TransferEnd End = TransferEnd::Declined;
  std::vector<std::string> Lines;  // complete lines received, in the tape's characters
  bool Anything = false;           // whether any text arrived (a partial line counts)
};

// The DNC transfer: sends a program to the machine or receives one, byte by byte on the
// calling thread, over the port and the window's services. The port's properties come
// from the profile at the start of every transfer. Waits never spin: input is awaited in
// short slices between which the window's messages are let through, so the stop button
// and Escape act at once.
class DncTransfer {
 public:
  DncTransfer(Trs232c& port, TransferUi& ui) : port_(port), ui_(ui) {}

  // The stop button: the running transfer stops at its next check.
  void RequestStop() { stop_ = true; }
  bool StopRequested() const { return stop_; }

  // Sends the lines (bytes in `encoding`). The result says how far it got; every message
  // has been shown.
  SendResult Send(const DncProfile& profile, const std::vector<std::string>& lines,
                  nc::TextEncoding encoding);
  ReceiveResult Receive(const DncProfile& profile);

  // Overrides of the options ApplyProfile gives (tests shorten the XOFF hold).
  int32_t XoffHoldMs = TransferOptions{}.XoffHoldMs;

 private:
  enum class Wait { Got, Stopped, HangUp, Timeout };
  bool ConfirmUncarried(const std::vector<std::string>& lines, nc::TextEncoding encoding);
  bool OpenPort();
  void Pace();
  bool PutByte(uint8_t byte);
  void SendFeeds();
  Wait WaitForStart();
  Wait WaitForEnd();
  // Reads until a byte that `accept` takes (kept in lastByte_), the stop request, a
  // hang-up or limitMs (0: no limit).
  Wait WaitForByte(bool (*accept)(uint8_t, bool), bool iso, int32_t limitMs);
  void SendProgram(const std::vector<std::string>& lines, SendResult& result);
  bool SendLine(const std::string& line, SendResult& result);
  bool WriteFailed(SendResult& result);
  void SendEndOfBlock();
  TransferEnd ReceiveProgram(ReceiveAssembler& tape);
  bool CheckMachine(SendResult& result);
  void ClosePort();
  void ShowSendEnd(const SendResult& result);
  void PollEscape();

  Trs232c& port_;
  TransferUi& ui_;
  TransferOptions options_;
  nc::TextEncoding encoding_ = nc::TextEncoding::Cp932;
  bool stop_ = false;
  uint8_t lastByte_ = 0;
};

// The texts the transfer shows.
namespace texts {
inline constexpr const char* Caption = "Kelvan";
inline constexpr const char* ReadyToReceive = "相手機の受信準備はＯＫですか。";
inline constexpr const char* ReadyToSend = "相手機の送信準備は良いですか？";
inline constexpr const char* InitFailed = "ＲＳ２３２Ｃ初期化に失敗しました。";
inline constexpr const char* AskStop = "送信を中止しますか。";
inline constexpr const char* Stopped = "停止しました。";
inline constexpr const char* SendError = "送信エラー発生";
inline constexpr const char* SendDone = "送信終了しました。";
inline constexpr const char* ReceiveStopped = "読込み中止しました。";
inline constexpr const char* ReceiveDone = "読み込み終了しました。";
inline constexpr const char* HungUp = "通信が切断されました。";
inline constexpr const char* XoffTimeout = "相手機が送信を再開しません（DC1 待ちのタイムアウト）。";
}  // namespace texts

}  // namespace kelvan::comm
