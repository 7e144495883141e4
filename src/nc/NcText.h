#pragma once
// The lines of an NC program file as 8-bit byte strings, kept byte-exact.
//
// The whole file sits in one buffer; a compact index (one 64-bit word per line) records
// where each line starts and how it ends, so that opening a program of millions of blocks
// costs one read and one scan. Every line keeps the end it was found with, so a file with
// mixed ends is written back mixed, and a file without a final line end stays without one.

#include "nc/Cp932.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvan::nc {

enum class LineEnd : uint8_t { None, Lf, CrLf, Cr };

// The bytes of a line end: "", "\n", "\r\n" or "\r".
std::string_view LineEndBytes(LineEnd end);

class NcText {
 public:
  NcText() = default;

  // Reads the whole file at path. On failure returns false, leaves out unchanged and puts
  // a message naming the file and the cause in error.
  static bool Load(const std::string& path, NcText& out, std::string& error);

  // Splits bytes into lines at LF, CR LF and bare CR; a final line end does not start
  // another line. The encoding is detected (see DetectEncoding).
  static NcText FromBytes(std::string bytes);
  // As above, for bytes whose encoding is known (the editor's UTF-8): no detection.
  static NcText FromBytes(std::string bytes, TextEncoding known);

  // A new text from lines produced by a tool. Lines should hold no CR or LF. Every line
  // ends with end, except the last, which ends with end only when finalLineEnd is set.
  static NcText FromLines(const std::vector<std::string>& lines, TextEncoding enc, LineEnd end,
                          bool finalLineEnd);
  // As above with one end per line; a line beyond the end of ends gets LineEnd::Lf.
  static NcText FromLines(const std::vector<std::string>& lines, const std::vector<LineEnd>& ends,
                          TextEncoding enc);

  // The same lines, read as another encoding from now on: for bytes that read alike in
  // both (ASCII), so that no copy is made.
  void SetEncoding(TextEncoding enc) { encoding_ = enc; }

  int32_t LineCount() const;
  // Line i without its line end; empty for an index out of range.
  std::string_view Line(int32_t i) const;
  // The end of line i; LineEnd::None for the last line of a file without a final line end
  // and for an index out of range.
  LineEnd End(int32_t i) const;
  TextEncoding Encoding() const { return encoding_; }
  // The most common line end (ties go to Lf, then CrLf), Lf for a text without any:
  // the end to give lines added later.
  LineEnd DominantEnd() const;

  // The file's bytes: FromBytes(b).ToBytes() == b for every b.
  std::string ToBytes() const { return buffer_; }
  std::string_view Bytes() const { return buffer_; }

 private:
  void Append(std::string_view line, LineEnd end);
  void Finish();

  std::string buffer_;
  // Per line: start offset << 2 | LineEnd; one more entry holding buffer_.size() << 2
  // closes the last line.
  std::vector<uint64_t> index_{0};
  std::array<size_t, 4> endCounts_{};
  TextEncoding encoding_ = TextEncoding::Cp932;
};

// Writes bytes to path so that the target is either its old self or entirely the new
// content: a temporary file in the same folder is written, flushed to disk and renamed
// over the target, which keeps its permission bits. A symbolic link is followed and the
// file it names is replaced. On failure the target is untouched, the temporary removed,
// and error says which step failed and why.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace kelvan::nc
