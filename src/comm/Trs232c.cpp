// Trs232c over Linux termios.
//
// How the flag word and the properties reach the device (this list goes into the release
// notes):
//   bit 0  binary mode          always binary: the port runs in raw mode (no echo, no line
//                               editing, no signals, no CR/LF translation, VMIN 0 VTIME 0)
//   bit 1  parity checking      INPCK; off: INPCK and IGNPAR off, damaged bytes pass as read
//   bit 2  CTS output flow      CRTSCTS (the kernel then drives RTS too: both directions)
//   bit 3  DSR output flow      emulated: each write first waits, at most txtimeout, until
//                               DSR is up (checked every 10 ms); a device without modem
//                               lines (a pty) counts as DSR up
//   bits 4-5 DTR control        0 drops DTR after open; 1 raises it; 2 (handshake on input)
//                               raises it, termios has no DTR handshake
//   bit 6  DSR sensitivity      not available
//   bit 7  continue on XOFF     not available
//   bit 8  XON/XOFF on output   IXON (c_cc[VSTART] = XonChar, c_cc[VSTOP] = XoffChar, each
//                               only when not 0)
//   bit 9  XON/XOFF on input    IXOFF (same characters)
//   bit 10 replace errors       with bit 1 and ErrorChar not 0: PARMRK, and reads turn each
//                               marked byte (a parity or framing error, or a break) into
//                               ErrorChar; otherwise not available
//   bit 11 discard NUL          emulated: reads drop NUL bytes, which do not count
//   bits 12-13 RTS control      0 drops RTS, 1 raises it, 2 (handshake) sets CRTSCTS,
//                               3 (toggle) is not available and raises RTS; while CRTSCTS
//                               is on the kernel owns RTS and it is left alone
//   bit 14 abort on error       not available
//   bps       a termios speed when one exists, else termios2 BOTHER with the exact rate
//   charbit   5..8 → CS5..CS8; other values keep the device's size
//   stopbit   "1" clears CSTOPB, "1.5" and "2" set it; other texts keep the device's
//   paritymode none; odd PARENB|PARODD; even PARENB; mark PARENB|CMSPAR|PARODD;
//             space PARENB|CMSPAR; other texts keep the device's
//   XonLim, XoffLim, EofChar, rxbuffsize, txbuffsize: not available, the kernel sizes its
//             queues and sets its own limits; EvtChar: see OnRXFLAG in the header
//   The line ignores the modem lines for opening (CLOCAL) and receives (CREAD).

#include "comm/Trs232c.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#include "comm/CustomBaud.h"
#include "comm/TermiosMapping.h"

namespace kelvan::comm {

namespace {

using Clock = std::chrono::steady_clock;

// The event bits, with the values callers of this component have always used for them.
enum : uint32_t {
  kEvRxChar = 0x01, kEvRxFlag = 0x02, kEvTxEmpty = 0x04, kEvCts = 0x08, kEvDsr = 0x10,
  kEvRlsd = 0x20, kEvBreak = 0x40, kEvErr = 0x80, kEvRing = 0x100,
};

Clock::time_point Deadline(int32_t ms) {
  return Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
}

int RemainingMs(Clock::time_point until) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
  return int(std::clamp<decltype(left)>(left, 0, 1 << 30));
}

std::string ErrnoText(int err) { return std::strerror(err); }

int QueuedInput(int fd) {
  int n = 0;
  return ::ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

enum class Wait { Ready, Timeout, HangUp, Error };

// Waits until `fd` is ready for `events` (POLLIN or POLLOUT) or `until` passes. A
// hang-up with received bytes still waiting counts as ready, so they can be read first.
Wait AwaitFd(int fd, short events, Clock::time_point until, int& err) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, RemainingMs(until));
    if (r < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return Wait::Error;
    }
    if (r == 0) return Wait::Timeout;
    if (p.revents & POLLNVAL) {
      err = EBADF;
      return Wait::Error;
    }
    if (p.revents & (POLLHUP | POLLERR)) {
      if ((events & POLLIN) && (p.revents & POLLIN) && QueuedInput(fd) > 0) return Wait::Ready;
      return Wait::HangUp;
    }
    if (p.revents & events) return Wait::Ready;
  }
}

// Unix98 pseudo-terminal slaves have the majors 136 to 143.
bool IsPseudoTerminal(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

// DSR output flow: true once DSR is up or the device has no modem lines to ask (then
// `hasLines` is cleared, so that later writes do not ask again).
bool WaitForDsr(int fd, Clock::time_point until, bool& hasLines) {
  for (;;) {
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0) {
      hasLines = false;
      return true;
    }
    if (lines & TIOCM_DSR) return true;
    const int left = RemainingMs(until);
    if (left <= 0) return false;
    ::poll(nullptr, 0, std::min(10, left));
  }
}

// Waits until the output queue is empty; false when `until` passed or the line hung up
// first. A device that does not report its queue counts as empty.
bool DrainOutput(int fd, Clock::time_point until) {
  for (;;) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
    const int left = RemainingMs(until);
    if (left <= 0) return false;
    pollfd p{fd, 0, 0};  // no events: wakes on a hang-up only
    if (::poll(&p, 1, std::min(10, left)) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      return false;
    }
  }
}

// Modem lines after the settings: a pty has none and refuses, which is no fault.
void ApplyModemLines(int fd, const LinePlan& plan) {
  int dtr = TIOCM_DTR;
  ::ioctl(fd, plan.dtr ? TIOCMBIS : TIOCMBIC, &dtr);
  if (plan.rts >= 0) {
    int rts = TIOCM_RTS;
    ::ioctl(fd, plan.rts ? TIOCMBIS : TIOCMBIC, &rts);
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The event thread: watches the port every 20 ms (or at once when bytes arrive on an empty
// queue) and hands what changed to the owner's callbacks.

class Trs232c::EventThread {
 public:
  using Dispatcher = std::function<void(std::function<void()>)>;

  EventThread(Trs232c& owner, int fd, uint32_t mask, Dispatcher dispatcher,
              std::shared_ptr<std::atomic<bool>> alive)
      : owner_(owner), fd_(fd), mask_(mask), packetSize_(owner.packetsize),
        dispatcher_(std::move(dispatcher)), alive_(std::move(alive)) {}
  ~EventThread() { Stop(); }
  EventThread(const EventThread&) = delete;
  EventThread& operator=(const EventThread&) = delete;

  // Empty on success, else why the thread could not start.
  std::string Start();
  bool IsCurrent() const { return thread_.get_id() == std::this_thread::get_id(); }

 private:
  void Stop();
  void Run();
  uint32_t Detect();
  void Post(uint32_t events);
  void Dispatch(uint32_t events);

  Trs232c& owner_;
  const int fd_;
  const uint32_t mask_;
  const int32_t packetSize_;
  const Dispatcher dispatcher_;
  const std::shared_ptr<std::atomic<bool>> alive_;
  int pipe_[2] = {-1, -1};  // the self-pipe that wakes the thread to end
  std::atomic<bool> terminate_{false};
  std::thread thread_;
  // What the last look found; touched by the thread only (and by Start before it runs).
  int lastIn_ = 0;
  int lastOut_ = 0;
  int lastLines_ = 0;
  bool linesKnown_ = true;
  serial_icounter_struct lastCounts_{};
  bool countsKnown_ = true;
  bool hungUp_ = false;
};

std::string Trs232c::EventThread::Start() {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return "event pipe: " + ErrnoText(errno);
  Detect();  // the state at open is the baseline, not an event
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error& e) {
    return std::string("event thread: ") + e.what();
  }
  return {};
}

void Trs232c::EventThread::Stop() {
  terminate_ = true;
  if (pipe_[1] >= 0) {
    const char wake = 1;
    if (::write(pipe_[1], &wake, 1) < 0) {
      // The pipe is full, so the thread is being woken already.
    }
  }
  if (thread_.joinable()) thread_.join();
  for (int& p : pipe_) {
    if (p >= 0) ::close(p);
    p = -1;
  }
}

void Trs232c::EventThread::Run() {
  while (!terminate_) {
    // While received bytes wait unread (or the line hung up) the port stays readable, so
    // it is left out of the poll and the thread just looks again after 20 ms.
    const bool watchPort = lastIn_ == 0 && !hungUp_;
    pollfd fds[2] = {{pipe_[0], POLLIN, 0}, {fd_, POLLIN, 0}};
    const int r = ::poll(fds, watchPort ? 2 : 1, 20);
    if (terminate_) break;
    if (r < 0 && errno != EINTR) ::poll(nullptr, 0, 20);
    if (watchPort && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))) hungUp_ = true;
    const uint32_t events = Detect();
    if (events != 0) Post(events);
  }
}

// Compares the port with the last look. Checks a device refuses (a pty has no modem lines
// and no error counters) are dropped after the first refusal.
uint32_t Trs232c::EventThread::Detect() {
  uint32_t events = 0;
  if (const int n = QueuedInput(fd_); n >= 0) {
    if (n > lastIn_) events |= kEvRxChar;
    lastIn_ = n;
  }
  if (linesKnown_) {
    int lines = 0;
    linesKnown_ = ::ioctl(fd_, TIOCMGET, &lines) == 0;
    const int changed = linesKnown_ ? lines ^ lastLines_ : 0;
    if (changed & TIOCM_CTS) events |= kEvCts;
    if (changed & TIOCM_DSR) events |= kEvDsr;
    if (changed & TIOCM_RI) events |= kEvRing;
    if (changed & TIOCM_CD) events |= kEvRlsd;
    lastLines_ = lines;
  }
  if (countsKnown_) {
    serial_icounter_struct c{};
    countsKnown_ = ::ioctl(fd_, TIOCGICOUNT, &c) == 0;
    if (countsKnown_) {
      const serial_icounter_struct& l = lastCounts_;
      if (c.brk != l.brk) events |= kEvBreak;
      if (c.frame != l.frame || c.overrun != l.overrun || c.parity != l.parity ||
          c.buf_overrun != l.buf_overrun) {
        events |= kEvErr;
      }
      lastCounts_ = c;
    }
  }
  if (int queued = 0; ::ioctl(fd_, TIOCOUTQ, &queued) == 0) {
    if (lastOut_ > 0 && queued == 0) events |= kEvTxEmpty;
    lastOut_ = queued;
  }
  return events & mask_;
}

void Trs232c::EventThread::Post(uint32_t events) {
  if (!dispatcher_) {
    Dispatch(events);
    return;
  }
  // The work may run after Close destroyed this thread object: `alive` says whether it
  // still exists.
  dispatcher_([this, alive = alive_, events] {
    if (*alive) Dispatch(events);
  });
}

// Calls the callbacks in their fixed order: line events, received bytes, output empty. A
// callback may close the port (or destroy it), so `alive` is asked again before each step.
void Trs232c::EventThread::Dispatch(uint32_t events) {
  const std::shared_ptr<std::atomic<bool>> alive = alive_;
  Trs232c& o = owner_;
  static constexpr std::pair<uint32_t, Callback Trs232c::*> kLineEvents[] = {
      {kEvBreak, &Trs232c::OnBREAK}, {kEvCts, &Trs232c::OnCTS},   {kEvDsr, &Trs232c::OnDSR},
      {kEvErr, &Trs232c::OnERR},     {kEvRing, &Trs232c::OnRING}, {kEvRlsd, &Trs232c::OnRLSD},
  };
  for (const auto& [bit, callback] : kLineEvents) {
    if (!*alive) return;
    if ((events & bit) && o.*callback) (o.*callback)(o);
  }
  if (events & kEvRxChar) {
    if (!*alive) return;
    if (o.OnPACKET && packetSize_ != 0 && QueuedInput(fd_) >= packetSize_) o.OnPACKET(o);
    if (!*alive) return;
    if (o.OnRXCHAR) o.OnRXCHAR(o);
  }
  if ((events & kEvTxEmpty) && *alive && o.OnTXEMPTY) o.OnTXEMPTY(o);
}

// ---------------------------------------------------------------------------------------

Trs232c::Trs232c(Callback onCreate) {
  if (onCreate) onCreate(*this);
}

Trs232c::~Trs232c() {
  if (IsOpen()) Close();
}

void Trs232c::SetDispatcher(std::function<void(std::function<void()>)> dispatcher) {
  dispatcher_ = std::move(dispatcher);
}

std::string Trs232c::DevicePath() const {
  for (size_t i = 0; i < comdevices.size(); ++i) {
    if (portname == "COM" + std::to_string(i + 1)) return comdevices[i];
  }
  return portname;
}

void Trs232c::Fail(PortError error, const std::string& text) {
  lastError_ = error;
  lastErrorText_ = text;
}

// A failed device call: EIO is what a tty answers once the other end is gone.
void Trs232c::FailErrno(int err, const std::string& what) {
  Fail(err == EIO ? PortError::HangUp : PortError::Io, what + ": " + ErrnoText(err));
}

bool Trs232c::CheckOpen() {
  if (!IsOpen()) {
    Fail(PortError::NotOpen, "the port is not open");
    return false;
  }
  Fail(PortError::None, {});
  return true;
}

uint32_t Trs232c::EventMask() const {
  uint32_t mask = 0;
  if (OnBREAK) mask |= kEvBreak;
  if (OnCTS) mask |= kEvCts;
  if (OnDSR) mask |= kEvDsr;
  if (OnERR) mask |= kEvErr;
  if (OnRING) mask |= kEvRing;
  if (OnRLSD) mask |= kEvRlsd;
  if (OnRXCHAR || OnPACKET) mask |= kEvRxChar;
  if (OnRXFLAG) mask |= kEvRxFlag;  // starts the thread all the same; never raised
  if (OnTXEMPTY) mask |= kEvTxEmpty;
  return mask;
}

bool Trs232c::Open() {
  if (IsOpen()) {
    Fail(PortError::NotOpen, "the port is already open");
    return false;
  }
  Fail(PortError::None, {});
  const std::string path = DevicePath();
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    Fail(PortError::OpenFailed, path + ": " + ErrnoText(errno));
    return false;
  }
  if (!::isatty(fd)) {
    ::close(fd);
    Fail(PortError::OpenFailed, path + ": not a serial device");
    return false;
  }
  // Not shared: the lock keeps out every other program that locks (and a second Trs232c);
  // TIOCEXCL also keeps out plain opens by other users. A pty may refuse it.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    Fail(PortError::OpenFailed,
         path + (err == EWOULDBLOCK ? ": in use by another program" : ": " + ErrnoText(err)));
    return false;
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  if (!Configure() || !StartEvents()) {
    ::ioctl(fd_, TIOCNXCL);  // as in Release, without letting its result hide the cause
    ::close(fd_);
    fd_ = -1;
    rx_.reset();
    return false;
  }
  if (OnOpen) OnOpen(*this);
  return true;
}

bool Trs232c::Configure() {
  const auto refused = [this](const char* step) {
    Fail(PortError::Config, std::string(step) + ": " + ErrnoText(errno));
    return false;
  };
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return refused("reading the line settings");
  const LinePlan plan = MapLineSettings(*this, t);
  if (!plan.error.empty()) {
    Fail(PortError::Config, plan.error);
    return false;
  }
  // The C library checks that the character size and parity took; a pseudo-terminal
  // keeps its own (it has no wire to frame), so there the rest of the settings, which
  // did take, are enough.
  if (::tcsetattr(fd_, TCSANOW, &t) != 0 && !(errno == EINVAL && IsPseudoTerminal(fd_)))
    return refused("setting the line");
  if (plan.customBaud != 0) {
    if (const int err = SetCustomBaud(fd_, plan.customBaud); err != 0) {
      Fail(PortError::Config,
           "baud rate " + std::to_string(plan.customBaud) + ": " + ErrnoText(err));
      return false;
    }
  }
  ApplyModemLines(fd_, plan);
  waitDsr_ = plan.waitDsr;
  rx_ = std::make_unique<RxDecoder>(plan.filter);
  if (::tcflush(fd_, TCIOFLUSH) != 0) return refused("discarding the queues");
  return true;
}

bool Trs232c::StartEvents() {
  alive_ = std::make_shared<std::atomic<bool>>(true);
  const uint32_t mask = EventMask();
  if (mask == 0) return true;
  thread_ = std::make_unique<EventThread>(*this, fd_, mask, dispatcher_, alive_);
  if (std::string error = thread_->Start(); !error.empty()) {
    *alive_ = false;
    thread_.reset();
    Fail(PortError::Config, error);
    return false;
  }
  return true;
}

// Gives the device back: TIOCEXCL outlives the descriptor on a tty another descriptor
// keeps open (a pty's master), so it is cleared first. Closing drops the lock.
bool Trs232c::Release(int fd) {
  ::ioctl(fd, TIOCNXCL);
  if (::close(fd) != 0) {
    Fail(PortError::Io, "closing the device: " + ErrnoText(errno));
    return false;
  }
  return true;
}

bool Trs232c::Close() {
  if (!CheckOpen()) return false;
  if (thread_ && thread_->IsCurrent()) {
    Fail(PortError::Io, "Close was called from an event callback on the event thread");
    return false;
  }
  // Output already queued is the tail of a program: it may leave, within txtimeout. Only
  // what could not leave is discarded; discarding an empty queue is not harmless, on a pty
  // it throws away bytes the other end has not read yet.
  const bool drained = DrainOutput(fd_, Deadline(txtimeout));
  ::tcflush(fd_, drained ? TCIFLUSH : TCIOFLUSH);
  *alive_ = false;
  thread_.reset();
  const int fd = fd_;
  fd_ = -1;
  rx_.reset();
  if (OnClose) OnClose(*this);
  return Release(fd);
}

bool Trs232c::ReadData(void* buffer, size_t count) {
  if (!CheckOpen()) return false;
  auto* out = static_cast<uint8_t*>(buffer);
  const Clock::time_point deadline = Deadline(rxtimeout);
  Clock::time_point lastByte = Clock::now();
  size_t got = rx_->Take(out, count);
  bool started = got > 0;  // a byte arrived: readinterval applies from now on
  while (got < count) {
    Clock::time_point until = deadline;
    if (readinterval > 0 && started) {
      until = std::min(until, lastByte + std::chrono::milliseconds(readinterval));
    }
    int err = 0;
    switch (AwaitFd(fd_, POLLIN, until, err)) {
      case Wait::Ready: break;
      case Wait::Timeout:
        Fail(PortError::Timeout, "read " + std::to_string(got) + " of " +
                                     std::to_string(count) + " bytes in time");
        return false;
      case Wait::HangUp: Fail(PortError::HangUp, "the line hung up"); return false;
      case Wait::Error: FailErrno(err, "waiting for input"); return false;
    }
    // No more raw bytes than are missing, so a read does not take from the driver what a
    // later read should get; what the decoder holds back waits for the next read.
    uint8_t raw[4096];
    const ssize_t n = ::read(fd_, raw, std::min(sizeof raw, count - got));
    if (n > 0) {
      rx_->Feed(raw, size_t(n));
      got += rx_->Take(out + got, count - got);
      lastByte = Clock::now();  // dropped NULs are bytes on the line all the same
      started = true;
    } else if (n == 0) {
      Fail(PortError::HangUp, "the line hung up");
      return false;
    } else if (errno != EAGAIN && errno != EINTR) {
      FailErrno(errno, "reading");
      return false;
    }
  }
  return true;
}

bool Trs232c::WriteData(const void* buffer, size_t count) {
  if (!CheckOpen()) return false;
  const Clock::time_point deadline = Deadline(txtimeout);
  if (waitDsr_ && !WaitForDsr(fd_, deadline, waitDsr_)) {
    Fail(PortError::Timeout, "DSR stayed down");
    return false;
  }
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t sent = 0;
  while (sent < count) {
    const ssize_t n = ::write(fd_, in + sent, count - sent);
    if (n > 0) {
      sent += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      FailErrno(errno, "writing");
      return false;
    }
    int err = 0;
    switch (AwaitFd(fd_, POLLOUT, deadline, err)) {
      case Wait::Ready: break;
      case Wait::Timeout:
        Fail(PortError::Timeout, "wrote " + std::to_string(sent) + " of " +
                                     std::to_string(count) + " bytes in time");
        return false;
      case Wait::HangUp: Fail(PortError::HangUp, "the line hung up"); return false;
      case Wait::Error: FailErrno(err, "waiting to write"); return false;
    }
  }
  return true;
}

bool Trs232c::ReadByte(uint8_t& byte) {
  if (!ReadData(&byte_, 1)) return false;
  byte = byte_;
  return true;
}

bool Trs232c::WriteByte(uint8_t byte) {
  byte_ = byte;
  return WriteData(&byte_, 1);
}

int32_t Trs232c::InQueueCount() {
  if (!CheckOpen()) return -1;
  const int n = QueuedInput(fd_);
  if (n < 0) {
    FailErrno(errno, "counting the input");
    return -1;
  }
  return int32_t(n + int(rx_->Ready()));
}

bool Trs232c::WaitInput(int32_t ms) {
  if (!CheckOpen()) return false;
  if (rx_->Ready() > 0) return true;
  int err = 0;
  switch (AwaitFd(fd_, POLLIN, Deadline(ms), err)) {
    case Wait::Ready: return true;
    case Wait::Timeout: Fail(PortError::Timeout, "no input"); return false;
    case Wait::HangUp: Fail(PortError::HangUp, "the line hung up"); return false;
    case Wait::Error: FailErrno(err, "waiting for input"); return false;
  }
  return false;
}

bool Trs232c::SetRts(bool on) {
  if (!CheckOpen()) return false;
  int bit = TIOCM_RTS;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) {
    FailErrno(errno, "setting RTS");
    return false;
  }
  return true;
}

bool Trs232c::SetDtr(bool on) {
  if (!CheckOpen()) return false;
  int bit = TIOCM_DTR;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) {
    FailErrno(errno, "setting DTR");
    return false;
  }
  return true;
}

bool Trs232c::Purge() {
  if (!CheckOpen()) return false;
  rx_->Clear();
  if (::tcflush(fd_, TCIOFLUSH) != 0) {
    FailErrno(errno, "discarding the queues");
    return false;
  }
  return true;
}

}  // namespace kelvan::comm
