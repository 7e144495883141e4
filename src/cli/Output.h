#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace kelvan::nc {
class NcText;
}

namespace kelvan::cli {

// Writes every byte of text to standard output, NUL bytes of a program line included.
inline void WriteOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Writes a program a command made from `file`, each line followed by `lineEnd`: to standard
// output, or whole or not at all to `path`. It ends with a line end only when the file did.
// Returns the exit status: 0, or 2 with the message on standard error when it was not written.
int WriteProgram(std::string& text, const std::string& lineEnd, const nc::NcText& file,
                 const std::optional<std::string>& path);

}  // namespace kelvan::cli
