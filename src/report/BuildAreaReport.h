#pragma once

#include <string>
#include <vector>

namespace kelvan::nc {
struct MachineState;
}

namespace kelvan::report {

// The machining-range report: the extents of the last analysis per axis and the strokes
// they need, in UTF-8. It reads the extents as they stand; the caller decides whether
// to analyse first (the window does not).
std::vector<std::string> BuildAreaReport(const nc::MachineState& state);

}  // namespace kelvan::report
