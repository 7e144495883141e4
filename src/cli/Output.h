#pragma once

#include <cstdio>
#include <string_view>

namespace kelvan::cli {

// Writes every byte of text to standard output, NUL bytes of a program line included.
inline void WriteOut(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace kelvan::cli
