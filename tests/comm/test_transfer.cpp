// The DNC transfer against a machine simulated on a pseudo-terminal pair.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "PtyPair.h"
#include "comm/DncTransfer.h"
#include "comm/TapeCode.h"
#include "comm/Trs232c.h"

namespace kelvan::comm {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The window: questions answered from a list (Yes when it runs out), messages recorded.
class FakeUi : public TransferUi {
 public:
  void ProcessMessages(int32_t waitMs) override {
    ++processed;
    if (onProcess) onProcess(*this);
    if (waitMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  bool EscapePressed() override { return escape.exchange(false); }
  bool Ask(const std::string& text, const std::string&) override {
    asked.push_back(text);
    if (answers.empty()) return true;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  void Show(const std::string& text, Icon) override { shown.push_back(text); }
  void Beep(bool) override { ++beeps; }
  void Busy(bool on) override { busy.push_back(on); }
  void Progress(int32_t max, int32_t position) override { progress = {max, position}; }

  std::atomic<bool> escape{false};
  std::deque<bool> answers;
  std::vector<std::string> asked, shown;
  std::vector<bool> busy;
  std::pair<int32_t, int32_t> progress;
  int beeps = 0;
  int processed = 0;
  std::function<void(FakeUi&)> onProcess;  // the user acting while the transfer runs
};

// A machine on the master side, run on its own thread while the transfer runs.
class Machine {
 public:
  explicit Machine(test::PtyPair& pty) : pty_(pty) {}
  ~Machine() { Join(); }
  void Run(std::function<void(test::PtyPair&)> script) {
    thread_ = std::thread([this, script = std::move(script)] { script(pty_); });
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  test::PtyPair& pty_;
  std::thread thread_;
};

std::string Iso(const std::string& text) {
  std::string out;
  for (char c : text) out.push_back(char(EncodeIso(uint8_t(c))));
  return out;
}

// A profile that starts at once: no DC2, no start wait, no questions.
DncProfile Plain() {
  DncProfile p;
  p.XFlow = 0;
  p.DC2DC4 = false;
  p.Standby = true;
  p.TimeOut = 1000;
  p.EOB = 0;
  return p;
}

struct Fixture {
  Fixture() { port.comdevices.fill(pty.slavePath); }
  test::PtyPair pty;
  Trs232c port;
  FakeUi ui;
  DncTransfer transfer{port, ui};
};

TEST(DncSend, EndOfBlockSequencesAndCodes) {
  struct Case { const char* name; int code; int eob; std::string wire; };
  const Case cases[] = {
      {"iso LF", 0, 0, "\x47\x30\xB1\xA0\xD8\xB1\x2E\x0A"},
      {"iso CR LF", 0, 1, "\x47\x30\xB1\xA0\xD8\xB1\x2E\x8D\x0A"},
      {"iso LF CR", 0, 2, "\x47\x30\xB1\xA0\xD8\xB1\x2E\x0A\x8D"},
      {"iso LF CR CR", 0, 3, "\x47\x30\xB1\xA0\xD8\xB1\x2E\x0A\x8D\x8D"},
      {"iso none", 0, 4, "\x47\x30\xB1\xA0\xD8\xB1\x2E"},
      {"eia", 1, 0, "\x67\x20\x01\x10\x37\x01\x6B\x80"},
  };
  for (const Case& c : cases) {
    Fixture f;
    ASSERT_TRUE(f.pty.ok());
    DncProfile p = Plain();
    p.NcCode = c.code;
    p.EOB = c.eob;
    const SendResult r = f.transfer.Send(p, {"G01 X1."}, nc::TextEncoding::Cp932);
    EXPECT_EQ(r.End, TransferEnd::Completed) << c.name;
    EXPECT_EQ(r.LinesSent, 1) << c.name;
    EXPECT_EQ(f.pty.ReadMaster(std::string::npos, 300), c.wire) << c.name;
    EXPECT_EQ(f.ui.shown, std::vector<std::string>{texts::SendDone}) << c.name;
    EXPECT_EQ(f.ui.busy, (std::vector<bool>{true, false})) << c.name;
  }
}

TEST(DncSend, PunchFeedsAndControlCodesFrameTheProgram) {
  for (int code : {0, 1}) {
    Fixture f;
    DncProfile p = Plain();
    p.OutMode = 1;
    p.FeedLen = 3;
    p.DC2DC4 = true;
    p.NcCode = code;
    f.transfer.Send(p, {"%"}, nc::TextEncoding::Cp932);
    const std::string feed(3, code == 0 ? '\0' : '\x10');
    const std::string percent = code == 0 ? "\xA5\x0A" : "\x0B\x80";
    EXPECT_EQ(f.pty.ReadMaster(std::string::npos, 300), "\x12" + feed + percent + feed + "\x14") << code;
  }
}

TEST(DncSend, AnEmptyProgramSendsOnlyTheFrame) {
  Fixture f;
  DncProfile p = Plain();
  p.DC2DC4 = true;
  EXPECT_EQ(f.transfer.Send(p, {}, nc::TextEncoding::Cp932).End, TransferEnd::Completed);
  EXPECT_EQ(f.pty.ReadMaster(std::string::npos, 300), "\x12\x14");
  EXPECT_EQ(f.ui.shown, std::vector<std::string>{texts::SendDone});
}

TEST(DncSend, XonXoffWaitsForTheStartCodeAndTheEndCode) {
  Fixture f;
  DncProfile p = Plain();
  p.XFlow = 2;
  p.DC2DC4 = true;
  Machine m(f.pty);
  std::string got;
  m.Run([&](test::PtyPair& pty) {
    std::this_thread::sleep_for(150ms);
    pty.WriteMaster("\x41\x42");  // noise first
    pty.WriteMaster("\x11");
    got = pty.ReadMaster(1 + 6 * 2 + 1, 3000);
    pty.WriteMaster("\x14");
  });
  const Clock::time_point start = Clock::now();
  const SendResult r = f.transfer.Send(p, {"G00", "M30"}, nc::TextEncoding::Cp932);
  m.Join();
  EXPECT_GE(Clock::now() - start, 150ms);
  EXPECT_EQ(r.End, TransferEnd::Completed);
  EXPECT_EQ(got, "\x12" + Iso("G00\nM30\n") + "\x14");
  EXPECT_EQ(f.ui.shown, std::vector<std::string>{texts::SendDone});
}

TEST(DncSend, StartWaitTakesIsoPercent) {
  Fixture f;
  DncProfile p = Plain();
  p.XFlow = 2;
  Machine m(f.pty);
  m.Run([](test::PtyPair& pty) {
    std::this_thread::sleep_for(200ms);
    pty.WriteMaster("\xA5");
    pty.ReadMaster(4, 2000);
    pty.WriteMaster("\x93");
  });
  EXPECT_EQ(f.transfer.Send(p, {"G00"}, nc::TextEncoding::Cp932).End, TransferEnd::Completed);
}

// DC3 pauses an XON/XOFF send until DC1; the bytes after the pause arrive only after DC1.
TEST(DncSend, Dc3PausesUntilDc1) {
  Fixture f;
  DncProfile p = Plain();
  p.XFlow = 2;
  p.Standby = true;
  Machine m(f.pty);
  std::string before, during, after;
  m.Run([&](test::PtyPair& pty) {
    std::this_thread::sleep_for(200ms);  // the port is open by then
    pty.WriteMaster("\x11\x93");          // start, and pause at once
    before = pty.ReadMaster(std::string::npos, 300);
    during = pty.ReadMaster(std::string::npos, 300);
    pty.WriteMaster("\x11");
    after = pty.ReadMaster(std::string::npos, 500);
    pty.WriteMaster("\x14");
  });
  const SendResult r = f.transfer.Send(p, {"G00", "G01", "G02"}, nc::TextEncoding::Cp932);
  m.Join();
  EXPECT_EQ(r.End, TransferEnd::Completed);
  EXPECT_EQ(r.LinesSent, 3);
  EXPECT_EQ(during, "");
  EXPECT_EQ(before + after, Iso("G00\nG01\nG02\n"));
  EXPECT_LT(before.size(), (before + after).size());
}

TEST(DncSend, EarlyEndsSayHowManyLinesWent) {
  struct Case { const char* name; int xflow; std::string machine; TransferEnd end; int hold; const char* message; };
  const Case cases[] = {
      {"DC4 ends", 2, "\x14", TransferEnd::MachineEnded, 0, texts::SendDone},
      {"DC3 ends without XON/XOFF", 0, "\x93", TransferEnd::MachineEnded, 0, texts::SendDone},
      {"no DC1 after DC3", 2, "\x13", TransferEnd::XoffTimeout, 200, texts::XoffTimeout},
  };
  for (const Case& c : cases) {
    Fixture f;
    DncProfile p = Plain();
    p.XFlow = c.xflow;
    p.Standby = false;  // asked instead of waiting
    if (c.hold) f.transfer.XoffHoldMs = c.hold;
    Machine m(f.pty);
    m.Run([&](test::PtyPair& pty) {
      pty.ReadMaster(2, 2000);  // the first line
      pty.WriteMaster(c.machine);
    });
    std::vector<std::string> lines(2000, "G01X1.");
    const SendResult r = f.transfer.Send(p, lines, nc::TextEncoding::Cp932);
    m.Join();
    EXPECT_EQ(r.End, c.end) << c.name;
    EXPECT_LT(r.LinesSent, 2000) << c.name;
    EXPECT_EQ(f.ui.asked.front(), texts::ReadyToReceive) << c.name;
    ASSERT_FALSE(f.ui.shown.empty()) << c.name;
    const std::string count = "全 2000 行のうち " + std::to_string(r.LinesSent) + " 行を送信しました。";
    EXPECT_NE(f.ui.shown.back().find(count), std::string::npos) << c.name << ": " << f.ui.shown.back();
    EXPECT_NE(f.ui.shown.front().find(c.message), std::string::npos) << c.name;
  }
}

TEST(DncSend, AMachineThatHangsUpEndsTheSend) {
  Fixture f;
  f.pty.slave = (::close(f.pty.slave), -1);  // only the port holds the line
  Machine m(f.pty);
  m.Run([](test::PtyPair& pty) {
    std::this_thread::sleep_for(200ms);  // the port is open by then
    pty.ReadMaster(100, 2000);
    pty.CloseMaster();
  });
  const SendResult r = f.transfer.Send(Plain(), std::vector<std::string>(100000, "G01X1.Y2."),
                                       nc::TextEncoding::Cp932);
  m.Join();
  EXPECT_TRUE(r.End == TransferEnd::HangUp || r.End == TransferEnd::WriteError) << int(r.End);
  EXPECT_LT(r.LinesSent, 100000);
  EXPECT_FALSE(f.port.IsOpen());
}

TEST(DncSend, PacingWaitsBeforeEveryByte) {
  Fixture f;
  DncProfile p = Plain();
  p.TimeOut = -30;
  const Clock::time_point start = Clock::now();
  f.transfer.Send(p, {"G0"}, nc::TextEncoding::Cp932);
  // the pause after open, two characters and LF
  EXPECT_GE(Clock::now() - start, 4 * 30ms);
  EXPECT_EQ(f.port.rxtimeout, 30000);
  EXPECT_EQ(f.pty.ReadMaster(std::string::npos, 300), Iso("G0\n"));
}

TEST(DncSend, StopAsksAndNoGoesOn) {
  Fixture f;
  f.ui.answers = {false, true};  // go on at first, then stop
  // A stop requested before the transfer is cleared at its start; Escape during it counts.
  f.transfer.RequestStop();
  f.ui.onProcess = [](FakeUi& ui) {
    if (ui.processed == 50 || ui.processed == 500) ui.escape = true;
  };
  Machine m(f.pty);
  m.Run([](test::PtyPair& pty) { pty.ReadMaster(std::string::npos, 1000); });
  const SendResult r = f.transfer.Send(Plain(), std::vector<std::string>(100000, "G01X1."), nc::TextEncoding::Cp932);
  m.Join();
  EXPECT_EQ(r.End, TransferEnd::Stopped);
  EXPECT_GT(r.LinesSent, 10);
  EXPECT_EQ(f.ui.asked, (std::vector<std::string>{texts::AskStop, texts::AskStop}));
  EXPECT_EQ(f.ui.shown, std::vector<std::string>{texts::Stopped});
}

TEST(DncSend, UncarriedCharactersAreAskedAbout) {
  for (bool sendAnyway : {false, true}) {
    Fixture f;
    f.ui.answers = {sendAnyway};
    const SendResult r = f.transfer.Send(Plain(), {"G00", "(drill)"}, nc::TextEncoding::Cp932);
    ASSERT_EQ(f.ui.asked.size(), 1u);
    EXPECT_NE(f.ui.asked[0].find("2 行目"), std::string::npos) << f.ui.asked[0];
    EXPECT_EQ(r.End, sendAnyway ? TransferEnd::Completed : TransferEnd::Declined);
    const std::string wire = f.pty.ReadMaster(std::string::npos, 300);
    EXPECT_EQ(wire, sendAnyway ? Iso("G00\n(") + std::string(5, '\x10') + Iso(")\n") : "");
  }
}

TEST(DncTransfer, AMissingDeviceFailsWithItsReason) {
  Trs232c port;
  port.comdevices.fill("/dev/kelvan-no-such-port");
  FakeUi ui;
  DncTransfer transfer(port, ui);
  EXPECT_EQ(transfer.Send(Plain(), {"G00"}, nc::TextEncoding::Cp932).End, TransferEnd::OpenFailed);
  EXPECT_EQ(transfer.Receive(Plain()).End, TransferEnd::OpenFailed);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].rfind(texts::InitFailed, 0), 0u);
  EXPECT_NE(ui.shown[0].find("kelvan-no-such-port"), std::string::npos) << ui.shown[0];
  EXPECT_TRUE(ui.busy.empty() || ui.busy.back() == false);
}

struct ReceiveCase {
  const char* name;
  int code;
  int xflow;
  std::string wire;
  bool hangUp;
  TransferEnd end;
  std::vector<std::string> lines;
};

TEST(DncReceive, BytesBecomeLines) {
  const ReceiveCase cases[] = {
      {"iso", 0, 0, Iso("%\nO1 \nG00\n%"), false, TransferEnd::Completed, {"%", "O1", "G00", "%"}},
      {"eia", 1, 0, std::string("\x0B\x80\x46\x01\x80\x67\x20\x20\x80\x0B", 10), false, TransferEnd::Completed,
       {"%", "O1", "G00", "%"}},
      {"xon/xoff end code after the program", 0, 2, Iso("%\nG00\n%") + "\x14", false, TransferEnd::Completed,
       {"%", "G00", "%"}},
      {"DC3 ends", 0, 2, Iso("%\nG00\nG0") + "\x93", false, TransferEnd::MachineEnded, {"%", "G00"}},
      {"garbage then hang-up keeps the lines", 0, 0, Iso("%\nG00\n") + "\x01\x02\xFF\x7F", true, TransferEnd::HangUp,
       {"%", "G00"}},
  };
  for (const ReceiveCase& c : cases) {
    Fixture f;
    DncProfile p = Plain();
    p.NcCode = c.code;
    p.XFlow = c.xflow;
    p.TimeOut = 100;  // read time-outs come and go: none is an error
    if (c.hangUp) f.pty.slave = (::close(f.pty.slave), -1);
    Machine m(f.pty);
    m.Run([&](test::PtyPair& pty) {
      std::this_thread::sleep_for(250ms);
      pty.WriteMaster(c.wire);
      if (c.hangUp) {
        std::this_thread::sleep_for(200ms);
        pty.CloseMaster();
      }
    });
    const ReceiveResult r = f.transfer.Receive(p);
    m.Join();
    EXPECT_EQ(r.End, c.end) << c.name;
    EXPECT_EQ(r.Lines, c.lines) << c.name;
    EXPECT_EQ(f.ui.asked, std::vector<std::string>{texts::ReadyToSend}) << c.name;
    const std::string message = c.hangUp ? texts::HungUp : texts::ReceiveDone;
    EXPECT_EQ(f.ui.shown, std::vector<std::string>{message}) << c.name;
    EXPECT_FALSE(f.port.IsOpen()) << c.name;
  }
}

TEST(DncReceive, EscapeStopsAndKeepsTheLines) {
  Fixture f;
  Machine m(f.pty);
  m.Run([&](test::PtyPair& pty) {
    std::this_thread::sleep_for(200ms);
    pty.WriteMaster(Iso("%\nG00\nG01"));
    std::this_thread::sleep_for(300ms);
    f.ui.escape = true;
  });
  const ReceiveResult r = f.transfer.Receive(Plain());
  m.Join();
  EXPECT_EQ(r.End, TransferEnd::Stopped);
  EXPECT_EQ(r.Lines, (std::vector<std::string>{"%", "G00"}));
  EXPECT_TRUE(r.Anything);
  EXPECT_EQ(f.ui.shown, std::vector<std::string>{texts::ReceiveStopped});
}

TEST(DncReceive, NoMeansNothingHappens) {
  Fixture f;
  f.ui.answers = {false};
  EXPECT_EQ(f.transfer.Receive(Plain()).End, TransferEnd::Declined);
  EXPECT_FALSE(f.port.IsOpen());
  EXPECT_TRUE(f.ui.busy.empty());
}

}  // namespace
}  // namespace kelvan::comm
