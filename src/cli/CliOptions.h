#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvan::cli {

// The common options of every subcommand. An option that is not given takes the value
// of the settings store (see LoadStoreDefaults).
struct CliOptions {
  std::optional<int> FloatPos;
  std::optional<double> AtcHeight;
  std::optional<bool> BlockSkip;
  std::vector<std::string> ErrorTags;
  bool ErrorTagsGiven = false;
  std::optional<double> WorkHeight;
  std::optional<int32_t> Capacity;
  bool Summary = false;                  // dump --summary
  std::vector<std::string> Positional;   // the subcommand's own arguments
};

// Parses argv[first..]; "--" ends the options. False with a message on a bad option.
bool ParseCliOptions(int argc, char** argv, int first, CliOptions& out, std::string& error);

// The values the options take when they are not given.
struct EffectiveSettings {
  int FloatPos = 1;
  double AtcHeight = 500;
  bool BlockSkip = false;
  std::vector<std::string> ErrorTags;  // UTF-8
  double WorkHeight = 0;
  int32_t Capacity = 1000000;
};

EffectiveSettings ResolveSettings(const CliOptions& options);

}  // namespace kelvan::cli
