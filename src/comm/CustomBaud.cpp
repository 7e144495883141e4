#include "comm/CustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace kelvan::comm {

int SetCustomBaud(int fd, int32_t bps) {
  if (bps <= 0) return EINVAL;
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return errno;
  t.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ispeed = speed_t(bps);
  t.c_ospeed = speed_t(bps);
  if (::ioctl(fd, TCSETS2, &t) != 0) return errno;
  return 0;
}

int32_t DeviceBaud(int fd) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return -1;
  return int32_t(t.c_ospeed);
}

}  // namespace kelvan::comm
