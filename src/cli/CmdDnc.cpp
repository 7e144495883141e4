// kelvan-cli dnc send|receive|check: the DNC transfer over a serial device, with a machine
// profile of the settings store, and the line-rate check of a program.

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/Commands.h"
#include "cli/LoadProgram.h"
#include "comm/DncTransfer.h"
#include "comm/LineRateCheck.h"
#include "comm/Trs232c.h"
#include "nc/NcText.h"
#include "settings/MachineProfile.h"
#include "settings/TRegManager.h"

namespace kelvan::cli {

namespace {

constexpr const char* kUsage =
    "usage: kelvan-cli dnc send|receive [--profile N] [--device PATH] [--send-anyway] FILE\n"
    "       kelvan-cli dnc check [--profile N] FILE\n"
    "  N: machine profile 1..4 of the settings (default 1); PATH: the serial device (default:\n"
    "  the profile's port, COM1..COM4 = the settings' ComDevice1..4, /dev/ttyS0..3)\n";

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

// The terminal's side of the transfer: the command itself is the go-ahead, Ctrl+C is the
// stop button (and its question is answered Yes), messages go to stderr.
class CliTransferUi : public comm::TransferUi {
 public:
  explicit CliTransferUi(bool sendAnyway) : sendAnyway_(sendAnyway) {}
  void ProcessMessages(int32_t waitMs) override {
    if (waitMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  bool EscapePressed() override { return interrupted.exchange(false); }
  bool Ask(const std::string& text, const std::string&) override {
    if (text.find(comm::texts::AskStop) == 0 || text == comm::texts::ReadyToReceive ||
        text == comm::texts::ReadyToSend)
      return true;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!sendAnyway_) std::fputs("kelvan-cli: not sent (--send-anyway sends it as it is)\n", stderr);
    return sendAnyway_;
  }
  void Show(const std::string& text, Icon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void Beep(bool) override {}
  void Busy(bool) override {}
  void Progress(int32_t, int32_t) override {}

 private:
  bool sendAnyway_;
};

struct Setup {
  comm::DncProfile Profile;
  std::array<std::string, 4> Devices;
};

Setup LoadSetup(const CliOptions& options) {
  const settings::TRegManager store;
  const int n = options.Profile.value_or(1);
  Setup s{settings::MachineProfile::Load(store, n).ToDnc(), settings::LoadComDevices(store)};
  if (options.Device) s.Devices.fill(*options.Device);
  return s;
}

int Send(const CliOptions& options, const std::string& file) {
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(file);
  if (!text) return 2;
  std::vector<std::string> lines;
  lines.reserve(size_t(text->LineCount()));
  for (int32_t i = 0; i < text->LineCount(); ++i) lines.emplace_back(text->Line(i));
  const Setup setup = LoadSetup(options);
  comm::Trs232c port;
  port.comdevices = setup.Devices;
  CliTransferUi ui(options.SendAnyway);
  comm::DncTransfer transfer(port, ui);
  const comm::SendResult r = transfer.Send(setup.Profile, lines, text->Encoding());
  std::fprintf(stderr, "sent %d of %d lines\n", r.LinesSent, r.LineCount);
  if (r.End == comm::TransferEnd::OpenFailed) return 2;
  return r.End == comm::TransferEnd::Completed && r.LinesSent == r.LineCount ? 0 : 1;
}

int Receive(const CliOptions& options, const std::string& file) {
  const Setup setup = LoadSetup(options);
  comm::Trs232c port;
  port.comdevices = setup.Devices;
  CliTransferUi ui(false);
  comm::DncTransfer transfer(port, ui);
  const comm::ReceiveResult r = transfer.Receive(setup.Profile);
  std::fprintf(stderr, "received %zu lines\n", r.Lines.size());
  if (r.End == comm::TransferEnd::OpenFailed) return 2;
  if (!r.Lines.empty()) {
    // The tape's characters are ASCII: the file is CP932 as it stands.
    const nc::NcText received = nc::NcText::FromLines(r.Lines, nc::TextEncoding::Cp932, nc::LineEnd::Lf, true);
    std::string error;
    if (!nc::WriteFileAtomically(file, received.Bytes(), error)) {
      std::fprintf(stderr, "kelvan-cli: %s\n", error.c_str());
      return 2;
    }
  }
  const bool ended = r.End == comm::TransferEnd::Completed || r.End == comm::TransferEnd::MachineEnded;
  return ended && !r.Lines.empty() ? 0 : 1;
}

int Check(const CliOptions& options, const std::string& file) {
  const std::shared_ptr<const nc::NcText> text = LoadProgramText(file);
  if (!text) return 2;
  CliBench bench(text, ResolveSettings(options));
  const nc::AnalysisResult& analysis = bench.Analyse();
  const comm::DncProfile profile = LoadSetup(options).Profile;
  const comm::LineRateReport r = comm::CheckLineRate(*text, bench.Bench().Path(), profile);
  std::printf("lines %d\nbytes %lld\n", text->LineCount(), static_cast<long long>(r.Bytes));
  std::printf("rate %.0f chars/s (%d baud, %d bits per character%s)\n", r.CharsPerSecond, r.Baud,
              r.BitsPerChar, profile.TimeOut < 0 ? ", paced" : "");
  std::printf("transfer %.1f s\n", r.TransferSeconds);
  if (!analysis.Ok()) {
    std::printf("%s\n", AnalysisErrorText(analysis).c_str());
    return 1;
  }
  if (!r.Starves) {
    std::printf("keeps up\n");
    return 0;
  }
  std::printf("starves at line %d (needs %.0f chars/s)\n", r.Line + 1, r.NeededCharsPerSecond);
  return 1;
}

}  // namespace

int RunDnc(const CliOptions& options) {
  if (options.Positional.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& action = options.Positional[0];
  const std::string& file = options.Positional[1];
  if (action == "check") return Check(options, file);
  if (action != "send" && action != "receive") {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::signal(SIGINT, OnInterrupt);
  return action == "send" ? Send(options, file) : Receive(options, file);
}

}  // namespace kelvan::cli
