#include "cli/CliOptions.h"

#include <charconv>
#include <cstring>

#include "nc/PathList.h"

namespace kelvan::cli {

namespace {

template <typename T>
bool ParseNumber(const char* text, T& value) {
  const char* end = text + std::strlen(text);
  auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && ptr == end && ptr != text;
}

}  // namespace

bool ParseCliOptions(int argc, char** argv, int first, CliOptions& out, std::string& error) {
  bool optionsEnded = false;
  for (int i = first; i < argc; ++i) {
    const std::string a = argv[i];
    if (optionsEnded || a.size() < 2 || a[0] != '-' || a[1] != '-') {
      out.Positional.push_back(a);
      continue;
    }
    if (a == "--") { optionsEnded = true; continue; }
    if (a == "--skip") { out.BlockSkip = true; continue; }
    if (a == "--summary") { out.Summary = true; continue; }
    if (i + 1 >= argc) { error = "option " + a + " needs a value"; return false; }
    const char* v = argv[++i];
    bool ok = true;
    if (a == "--floatpos") {
      int fp = 0;
      ok = ParseNumber(v, fp) && fp >= 0 && fp <= 2;
      if (ok) out.FloatPos = fp;
    } else if (a == "--atc") {
      double d = 0;
      ok = ParseNumber(v, d);
      if (ok) out.AtcHeight = d;
    } else if (a == "--work-height") {
      double d = 0;
      ok = ParseNumber(v, d);
      if (ok) out.WorkHeight = d;
    } else if (a == "--capacity") {
      int32_t c = 0;
      ok = ParseNumber(v, c) && c >= 1 && c <= nc::MaxPathCapacity;
      if (ok) out.Capacity = c;
    } else if (a == "--error-tag") {
      out.ErrorTags.push_back(v);
      out.ErrorTagsGiven = true;
    } else {
      error = "unknown option " + a;
      return false;
    }
    if (!ok) {
      error = "bad value for " + a + ": " + v;
      return false;
    }
  }
  return true;
}

EffectiveSettings ResolveSettings(const CliOptions& o) {
  EffectiveSettings s;
  if (o.FloatPos) s.FloatPos = *o.FloatPos;
  if (o.AtcHeight) s.AtcHeight = *o.AtcHeight;
  if (o.BlockSkip) s.BlockSkip = *o.BlockSkip;
  if (o.ErrorTagsGiven) s.ErrorTags = o.ErrorTags;
  if (o.WorkHeight) s.WorkHeight = *o.WorkHeight;
  if (o.Capacity) s.Capacity = *o.Capacity;
  return s;
}

}  // namespace kelvan::cli
