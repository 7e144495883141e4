// The DNC send over a pseudo-terminal to a machine that reads at a serial line's pace:
// bytes per second, and how much of a core the sender uses while it waits.
//   bench_dnc [BYTES] [BAUD]     default: a 1 MB program at 115200 baud
// A pty has no baud rate of its own, so the machine thread takes the bytes at the rate a
// real line would deliver them (10 bits a character), and the sender waits as it would.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ProgramGenerator.h"
#include "comm/DncTransfer.h"
#include "comm/Trs232c.h"

using namespace kelvan;
using Clock = std::chrono::steady_clock;

namespace {

class QuietUi : public comm::TransferUi {
 public:
  void ProcessMessages(int32_t waitMs) override {
    if (waitMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
  }
  bool EscapePressed() override { return false; }
  bool Ask(const std::string&, const std::string&) override { return true; }
  void Show(const std::string& text, Icon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void Beep(bool) override {}
  void Busy(bool) override {}
  void Progress(int32_t, int32_t) override {}
};

double ThreadCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Reads from the master at `bytesPerSecond` until `total` bytes came or the line is idle.
size_t Machine(int master, double bytesPerSecond, size_t total) {
  size_t got = 0;
  const Clock::time_point start = Clock::now();
  while (got < total) {
    const double due = std::chrono::duration<double>(Clock::now() - start).count() * bytesPerSecond;
    if (double(got) >= due) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    char buf[4096];
    const size_t want = std::min(sizeof buf, size_t(due - double(got)) + 1);
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) break;
    const ssize_t n = ::read(master, buf, want);
    if (n <= 0) break;
    got += size_t(n);
  }
  return got;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t bytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const int baud = argc > 2 ? std::atoi(argv[2]) : 115200;
  std::string program = bench::GenerateProgram(bytes / 20, 7);
  std::vector<std::string> lines;
  size_t wire = 0;
  for (size_t start = 0; start < program.size() && wire < bytes;) {
    size_t end = program.find('\n', start);
    if (end == std::string::npos) end = program.size();
    lines.push_back(program.substr(start, end - start));
    wire += end - start + 2;  // CR LF
    start = end + 1;
  }
  int master = -1, slave = -1;
  char name[128] = {};
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    std::perror("openpty");
    return 1;
  }
  termios t{};
  ::tcgetattr(master, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(master, TCSANOW, &t);

  comm::Trs232c port;
  port.comdevices.fill(name);
  QuietUi ui;
  comm::DncTransfer transfer(port, ui);
  comm::DncProfile profile;
  profile.XFlow = 0;
  profile.DC2DC4 = false;
  profile.TimeOut = 5000;
  profile.BaudRate = 7;
  std::atomic<size_t> received{0};
  std::thread machine([&] { received = Machine(master, baud / 10.0, wire); });
  const Clock::time_point start = Clock::now();
  const double cpu0 = ThreadCpuSeconds();
  const comm::SendResult r = transfer.Send(profile, lines, nc::TextEncoding::Cp932);
  const double cpu = ThreadCpuSeconds() - cpu0;
  machine.join();
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("lines %d sent %d, bytes %zu received %zu\n", r.LineCount, r.LinesSent, wire, received.load());
  std::printf("wall %.2f s, %.0f bytes/s (line rate %d bytes/s)\n", wall, double(received) / wall, baud / 10);
  std::printf("sender CPU %.3f s = %.2f %% of a core\n", cpu, 100.0 * cpu / wall);
  ::close(master);
  ::close(slave);
  return r.LinesSent == r.LineCount ? 0 : 1;
}
