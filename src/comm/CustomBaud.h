#pragma once

// Baud rates termios has no constant for (14400, 56000, 128000, 256000, ...). Linux takes
// them through termios2 with BOTHER, whose header cannot share a translation unit with
// <termios.h>; this pair of functions keeps it in one of its own.

#include <cstdint>

namespace kelvan::comm {

// Sets both directions of the open tty `fd` to `bps`, keeping every other setting.
// Returns 0 or the errno of the refusing call.
int SetCustomBaud(int fd, int32_t bps);

// The output rate the tty `fd` runs at, as the kernel reports it; -1 when refused.
int32_t DeviceBaud(int fd);

}  // namespace kelvan::comm
