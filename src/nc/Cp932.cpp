#include "nc/Cp932.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kelvan::nc {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// Length of the leading run of bytes below 0x80, eight bytes at a time.
size_t AsciiPrefix(const unsigned char* p, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & kHighBits) break;
  }
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

bool IsContinuation(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

// Decodes one strict UTF-8 sequence at p (n > 0 bytes available, p[0] >= 0x80).
// Returns its length, or 0 when the bytes there are not a well-formed sequence.
size_t DecodeUtf8At(const unsigned char* p, size_t n, char32_t& cp) {
  const unsigned char c = p[0];
  size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
    if (c == 0xE0) lo = 0xA0;  // overlong
    if (c == 0xED) hi = 0x9F;  // surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
    if (c == 0xF0) lo = 0x90;  // overlong
    if (c == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (n < len || p[1] < lo || p[1] > hi) return 0;
  for (size_t k = 1; k < len; ++k) {
    if (!IsContinuation(p[k])) return 0;
    cp = (cp << 6) | (p[k] & 0x3F);
  }
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    // Only BMP code points reach here: CP932 characters and the escapes.
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsLeadByte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsEscape(char32_t cp) { return cp >= kEscapeFirst && cp <= kEscapeLast; }

// Both directions of code page 932 as far as they round-trip, built once from iconv.
struct Cp932Table {
  bool available = false;
  // (lead << 8 | trail) -> code point for double-byte characters, and byte -> code point
  // for half-width katakana; 0 where the bytes do not form a round-tripping character.
  std::array<char16_t, 65536> fromBytes{};
  // Code point -> bytes: below 0x100 one byte, otherwise lead << 8 | trail; 0 = none.
  std::array<uint16_t, 65536> toBytes{};
};

// One direction of an iconv conversion, closed on destruction.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in; returns the number of output bytes, or -1 on any failure.
  int Run(const void* in, size_t inLen, unsigned char* out, size_t outCap) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* ip = static_cast<char*>(const_cast<void*>(in));
    char* op = reinterpret_cast<char*>(out);
    size_t il = inLen, ol = outCap;
    if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return -1;
    return static_cast<int>(outCap - ol);
  }

 private:
  iconv_t cd_;
};

// Decodes 1 or 2 CP932 bytes to one BMP code point; 0 when they are not exactly one.
char32_t DecodeWithIconv(Converter& dec, const unsigned char* bytes, size_t n) {
  unsigned char out[16];
  if (dec.Run(bytes, n, out, sizeof out) != 4) return 0;
  const char32_t cp = out[0] | (out[1] << 8) | (out[2] << 16) | (char32_t(out[3]) << 24);
  // ASCII and the escape range are ours alone; other planes do not fit the table.
  if (cp < 0x80 || cp > 0xFFFF || IsEscape(cp)) return 0;
  return cp;
}

// The CP932 bytes iconv writes for cp, as lead << 8 | trail (or one byte); 0 when none.
uint16_t EncodeWithIconv(Converter& enc, char32_t cp) {
  const unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                               static_cast<unsigned char>(cp >> 16), 0};
  unsigned char out[16];
  const int n = enc.Run(in, sizeof in, out, sizeof out);
  if (n == 1) return out[0];
  if (n == 2) return static_cast<uint16_t>(out[0] << 8 | out[1]);
  return 0;
}

// Keeps bytes -> cp only when iconv writes cp back as the very same bytes: CP932 has
// duplicate codes (NEC-selected IBM extensions and others) that would otherwise change
// on a save.
void AddIfRoundTrip(Cp932Table& t, Converter& dec, Converter& enc, uint16_t code) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(code >> 8),
                                  static_cast<unsigned char>(code)};
  const bool single = code < 0x100;
  const char32_t cp = single ? DecodeWithIconv(dec, bytes + 1, 1) : DecodeWithIconv(dec, bytes, 2);
  if (cp == 0 || EncodeWithIconv(enc, cp) != code) return;
  t.fromBytes[code] = static_cast<char16_t>(cp);
  t.toBytes[cp] = code;
}

// Code points that iconv writes one way only (U+301C WAVE DASH as 0x8160, which reads back
// as U+FF5E, and the like) are the same character to a Shift-JIS user: input methods on
// Linux type them, so they are saved as that character rather than as '?'. Those that map
// to an ASCII byte (U+00A5 to a backslash) are not the same character and stay unsaveable.
void AddOneWayCodePoints(Cp932Table& t, Converter& enc) {
  for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
    if (t.toBytes[cp] != 0 || (cp >= 0xD800 && cp <= 0xDFFF) || IsEscape(cp)) continue;
    const uint16_t code = EncodeWithIconv(enc, cp);
    if (code >= 0x100 && t.fromBytes[code] != 0) t.toBytes[cp] = code;
  }
}

std::unique_ptr<const Cp932Table> BuildTable() {
  auto t = std::make_unique<Cp932Table>();
  Converter dec("UTF-32LE", "CP932");
  Converter enc("CP932", "UTF-32LE");
  if (!dec.Ok() || !enc.Ok()) return t;
  t->available = true;
  for (uint16_t b = 0xA1; b <= 0xDF; ++b) AddIfRoundTrip(*t, dec, enc, b);  // half-width kana
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail != 0x7F) AddIfRoundTrip(*t, dec, enc, static_cast<uint16_t>(lead << 8 | trail));
    }
  }
  AddOneWayCodePoints(*t, enc);
  return t;
}

// Built on first use; immutable afterwards and safe to share between threads.
const Cp932Table& Table() {
  static const std::unique_ptr<const Cp932Table> table = BuildTable();
  return *table;
}

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Decodes the non-ASCII byte at p[0] (and its trail byte); returns the bytes consumed.
// A lead byte followed by a byte of the trail range is one character to Shift-JIS, so when
// the pair has no round-tripping character both bytes become escapes together (a trail
// below 0x80 stays the ASCII character it is), rather than the trail being read afresh as
// the start of another character.
size_t DecodeOne(const Cp932Table& t, const unsigned char* p, size_t n, std::string& out) {
  const unsigned char b = p[0];
  if (IsLeadByte(b) && n >= 2 && IsTrailByte(p[1])) {
    const char32_t cp = t.fromBytes[b << 8 | p[1]];
    if (cp != 0) {
      AppendUtf8(out, cp);
      return 2;
    }
    AppendUtf8(out, kEscapeBase + b);
    if (p[1] < 0x80) return 1;
    AppendUtf8(out, kEscapeBase + p[1]);
    return 2;
  }
  const char32_t cp = t.fromBytes[b];
  AppendUtf8(out, cp != 0 ? cp : kEscapeBase + b);
  return 1;
}

std::string DecodeCp932(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = AsciiPrefix(p, n);
  std::string out;
  if (i == n) {
    out.assign(bytes);
    return out;
  }
  const Cp932Table& t = Table();
  out.reserve(n + n / 2);
  out.append(bytes.data(), i);
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      const size_t run = AsciiPrefix(p + i, n - i);
      out.append(bytes.data() + i, run);
      i += run;
      continue;
    }
    i += DecodeOne(t, p + i, n - i, out);
  }
  return out;
}

std::string EncodeCp932(std::string_view utf8, bool& lossy) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  size_t i = AsciiPrefix(p, n);
  std::string out(utf8.substr(0, i));
  if (i == n) return out;
  const Cp932Table& t = Table();
  out.reserve(n);
  while (i < n) {
    if (p[i] < 0x80) {
      const size_t run = AsciiPrefix(p + i, n - i);
      out.append(utf8.data() + i, run);
      i += run;
      continue;
    }
    char32_t cp = 0;
    const size_t len = DecodeUtf8At(p + i, n - i, cp);
    i += len == 0 ? 1 : len;
    const uint16_t code = (len == 0 || cp > 0xFFFF) ? 0 : t.toBytes[cp];
    if (len != 0 && IsEscape(cp)) {
      out.push_back(static_cast<char>(cp - kEscapeBase));
    } else if (code >= 0x100) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else if (code != 0) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back('?');
      lossy = true;
    }
  }
  return out;
}

}  // namespace

bool IsAscii(std::string_view bytes) {
  return AsciiPrefix(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) ==
         bytes.size();
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    i += AsciiPrefix(p + i, n - i);
    if (i == n) break;
    char32_t cp;
    const size_t len = DecodeUtf8At(p + i, n - i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

TextEncoding DetectEncoding(std::string_view bytes) {
  return !IsAscii(bytes) && IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

std::string DecodeToUtf8(std::string_view bytes, TextEncoding enc) {
  if (enc == TextEncoding::Utf8) return std::string(bytes);
  return DecodeCp932(bytes);
}

std::string EncodeFromUtf8(std::string_view utf8, TextEncoding enc, bool* lossy) {
  bool lost = false;
  std::string out = enc == TextEncoding::Utf8 ? std::string(utf8) : EncodeCp932(utf8, lost);
  if (lossy) *lossy = lost;
  return out;
}

bool Cp932Available() { return Table().available; }

}  // namespace kelvan::nc
