#include "nc/DecodedText.h"

namespace kelvan::nc {

DecodedText DecodeText(NcText file) {
  DecodedText d;
  d.Encoding = file.Encoding();
  const bool noEnds = file.LineCount() == 0 || (file.LineCount() == 1 && file.End(0) == LineEnd::None);
  d.NewLineEnd = noEnds ? LineEnd::CrLf : file.DominantEnd();
  std::string_view bytes = file.Bytes();
  // The mark is not text: the editor shows the text after it and a save puts it back.
  d.Bom = d.Encoding == TextEncoding::Utf8 && bytes.starts_with(kUtf8Bom);
  if (d.Bom) bytes.remove_prefix(kUtf8Bom.size());
  if (!d.Bom && (d.Encoding == TextEncoding::Utf8 || IsAscii(bytes))) {
    file.SetEncoding(TextEncoding::Utf8);
    d.Utf8 = std::make_shared<const NcText>(std::move(file));
    return d;
  }
  d.Utf8 = std::make_shared<const NcText>(NcText::FromBytes(DecodeToUtf8(bytes, d.Encoding), TextEncoding::Utf8));
  return d;
}

bool ReadDecodedText(const std::string& path, DecodedText& out, std::string& error) {
  NcText file;
  if (!NcText::Load(path, file, error)) return false;
  out = DecodeText(std::move(file));
  return true;
}

}  // namespace kelvan::nc
