// The serial port: the mapping of its properties onto termios and the read filter, checked
// without a device, and its behaviour on a pseudo-terminal standing in for the line.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "PtyPair.h"
#include "comm/CustomBaud.h"
#include "comm/TermiosMapping.h"
#include "comm/Trs232c.h"

using namespace kelvan::comm;
using kelvan::comm::test::PtyPair;
using Clock = std::chrono::steady_clock;
using namespace std::string_literals;

namespace {

// A record as a device might hand it over: cooked, with settings Open has to undo.
termios DeviceDefaults() {
  termios t{};
  t.c_iflag = ICRNL | IXON | IXANY | PARMRK | ISTRIP;
  t.c_oflag = OPOST | ONLCR;
  t.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
  t.c_cflag = CS8 | CSTOPB | PARENB | PARODD | CRTSCTS;
  t.c_cc[VSTART] = 0x01;
  t.c_cc[VSTOP] = 0x02;
  t.c_cc[VMIN] = 1;
  cfsetispeed(&t, B1200);
  cfsetospeed(&t, B1200);
  return t;
}

bool WaitUntil(const std::function<bool()>& done, int ms = 2000) {
  const auto until = Clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (Clock::now() > until) return false;
    ::poll(nullptr, 0, 5);
  }
  return true;
}

long Ms(Clock::time_point since) {
  return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

size_t ThreadCount() {
  return size_t(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                              std::filesystem::directory_iterator()));
}

std::string Read(Trs232c& port, size_t count) {
  std::string s(count, '\0');
  return port.ReadData(s.data(), count) ? s : "<failed>";
}

bool Write(Trs232c& port, const std::string& s) { return port.WriteData(s.data(), s.size()); }

// A port on the slave side of `pty`, short time-outs, opened.
void OpenOn(Trs232c& port, const PtyPair& pty, int32_t flowflag = 1) {
  ASSERT_TRUE(pty.ok());
  port.portname = pty.slavePath;
  port.flowflag = flowflag;
  port.rxtimeout = 2000;
  port.txtimeout = 2000;
  ASSERT_TRUE(port.Open()) << port.LastErrorText();
}

}  // namespace

// ---- the mapping, without a device -----------------------------------------------------

TEST(TermiosMapping, FlagWord) {
  struct Case {
    int32_t word;
    tcflag_t iflagOn, iflagOff, cflagOn, cflagOff;
    int dtr, rts;
    bool waitDsr, discardNul, marked;
  };
  const Case cases[] = {
      // CTS and DSR output flow, XON/XOFF both ways, DTR and RTS control 0.
      {0x70D, IXON | IXOFF, INPCK | PARMRK, CRTSCTS, 0, 0, -1, true, false, false},
      // The same with DTR handshake, which can only raise DTR here.
      {0x72D, IXON | IXOFF, INPCK | PARMRK, CRTSCTS, 0, 1, -1, true, false, false},
      // Replacing errors without parity checking marks nothing.
      {0x401, 0, IXON | IXOFF | INPCK | PARMRK, 0, CRTSCTS, 0, 0, false, false, false},
      {0x403, INPCK | PARMRK, IXON | IXOFF, 0, CRTSCTS, 0, 0, false, false, true},
      {0x1001, 0, INPCK, 0, CRTSCTS, 0, 1, false, false, false},
      {0x2001, 0, 0, CRTSCTS, 0, 0, -1, false, false, false},
      {0x3011, 0, 0, 0, CRTSCTS, 1, 1, false, false, false},
      {0x801, 0, 0, 0, CRTSCTS, 0, 0, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << "flowflag 0x" << c.word);
    Trs232c port;
    port.flowflag = c.word;
    port.ErrorChar = '?';
    termios t = DeviceDefaults();
    const LinePlan plan = MapLineSettings(port, t);
    EXPECT_EQ(t.c_iflag & (c.iflagOn | c.iflagOff), c.iflagOn);
    EXPECT_EQ(t.c_cflag & (c.cflagOn | c.cflagOff), c.cflagOn);
    EXPECT_EQ(plan.dtr, c.dtr);
    EXPECT_EQ(plan.rts, c.rts);
    EXPECT_EQ(plan.waitDsr, c.waitDsr);
    EXPECT_EQ(plan.filter.discardNul, c.discardNul);
    EXPECT_EQ(plan.filter.markedErrors, c.marked);
    EXPECT_EQ(plan.filter.errorChar, c.marked ? '?' : 0);
  }
}

// Texts outside the tables, out-of-range sizes and flow characters 0 keep the device's.
TEST(TermiosMapping, FrameAndFlowCharacters) {
  struct Case {
    std::string parity, stop;
    int32_t charbit;
    uint8_t xon, xoff;
    tcflag_t frame;  // CSIZE | CSTOPB | PARENB | PARODD | CMSPAR
    cc_t start, stop2;
  };
  const tcflag_t device = CS8 | CSTOPB | PARENB | PARODD;
  const Case cases[] = {
      {"無し", "1", 8, 0x11, 0x13, CS8, 0x11, 0x13},
      {"奇数", "2", 7, 0, '!', CS7 | CSTOPB | PARENB | PARODD, 0x01, '!'},
      {"even", "1", 7, '+', 0, CS7 | PARENB, '+', 0x02},
      {"ＭＡＲＫ", "1", 6, 0x11, 0x13, CS6 | PARENB | PARODD | CMSPAR, 0x11, 0x13},
      {"すぺーす", "1.5", 5, 0x11, 0x13, CS5 | CSTOPB | PARENB | CMSPAR, 0x11, 0x13},
      {"Odd", "3", 9, 0x11, 0x13, device, 0x11, 0x13},
      {"", "", 4, 0x11, 0x13, device, 0x11, 0x13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parity + " / " + c.stop + " / " + std::to_string(c.charbit));
    Trs232c port;
    port.paritymode = c.parity;
    port.stopbit = c.stop;
    port.charbit = c.charbit;
    port.XonChar = c.xon;
    port.XoffChar = c.xoff;
    termios t = DeviceDefaults();
    MapLineSettings(port, t);
    EXPECT_EQ(t.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR), c.frame);
    EXPECT_EQ(t.c_cc[VSTART], c.start);
    EXPECT_EQ(t.c_cc[VSTOP], c.stop2);
  }
}

TEST(TermiosMapping, Speed) {
  struct Case { int32_t bps; speed_t speed; int32_t custom; bool error; };
  const Case cases[] = {
      {9600, B9600, 0, false},      {115200, B115200, 0, false}, {14400, B1200, 14400, false},
      {56000, B1200, 56000, false}, {0, B1200, 0, true},         {-9600, B1200, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bps);
    Trs232c port;
    port.bps = c.bps;
    termios t = DeviceDefaults();
    const LinePlan plan = MapLineSettings(port, t);
    EXPECT_EQ(cfgetospeed(&t), c.speed);
    EXPECT_EQ(plan.customBaud, c.custom);
    EXPECT_EQ(!plan.error.empty(), c.error);
  }
}

// Every case is fed whole and byte by byte: a mark sequence split over reads must decode
// the same.
TEST(RxDecoder, Filters) {
  const RxFilter plain{}, noNul{true, false, 0}, marked{false, true, '?'}, both{true, true, '?'};
  struct Case { RxFilter filter; std::string raw, expected; };
  const Case cases[] = {
      {plain, "a\0\xFF\xFF"s, "a\0\xFF\xFF"s},
      {noNul, "\0a\0\0b\0"s, "ab"},
      {marked, "\xFF\xFF", "\xFF"},
      {marked, "a\xFF\0Xb"s, "a?b"},
      {marked, "\xFF\0\0"s, "?"},  // a break
      {marked, "\xFF" "A", "\xFF" "A"},
      {marked, "ab\xFF", "ab"},     // the 0xFF waits for its partner
      {both, "\0\xFF\xFF\xFF\0\0"s, "\xFF?"},
  };
  for (const Case& c : cases) {
    for (bool split : {false, true}) {
      SCOPED_TRACE(testing::PrintToString(c.raw) + (split ? " split" : " whole"));
      RxDecoder d(c.filter);
      const auto* raw = reinterpret_cast<const uint8_t*>(c.raw.data());
      for (size_t i = 0; i < c.raw.size(); i += split ? 1 : c.raw.size())
        d.Feed(raw + i, split ? 1 : c.raw.size());
      std::string out(d.Ready() + 1, '\0');
      out.resize(d.Take(reinterpret_cast<uint8_t*>(out.data()), out.size()));
      EXPECT_EQ(out, c.expected);
    }
  }
}

TEST(Trs232cTexts, ParityAndStopBits) {
  const std::pair<const char*, int> parity[] = {
      {"無し", 0}, {"なし", 0}, {"きすう", 1}, {"ｏｄｄ", 1}, {"偶数", 2}, {"ＥＶＥＮ", 2},
      {"まーく", 3}, {"mark", 3}, {"スペース", 4}, {"SPACE", 4}, {"ｓｐａｃｅ", 4},
      {"Odd", -1}, {"none", -1}, {"", -1}, {" odd", -1}, {"ﾏｰｸ", -1},
  };
  for (const auto& [text, value] : parity) EXPECT_EQ(ParityFromText(text), value) << text;
  const std::pair<const char*, int> stop[] = {
      {"1", 0}, {"1.5", 1}, {"2", 2}, {"", -1}, {"1,5", -1}, {"2.0", -1}, {" 1", -1},
  };
  for (const auto& [text, value] : stop) EXPECT_EQ(StopBitsFromText(text), value) << text;
}

TEST(Trs232cProperties, FlowIsTheFlagWordAsASet) {
  using F = FlowFlag;
  struct Case { int32_t word; std::vector<FlowFlag> members; };
  const Case cases[] = {
      {0x70D, {F::dfBinary, F::dfOutxCtsFlow, F::dfOutxDsrFlow, F::dfOutX, F::dfInX, F::dfErrorChar}},
      {0x72D, {F::dfBinary, F::dfOutxCtsFlow, F::dfOutxDsrFlow, F::dfDtrControl_b1, F::dfOutX,
               F::dfInX, F::dfErrorChar}},
      {0x401, {F::dfBinary, F::dfErrorChar}},
  };
  for (const Case& c : cases) {
    Trs232c port;
    port.flowflag = c.word;
    rsflowset built;
    for (FlowFlag f : c.members) built.Add(f);
    EXPECT_EQ(port.flow(), built) << c.word;
    port.flowflag = 0;
    port.SetFlow(built);
    EXPECT_EQ(port.flowflag, c.word);
  }
  Trs232c port;
  port.flowflag = 0x18001;  // bits above 14 are not members
  EXPECT_EQ(port.flow().Word(), 0x0001);
}

TEST(Trs232cProperties, DevicePath) {
  Trs232c port;
  port.comdevices[2] = "/dev/ttyUSB0";
  const std::pair<const char*, const char*> cases[] = {
      {"COM1", "/dev/ttyS0"}, {"COM3", "/dev/ttyUSB0"}, {"COM4", "/dev/ttyS3"},
      {"COM5", "COM5"},       {"com1", "com1"},         {"/dev/ttyACM0", "/dev/ttyACM0"},
  };
  for (const auto& [name, path] : cases) {
    port.portname = name;
    EXPECT_EQ(port.DevicePath(), path);
  }
}

// ---- on a pseudo-terminal --------------------------------------------------------------

TEST(Trs232cPort, BytesPassUnchangedBothWays) {
  PtyPair pty;
  Trs232c port;
  OpenOn(port, pty);
  const std::string out = "%\r\nO0001\n\x11\x13\xFF\0"s;
  ASSERT_TRUE(Write(port, out));
  EXPECT_EQ(pty.ReadMaster(out.size()), out);
  const std::string in = "\r\n\x03\x1A\x7F\xFF\0x"s;
  ASSERT_TRUE(pty.WriteMaster(in));
  EXPECT_EQ(Read(port, in.size()), in);
  EXPECT_EQ(pty.ReadMaster(std::string::npos, 100), "");  // nothing was echoed
}

// Neither a second Open nor a second port on the same device disturbs the open one.
TEST(Trs232cPort, OpenIsRefusedWhileOpenOrInUse) {
  PtyPair pty;
  Trs232c port, other;
  int opened = 0;
  port.OnOpen = [&](Trs232c&) { ++opened; };
  OpenOn(port, pty);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.LastError(), PortError::NotOpen);
  EXPECT_EQ(opened, 1);
  other.portname = pty.slavePath;
  EXPECT_FALSE(other.Open());
  EXPECT_EQ(other.LastError(), PortError::OpenFailed);
  EXPECT_FALSE(other.IsOpen());
  ASSERT_TRUE(Write(port, "N10"));
  EXPECT_EQ(pty.ReadMaster(3), "N10");
}

TEST(Trs232cPort, OnlyTerminalsOpen) {
  const std::string dir = testing::TempDir() + "trs232c_" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const std::string fifo = dir + "/fifo", file = dir + "/file";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::fclose(std::fopen(file.c_str(), "w"));
  for (const std::string& path : {fifo, file, dir, dir + "/missing"}) {
    Trs232c port;
    port.portname = path;
    bool opened = false;
    port.OnOpen = [&](Trs232c&) { opened = true; };
    EXPECT_FALSE(port.Open()) << path;
    EXPECT_EQ(port.LastError(), PortError::OpenFailed) << path;
    EXPECT_NE(port.LastErrorText().find(path), std::string::npos) << port.LastErrorText();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(opened);
  }
  std::filesystem::remove_all(dir);
}

TEST(Trs232cPort, ClosedPortRefusesEverything) {
  Trs232c port;
  uint8_t b = 0;
  const std::pair<const char*, std::function<bool()>> ops[] = {
      {"ReadByte", [&] { return port.ReadByte(b); }},
      {"WriteByte", [&] { return port.WriteByte('x'); }},
      {"SetRts", [&] { return port.SetRts(true); }},
      {"SetDtr", [&] { return port.SetDtr(false); }},
      {"WaitInput", [&] { return port.WaitInput(10); }},
      {"Purge", [&] { return port.Purge(); }},
      {"Close", [&] { return port.Close(); }},
  };
  for (const auto& [name, op] : ops) {
    EXPECT_FALSE(op()) << name;
    EXPECT_EQ(port.LastError(), PortError::NotOpen) << name;
  }
  EXPECT_EQ(port.InQueueCount(), -1);
}

TEST(Trs232cPort, ReadTimeOuts) {
  PtyPair pty;
  Trs232c port;
  OpenOn(port, pty);
  uint8_t b = 0;

  port.rxtimeout = 100;
  auto start = Clock::now();
  EXPECT_FALSE(port.ReadByte(b));
  EXPECT_EQ(port.LastError(), PortError::Timeout);
  EXPECT_GE(Ms(start), 90);
  EXPECT_LT(Ms(start), 2000);

  // readinterval ends a read that stalls after its first byte, long before rxtimeout.
  port.rxtimeout = 30000;
  port.readinterval = 100;
  ASSERT_TRUE(pty.WriteMaster("ab"));
  start = Clock::now();
  EXPECT_EQ(Read(port, 4), "<failed>");
  EXPECT_EQ(port.LastError(), PortError::Timeout);
  EXPECT_LT(Ms(start), 2000);

  // rxtimeout 0 takes what is there and does not wait for more.
  port.rxtimeout = 0;
  port.readinterval = 0;
  ASSERT_TRUE(pty.WriteMaster("xyz"));
  ASSERT_TRUE(WaitUntil([&] { return port.InQueueCount() == 3; }));
  EXPECT_EQ(Read(port, 3), "xyz");
  EXPECT_FALSE(port.ReadByte(b));
  EXPECT_EQ(port.LastError(), PortError::Timeout);
}

TEST(Trs232cPort, QueueCountWaitAndPurge) {
  PtyPair pty;
  Trs232c port;
  OpenOn(port, pty);
  EXPECT_FALSE(port.WaitInput(50));
  EXPECT_EQ(port.LastError(), PortError::Timeout);
  EXPECT_EQ(port.InQueueCount(), 0);
  ASSERT_TRUE(pty.WriteMaster("12345"));
  EXPECT_TRUE(port.WaitInput(2000));
  ASSERT_TRUE(WaitUntil([&] { return port.InQueueCount() == 5; }));
  uint8_t b = 0;
  ASSERT_TRUE(port.ReadByte(b));
  EXPECT_EQ(b, '1');
  EXPECT_EQ(port.InQueueCount(), 4);
  EXPECT_TRUE(port.Purge());
  EXPECT_EQ(port.InQueueCount(), 0);
}

TEST(Trs232cPort, HangUpEndsWaitsReadsAndWrites) {
  PtyPair pty;
  Trs232c port;
  OpenOn(port, pty);
  port.rxtimeout = 10000;
  pty.CloseMaster();
  const auto start = Clock::now();
  EXPECT_FALSE(port.WaitInput(10000));
  EXPECT_EQ(port.LastError(), PortError::HangUp);
  uint8_t b = 0;
  EXPECT_FALSE(port.ReadByte(b));
  EXPECT_EQ(port.LastError(), PortError::HangUp);
  EXPECT_FALSE(port.WriteByte('x'));
  EXPECT_EQ(port.LastError(), PortError::HangUp);
  EXPECT_LT(Ms(start), 2000);
  EXPECT_TRUE(port.Close());
}

TEST(Trs232cPort, ReadFilters) {
  struct Case { int32_t flowflag; std::string sent, read; };
  const Case cases[] = {
      {0x801, "a\0b\0\0c"s, "abc"},                // NULs dropped and not counted
      {0x403, "\xFF" "A\xFF"s, "\xFF" "A\xFF"},   // PARMRK's doubled 0xFF undone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flowflag);
    PtyPair pty;
    Trs232c port;
    port.ErrorChar = '?';
    port.paritymode = "偶数";
    OpenOn(port, pty, c.flowflag);
    ASSERT_TRUE(pty.WriteMaster(c.sent));
    EXPECT_EQ(Read(port, c.read.size()), c.read);
    EXPECT_EQ(port.InQueueCount(), 0);
  }
}

// A pty keeps eight bits and no parity whatever it is asked, and the C library reports
// that as a refusal; the port opens all the same, again and again.
TEST(Trs232cPort, SevenBitsWithParityOpenOnAPtyEveryTime) {
  PtyPair pty;
  for (int i = 0; i < 3; ++i) {
    Trs232c port;
    port.portname = pty.slavePath;
    port.charbit = 7;
    port.paritymode = "偶数";
    EXPECT_TRUE(port.Open()) << i << " " << port.LastErrorText();
  }
}

// The slave descriptor the pair keeps shows what Open gave the device. A pty has no modem
// lines: the line calls fail, and DSR output flow (0x70D) does not hold up writes.
TEST(Trs232cPort, TheDeviceGetsTheSettings) {
  struct Case { int32_t bps; int32_t flowflag; tcflag_t cflagOn, iflagOn; };
  const Case cases[] = {
      {14400, 0x70D, CRTSCTS | CSTOPB, IXON | IXOFF},
      {19200, 0x001, CSTOPB, 0},
      {256000, 0x403, CSTOPB, INPCK | PARMRK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bps);
    PtyPair pty;
    Trs232c port;
    port.bps = c.bps;
    port.stopbit = "2";
    port.ErrorChar = '?';
    OpenOn(port, pty, c.flowflag);
    termios t{};
    ASSERT_EQ(::tcgetattr(pty.slave, &t), 0);
    EXPECT_EQ(t.c_cflag & c.cflagOn, c.cflagOn);
    EXPECT_EQ(t.c_iflag & c.iflagOn, c.iflagOn);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON), 0u);
    EXPECT_EQ(t.c_cc[VSTART], 0x11);
    EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    EXPECT_EQ(DeviceBaud(pty.slave), c.bps);
    EXPECT_FALSE(port.SetRts(true));
    EXPECT_FALSE(port.SetDtr(true));
    ASSERT_TRUE(Write(port, "G00"));
    EXPECT_EQ(pty.ReadMaster(3), "G00");
  }
}

// Discarding the output at close would lose the tail now and then (on a pty the bytes may
// still be on their way to the master), so the cycle runs on a number of fresh lines.
TEST(Trs232cPort, CloseDeliversTheTailAndReopens) {
  Trs232c port;
  int opened = 0, closed = 0;
  bool openInOnClose = false;
  port.OnOpen = [&](Trs232c&) { ++opened; };
  port.OnClose = [&](Trs232c& p) { ++closed; openInOnClose |= p.IsOpen(); };
  std::string program;
  for (int i = 0; program.size() < 2000; ++i) program += "N" + std::to_string(i) + " G01 X1.\n";
  for (int cycle = 1; cycle <= 50; ++cycle) {
    SCOPED_TRACE(cycle);
    PtyPair pty;
    OpenOn(port, pty);
    ASSERT_TRUE(Write(port, program));
    EXPECT_TRUE(port.Close());
    ASSERT_EQ(pty.ReadMaster(program.size()), program);
    if (cycle == 50) {  // and the same line opens again
      ASSERT_TRUE(port.Open()) << port.LastErrorText();
      ASSERT_TRUE(pty.WriteMaster("M30"));
      EXPECT_EQ(Read(port, 3), "M30");
      EXPECT_TRUE(port.Close());
    }
  }
  EXPECT_EQ(opened, 51);
  EXPECT_EQ(closed, 51);
  EXPECT_FALSE(openInOnClose);
  EXPECT_FALSE(port.Close());
}

// ---- the event thread ------------------------------------------------------------------

TEST(Trs232cEvents, AThreadRunsOnlyForAssignedCallbacks) {
  PtyPair pty;
  const size_t before = ThreadCount();
  {
    Trs232c port;
    port.OnOpen = [](Trs232c&) {};  // not an event
    OpenOn(port, pty);
    EXPECT_EQ(ThreadCount(), before);
  }
  Trs232c port;
  port.OnRXCHAR = [](Trs232c&) {};
  OpenOn(port, pty);
  EXPECT_EQ(ThreadCount(), before + 1);
  port.Close();
  EXPECT_EQ(ThreadCount(), before);
}

TEST(Trs232cEvents, ReceivedBytesAndPackets) {
  PtyPair pty;
  Trs232c port;
  std::atomic<int> rx{0}, packets{0};
  port.OnRXCHAR = [&](Trs232c&) { ++rx; };
  port.OnPACKET = [&](Trs232c&) { ++packets; };
  port.packetsize = 4;
  OpenOn(port, pty);
  ASSERT_TRUE(pty.WriteMaster("abc"));
  ASSERT_TRUE(WaitUntil([&] { return rx > 0; }));
  EXPECT_EQ(packets, 0);
  ASSERT_TRUE(pty.WriteMaster("d"));
  EXPECT_TRUE(WaitUntil([&] { return packets > 0; }));
  EXPECT_EQ(Read(port, 4), "abcd");
}

// Work handed to the dispatcher runs the callbacks where the dispatcher runs it, and does
// nothing once the port closed.
TEST(Trs232cEvents, DispatcherAndLateWork) {
  PtyPair pty;
  Trs232c port;
  std::mutex m;
  std::vector<std::function<void()>> posted;
  int rx = 0;
  port.SetDispatcher([&](std::function<void()> work) {
    std::lock_guard lock(m);
    posted.push_back(std::move(work));
  });
  port.OnRXCHAR = [&](Trs232c&) { ++rx; };
  const auto runPosted = [&] {
    std::vector<std::function<void()>> work;
    {
      std::lock_guard lock(m);
      work.swap(posted);
    }
    for (auto& w : work) w();
    return work.size();
  };
  const auto anyPosted = [&] { std::lock_guard lock(m); return !posted.empty(); };
  OpenOn(port, pty);
  ASSERT_TRUE(pty.WriteMaster("a"));
  ASSERT_TRUE(WaitUntil(anyPosted));
  EXPECT_EQ(rx, 0);
  runPosted();
  EXPECT_EQ(rx, 1);

  ASSERT_TRUE(pty.WriteMaster("b"));
  ASSERT_TRUE(WaitUntil(anyPosted));
  port.Close();
  EXPECT_GT(runPosted(), 0u);
  EXPECT_EQ(rx, 1);
}
