#include "highlight/ScanNcLine.h"

#include <array>

namespace kelvan::highlight {
namespace {

// The reserved words of the scheme: the tape mark alone.
constexpr std::array<std::string_view, 1> kReservedWords{"%"};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

// Length of the UTF-8 character starting at i (its lead byte is >= 0x80). A byte that does
// not start a complete sequence counts as one character of its own, so malformed text can
// neither stall the scanner nor carry it past the end of the line.
size_t CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t len = 1;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
  }
  if (i + len > s.size()) return 1;
  for (size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

template <typename Pred>
size_t RunEnd(std::string_view s, size_t i, Pred pred) {
  while (i < s.size() && pred(static_cast<unsigned char>(s[i]))) ++i;
  return i;
}

// End of a quoted string opened at i: just past the closing quote, or the end of the
// line. Two quotes in a row stand for one quote inside the string.
size_t StringEnd(std::string_view s, size_t i) {
  size_t j = i + 1;
  for (;;) {
    const size_t q = s.find('\'', j);
    if (q == std::string_view::npos) return s.size();
    if (q + 1 < s.size() && s[q + 1] == '\'') {
      j = q + 2;
      continue;
    }
    return q + 1;
  }
}

// End of a bracketed remark opened at i: just past the first ")", as the control reads a
// remark, or the end of the line when it is never closed.
size_t BracketEnd(std::string_view s, size_t i) {
  const size_t close = s.find(')', i + 1);
  return close == std::string_view::npos ? s.size() : close + 1;
}

bool IsReserved(std::string_view token) {
  for (std::string_view word : kReservedWords) {
    if (token == word) return true;
  }
  return false;
}

}  // namespace

void ScanNcLine(std::string_view line, std::vector<NcToken>& out) {
  out.clear();
  size_t i = 0;
  while (i < line.size()) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    size_t end;
    NcTokenClass cls;
    if (IsLetter(c)) {
      end = RunEnd(line, i, IsLetter);
      cls = NcTokenClass::Ank;
    } else if (IsDigit(c)) {
      end = RunEnd(line, i, IsDigit);
      cls = NcTokenClass::Int;
    } else if (c == '\'') {
      end = StringEnd(line, i);
      cls = NcTokenClass::Str;
    } else if (c == '(') {
      end = BracketEnd(line, i);
      cls = NcTokenClass::Bracket;
    } else if (c >= 0x80) {
      end = i + CharLength(line, i);
      cls = NcTokenClass::Dbcs;
    } else {
      end = i + 1;
      cls = NcTokenClass::Symbol;
    }
    if (IsReserved(line.substr(i, end - i))) cls = NcTokenClass::Reserve;
    out.push_back({static_cast<int>(i), static_cast<int>(end - i), cls});
    i = end;
  }
}

std::vector<NcToken> ScanNcLine(std::string_view line) {
  std::vector<NcToken> out;
  ScanNcLine(line, out);
  return out;
}

}  // namespace kelvan::highlight
