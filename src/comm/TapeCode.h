#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nc/Cp932.h"

namespace kelvan::comm {

// The two tape codes of the wire.
enum class TapeCode { Iso, Eia };

// Control codes. DC3 arrives in its ISO form (with the parity bit) or plain.
inline constexpr uint8_t DC1 = 0x11;
inline constexpr uint8_t DC2 = 0x12;
inline constexpr uint8_t DC3 = 0x13;
inline constexpr uint8_t DC3Iso = 0x93;
inline constexpr uint8_t DC4 = 0x14;
// What a character the code cannot carry is sent as, and the EIA feed character.
inline constexpr uint8_t NotCarried = 0x10;
// The EIA end-of-block code.
inline constexpr uint8_t EiaEndOfBlock = 0x80;

// ISO: the 7-bit code with the parity bit set to make the ones even, for NUL, LF, CR,
// space, '"' to '[' and ']'; NotCarried for every other byte.
uint8_t EncodeIso(uint8_t c);
// EIA: the code of the table; NotCarried for every other byte (space and LF among them).
uint8_t EncodeEia(uint8_t c);
uint8_t Encode(TapeCode code, uint8_t c);

// A line of the program (bytes in `encoding`) as it goes on the wire, without its end of
// block. Every byte of a multi-byte character goes out as NotCarried, even a trail byte
// that looks like a letter.
std::string EncodeLine(TapeCode code, std::string_view line, nc::TextEncoding encoding);

// The byte count of the character that starts with byte c.
size_t CharLength(uint8_t c, nc::TextEncoding encoding);

// Whether a character of the program reaches the machine as itself. In EIA a space goes
// out as the feed code, which reads back as a space, so a space is carried.
bool Carries(TapeCode code, uint8_t c);

// The character a received byte stands for; 0 for a byte that is dropped. ISO: the exact
// inverse over the ISO set, except that NUL is dropped and ':' reads as 'O'. EIA: every
// code of the send table gives its character (CR for the end-of-block code, '%' for 0x0B),
// the feed code a space, and 0x5B '%'.
uint8_t DecodeIso(uint8_t b);
uint8_t DecodeEia(uint8_t b);
uint8_t Decode(TapeCode code, uint8_t b);

// The characters of a program that the code cannot carry, each once, with the first
// line (0-based) it stands on; in the order they first appear. A multi-byte character
// of the text's encoding is listed whole (its bytes; each goes out as NotCarried).
struct UncarriedChar {
  std::string Text;   // the character's bytes
  int32_t Line = 0;   // first line holding it
};
std::vector<UncarriedChar> FindUncarried(TapeCode code, const std::vector<std::string>& lines,
                                         nc::TextEncoding encoding);

}  // namespace kelvan::comm
