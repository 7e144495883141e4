#pragma once

namespace kelvan::view {

// The system beep that refused commands and analysis faults sound. Every call is counted
// so that tests can tell that a command beeped.
void Beep();
int BeepCount();

}  // namespace kelvan::view
