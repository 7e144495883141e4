#include "comm/TapeCode.h"

#include <algorithm>
#include <array>
#include <bit>

namespace kelvan::comm {
namespace {

bool InIsoSet(uint8_t c) {
  return c == 0x00 || c == 0x0A || c == 0x0D || c == 0x20 || (c >= 0x22 && c <= 0x5B) || c == 0x5D;
}

uint8_t WithEvenParity(uint8_t c) { return (std::popcount(c) % 2 != 0) ? uint8_t(c | 0x80) : c; }

// The EIA send table. The receive table is built from it, so the two cannot disagree.
struct EiaPair { char Char; uint8_t Code; };
constexpr EiaPair kEia[] = {
    {'\r', 0x80}, {'%', 0x0B}, {'(', 0x1A}, {')', 0x4A}, {'*', 0x98}, {'+', 0x70},
    {'-', 0x40}, {'.', 0x6B}, {'/', 0x31}, {'[', 0xB0}, {']', 0xA2},
    {'0', 0x20}, {'1', 0x01}, {'2', 0x02}, {'3', 0x13}, {'4', 0x04}, {'5', 0x15},
    {'6', 0x16}, {'7', 0x07}, {'8', 0x08}, {'9', 0x19},
    {'A', 0x61}, {'B', 0x62}, {'C', 0x73}, {'D', 0x64}, {'E', 0x75}, {'F', 0x76},
    {'G', 0x67}, {'H', 0x68}, {'I', 0x79}, {'J', 0x51}, {'K', 0x52}, {'L', 0x43},
    {'M', 0x54}, {'N', 0x45}, {'O', 0x46}, {'P', 0x57}, {'Q', 0x58}, {'R', 0x49},
    {'S', 0x32}, {'T', 0x23}, {'U', 0x34}, {'V', 0x25}, {'W', 0x26}, {'X', 0x37},
    {'Y', 0x38}, {'Z', 0x29},
};

struct EiaTables {
  std::array<uint8_t, 256> Send{};
  std::array<uint8_t, 256> Receive{};
  EiaTables() {
    Send.fill(NotCarried);
    for (const EiaPair& p : kEia) {
      Send[uint8_t(p.Char)] = p.Code;
      Receive[p.Code] = uint8_t(p.Char);
    }
    Receive[NotCarried] = ' ';
    Receive[0x5B] = '%';
  }
};
const EiaTables& Eia() {
  static const EiaTables tables;
  return tables;
}

}  // namespace

uint8_t EncodeIso(uint8_t c) { return InIsoSet(c) ? WithEvenParity(c) : NotCarried; }
uint8_t EncodeEia(uint8_t c) { return Eia().Send[c]; }
uint8_t Encode(TapeCode code, uint8_t c) { return code == TapeCode::Iso ? EncodeIso(c) : EncodeEia(c); }

bool Carries(TapeCode code, uint8_t c) {
  if (code == TapeCode::Iso) return InIsoSet(c);
  return c == ' ' || Eia().Send[c] != NotCarried;
}

uint8_t DecodeIso(uint8_t b) {
  const uint8_t c = b & 0x7F;
  if (c == 0x00 || !InIsoSet(c) || WithEvenParity(c) != b) return 0;
  return c == ':' ? uint8_t('O') : c;
}
uint8_t DecodeEia(uint8_t b) { return Eia().Receive[b]; }
uint8_t Decode(TapeCode code, uint8_t b) { return code == TapeCode::Iso ? DecodeIso(b) : DecodeEia(b); }

// The byte count of the character starting with lead byte c.
size_t CharLength(uint8_t c, nc::TextEncoding encoding) {
  if (c < 0x80) return 1;
  if (encoding == nc::TextEncoding::Cp932)
    return ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

std::string EncodeLine(TapeCode code, std::string_view line, nc::TextEncoding encoding) {
  std::string out;
  out.reserve(line.size());
  for (size_t k = 0; k < line.size();) {
    const uint8_t c = uint8_t(line[k]);
    const size_t length = std::min(CharLength(c, encoding), line.size() - k);
    if (length == 1) out.push_back(char(Encode(code, c)));
    else out.append(length, char(NotCarried));
    k += length;
  }
  return out;
}

std::vector<UncarriedChar> FindUncarried(TapeCode code, const std::vector<std::string>& lines,
                                         nc::TextEncoding encoding) {
  std::vector<UncarriedChar> found;
  std::array<bool, 256> seenByte{};
  auto seen = [&](const std::string& text) {
    for (const UncarriedChar& u : found)
      if (u.Text == text) return true;
    return false;
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    for (size_t k = 0; k < line.size(); ++k) {
      const uint8_t c = uint8_t(line[k]);
      const size_t length = CharLength(c, encoding);
      if (length > 1) {
        std::string text = line.substr(k, length);
        k += length - 1;
        // Listing stops early: the box shows a few anyway, and a long Japanese
        // text must not make the search quadratic.
        if (found.size() < 200 && !seen(text)) found.push_back({std::move(text), int32_t(i)});
        continue;
      }
      if (Carries(code, c) || seenByte[c]) continue;
      seenByte[c] = true;
      found.push_back({std::string(1, char(c)), int32_t(i)});
    }
  }
  return found;
}

}  // namespace kelvan::comm
