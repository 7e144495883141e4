#pragma once
// A text file as an editor holds it: the text in UTF-8, and what is needed to write it
// back byte-exact.

#include <memory>
#include <string>
#include <string_view>

#include "nc/Cp932.h"
#include "nc/NcText.h"

namespace kelvan::nc {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct DecodedText {
  // The lines in UTF-8, without a byte-order mark. Shared: the analysis of a freshly
  // opened program reads it while the editor takes it in.
  std::shared_ptr<const NcText> Utf8;
  TextEncoding Encoding = TextEncoding::Cp932;  // the file's
  bool Bom = false;                             // the file began with a UTF-8 byte-order mark
  LineEnd NewLineEnd = LineEnd::CrLf;           // for lines added later: the file's usual end
};

// The file's bytes decoded (see DecodeToUtf8). A file without any line end tells nothing
// about its ends: its new lines get a new text's CR LF. A file whose bytes are its UTF-8
// already (ASCII, or UTF-8 without a byte-order mark) becomes the text itself, uncopied.
DecodedText DecodeText(NcText file);

// Reads and decodes the file. On failure returns false with a message naming the file and
// the cause in `error`, and leaves `out` unchanged.
bool ReadDecodedText(const std::string& path, DecodedText& out, std::string& error);

}  // namespace kelvan::nc
