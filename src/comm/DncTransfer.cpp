#include "comm/DncTransfer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "comm/ReceiveAssembler.h"
#include "comm/TapeCode.h"
#include "comm/Trs232c.h"

namespace kelvan::comm {
namespace {

using Clock = std::chrono::steady_clock;

// Input is awaited in slices this long, with the window's messages let through between.
constexpr int32_t kSliceMs = 50;
// The question lists at most this many characters.
constexpr size_t kListedChars = 10;

int32_t MsSince(Clock::time_point start) {
  return int32_t(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

bool IsDc3OrDc4(uint8_t b, bool) { return b == DC3 || b == DC3Iso || b == DC4; }
bool IsDc1OrDc4(uint8_t b, bool) { return b == DC1 || b == DC4; }
// The machine's start code: DC1, or '%' in either of its forms, or 0xA7.
bool IsStartCode(uint8_t b, bool) { return b == DC1 || b == 0xA7 || b == 0x25 || b == 0xA5; }

std::string Printable(const std::string& text, nc::TextEncoding encoding) {
  if (text.size() == 1 && (uint8_t(text[0]) < 0x20 || uint8_t(text[0]) == 0x7F)) {
    if (text[0] == '\t') return "TAB";
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", unsigned(uint8_t(text[0])));
    return hex;
  }
  return "「" + nc::DecodeToUtf8(text, encoding) + "」";
}

std::string CountText(const SendResult& r) {
  return "全 " + std::to_string(r.LineCount) + " 行のうち " + std::to_string(r.LinesSent) +
         " 行を送信しました。";
}

}  // namespace

bool DncTransfer::ConfirmUncarried(const std::vector<std::string>& lines, nc::TextEncoding encoding) {
  const std::vector<UncarriedChar> found = FindUncarried(options_.Code, lines, encoding);
  if (found.empty()) return true;
  std::string text = std::string(options_.Code == TapeCode::Iso ? "ＩＳＯ" : "ＥＩＡ") +
                     "コードで送れない文字があります。\n";
  for (size_t i = 0; i < found.size() && i < kListedChars; ++i)
    text += Printable(found[i].Text, encoding) + "  " + std::to_string(found[i].Line + 1) + " 行目\n";
  if (found.size() > kListedChars) text += "ほか " + std::to_string(found.size() - kListedChars) + " 文字\n";
  text += "これらは 1 バイトごとに 0x10 として送られます。送信しますか。";
  ui_.Beep(false);
  return ui_.Ask(text, texts::Caption);
}

bool DncTransfer::OpenPort() {
  if (port_.Open()) return true;
  // The reason matters on this platform: a missing device, or one the user may not open.
  ui_.Beep(false);
  ui_.Show(std::string(texts::InitFailed) + "\n" + port_.LastErrorText(), TransferUi::Icon::Warning);
  return false;
}

void DncTransfer::ClosePort() {
  port_.SetRts(false);
  port_.SetDtr(false);
  port_.Close();
}

void DncTransfer::PollEscape() {
  if (ui_.EscapePressed()) stop_ = true;
}

void DncTransfer::Pace() {
  if (options_.PacingMs <= 0) return;
  const Clock::time_point start = Clock::now();
  for (int32_t left = options_.PacingMs; left > 0; left = options_.PacingMs - MsSince(start))
    ui_.ProcessMessages(left);
}

bool DncTransfer::PutByte(uint8_t byte) {
  ui_.ProcessMessages(0);
  Pace();
  return port_.WriteByte(byte);
}

void DncTransfer::SendFeeds() {
  const uint8_t feed = options_.Code == TapeCode::Iso ? 0x00 : NotCarried;
  for (int32_t i = 0; i < options_.FeedLen; ++i) PutByte(feed);
}

DncTransfer::Wait DncTransfer::WaitForByte(bool (*accept)(uint8_t, bool), bool iso, int32_t limitMs) {
  const Clock::time_point start = Clock::now();
  for (;;) {
    ui_.ProcessMessages(0);
    PollEscape();
    if (stop_) return Wait::Stopped;
    int32_t slice = kSliceMs;
    if (limitMs > 0) {
      const int32_t left = limitMs - MsSince(start);
      if (left <= 0) return Wait::Timeout;
      slice = std::min(slice, left);
    }
    if (!port_.WaitInput(slice)) {
      if (port_.LastError() == PortError::HangUp) return Wait::HangUp;
      continue;
    }
    uint8_t b = 0;
    while (port_.InQueueCount() > 0 && port_.ReadByte(b)) {
      if (accept(b, iso)) {
        lastByte_ = b;
        return Wait::Got;
      }
    }
  }
}

DncTransfer::Wait DncTransfer::WaitForStart() { return WaitForByte(IsStartCode, true, 0); }
DncTransfer::Wait DncTransfer::WaitForEnd() { return WaitForByte(IsDc3OrDc4, true, 0); }

bool DncTransfer::SendLine(const std::string& line, SendResult& result) {
  const std::string wire = EncodeLine(options_.Code, line, encoding_);
  // Without pacing the bytes of a line go to the driver in one write: the line is the
  // same on the wire, and a long program costs a twentieth of the system calls.
  if (options_.PacingMs <= 0) {
    ui_.ProcessMessages(0);
    if (wire.empty() || port_.WriteData(wire.data(), wire.size())) return true;
    return WriteFailed(result);
  }
  for (char b : wire)
    if (!PutByte(uint8_t(b))) return WriteFailed(result);
  return true;
}

// A write that failed ends the send: a hang-up, or any other error with its reason.
bool DncTransfer::WriteFailed(SendResult& result) {
  ui_.Beep(true);
  if (port_.LastError() == PortError::HangUp) {
    ui_.Show(texts::HungUp, TransferUi::Icon::Warning);
    result.End = TransferEnd::HangUp;
  } else {
    ui_.Show(std::string(texts::SendError) + "\n" + port_.LastErrorText(), TransferUi::Icon::Warning);
    result.End = TransferEnd::WriteError;
  }
  return false;
}

// A failed end of block is noticed at the next line's first byte.
void DncTransfer::SendEndOfBlock() {
  if (options_.Code == TapeCode::Eia) {
    ui_.ProcessMessages(0);
    port_.WriteByte(EiaEndOfBlock);
    return;
  }
  static const std::vector<uint8_t> kEob[] = {{0x0A}, {0x8D, 0x0A}, {0x0A, 0x8D}, {0x0A, 0x8D, 0x8D}};
  if (options_.EOB < 0 || options_.EOB > 3) return;
  for (uint8_t b : kEob[options_.EOB]) PutByte(b);
}

// Reads what the machine sent during the line. DC4 ends the send; so does DC3 unless the
// profile does XON/XOFF, where DC3 pauses the send until DC1. Other bytes are ignored.
bool DncTransfer::CheckMachine(SendResult& result) {
  uint8_t b = 0;
  while (port_.InQueueCount() > 0 && port_.ReadByte(b)) {
    const bool dc4 = b == DC4;
    if (!dc4 && !IsDc3OrDc4(b, true)) continue;
    if (dc4 || !options_.SoftwareFlow()) {
      result.End = TransferEnd::MachineEnded;
      return false;
    }
    switch (WaitForByte(IsDc1OrDc4, true, options_.XoffHoldMs)) {
      case Wait::Got:
        if (lastByte_ == DC4) {
          result.End = TransferEnd::MachineEnded;
          return false;
        }
        break;
      case Wait::Stopped:
        return true;  // the question before the next line
      case Wait::HangUp:
        ui_.Beep(true);
        ui_.Show(texts::HungUp, TransferUi::Icon::Warning);
        result.End = TransferEnd::HangUp;
        return false;
      case Wait::Timeout:
        ui_.Beep(true);
        ui_.Show(texts::XoffTimeout, TransferUi::Icon::Warning);
        result.End = TransferEnd::XoffTimeout;
        return false;
    }
  }
  return true;
}

void DncTransfer::ShowSendEnd(const SendResult& r) {
  if (r.End == TransferEnd::Stopped || r.End == TransferEnd::OpenFailed) return;
  if (r.LinesSent < r.LineCount) {
    ui_.Show(std::string(texts::SendDone) + "\n" + CountText(r), TransferUi::Icon::Warning);
  } else if (!stop_) {
    ui_.Show(texts::SendDone, TransferUi::Icon::Information);
  }
}

SendResult DncTransfer::Send(const DncProfile& profile, const std::vector<std::string>& lines,
                             nc::TextEncoding encoding) {
  SendResult r;
  r.LineCount = int32_t(lines.size());
  options_ = ApplyProfile(profile, port_);
  options_.XoffHoldMs = XoffHoldMs;
  encoding_ = encoding;
  if (!ConfirmUncarried(lines, encoding)) return r;
  if (!options_.Standby) {
    ui_.Beep(false);
    if (!ui_.Ask(texts::ReadyToReceive, texts::Caption)) return r;
  }
  if (!OpenPort()) {
    r.End = TransferEnd::OpenFailed;
    return r;
  }
  ui_.Busy(true);
  stop_ = false;
  port_.SetRts(true);
  port_.SetDtr(true);
  Pace();
  r.End = TransferEnd::Completed;
  SendProgram(lines, r);
  ClosePort();
  ShowSendEnd(r);
  ui_.Busy(false);
  ui_.Progress(r.LineCount, 0);
  return r;
}

void DncTransfer::SendProgram(const std::vector<std::string>& lines, SendResult& r) {
  if (options_.DC2DC4) PutByte(DC2);
  if (options_.Punch) {
    SendFeeds();
  } else if (options_.Standby && options_.SoftwareFlow() && WaitForStart() == Wait::HangUp) {
    ui_.Beep(true);
    ui_.Show(texts::HungUp, TransferUi::Icon::Warning);
    r.End = TransferEnd::HangUp;
    return;
  }
  ui_.Progress(r.LineCount, 0);
  for (int32_t i = 0; i < r.LineCount; ++i) {
    ui_.ProcessMessages(0);
    PollEscape();
    if (stop_) {
      ui_.Beep(false);
      if (ui_.Ask(texts::AskStop, texts::Caption)) {
        ui_.Show(texts::Stopped, TransferUi::Icon::Information);
        r.End = TransferEnd::Stopped;
        return;
      }
      stop_ = false;  // No: the send goes on without asking again at every line
    }
    ui_.Progress(r.LineCount, i + 1);
    if (!SendLine(lines[size_t(i)], r) || !CheckMachine(r)) return;
    SendEndOfBlock();
    ++r.LinesSent;
  }
  if (options_.Punch) SendFeeds();
  if (options_.DC2DC4) PutByte(DC4);
  if (options_.SoftwareFlow()) WaitForEnd();
}

ReceiveResult DncTransfer::Receive(const DncProfile& profile) {
  ReceiveResult r;
  if (!ui_.Ask(texts::ReadyToSend, texts::Caption)) return r;
  ui_.Busy(true);
  stop_ = false;
  options_ = ApplyProfile(profile, port_);
  if (!OpenPort()) {
    ui_.Busy(false);
    r.End = TransferEnd::OpenFailed;
    return r;
  }
  port_.SetRts(true);
  port_.SetDtr(true);
  ReceiveAssembler tape(options_.Code);
  r.End = ReceiveProgram(tape);
  ui_.Received(tape.Lines().size());
  // A program ended by its '%' may still be followed by the machine's DC3 or DC4; one
  // ended by that code already has it.
  if (r.End == TransferEnd::Completed && options_.SoftwareFlow()) WaitForEnd();
  ClosePort();
  ui_.Busy(false);
  const bool ended = r.End == TransferEnd::Completed || r.End == TransferEnd::MachineEnded;
  if (ended && !stop_) ui_.Show(texts::ReceiveDone, TransferUi::Icon::Information);
  r.Anything = tape.ReceivedText();
  r.Lines = tape.TakeLines();
  return r;
}

TransferEnd DncTransfer::ReceiveProgram(ReceiveAssembler& tape) {
  size_t reported = 0;
  for (;;) {
    ui_.ProcessMessages(0);
    PollEscape();
    if (stop_) {
      ui_.Beep(true);
      ui_.Show(texts::ReceiveStopped, TransferUi::Icon::Warning);
      return TransferEnd::Stopped;
    }
    if (!port_.WaitInput(kSliceMs)) {
      if (port_.LastError() != PortError::HangUp) continue;
      ui_.Beep(true);
      ui_.Show(texts::HungUp, TransferUi::Icon::Warning);
      return TransferEnd::HangUp;
    }
    uint8_t b = 0;
    while (port_.InQueueCount() > 0 && port_.ReadByte(b)) {
      const ReceiveAssembler::Step step = tape.Feed(b);
      if (step == ReceiveAssembler::Step::Control) {
        ui_.Beep(false);
        return TransferEnd::MachineEnded;
      }
      if (step == ReceiveAssembler::Step::Percent) return TransferEnd::Completed;
    }
    if (tape.Lines().size() != reported) ui_.Received(reported = tape.Lines().size());
  }
}

}  // namespace kelvan::comm
