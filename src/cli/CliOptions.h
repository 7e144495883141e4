#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvan::settings {
class TRegManager;
}

namespace kelvan::cli {

// The common options of every subcommand. An option that is not given takes the value
// of the settings store (see ResolveSettings).
struct CliOptions {
  std::optional<int> FloatPos;
  std::optional<double> AtcHeight;
  std::optional<bool> BlockSkip;
  std::vector<std::string> ErrorTags;
  bool ErrorTagsGiven = false;
  std::optional<double> WorkHeight;
  std::optional<int32_t> Capacity;
  bool Summary = false;                  // dump --summary
  // render: -o OUT, --view, --size WxH, --scale, --pan X,Y, --white, --fit
  std::optional<std::string> Output;
  std::optional<int> View;
  std::optional<std::pair<int, int>> Size;
  std::optional<double> Scale;
  std::optional<std::pair<int, int>> Pan;
  bool White = false;
  bool Fit = false;
  // dnc: --profile N, --device PATH, --send-anyway
  std::optional<int> Profile;
  std::optional<std::string> Device;
  bool SendAnyway = false;
  // script: --nc FILE, --max-seconds N
  std::optional<std::string> NcFile;
  std::optional<double> MaxSeconds;
  // restart: --line N (1-based); compare: --tolerance T
  std::optional<int32_t> Line;
  std::optional<double> Tolerance;
  std::vector<std::string> Positional;   // the subcommand's own arguments
};

// Parses argv[first..]; "--" ends the options. False with a message on a bad option.
bool ParseCliOptions(int argc, char** argv, int first, CliOptions& out, std::string& error);

// The values in effect: each option that is given, else the store's setting as the
// program reads it at start ("FloatPos", "AtcHight", "BlockSkip", "ErrorTag", "BufSize").
// The work height has no setting and starts at 0.
struct EffectiveSettings {
  int FloatPos = 1;
  double AtcHeight = 500;
  bool BlockSkip = false;
  std::vector<std::string> ErrorTags;  // UTF-8
  double WorkHeight = 0;
  int32_t Capacity = 1000000;
};

EffectiveSettings ResolveSettings(const CliOptions& options);  // the user's store
EffectiveSettings ResolveSettings(const CliOptions& options, const settings::TRegManager& store);

}  // namespace kelvan::cli
