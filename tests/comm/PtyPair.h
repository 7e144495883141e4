#pragma once

// A pseudo-terminal pair standing in for a serial line in tests: the code under test opens
// `slavePath` as its port (Trs232c::portname = slavePath) and the test plays the machine
// tool on `master`.
//
//   PtyPair pty;
//   ASSERT_TRUE(pty.ok());
//   port.portname = pty.slavePath;
//   port.Open();
//   pty.WriteMaster("%\nO0001\n");          // the machine sends
//   std::string got = pty.ReadMaster(5);    // what the port wrote, at most 5 bytes
//   pty.CloseMaster();                      // the cable is pulled: the port sees a hang-up
//
// The master is raw (no echo, no translation), so bytes pass through it unchanged. The
// pair also keeps a descriptor of the slave open (`slave`): the line then outlives a
// port's Close, so the master can still read what the port sent last, and a test can ask
// it (tcgetattr) for the settings a port applied. The slave starts with the kernel's
// default settings (echo on) until a port configures it; write to the master only after
// the port is open.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <string>

namespace kelvan::comm::test {

class PtyPair {
 public:
  PtyPair() {
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    slavePath = name;
    termios t{};
    if (::tcgetattr(master, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(master, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  }
  ~PtyPair() {
    CloseMaster();
    if (slave >= 0) ::close(slave);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master >= 0 && slave >= 0 && !slavePath.empty(); }

  // Sends `bytes` to the port; false when not all of them could be written in 2 s.
  bool WriteMaster(const std::string& bytes) {
    size_t sent = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (sent < bytes.size()) {
      const ssize_t n = ::write(master, bytes.data() + sent, bytes.size() - sent);
      if (n > 0) {
        sent += size_t(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        return false;
      } else {
        pollfd p{master, POLLOUT, 0};
        if (::poll(&p, 1, LeftMs(until)) == 0) return false;
      }
    }
    return true;
  }

  // Reads what the port sent: returns as soon as `count` bytes came, or with what came
  // within `timeoutMs` (count = std::string::npos: everything within the time).
  std::string ReadMaster(size_t count, int timeoutMs = 2000) {
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (master >= 0 && got.size() < count) {
      char buf[4096];
      const size_t want = count - got.size() < sizeof buf ? count - got.size() : sizeof buf;
      const ssize_t n = ::read(master, buf, want);
      if (n > 0) {
        got.append(buf, size_t(n));
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) break;  // EIO: no slave is open
      pollfd p{master, POLLIN, 0};
      const int left = LeftMs(until);
      if (left == 0 || ::poll(&p, 1, left) == 0) break;
      if ((p.revents & POLLHUP) && !(p.revents & POLLIN)) break;
    }
    return got;
  }

  // Hangs up the line: the port's reads and waits end with a hang-up.
  void CloseMaster() {
    if (master >= 0) ::close(master);
    master = -1;
  }

  int master = -1;
  int slave = -1;
  std::string slavePath;

 private:
  static int LeftMs(std::chrono::steady_clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now()).count();
    return left > 0 ? int(left) : 0;
  }
};

}  // namespace kelvan::comm::test
