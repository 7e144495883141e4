#include "report/BuildEconomyLines.h"

#include <algorithm>

#include "nc/Cp932.h"

namespace kelvan::report {

int Cp932Width(std::string_view utf8) {
  if (nc::IsAscii(utf8)) return static_cast<int>(utf8.size());
  return static_cast<int>(nc::EncodeFromUtf8(utf8, nc::TextEncoding::Cp932).size());
}

std::vector<std::string> BuildEconomyLines(const std::vector<std::string>& lines, int rows,
                                           int width) {
  if (rows <= 0) return lines;
  const size_t n = lines.size();
  if (n == 0) return {};
  const size_t r = std::min(static_cast<size_t>(rows), n);
  std::vector<std::string> out;
  out.reserve((n + 2 * r - 1) / (2 * r) * r);
  for (size_t base = 0; base < n; base += 2 * r) {
    for (size_t k = 0; k < r; ++k) {
      const size_t d = base + k;
      if (d + r < n) {
        std::string line = lines[d];
        const int used = Cp932Width(line);
        if (used < width) line.append(static_cast<size_t>(width - used), ' ');
        out.push_back(line + lines[d + r]);
      } else if (d < n) {
        out.push_back(lines[d]);
      } else {
        out.emplace_back();
      }
    }
  }
  return out;
}

}  // namespace kelvan::report
