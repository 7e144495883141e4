#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kelvan::comm {

// The members of the flow set; member n is bit n of `flowflag`. The bits keep the meaning
// of the device-control flag word they were designed for:
//   0 binary mode, 1 parity checking, 2 CTS output flow, 3 DSR output flow,
//   4-5 DTR control (value 2 = DTR handshake), 6 DSR sensitivity, 7 continue on XOFF,
//   8 XON/XOFF on output, 9 XON/XOFF on input, 10 replace parity errors, 11 discard NUL,
//   12-13 RTS control, 14 abort on error.
enum class FlowFlag : int {
  dfBinary = 0, dfParity, dfOutxCtsFlow, dfOutxDsrFlow, dfDtrControl_b0, dfDtrControl_b1,
  dfDsrSensitivity, dfTXContinueOnXoff, dfOutX, dfInX, dfErrorChar, dfNull,
  dfRtsControl_b0, dfRtsControl_b1, dfAbortOnError
};
inline constexpr int FlowFlagCount = 15;

// The flag word seen as a set of FlowFlag.
class rsflowset {
 public:
  rsflowset() = default;
  static rsflowset FromWord(int32_t word) { rsflowset s; s.bits_ = uint32_t(word) & 0x7FFF; return s; }
  bool Has(FlowFlag f) const { return (bits_ >> int(f)) & 1u; }
  rsflowset& Add(FlowFlag f) { bits_ |= 1u << int(f); return *this; }
  rsflowset& Remove(FlowFlag f) { bits_ &= ~(1u << int(f)); return *this; }
  int32_t Word() const { return int32_t(bits_); }
  bool operator==(const rsflowset&) const = default;
 private:
  uint32_t bits_ = 0;
};

// Why the last operation failed.
enum class PortError {
  None,
  NotOpen,    // the port is closed (or already open, for Open)
  OpenFailed, // the device could not be opened or is no serial device
  Config,     // the line settings were refused
  Timeout,    // a read or write did not complete in its time
  HangUp,     // the other end went away (cable pulled, pty closed)
  Io,         // any other device error
};

class RxDecoder;

// One serial (RS-232C) port over POSIX termios. The line settings are public properties
// that take effect at the next Open. Reads and writes wait at most their time-outs (poll,
// never a busy loop). Every operation is made from one thread, the user-interface thread;
// only the event thread runs beside it, and only while an event callback is assigned.
// Assign the callbacks before Open; the thread reads them while the port is open.
//
// Port names "COM1" to "COM4" stand for the device paths in `comdevices`; any other
// `portname` is itself the device path (kelvan-cli passes /dev/ttyUSB0 that way).
class Trs232c {
 public:
  using Callback = std::function<void(Trs232c&)>;

  // `onCreate` is called at the end of construction.
  explicit Trs232c(Callback onCreate = {});
  ~Trs232c();  // closes the port
  Trs232c(const Trs232c&) = delete;
  Trs232c& operator=(const Trs232c&) = delete;

  // --- published properties, with their constructor values ---------------------------
  int32_t charbit = 8;               // data bits per character (5..8)
  std::string stopbit = "1";         // "1", "1.5" or "2"; any other text keeps the device's
  int32_t bps = 9600;                // baud rate
  std::string portname = "COM1";
  int32_t rxbuffsize = 1024;         // driver queue sizes: the kernel sizes its own queues
  int32_t txbuffsize = 1024;
  int32_t readinterval = 0;          // ms allowed between two bytes of one read; 0 = no limit
  int32_t txtimeout = 30000;         // ms for a whole write
  int32_t rxtimeout = 30000;         // ms for a whole read
  std::string paritymode = "無し";   // parity text (see ParityFromText)
  int32_t flowflag = 1;              // the flag word; `flow()` is the same as a set
  int32_t packetsize = 0;            // OnPACKET threshold; 0 disables it
  int32_t XonLim = 0;                // kept for the profile; the kernel sets its own limits
  int32_t XoffLim = 0;
  // XON resumes the output and XOFF pauses it: DC1 and DC3, their standard meaning.
  uint8_t XonChar = 0x11;
  uint8_t XoffChar = 0x13;
  // Replaces a byte received damaged, with flag bits 1 (parity checking) and 10 set.
  uint8_t ErrorChar = 0;
  uint8_t EofChar = 0;
  // A tty cannot tell which bytes arrived without taking them, so EvtChar is kept for the
  // profile only and OnRXFLAG is never raised.
  uint8_t EvtChar = 0;
  // The device paths of "COM1" to "COM4".
  std::array<std::string, 4> comdevices{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};

  Callback OnBREAK, OnCTS, OnDSR, OnERR, OnRING, OnRLSD, OnRXCHAR, OnRXFLAG, OnTXEMPTY;
  Callback OnOpen, OnClose, OnPACKET;

  rsflowset flow() const { return rsflowset::FromWord(flowflag); }
  void SetFlow(rsflowset set) { flowflag = set.Word(); }

  // How the event thread's callbacks reach the user-interface thread: the function gets
  // the work and must run it there. It must post, not wait for the work: Close joins the
  // event thread. Work that runs after the port closed does nothing. Unset, the callbacks
  // run on the event thread itself (and must not call Close). Takes effect at Open.
  void SetDispatcher(std::function<void(std::function<void()>)> dispatcher);

  // The device path `portname` stands for.
  std::string DevicePath() const;

  // --- operations ---------------------------------------------------------------------
  // Opens and configures the device; false when it is already open or any step fails
  // (LastError says which, LastErrorText why). A failed open leaves the port closed and
  // the device released.
  bool Open();
  // Waits (at most txtimeout) for queued output to leave, discards the input (and the
  // output when it did not leave), stops the event thread, calls OnClose (IsOpen is then
  // false already) and releases the device. False when it was not open, when called from
  // a callback on the event thread (which cannot join itself), or when the release failed.
  bool Close();
  bool IsOpen() const { return fd_ >= 0; }

  // True when exactly `count` bytes were read within rxtimeout (0: take only what is
  // there) and readinterval. On false the bytes read so far are gone.
  bool ReadData(void* buffer, size_t count);
  // True when exactly `count` bytes were handed to the device within txtimeout.
  bool WriteData(const void* buffer, size_t count);
  bool ReadByte(uint8_t& byte);
  bool WriteByte(uint8_t byte);
  // Received bytes waiting in the driver (and in the read filter); -1 when not open.
  int32_t InQueueCount();
  // Waits at most `ms` for a received byte; true when one is waiting. A hang-up ends the
  // wait at once with false and LastError HangUp.
  bool WaitInput(int32_t ms);
  // Raise or drop RTS or DTR; false when not open or the device refuses (a pty does).
  bool SetRts(bool on);
  bool SetDtr(bool on);
  // Discards both queues.
  bool Purge();

  PortError LastError() const { return lastError_; }
  const std::string& LastErrorText() const { return lastErrorText_; }

 private:
  class EventThread;
  void Fail(PortError error, const std::string& text);
  void FailErrno(int err, const std::string& what);
  bool CheckOpen();
  bool Configure();
  bool StartEvents();
  bool Release(int fd);
  uint32_t EventMask() const;

  int fd_ = -1;
  bool waitDsr_ = false;             // flag bit 3: writes wait for DSR (a device without
                                     // modem lines clears it at the first write)
  std::unique_ptr<RxDecoder> rx_;    // what reads do to the received bytes
  std::shared_ptr<std::atomic<bool>> alive_;  // false once the open it belongs to closed
  PortError lastError_ = PortError::None;
  std::string lastErrorText_;
  std::function<void(std::function<void()>)> dispatcher_;
  std::unique_ptr<EventThread> thread_;
  uint8_t byte_ = 0;  // the one-byte buffer of ReadByte and WriteByte
};

// The device parity of a parity text: 0 none, 1 odd, 2 even, 3 mark, 4 space, -1 for a
// text outside the table (the device keeps its setting).
int ParityFromText(const std::string& text);
// 0 one stop bit, 1 one and a half, 2 two; -1 for any other text.
int StopBitsFromText(const std::string& text);

}  // namespace kelvan::comm
