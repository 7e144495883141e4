#include "comm/TermiosMapping.h"

#include <termios.h>

#include <algorithm>
#include <array>
#include <utility>

#include "comm/Trs232c.h"

namespace kelvan::comm {

namespace {

constexpr std::array<std::pair<int32_t, speed_t>, 30> kSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

// No translation, no echo, no signals, no line editing; a read returns what is there.
// CSIZE and parity are left for the frame mapping, which keeps them when asked to.
void MakeRaw(termios& t) {
  t.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                         IXOFF | IXANY | INPCK | IGNPAR);
  t.c_oflag &= ~tcflag_t(OPOST);
  t.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag |= CREAD | CLOCAL;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
}

bool MapSpeed(int32_t bps, termios& t, LinePlan& plan) {
  if (bps <= 0) {
    plan.error = "unsupported baud rate " + std::to_string(bps);
    return false;
  }
  const auto it = std::find_if(kSpeeds.begin(), kSpeeds.end(),
                               [bps](const auto& s) { return s.first == bps; });
  if (it == kSpeeds.end()) {
    plan.customBaud = bps;  // termios has no constant: set through termios2 afterwards
    return true;
  }
  cfsetispeed(&t, it->second);
  cfsetospeed(&t, it->second);
  return true;
}

void MapFrame(const Trs232c& port, termios& t) {
  constexpr std::array<tcflag_t, 4> kSizes{CS5, CS6, CS7, CS8};
  if (port.charbit >= 5 && port.charbit <= 8) {
    t.c_cflag = (t.c_cflag & ~tcflag_t(CSIZE)) | kSizes[size_t(port.charbit - 5)];
  }
  // A UART gives 1.5 stop bits only with 5 data bits and 2 otherwise when CSTOPB is set,
  // so "1.5" asks for CSTOPB like "2".
  switch (StopBitsFromText(port.stopbit)) {
    case 0: t.c_cflag &= ~tcflag_t(CSTOPB); break;
    case 1:
    case 2: t.c_cflag |= CSTOPB; break;
    default: break;
  }
  const tcflag_t parityBits = PARENB | PARODD | CMSPAR;
  tcflag_t parity = 0;
  switch (ParityFromText(port.paritymode)) {
    case 0: parity = 0; break;
    case 1: parity = PARENB | PARODD; break;
    case 2: parity = PARENB; break;
    case 3: parity = PARENB | CMSPAR | PARODD; break;
    case 4: parity = PARENB | CMSPAR; break;
    default: return;
  }
  t.c_cflag = (t.c_cflag & ~parityBits) | parity;
}

void MapFlow(const Trs232c& port, termios& t, LinePlan& plan) {
  const rsflowset flow = port.flow();
  const int dtrMode = (port.flowflag >> 4) & 3;
  const int rtsMode = (port.flowflag >> 12) & 3;
  const bool parityCheck = flow.Has(FlowFlag::dfParity);
  if (parityCheck) t.c_iflag |= INPCK;
  const bool hardware = flow.Has(FlowFlag::dfOutxCtsFlow) || rtsMode == 2;
  if (hardware) {
    t.c_cflag |= CRTSCTS;
  } else {
    t.c_cflag &= ~tcflag_t(CRTSCTS);
  }
  if (flow.Has(FlowFlag::dfOutX)) t.c_iflag |= IXON;
  if (flow.Has(FlowFlag::dfInX)) t.c_iflag |= IXOFF;
  if (port.XonChar != 0) t.c_cc[VSTART] = cc_t(port.XonChar);
  if (port.XoffChar != 0) t.c_cc[VSTOP] = cc_t(port.XoffChar);
  if (flow.Has(FlowFlag::dfErrorChar) && port.ErrorChar != 0 && parityCheck) {
    t.c_iflag |= PARMRK;
    plan.filter.markedErrors = true;
    plan.filter.errorChar = port.ErrorChar;
  }
  plan.filter.discardNul = flow.Has(FlowFlag::dfNull);
  plan.waitDsr = flow.Has(FlowFlag::dfOutxDsrFlow);
  plan.dtr = dtrMode == 0 ? 0 : 1;
  plan.rts = hardware ? -1 : (rtsMode == 0 ? 0 : 1);
}

}  // namespace

LinePlan MapLineSettings(const Trs232c& port, termios& t) {
  LinePlan plan;
  MakeRaw(t);
  if (!MapSpeed(port.bps, t, plan)) return plan;
  MapFrame(port, t);
  MapFlow(port, t, plan);
  return plan;
}

void RxDecoder::Emit(uint8_t byte) {
  if (byte == 0 && filter_.discardNul) return;
  ready_.push_back(char(byte));
}

void RxDecoder::Feed(const uint8_t* raw, size_t count) {
  if (taken_ > 0 && taken_ == ready_.size()) {
    ready_.clear();
    taken_ = 0;
  }
  for (size_t i = 0; i < count; ++i) {
    const uint8_t c = raw[i];
    if (!filter_.markedErrors) {
      Emit(c);
    } else if (pending_.empty()) {
      if (c == 0xFF) {
        pending_.push_back(char(c));
      } else {
        Emit(c);
      }
    } else if (pending_.size() == 1) {  // after 0xFF
      if (c == 0x00) {
        pending_.push_back(char(c));
        continue;
      }
      pending_.clear();
      Emit(0xFF);                 // 0xFF 0xFF is one real 0xFF
      if (c != 0xFF) Emit(c);     // no other pair is produced; pass it through unharmed
    } else {                      // 0xFF 0x00 X: X arrived damaged
      pending_.clear();
      Emit(filter_.errorChar);
    }
  }
}

size_t RxDecoder::Take(uint8_t* out, size_t room) {
  const size_t n = std::min(room, Ready());
  std::copy_n(ready_.data() + taken_, n, reinterpret_cast<char*>(out));
  taken_ += n;
  if (taken_ == ready_.size()) {
    ready_.clear();
    taken_ = 0;
  }
  return n;
}

void RxDecoder::Clear() {
  pending_.clear();
  ready_.clear();
  taken_ = 0;
}

// The texts are compared as UTF-8, the encoding the dialog stores them in.
int ParityFromText(const std::string& text) {
  static const std::array<std::pair<const char*, int>, 26> kTexts{{
      {"無し", 0},     {"なし", 0},
      {"奇数", 1},     {"きすう", 1},   {"ODD", 1},      {"odd", 1},     {"ＯＤＤ", 1},     {"ｏｄｄ", 1},
      {"偶数", 2},     {"ぐうすう", 2}, {"EVEN", 2},     {"even", 2},    {"ＥＶＥＮ", 2},   {"ｅｖｅｎ", 2},
      {"マーク", 3},   {"まーく", 3},   {"MARK", 3},     {"mark", 3},    {"ＭＡＲＫ", 3},   {"ｍａｒｋ", 3},
      {"スペース", 4}, {"すぺーす", 4}, {"SPACE", 4},    {"space", 4},   {"ＳＰＡＣＥ", 4}, {"ｓｐａｃｅ", 4},
  }};
  for (const auto& [t, parity] : kTexts) {
    if (text == t) return parity;
  }
  return -1;
}

int StopBitsFromText(const std::string& text) {
  if (text == "1") return 0;
  if (text == "1.5") return 1;
  if (text == "2") return 2;
  return -1;
}

}  // namespace kelvan::comm
