#pragma once
// Conversion of NC program text between the bytes of a file and the UTF-8 the editor holds.
//
// NC programs are Shift-JIS (code page 932) text, sometimes UTF-8, and now and then carry
// bytes that are neither. Decoding never fails and never drops a byte: a byte that does not
// form a character that converts back to the same bytes becomes a private-use escape
// U+F700 + byte (U+F780..U+F7FF), which encoding turns back into that byte. CP932's own
// user-defined characters decode to U+E000..U+E757, so escapes never collide with text.

#include <string>
#include <string_view>

namespace kelvan::nc {

enum class TextEncoding { Cp932, Utf8 };

// First and last escape code points; the escape of byte b (0x80..0xFF) is kEscapeBase + b.
inline constexpr char32_t kEscapeBase = 0xF700;
inline constexpr char32_t kEscapeFirst = kEscapeBase + 0x80;
inline constexpr char32_t kEscapeLast = kEscapeBase + 0xFF;

// True when every byte is below 0x80 (the usual NC block).
bool IsAscii(std::string_view bytes);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool IsValidUtf8(std::string_view bytes);

// Utf8 for valid UTF-8 holding at least one non-ASCII byte; Cp932 for everything else,
// pure ASCII included.
TextEncoding DetectEncoding(std::string_view bytes);

// Bytes of a file (or any span of them, e.g. one line) to UTF-8 for the editor.
// Cp932: EncodeFromUtf8(DecodeToUtf8(b, Cp932), Cp932) == b for any bytes b.
// Utf8: the bytes unchanged; meant for text whose detected encoding is Utf8.
std::string DecodeToUtf8(std::string_view bytes, TextEncoding enc);

// The editor's UTF-8 back to the bytes of the file. For Cp932 a character that code page
// 932 cannot hold (an emoji, say) or a malformed UTF-8 sequence becomes '?', and *lossy
// (when given) is set to true so that the caller can warn before saving; otherwise *lossy
// is set to false. For Utf8 the text is returned unchanged and nothing is lossy.
std::string EncodeFromUtf8(std::string_view utf8, TextEncoding enc, bool* lossy = nullptr);

// False when the C library offers no CP932 converter; then every non-ASCII byte of a
// Cp932 text decodes to its escape (still byte-exact, but unreadable in the editor).
bool Cp932Available();

}  // namespace kelvan::nc
