#include "cli/CliOptions.h"

#include <charconv>
#include <cmath>
#include <type_traits>
#include <cstring>

#include "nc/PathList.h"
#include "settings/StartSettings.h"
#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"

namespace kelvan::cli {

namespace {

// A picture side beyond this is a typing error; 16384 x 16384 is already a gigabyte.
constexpr int kMaxRenderSide = 16384;

// The whole text as a number; "nan" and "inf" are no lengths or scales, so a number that
// is not finite is refused too.
template <typename T>
bool ParseNumber(const char* text, T& value) {
  const char* end = text + std::strlen(text);
  auto [ptr, ec] = std::from_chars(text, end, value);
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) return false;
  }
  return ec == std::errc() && ptr == end && ptr != text;
}

// "A<sep>B" with two integers in [lo, hi].
bool ParsePair(const char* text, char sep, int lo, int hi, std::pair<int, int>& value) {
  const char* mid = std::strchr(text, sep);
  if (!mid) return false;
  const std::string first(text, mid);
  int a = 0, b = 0;
  if (!ParseNumber(first.c_str(), a) || !ParseNumber(mid + 1, b)) return false;
  if (a < lo || a > hi || b < lo || b > hi) return false;
  value = {a, b};
  return true;
}

// The render options; false when a is none of them.
bool ParseRenderOption(const std::string& a, const char* v, CliOptions& out, bool& ok) {
  if (a == "-o") {
    out.Output = v;
  } else if (a == "--view") {
    int view = 0;
    ok = ParseNumber(v, view) && view >= 0 && view <= 3;
    if (ok) out.View = view;
  } else if (a == "--size") {
    std::pair<int, int> size;
    ok = ParsePair(v, 'x', 1, kMaxRenderSide, size);
    if (ok) out.Size = size;
  } else if (a == "--scale") {
    double scale = 0;
    ok = ParseNumber(v, scale) && scale > 0 && scale <= 1e6;
    if (ok) out.Scale = scale;
  } else if (a == "--pan") {
    std::pair<int, int> pan;
    ok = ParsePair(v, ',', -1000000000, 1000000000, pan);
    if (ok) out.Pan = pan;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseCliOptions(int argc, char** argv, int first, CliOptions& out, std::string& error) {
  bool optionsEnded = false;
  for (int i = first; i < argc; ++i) {
    const std::string a = argv[i];
    const bool isOutput = !optionsEnded && a == "-o";
    if (!isOutput && (optionsEnded || a.size() < 2 || a[0] != '-' || a[1] != '-')) {
      out.Positional.push_back(a);
      continue;
    }
    if (a == "--") { optionsEnded = true; continue; }
    if (a == "--skip") { out.BlockSkip = true; continue; }
    if (a == "--summary") { out.Summary = true; continue; }
    if (a == "--white") { out.White = true; continue; }
    if (a == "--fit") { out.Fit = true; continue; }
    if (a == "--send-anyway") { out.SendAnyway = true; continue; }
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
    } else if (ParseRenderOption(a, v, out, ok)) {
      // a render option; ok tells whether its value was good
    } else if (a == "--profile") {
      int n = 0;
      ok = ParseNumber(v, n) && n >= 1 && n <= 4;
      if (ok) out.Profile = n;
    } else if (a == "--device") {
      out.Device = v;
    } else if (a == "--nc") {
      out.NcFile = v;
    } else if (a == "--max-seconds") {
      double d = 0;
      ok = ParseNumber(v, d) && d > 0 && d <= 1e6;
      if (ok) out.MaxSeconds = d;
    } else if (a == "--line") {
      int32_t n = 0;
      ok = ParseNumber(v, n) && n >= 1;
      if (ok) out.Line = n;
    } else if (a == "--tolerance") {
      double d = 0;
      ok = ParseNumber(v, d) && d >= 0 && d <= 1e6;
      if (ok) out.Tolerance = d;
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
  const settings::TRegManager store;
  return ResolveSettings(o, store);
}

EffectiveSettings ResolveSettings(const CliOptions& o, const settings::TRegManager& store) {
  const settings::StartSettings start = settings::StartSettings::Load(store);
  EffectiveSettings s;
  s.FloatPos = start.FloatPos;
  s.AtcHeight = start.AtcHeight;
  s.BlockSkip = start.BlockSkip;
  for (const QString& tag : store.ReadStrings(settings::keys::ErrorTag))
    s.ErrorTags.push_back(tag.toStdString());
  s.Capacity = start.PathCapacity;
  if (o.FloatPos) s.FloatPos = *o.FloatPos;
  if (o.AtcHeight) s.AtcHeight = *o.AtcHeight;
  if (o.BlockSkip) s.BlockSkip = *o.BlockSkip;
  if (o.ErrorTagsGiven) s.ErrorTags = o.ErrorTags;
  if (o.WorkHeight) s.WorkHeight = *o.WorkHeight;
  if (o.Capacity) s.Capacity = *o.Capacity;
  return s;
}

}  // namespace kelvan::cli
